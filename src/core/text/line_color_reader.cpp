#include "core/text/line_color_reader.h"

namespace marlo {

std::string_view TLineColorReader::Colors(int line) {
  if (line < next_ || line >= source_.LineCount() || !source_.SyntaxParser())
    return source_.LineColors(line); // out of order, or nothing to scan with
  while (next_ < line) Scan(next_++);
  ++next_;
  return Scan(line);
}

std::string_view TLineColorReader::Scan(int line) {
  // Below FirstUncolored every line is coloured and follows from the one above it.
  const TColorCache& cache = source_.ColorCache();
  if (line < cache.FirstUncolored() && cache.IsLineColored(line)) {
    state_ = cache.EndState(line);
    return cache.PeekStyles(line, scratch_);
  }
  std::string_view text = source_.StoredLine(line);
  scratch_.assign(text.size(), '\0');
  if (!text.empty()) {
    TLineParser* parser = source_.SyntaxParser();
    parser->SetLineIndex(line);
    state_ = parser->ColorString(text, state_, scratch_);
  }
  return scratch_;
}

} // namespace marlo
