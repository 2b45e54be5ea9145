// The session kept at shut-down: the value of one window and how it reads back, what a
// reader passes over, and the key beside the recent files. How a start reopens it is
// tests/ui/app/session_test.cpp.
#include "../temp_dir.h"
#include "core/platform/registry_store.h"
#include "core/shell/session_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

using platform::TRegistry;

TSessionWindow Window(const std::string& file, int x, int y, int top,
                      std::vector<TBookmark> marks = {}) {
  return {file, x, y, top, std::move(marks)};
}

TEST(SessionList, AWindowReadsBackAsItWasWritten) {
  const TSessionWindow windows[] = {
      Window("/a.zba", 0, 0, 0),
      Window("/home/u/my games/x y.zba", 7, 120, 100, {{0, 3, 1}, {12, 140, 9}}),
      // The file takes the rest of the value, separators of the fields included.
      Window("/odd/File=2 Top=5 Caret=1,2", 1, 2, 0, {{4, 4, 255}}),
  };
  for (const TSessionWindow& w : windows) {
    SCOPED_TRACE(w.FileName);
    const std::string text = TSessionList::FormatWindow(w);
    std::optional<TSessionWindow> back = TSessionList::ParseWindow(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_TRUE(*back == w) << text;
  }
  EXPECT_EQ(TSessionList::FormatWindow(windows[1]),
            "Caret=7,120 Top=100 Bookmark=1:0,3 Bookmark=9:12,140 File=/home/u/my games/x y.zba");
}

TEST(SessionList, BadFieldsKeepTheirDefaultsAndBadValuesAreDropped) {
  struct TCase {
    const char* Text;
    std::optional<TSessionWindow> Expect;
  };
  const TCase cases[] = {
      {"", std::nullopt},
      {"Caret=1,2 Top=3", std::nullopt},               // no file
      {"Caret=1,2 File=", std::nullopt},               // an empty one
      {"Caret=1,2 File=relative/a.zba", std::nullopt}, // not absolute
      {"File=/a.zba", Window("/a.zba", 0, 0, 0)},      // nothing else
      {"  File=/a b ", Window("/a b ", 0, 0, 0)},      // blanks belong to the name
      {"Caret=-1,2 Top=x Bookmark=1:2 File=/a", Window("/a", 0, 0, 0)},
      {"Caret=1,2,3 Top=99999999999 Bookmark=0:1,1 File=/a", Window("/a", 0, 0, 0)},
      {"Caret= Top= Bookmark= Bookmark=:1,1 Bookmark=2:1, File=/a", Window("/a", 0, 0, 0)},
      {"Caret=4,5 Zoom=3 junk Top=2 File=/a", Window("/a", 4, 5, 2)}, // unknown names pass
      {"Bookmark=3:1,1 Bookmark=3:2,2 Bookmark=4:0,9 File=/a",
       Window("/a", 0, 0, 0, {{1, 1, 3}, {0, 9, 4}})}, // a number once, the first stands
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    std::optional<TSessionWindow> got = TSessionList::ParseWindow(c.Text);
    ASSERT_EQ(got.has_value(), c.Expect.has_value());
    if (got) {
      EXPECT_TRUE(*got == *c.Expect) << TSessionList::FormatWindow(*got);
    }
  }
}

TEST(SessionList, TheKeyHoldsTheWindowsInOrderAndReadsPastBadValues) {
  TempDir d;
  TRegistry reg(d / "r.reg");
  TSessionList session;
  session.Add(Window("/b.zba", 1, 2, 0, {{0, 2, 5}}));
  session.Add(Window("/a.zba", 0, 9, 3));
  session.Add(Window("/b.zba", 9, 9, 9)); // a repeat
  session.Add(Window("Untitled", 0, 0, 0));
  session.SaveToRegistry(reg);
  reg.Flush();
  ASSERT_TRUE(reg.OpenKey(kSessionKey, false));
  EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"W0", "W1"}));
  EXPECT_EQ(reg.ReadString("W1"), "Caret=0,9 Top=3 File=/a.zba");
  // What a hand or an older program may have left there.
  reg.WriteInteger("W2", 5);
  reg.WriteString("W3", "garbage");
  reg.WriteString("W4", "File=/a.zba");
  reg.WriteString("W5", "Top=1 File=/c.zba");
  reg.CloseKey();

  TSessionList loaded;
  loaded.LoadFromRegistry(reg);
  ASSERT_EQ(loaded.Windows().size(), 3u);
  EXPECT_TRUE(loaded.Windows()[0] == session.Windows()[0]);
  EXPECT_TRUE(loaded.Windows()[1] == session.Windows()[1]);
  EXPECT_TRUE(loaded.Windows()[2] == Window("/c.zba", 0, 0, 1));

  // No more than a start would reopen; an empty session leaves no key behind.
  TSessionList many;
  for (int i = 0; i < 30; ++i) many.Add(Window("/f" + std::to_string(i), 0, 0, 0));
  EXPECT_EQ(many.Windows().size(), size_t(TSessionList::kMaxWindows));
  TSessionList().SaveToRegistry(reg);
  reg.Flush();
  EXPECT_FALSE(reg.KeyExists(kSessionKey));
  loaded.LoadFromRegistry(reg);
  EXPECT_TRUE(loaded.Windows().empty());
}

} // namespace
} // namespace marlo::test
