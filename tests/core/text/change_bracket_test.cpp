// The change bracket: each outermost change reaches every view once, with flags saying
// what changed and a line range covering every line it touched. That each command sets
// chText, chCaret, chLineCount, chSelection and chModified when it should, with a range
// covering its changed lines, is checked after every step of model_random_test.cpp.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <initializer_list>
#include <string>
#include <tuple>

namespace marlo::test {
namespace {

bool Covers(const TChangeInfo& c, int line) {
  return c.FirstLine <= line && line <= c.LastLine;
}

bool HasAll(const TChangeInfo& c, std::initializer_list<TChangeFlag> flags) {
  for (TChangeFlag f : flags)
    if (!c.Flags.Has(f)) return false;
  return true;
}

TEST(ChangeBracket, OneNotificationPerOutermostChange) {
  auto m = BaseModel({"abc", "def"});
  ScopedView v(*m);
  RecordingView second;
  m->AddView(&second, false);
  // Several commands inside one bracket are one change.
  m->BeginChange(TChangeKind::Other);
  m->TypeChar('y');
  m->MoveCaretLeft();
  m->InsertNewLine();
  m->BackSpace();
  m->InsertNewLine();
  EXPECT_EQ(v.view.Count(), 0);
  m->EndChange();
  ASSERT_EQ(v.view.Count(), 1);
  EXPECT_TRUE(HasAll(v.view.Last(), {chText, chLineCount}));
  // Both views hear of every change; an unregistered one no more.
  EXPECT_EQ(second.Count(), 1);
  m->RemoveView(&second);
  m->TypeChar('z');
  EXPECT_EQ(second.Count(), 1);
  EXPECT_EQ(v.view.Count(), 2);
  // A command that does nothing reports nothing.
  m->MoveCaretToTop();
  v.view.Reset();
  m->MoveCaretUp();
  m->DeleteSelection();
  m->GotoBookmark(9);
  EXPECT_EQ(v.view.Count(), 0);
}

TEST(ChangeBracket, ALoadReportsEverythingButSelectionAndReadOnly) {
  auto m = BaseModel({"a"});
  ScopedView v(*m);
  m->LoadFromBytes("x\r\ny");
  ASSERT_EQ(v.view.Count(), 1);
  const TChangeInfo& c = v.view.Last();
  EXPECT_TRUE(HasAll(c, {chCaret, chText, chUndo, chLineState, chOverwrite, chLineCount, chModified,
                         chFileName, chParser}));
  EXPECT_FALSE(c.Flags.Has(chReadOnly));
  EXPECT_TRUE(Covers(c, 0) && Covers(c, 1));
  // Registering with a refresh is itself such a change.
  RecordingView late;
  m->AddView(&late, true);
  m->RemoveView(&late);
  ASSERT_EQ(late.Count(), 1);
  EXPECT_TRUE(HasAll(late.Last(), {chText, chLineCount, chCaret}));
}

// A change of one property reports its own flag, and the lines it concerns; setting the
// same value again reports nothing (a bookmark set again may have moved: it reports).
TEST(ChangeBracket, PropertyChangesReportTheirOwnFlag) {
  using M = TCustomMemoSource;
  struct Case {
    const char* name;
    std::function<void(M&)> change;
    TChangeFlag flag;
    int line; // a line the range covers, or -1
    int countAgain = 1;
  };
  const TPoint from{0, 1}, to{1, 1};
  const Case cases[] = {
      {"overwrite", [](M& m) { m.SetOverwrite(true); }, chOverwrite, -1},
      {"file name", [](M& m) { m.SetFileName("two.zba"); }, chFileName, -1},
      {"read-only", [](M& m) { m.SetReadOnly(true); }, chReadOnly, -1},
      {"line state", [](M& m) { m.SetLineState(1, 3); }, chLineState, 1},
      {"bookmark", [](M& m) { m.SetBookmark(1); }, chLineState, 0, 2},
      {"parser", [](M& m) { m.SetHighlightUrls(true); }, chParser, -1},
      {"modified", [](M& m) { m.SetModified(true); }, chModified, -1},
      {"found text", [&](M& m) { m.SetFoundText(from, to); }, chFoundText, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = BaseModel({"a", "b"});
    ScopedView v(*m);
    c.change(*m);
    ASSERT_EQ(v.view.Count(), 1);
    EXPECT_TRUE(v.view.Last().Flags.Has(c.flag));
    EXPECT_TRUE(c.line < 0 || Covers(v.view.Last(), c.line));
    c.change(*m);
    EXPECT_EQ(v.view.Count(), c.countAgain);
    m->SetOverwrite(false);
  }

  auto m = BaseModel({"a"});
  m->TypeChar('q');
  ScopedView v(*m);
  m->Undo();
  EXPECT_TRUE(v.view.Last().Flags.Has(chUndo));
}

// The found text the views paint: its spans per line and the lines it repaints.
TEST(ChangeBracket, FoundTextSpansAndRepaintedLines) {
  auto m = BaseModel({"alpha", "beta", "gamma", "delta"});
  ScopedView v(*m);
  auto range = [&] { return std::pair(v.view.Last().FirstLine, v.view.Last().LastLine); };
  m->SetFoundText({4, 2}, {1, 1}); // given backwards: ordered
  EXPECT_EQ(m->FoundBegin(), (TPoint{1, 1}));
  EXPECT_EQ(range(), std::pair(1, 2));
  // Line y holds the found part from..to (to INT_MAX when it goes on to the next line);
  // -1 where it holds none.
  for (auto [y, from, to] : {std::tuple{0, -1, -1}, {1, 1, INT_MAX}, {2, 0, 4}, {3, -1, -1}}) {
    int f = -1, t = -1;
    EXPECT_EQ(m->FoundSpan(y, f, t), from >= 0) << y;
    EXPECT_EQ(std::pair(f, t), std::pair(from, to)) << y;
  }
  // Moving the range repaints where it was and where it is.
  m->SetFoundText({0, 3}, {2, 3});
  EXPECT_EQ(range(), std::pair(1, 3));
  m->ClearFoundText();
  EXPECT_EQ(v.view.Last().FirstLine, 3);
  EXPECT_FALSE(m->HasFoundText() || m->Modified() || m->CanUndo());
}

} // namespace
} // namespace marlo::test
