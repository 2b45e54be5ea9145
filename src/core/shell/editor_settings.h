#pragma once
// Carries the settings onto a document window's editor: its switches, its text model's
// options, and the eight text styles that paint the token kinds.
#include "core/shell/settings.h"
#include "core/syntax/text_styles.h"
#include "core/text/text_types.h"

namespace marlo {

// The editor control's switches the settings decide.
struct TEditorSwitches {
  bool ColorSyntax = true;   // moColorSyntax
  bool DrawGutter = true;    // moDrawGutter
  bool LineNumbers = true;   // moLineNumbers
  bool HighlightLine = true; // the current-line highlight is visible
  bool operator==(const TEditorSwitches&) const = default;
};

TEditorSwitches EditorSwitches(const TSettings& settings);

// `options` with soLimitEOL, soAutoIndent and soCreateBackups set from the settings.
TStringsOptions ApplyTextOptions(const TSettings& settings, TStringsOptions options);

// Fills the document styles (as TTextStyles::LoadDocumentStyles makes them) from the
// settings: every style takes the editor font's name and size; whitespace, identifiers
// and delimiters its colour and style on the background colour, which the control's own
// background `memo` takes too; reserved words, remarks, numbers and strings their own
// colours and styles. Styles the list lacks are skipped.
void ApplyStyleSettings(const TSettings& settings, TTextStyles& styles, TMemoColors& memo);

} // namespace marlo
