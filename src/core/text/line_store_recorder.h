#pragma once
// What the line store tells about its changes with the new bytes, for a copy of the text
// kept elsewhere (the recovery journal). Told after the store changed, with positions and
// counts as the store applied them; an edit that changed nothing is not told.
#include <cstddef>
#include <string_view>

namespace marlo {

class TLineStoreRecorder {
public:
  virtual ~TLineStoreRecorder() = default;
  // A line holding `text` went in at `line`.
  virtual void Inserted(int line, std::string_view text) = 0;
  virtual void Deleted(int line) = 0;
  // The whole text of `line` is now `text`.
  virtual void TextSet(int line, std::string_view text) = 0;
  virtual void CharsInserted(int line, size_t pos, std::string_view chars) = 0;
  virtual void CharsErased(int line, size_t pos, size_t n) = 0;
  virtual void Appended(int line, std::string_view chars) = 0;
  // Every line was replaced (a load or a clear); the store holds the new lines.
  virtual void AllReplaced() = 0;
  // The model's outermost change ended: the edits told since the last end form one step.
  virtual void ChangeEnded() {}
};

} // namespace marlo
