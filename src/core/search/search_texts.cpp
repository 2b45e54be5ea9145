#include "core/search/search_texts.h"

namespace marlo {

TSearchTexts& SharedSearchTexts() {
  static TSearchTexts texts;
  return texts;
}

std::string FormatSearchText(std::string_view text, std::string_view s, long long d) {
  std::string out;
  out.reserve(text.size() + s.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == 's' || next == 'd' || next == '%') {
        if (next == 's')
          out += s;
        else if (next == 'd')
          out += std::to_string(d);
        else
          out += '%';
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

} // namespace marlo
