#pragma once
// Paints what stands left of the text: the gutter with its gradient and its two closing
// lines, the line numbers, the bookmark glyphs and the left-indent strip.
#include "core/text/bookmark_list.h"

#include <QPixmap>
#include <QRect>

#include <array>
#include <vector>

class QPainter;

namespace marlo {

class TCustomCodeMemo;

class TMemoGutter {
public:
  static constexpr int kGlyphWidth = 12;
  static constexpr int kGlyphHeight = 13;

  explicit TMemoGutter(TCustomCodeMemo& memo) : memo_(memo) {}

  void Paint(QPainter& p, const QRect& clip);
  // Forgets the prepared pictures after a change of size or colours.
  void Invalidate() { background_ = QPixmap(); }

private:
  void PaintBackground(QPainter& p, const QRect& rows);
  void PaintNumbers(QPainter& p, int first, int last);
  void PaintBookmarks(QPainter& p, int first, int last);
  const QPixmap& Glyph(int digit);

  TCustomCodeMemo& memo_;
  QPixmap background_; // one row of the gutter, closing lines included
  std::array<QPixmap, 10> glyphs_;
  std::vector<TBookmark> marks_;
};

} // namespace marlo
