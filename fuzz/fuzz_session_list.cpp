// Reads arbitrary bytes as one stored session window: a value that gives a window names an
// absolute file, holds no negative place and no bookmark numbered 0 or twice, and written
// again it reads back as the same window.
#include "core/shell/session_list.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_session_list: %s\n", what);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using marlo::TSessionList;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<marlo::TSessionWindow> window = TSessionList::ParseWindow(text);
  if (!window) return 0;
  Require(!window->FileName.empty() && window->FileName.front() == '/', "file not absolute");
  Require(window->CaretX >= 0 && window->CaretY >= 0 && window->TopLine >= 0, "negative place");
  for (size_t i = 0; i < window->Bookmarks.size(); ++i) {
    const marlo::TBookmark& b = window->Bookmarks[i];
    Require(b.Number > 0 && b.X >= 0 && b.Y >= 0, "bad bookmark");
    for (size_t j = 0; j < i; ++j)
      Require(window->Bookmarks[j].Number != b.Number, "bookmark number twice");
  }
  const std::optional<marlo::TSessionWindow> again =
      TSessionList::ParseWindow(TSessionList::FormatWindow(*window));
  Require(again && *again == *window, "the window does not read back");
  return 0;
}
