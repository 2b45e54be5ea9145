#pragma once
// Fonts of the text styles as Qt fonts. Fonts of equal attributes are one shared object
// with one number, so that a view compares fonts by number.
#include "core/syntax/text_styles.h"

#include <QFont>
#include <QFontMetrics>

#include <map>
#include <tuple>
#include <vector>

namespace marlo {

class TQtFontMetrics : public TFontMetrics {
public:
  int CharWidth(const TTextFont& font) override;
  int CharHeight(const TTextFont& font) override;

  // The number of the shared font for `font` (its colour aside).
  int FontId(const TTextFont& font);
  const QFont& Font(int id) const { return entries_[static_cast<size_t>(id)].Font; }
  int Ascent(int id) const { return entries_[static_cast<size_t>(id)].Ascent; }
  // The font as drawn in columns `columnWidth` pixels apart: a fixed-pitch font is spaced
  // to the column width, so that a run of any length keeps to the columns.
  const QFont& ColumnFont(int id, int columnWidth);
  // The same for a printed page: spaced in proportion, which the print engines scale with
  // the page as they do not scale an absolute spacing.
  const QFont& PrintColumnFont(int id, int columnWidth);
  // Whether every character of the font advances alike, so that a run can be drawn in one
  // call; otherwise each character is placed on its column.
  bool FixedPitch(int id) const { return entries_[static_cast<size_t>(id)].FixedPitch; }

  // A font of the platform for a style's font.
  static QFont MakeFont(const TTextFont& font);

private:
  struct TEntry {
    QFont Font;
    int Width = 0;
    int Height = 0;
    int Ascent = 0;
    qreal Advance = 0;
    bool FixedPitch = true;
    int SpacedFor = -1;
    QFont Spaced;
    int PrintSpacedFor = -1;
    QFont PrintSpaced;
  };
  using TKey = std::tuple<std::string, int, uint32_t>;

  std::map<TKey, int> ids_;
  std::vector<TEntry> entries_;
};

} // namespace marlo
