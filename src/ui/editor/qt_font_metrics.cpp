#include "ui/editor/qt_font_metrics.h"

#include <QFontMetricsF>

#include <cmath>

namespace marlo {

QFont TQtFontMetrics::MakeFont(const TTextFont& font) {
  QFont f(QString::fromStdString(font.Name));
  f.setStyleHint(QFont::TypeWriter);
  int pixels = 13;
  if (font.Height < 0) {
    pixels = -font.Height;
  } else if (font.Height > 0) {
    // A positive height is the whole cell, internal leading included.
    QFont probe(f);
    probe.setPixelSize(100);
    QFontMetricsF m(probe);
    qreal cell = m.ascent() + m.descent();
    pixels = cell > 0 ? static_cast<int>(std::lround(font.Height * 100.0 / cell)) : font.Height;
  }
  f.setPixelSize(std::max(1, pixels));
  f.setBold(font.Style.Has(fsBold));
  f.setItalic(font.Style.Has(fsItalic));
  f.setUnderline(font.Style.Has(fsUnderline));
  f.setStrikeOut(font.Style.Has(fsStrikeOut));
  f.setKerning(false);
  return f;
}

int TQtFontMetrics::FontId(const TTextFont& font) {
  TKey key{font.Name, font.Height, font.Style.Bits()};
  auto it = ids_.find(key);
  if (it != ids_.end()) return it->second;
  TEntry e;
  e.Font = MakeFont(font);
  QFontMetrics m(e.Font);
  QFontMetricsF mf(e.Font);
  e.Advance = mf.horizontalAdvance(QLatin1Char('0'));
  e.Width = std::max(1, static_cast<int>(std::lround(e.Advance)));
  e.Height = std::max(1, m.height());
  e.Ascent = m.ascent();
  e.FixedPitch = std::abs(mf.horizontalAdvance(QLatin1Char('i')) - e.Advance) < 0.01 &&
                 std::abs(mf.horizontalAdvance(QLatin1Char('W')) - e.Advance) < 0.01;
  int id = static_cast<int>(entries_.size());
  entries_.push_back(std::move(e));
  ids_.emplace(std::move(key), id);
  return id;
}

int TQtFontMetrics::CharWidth(const TTextFont& font) {
  return entries_[static_cast<size_t>(FontId(font))].Width;
}

int TQtFontMetrics::CharHeight(const TTextFont& font) {
  return entries_[static_cast<size_t>(FontId(font))].Height;
}

const QFont& TQtFontMetrics::ColumnFont(int id, int columnWidth) {
  TEntry& e = entries_[static_cast<size_t>(id)];
  if (e.SpacedFor != columnWidth) {
    e.Spaced = e.Font;
    if (e.FixedPitch) e.Spaced.setLetterSpacing(QFont::AbsoluteSpacing, columnWidth - e.Advance);
    e.SpacedFor = columnWidth;
  }
  return e.Spaced;
}

const QFont& TQtFontMetrics::PrintColumnFont(int id, int columnWidth) {
  TEntry& e = entries_[static_cast<size_t>(id)];
  if (e.PrintSpacedFor != columnWidth) {
    e.PrintSpaced = e.Font;
    if (e.FixedPitch && e.Advance > 0)
      e.PrintSpaced.setLetterSpacing(QFont::PercentageSpacing, 100.0 * columnWidth / e.Advance);
    e.PrintSpacedFor = columnWidth;
  }
  return e.PrintSpaced;
}

} // namespace marlo
