#include "core/shell/session_list.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace marlo {

namespace {

constexpr std::string_view kFile = "File=";

// A whole non-negative number of at most 31 bits; nothing else.
std::optional<int> Number(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// "X,Y" as two numbers.
bool Pair(std::string_view text, int& x, int& y) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  auto a = Number(text.substr(0, comma)), b = Number(text.substr(comma + 1));
  if (!a || !b) return false;
  x = *a;
  y = *b;
  return true;
}

void ReadField(std::string_view name, std::string_view value, TSessionWindow& w) {
  if (name == "Caret") {
    int x = 0, y = 0;
    if (Pair(value, x, y)) w.CaretX = x, w.CaretY = y;
  } else if (name == "Top") {
    if (auto top = Number(value)) w.TopLine = *top;
  } else if (name == "Bookmark") {
    const size_t colon = value.find(':');
    if (colon == std::string_view::npos) return;
    auto number = Number(value.substr(0, colon));
    int x = 0, y = 0;
    if (!number || *number == 0 || !Pair(value.substr(colon + 1), x, y)) return;
    // A number occurs once; the first one read stands.
    for (const TBookmark& b : w.Bookmarks)
      if (b.Number == *number) return;
    w.Bookmarks.push_back({x, y, *number});
  }
  // Other names come from a later Marlo and are passed over.
}

} // namespace

bool TSessionWindow::operator==(const TSessionWindow& other) const {
  auto same = [](const TBookmark& a, const TBookmark& b) {
    return a.X == b.X && a.Y == b.Y && a.Number == b.Number;
  };
  return FileName == other.FileName && CaretX == other.CaretX && CaretY == other.CaretY &&
         TopLine == other.TopLine &&
         std::equal(Bookmarks.begin(), Bookmarks.end(), other.Bookmarks.begin(),
                    other.Bookmarks.end(), same);
}

void TSessionList::Add(TSessionWindow window) {
  if (window.FileName.empty() || window.FileName.front() != '/') return;
  if (static_cast<int>(windows_.size()) >= kMaxWindows) return;
  for (const TSessionWindow& w : windows_)
    if (w.FileName == window.FileName) return;
  windows_.push_back(std::move(window));
}

std::string TSessionList::FormatWindow(const TSessionWindow& w) {
  std::string text = "Caret=" + std::to_string(w.CaretX) + "," + std::to_string(w.CaretY) +
                     " Top=" + std::to_string(w.TopLine);
  for (const TBookmark& b : w.Bookmarks)
    text += " Bookmark=" + std::to_string(b.Number) + ":" + std::to_string(b.X) + "," +
            std::to_string(b.Y);
  return text + " " + std::string(kFile) + w.FileName;
}

std::optional<TSessionWindow> TSessionList::ParseWindow(const std::string& text) {
  TSessionWindow w;
  std::string_view rest = text;
  while (!rest.empty()) {
    if (rest.front() == ' ') {
      rest.remove_prefix(1);
      continue;
    }
    if (rest.starts_with(kFile)) {
      w.FileName = rest.substr(kFile.size());
      break;
    }
    const std::string_view field = rest.substr(0, rest.find(' '));
    rest.remove_prefix(field.size());
    const size_t equals = field.find('=');
    if (equals != std::string_view::npos)
      ReadField(field.substr(0, equals), field.substr(equals + 1), w);
  }
  if (w.FileName.empty() || w.FileName.front() != '/') return std::nullopt;
  return w;
}

void TSessionList::LoadFromRegistry(platform::TRegistry& registry) {
  windows_.clear();
  if (!registry.KeyExists(kSessionKey) || !registry.OpenKey(kSessionKey, false)) return;
  for (const std::string& name : registry.GetValueNames()) {
    if (registry.GetDataType(name) != platform::rdString) continue;
    if (auto window = ParseWindow(registry.ReadString(name))) Add(std::move(*window));
  }
  registry.CloseKey();
}

void TSessionList::SaveToRegistry(platform::TRegistry& registry) const {
  registry.DeleteKey(kSessionKey);
  if (windows_.empty()) return;
  registry.OpenKey(kSessionKey, true);
  for (size_t i = 0; i < windows_.size(); ++i)
    registry.WriteString("W" + std::to_string(i), FormatWindow(windows_[i]));
  registry.CloseKey();
}

} // namespace marlo
