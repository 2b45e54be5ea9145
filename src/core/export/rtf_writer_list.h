#pragma once
// The body of an RTF document while it is written. The font and colour tables must stand
// in the header but are known only at the end, so the body is kept until then with the
// place of the tables marked.
#include <iosfwd>
#include <string>
#include <string_view>

namespace marlo {

class TRTFWriterList {
public:
  void Add(std::string_view piece) { text_.append(piece); }
  void Add(char c) { text_ += c; }
  // Direct access for writers that append piece by piece.
  std::string& Text() { return text_; }
  // The tables go after what has been added so far.
  void MarkTablePlace() { tablePlace_ = text_.size(); }
  // Writes the pieces in order with `tables` at the marked place (at the start when none
  // was marked).
  void WriteTo(std::ostream& out, std::string_view tables) const;
  void Clear();

private:
  std::string text_;
  size_t tablePlace_ = 0;
};

} // namespace marlo
