#pragma once
// The body of an RTF document while it is written. The font and colour tables must stand
// in the header but are known only at the end, so the body is kept until then with the
// place of the tables marked. A big body goes to a temporary file on the way, so that an
// export costs little memory whatever the size of the text.
#include <cstdio>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace marlo {

class TRTFWriterList {
public:
  // Bodies beyond this many bytes are kept in a temporary file.
  static inline size_t SpillSize = size_t(4) << 20;

  void Add(std::string_view piece) { Text().append(piece); }
  void Add(char c) { Text() += c; }
  // Direct access for writers that append piece by piece.
  std::string& Text() {
    if (text_.size() - tablePlace_ >= SpillSize) Spill();
    return text_;
  }
  // The tables go after what has been added so far; marked before the body grows.
  void MarkTablePlace() { tablePlace_ = text_.size(); }
  // Writes the pieces in order with `tables` at the marked place (at the start when none
  // was marked).
  void WriteTo(std::ostream& out, std::string_view tables) const;
  void Clear();

private:
  struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  // Moves the body written so far to the temporary file.
  void Spill();

  std::string text_;
  size_t tablePlace_ = 0;
  std::unique_ptr<std::FILE, TFileCloser> spilled_; // the body's first part, when big
};

} // namespace marlo
