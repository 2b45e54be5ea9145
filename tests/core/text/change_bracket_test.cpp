// The change bracket: each outermost change reaches every view once, with flags saying
// what changed and a line range covering every line it touched.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace marlo::test {
namespace {

bool Covers(const TChangeInfo& c, int line) {
  return c.FirstLine <= line && line <= c.LastLine;
}

TEST(ChangeBracket, OneNotificationPerOutermostChange) {
  auto m = BaseModel({"abc", "def"});
  ScopedView v(*m);
  RecordingView second;
  m->AddView(&second, false);
  EXPECT_EQ(v.view.Count(), 0);

  m->SetCaret(1, 0);
  EXPECT_EQ(v.view.Count(), 1);
  m->TypeChar('x');
  EXPECT_EQ(v.view.Count(), 2);
  m->InsertNewLine();
  EXPECT_EQ(v.view.Count(), 3);

  // Several commands inside one bracket are one change.
  v.view.Reset();
  m->BeginChange(TChangeKind::Other);
  m->TypeChar('y');
  m->MoveCaretLeft();
  m->InsertNewLine();
  m->BackSpace();
  m->InsertNewLine();
  EXPECT_EQ(v.view.Count(), 0);
  m->EndChange();
  ASSERT_EQ(v.view.Count(), 1);
  EXPECT_TRUE(v.view.Last().Flags.Has(chText));
  EXPECT_TRUE(v.view.Last().Flags.Has(chCaret));
  EXPECT_TRUE(v.view.Last().Flags.Has(chLineCount));

  // Both views hear of every change; an unregistered one no more.
  EXPECT_EQ(second.Count(), 4);
  m->RemoveView(&second);
  m->TypeChar('z');
  EXPECT_EQ(second.Count(), 4);
  EXPECT_EQ(v.view.Count(), 2);

  // A command that does nothing reports nothing.
  v.view.Reset();
  m->MoveCaretToTop();
  v.view.Reset();
  m->MoveCaretLeft();
  m->MoveCaretUp();
  m->DeleteSelection();
  m->GotoBookmark(9);
  EXPECT_EQ(v.view.Count(), 0);
}

// The flags of the last change: those in `on` are set, those in `off` are not.
void ExpectFlags(const RecordingView& v, std::initializer_list<TChangeFlag> on,
                 std::initializer_list<TChangeFlag> off = {}) {
  ASSERT_GT(v.Count(), 0);
  for (TChangeFlag f : on) EXPECT_TRUE(v.Last().Flags.Has(f)) << "flag " << int(f) << " unset";
  for (TChangeFlag f : off) EXPECT_FALSE(v.Last().Flags.Has(f)) << "flag " << int(f) << " set";
}

TEST(ChangeBracket, FlagsSayWhatChanged) {
  auto m = BaseModel();
  ScopedView v(*m);
  RecordingView& last = v.view;

  m->TypeChar('a'); // the empty text gets its first line
  ExpectFlags(last, {chText, chCaret, chModified, chLineCount});
  EXPECT_TRUE(Covers(last.Last(), 0));
  m->TypeChar('b');
  ExpectFlags(last, {chText, chCaret}, {chModified, chLineCount});
  m->InsertNewLine();
  m->TypeChar('c');
  m->InsertNewLine();
  ExpectFlags(last, {chLineCount});
  EXPECT_TRUE(Covers(last.Last(), 1));
  m->MoveCaretUp();
  ExpectFlags(last, {chCaret}, {chText, chLineCount});

  // Leaving a line with trailing blanks trims it: that is a text change of that line.
  m->Lines().Assign({"x", "ab  ", "y"});
  m->SetModified(false);
  m->SetCaret(1, 1);
  last.Reset();
  m->MoveCaretDown();
  ASSERT_EQ(last.Count(), 1);
  ExpectFlags(last, {chCaret, chText, chModified});
  EXPECT_TRUE(Covers(last.Last(), 1));

  Select(*m, TSelectionType::Stream, 0, 0, 1, 0);
  ExpectFlags(last, {chSelection});
  m->ClearSelection();
  ExpectFlags(last, {chSelection});
  m->Lines().Put(2, "changed");
  ExpectFlags(last, {chText});
  EXPECT_TRUE(Covers(last.Last(), 2));
  m->SetCaret(1, 0);
  m->TypeChar('q');
  m->Undo();
  ExpectFlags(last, {chUndo, chText});
}

// Every line whose text differs after the change lies in the reported range; when the
// line count changed, the range starts at or above the first line that differs.
void ExpectRangeCovers(const Lines& before, const Lines& after, const TChangeInfo& c) {
  ASSERT_TRUE(c.Flags.Has(chText));
  size_t n = std::min(before.size(), after.size());
  if (before.size() != after.size()) {
    size_t first = 0;
    while (first < n && before[first] == after[first]) ++first;
    EXPECT_LE(c.FirstLine, static_cast<int>(first));
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    if (before[i] != after[i]) {
      EXPECT_TRUE(Covers(c, static_cast<int>(i)))
          << "line " << i << " changed, range " << c.FirstLine << ".." << c.LastLine;
    }
  }
}

TEST(ChangeBracket, TheRangeCoversLinesThatLaterEditsOfTheSameChangeMoved) {
  // Moving the line break after "c" above "b": the join is marked on line 2, and the split
  // that follows in the same change moves the joined line down to line 3.
  auto m = BaseModel({"a", "b", "c", "d"});
  m->SetOption(soPersistentBlocks, true);
  m->SelectBlock(TSelectionType::Stream, 1, 2, 0, 3);
  m->SetCaret(1, 0);
  Lines before = StoredLines(*m);
  ScopedView v(*m);
  m->MoveSelectionToCaret();
  ASSERT_EQ(StoredLines(*m), (Lines{"a", "", "b", "cd"}));
  ASSERT_EQ(v.view.Count(), 1);
  ExpectRangeCovers(before, StoredLines(*m), v.view.Last());

  // The same with a column block copied below.
  auto c = BaseModel({"ab", "cd", "ef", "gh"});
  c->SetOption(soPersistentBlocks, true);
  c->SelectBlock(TSelectionType::Column, 0, 0, 0, 1);
  c->SetCaret(2, 2);
  before = StoredLines(*c);
  ScopedView w(*c);
  c->CopySelectionToCaret();
  ASSERT_EQ(w.view.Count(), 1);
  ExpectRangeCovers(before, StoredLines(*c), w.view.Last());
}

TEST(ChangeBracket, ABlockCommandThatMovesTheSelectionSaysSo) {
  // The selection reaches below the text; rewriting it ends it at the last line.
  auto m = BaseModel({"  a", "  b"});
  m->SetOption(soBeyondFileEnd, true);
  m->SelectBlock(TSelectionType::Stream, 0, 0, 1, 4);
  TPoint begin = m->BlockBegin(), end = m->BlockEnd();
  ScopedView v(*m);
  m->UpperCaseBlock();
  EXPECT_EQ(StoredLines(*m), (Lines{"  A", "  B"}));
  ASSERT_EQ(v.view.Count(), 1);
  if (m->BlockBegin() != begin || m->BlockEnd() != end) {
    EXPECT_TRUE(v.view.Last().Flags.Has(chSelection))
        << "selection now " << m->BlockBegin().X << "," << m->BlockBegin().Y << "-"
        << m->BlockEnd().X << "," << m->BlockEnd().Y;
  }

  auto i = BaseModel({"a", "b"});
  i->SelectBlock(TSelectionType::Stream, 0, 0, 1, 1);
  ScopedView w(*i);
  i->IndentBlock();
  ASSERT_EQ(w.view.Count(), 1);
  EXPECT_NE(i->BlockEnd(), (TPoint{1, 1}));
  EXPECT_TRUE(w.view.Last().Flags.Has(chSelection));
}

TEST(ChangeBracket, ALoadReportsEverythingButSelectionAndReadOnly) {
  auto m = BaseModel({"a"});
  ScopedView v(*m);
  m->LoadFromBytes("x\r\ny");
  ASSERT_EQ(v.view.Count(), 1);
  ExpectFlags(v.view,
              {chCaret, chText, chUndo, chLineState, chOverwrite, chLineCount, chModified,
               chFileName, chParser},
              {chReadOnly});
  EXPECT_TRUE(Covers(v.view.Last(), 0));
  EXPECT_TRUE(Covers(v.view.Last(), 1));

  // Registering with a refresh is itself such a change.
  RecordingView late;
  m->AddView(&late, true);
  ASSERT_EQ(late.Count(), 1);
  ExpectFlags(late, {chText, chLineCount, chCaret});
  m->RemoveView(&late);
}

TEST(ChangeBracket, PropertyChangesReportTheirOwnFlag) {
  auto m = BaseModel({"a", "b"});
  ScopedView v(*m);

  m->SetOverwrite(true);
  ASSERT_EQ(v.view.Count(), 1);
  EXPECT_TRUE(v.view.Last().Flags.Has(chOverwrite));
  m->SetOverwrite(true);
  EXPECT_EQ(v.view.Count(), 1);
  m->ToggleOverwrite();
  EXPECT_FALSE(TCustomMemoSource::Overwrite());
  EXPECT_EQ(v.view.Count(), 2);

  m->SetFileName("one.zba");
  EXPECT_TRUE(v.view.Last().Flags.Has(chFileName));
  m->SetFileName("two.zba");
  EXPECT_EQ(m->PrevFileName(), "one.zba");
  EXPECT_EQ(m->FileName(), "two.zba");
  int n = v.view.Count();
  m->SetFileName("two.zba");
  EXPECT_EQ(v.view.Count(), n);

  m->SetReadOnly(true);
  EXPECT_TRUE(v.view.Last().Flags.Has(chReadOnly));
  m->SetReadOnly(false);

  m->SetLineState(1, 3);
  EXPECT_EQ(m->GetLineState(1), 3);
  EXPECT_TRUE(v.view.Last().Flags.Has(chLineState));
  EXPECT_TRUE(Covers(v.view.Last(), 1));
  n = v.view.Count();
  m->SetLineState(1, 3);
  EXPECT_EQ(v.view.Count(), n);

  m->SetHighlightUrls(true);
  EXPECT_TRUE(v.view.Last().Flags.Has(chParser));

  m->SetCaret(1, 0);
  m->TypeChar('x');
  ASSERT_TRUE(m->Modified());
  m->SetModified(false);
  EXPECT_TRUE(v.view.Last().Flags.Has(chModified));
  EXPECT_FALSE(m->Modified());
  n = v.view.Count();
  m->SetModified(false);
  EXPECT_EQ(v.view.Count(), n);
}

} // namespace
} // namespace marlo::test
