#pragma once
// The session: the document windows open when Marlo last shut down (their files, carets,
// first visible lines and bookmarks, in their order), kept as W0, W1, ... under "Session"
// beside the recent files, so that a start without files can open them again.
#include "core/platform/registry_store.h"
#include "core/text/bookmark_list.h"

#include <optional>
#include <string>
#include <vector>

namespace marlo {

inline constexpr const char* kSessionKey = "\\Software\\Zorbic\\Session";

// One document window of the session. Lines and columns count from 0.
struct TSessionWindow {
  std::string FileName; // absolute
  int CaretX = 0;
  int CaretY = 0;
  int TopLine = 0;
  std::vector<TBookmark> Bookmarks;

  bool operator==(const TSessionWindow& other) const;
};

class TSessionList {
public:
  // More would never be reopened: a start opens at most this many windows.
  static constexpr int kMaxWindows = 25;

  const std::vector<TSessionWindow>& Windows() const { return windows_; }
  // Adds the window after the others; one without an absolute file name, a repeat of a
  // file already listed, or one beyond kMaxWindows is passed over.
  void Add(TSessionWindow window);
  void Clear() { windows_.clear(); }

  // Reads the values of the key in stored order. A value that is not a string or cannot
  // be read as a window is passed over; a field that cannot be read keeps its default.
  void LoadFromRegistry(platform::TRegistry& registry);
  // Erases the key and writes the windows anew; no windows leave no key.
  void SaveToRegistry(platform::TRegistry& registry) const;

  // A window as one value: "Caret=X,Y Top=N Bookmark=N:X,Y ... File=/path"; the file
  // comes last and takes the rest of the text, blanks and all.
  static std::string FormatWindow(const TSessionWindow& window);
  // Nothing when the text names no absolute file.
  static std::optional<TSessionWindow> ParseWindow(const std::string& text);

private:
  std::vector<TSessionWindow> windows_;
};

} // namespace marlo
