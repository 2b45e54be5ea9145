#include "core/shell/language_table.h"

#include "core/ascii.h"
#include "core/error.h"
#include "core/platform/file_system.h"
#include "core/text/char_case.h"

#include <charconv>
#include <climits>

namespace marlo {

namespace {

std::string UpperKey(std::string_view key) {
  std::string k(key);
  for (char& c : k) c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
  return k;
}

} // namespace

void TLanguageTable::Clear() {
  lines_.clear();
  index_.clear();
}

void TLanguageTable::LoadFromFile(const std::string& path) {
  Clear();
  platform::TFileBuffer file = platform::ReadWholeFile(path);
  LoadFromBytes(std::string_view(file.data.get(), file.size));
}

void TLanguageTable::LoadFromBytes(std::string_view bytes) {
  Clear();
  bytes = bytes.substr(0, bytes.find('\0'));
  size_t start = 0;
  auto finish = [&](size_t end) { lines_.emplace_back(Trim(bytes.substr(start, end - start))); };
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      finish(i);
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      start = i + 1;
    } else if (bytes[i] == '\n') {
      finish(i);
      start = i + 1;
    }
  }
  if (start < bytes.size()) finish(bytes.size());

  // The lookup is "the first line whose key matches"; an index keeps it cheap without
  // changing which line wins.
  for (size_t i = 0; i < lines_.size(); ++i) {
    size_t eq = lines_[i].find('=');
    if (eq == std::string::npos) continue; // a comment or spacer line
    index_.try_emplace(UpperKey(std::string_view(lines_[i]).substr(0, eq)),
                       lines_[i].substr(eq + 1));
  }
}

const std::string& TLanguageTable::LanguageText(std::string_view key) const {
  static const std::string empty;
  auto it = index_.find(UpperKey(key));
  return it == index_.end() ? empty : it->second;
}

int TLanguageTable::CharSet() const {
  const std::string& text = LanguageText("CharSet");
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end)
    throw Error("'" + text + "' is not a valid integer value");
  return value;
}

} // namespace marlo
