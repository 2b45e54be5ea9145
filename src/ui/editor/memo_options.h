#pragma once
// The switches of the editor control, in their stored bit order.
#include "core/text/text_types.h"

#include <cstdint>

namespace marlo {

enum TMemoOption : uint8_t {
  moDrawMargin,
  moDrawGutter,
  moThumbTracking,
  moDblClickLine,
  moColorSyntax,
  moLineNumbers,
  moOverwriteCaret,
  moLeftIndent,
  moDisableDrag,
  moSelectOnlyText,
  moLineNumbersOnGutter,
  moNotePadCursorStyle,
  moBreakWordAtMargin,
  moDrawSpecialSymbols,
  moDisableRightClickMove,
  moColoredLineStyle,
  moDisableInvertedSel,
  moHideInvisibleLines,
  moDrawLineBookmarks,
  moShowScrollHint,
  moUseReadOnlyColor,
  moExtendedSel,
  moCenterOnBookmark,
  moTripleClick,
  moLimitLineNumbers,
};
using TMemoOptions = EnumSet<TMemoOption>;

// The print dialog's choices, kept by the control between prints.
enum TCodePrintOption : uint8_t {
  poWrapLines,
  poInColor,
  poPrintSel,
  poPrintHeader,
  poLineNumbers,
  poPrintSyntax,
  poShowProgress,
};
using TCodePrintOptions = EnumSet<TCodePrintOption>;

enum TLineNumAlign : uint8_t { laLeft, laRight };

} // namespace marlo
