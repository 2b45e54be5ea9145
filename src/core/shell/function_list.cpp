#include "core/shell/function_list.h"

#include "core/ascii.h"
#include "core/text/char_case.h"
#include "core/text/memo_source.h"

#include <algorithm>

namespace marlo {

namespace {

constexpr size_t kKeywordLength = 8;

bool IsLabelChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// A line as the lists read it: tabs expanded, blanks at both ends gone.
std::string_view ListLine(const TCustomMemoSource& source, int i, std::string& buffer) {
  std::string_view s = source.StoredLine(i);
  if (s.find('\t') != std::string_view::npos) {
    buffer = source.LineText(i);
    s = buffer;
  }
  return Trim(s);
}

} // namespace

std::string TListEntry::Text() const {
  return Name + "   [" + std::to_string(Line + 1) + "]";
}

std::vector<TListEntry> ScanFunctions(const TCustomMemoSource& source, std::string_view keyword) {
  std::string key = UpperCaseText(std::string(keyword.empty() ? "FUNCTION" : keyword));
  std::vector<TListEntry> entries;
  std::string buffer;
  for (int i = 0; i < source.LineCount(); ++i) {
    std::string_view t = ListLine(source, i, buffer);
    std::string_view head = t.substr(0, kKeywordLength);
    if (head.size() != key.size()) continue;
    if (!std::equal(head.begin(), head.end(), key.begin(), [](char a, char b) {
          return UpperChar(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
        }))
      continue;
    std::string_view name = t.substr(head.size());
    name = Trim(name.substr(0, name.find(':')));
    entries.push_back({std::string(name), i});
  }
  return entries;
}

std::vector<TListEntry> ScanLabels(const TCustomMemoSource& source) {
  std::vector<TListEntry> entries;
  std::string buffer;
  for (int i = 0; i < source.LineCount(); ++i) {
    std::string_view raw = source.StoredLine(i);
    size_t colon = raw.find(':');
    if (colon == std::string_view::npos || colon == 0) continue;
    std::string_view t = ListLine(source, i, buffer);
    colon = t.find(':');
    if (colon == 0 || !Trim(t.substr(colon + 1)).empty()) continue;
    std::string_view label = t.substr(0, colon);
    if (!std::all_of(label.begin(), label.end(), IsLabelChar)) continue;
    entries.push_back({std::string(t.substr(0, colon + 1)), i});
  }
  return entries;
}

} // namespace marlo
