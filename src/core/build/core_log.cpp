#include "core/build/core_log.h"

#include "core/ascii.h"

namespace marlo::build {

namespace {

// At most this many characters after "LINE " are read, so that the number fits 64 bits.
constexpr size_t kNumberWidth = 12;

std::optional<std::uint64_t> LineNumber(std::string_view text) {
  constexpr std::string_view word = "LINE ";
  for (size_t p = 0; p + word.size() <= text.size(); ++p) {
    if (!EqualsNoCase(text.substr(p, word.size()), word)) continue;
    const std::string_view digits = text.substr(p + word.size(), kNumberWidth);
    std::uint64_t n = 0;
    size_t k = 0;
    for (; k < digits.size() && digits[k] >= '0' && digits[k] <= '9'; ++k)
      n = n * 10 + static_cast<std::uint64_t>(digits[k] - '0');
    if (k == 0) return std::nullopt;
    return n;
  }
  return std::nullopt;
}

} // namespace

TCoreReport ReadCoreLog(std::string_view bytes) {
  const size_t end = bytes.find_first_of(std::string_view("\r\n\0", 3));
  const std::string_view first = bytes.substr(0, end);
  TCoreReport report;
  if (Trim(first).empty()) return report;
  report.Show = true;
  report.Text = std::string(first);
  report.Line = LineNumber(first);
  return report;
}

} // namespace marlo::build
