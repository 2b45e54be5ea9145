#pragma once
// What the line store tells about its changes, so that data kept per line elsewhere (the
// colouring cache) follows the lines. Edits of characters are told before the bytes move,
// while the line still holds its old text.
#include <cstddef>
#include <string_view>

namespace marlo {

class TLineStoreListener {
public:
  virtual ~TLineStoreListener() = default;
  // Every line is about to be replaced by `count` new ones: whatever can fail is done
  // here, before the old lines go.
  virtual void PrepareLines(int count) = 0;
  // Every line was replaced; `count` lines are there now. Does not fail after PrepareLines
  // with the same count.
  virtual void LinesReplaced(int count) = 0;
  virtual void LineInserted(int line) = 0;
  virtual void LineDeleted(int line) = 0;
  // The whole text of `line` was replaced by `length` characters.
  virtual void TextReplaced(int line, size_t length) = 0;
  // `count` characters go in at `pos` (at most the old length), taking `style`.
  virtual void CharsInserted(int line, size_t pos, size_t count, char style) = 0;
  // `count` characters (all present) go from `pos`.
  virtual void CharsErased(int line, size_t pos, size_t count) = 0;
  // `count` characters go after the end, with `styles` for their first ones.
  virtual void CharsAppended(int line, size_t count, std::string_view styles) = 0;
};

} // namespace marlo
