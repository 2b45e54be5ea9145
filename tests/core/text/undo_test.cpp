// Undo and redo: grouping of steps, the size limit, and replaying records without
// disturbing text the user never typed. The save point and the modified state, and undoing
// and redoing everything after any command sequence, are checked by model_random_test.cpp.
#include "core/error.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace marlo::test {
namespace {

using M = TCustomMemoSource;

void Type(M& m, const std::string& s) {
  for (char c : s) m.TypeChar(c);
}

// With grouping on, one Undo takes back a run of commands of one kind; a command of
// another kind, or a caret move of its own, starts a new step.
TEST(Undo, GroupingFollowsTheKindOfEachCommand) {
  using Commands = std::vector<std::function<void(M&)>>;
  const auto abc = [](M& m) { Type(m, "abc"); };
  const auto d = [](M& m) { m.TypeChar('d'); };
  // {text ('|' between lines), caret, commands, Undo calls until the text is back, grouping}
  const std::tuple<const char*, TPoint, Commands, int, bool> cases[] = {
      {"", {0, 0}, {abc, &M::MoveCaretLeft, d}, 3, true},
      {"", {0, 0}, {abc}, 3, false},
      {"    for i", {9, 0}, {&M::InsertNewLine}, 1, true}, // with its indentation
      {"    for i", {9, 0}, {&M::InsertNewLine}, 1, false},
      {"foo bar baz", {0, 0}, {&M::DeleteWordRight, &M::DeleteWordRight}, 1, true},
      {"foo bar|baz", {0, 0}, {&M::DeleteWordRight, &M::DeleteLine}, 2, true},
      {"a|b|c", {0, 0}, {&M::DeleteLine, &M::DeleteLine}, 1, true},
      {"a|bcd", {0, 0}, {&M::DeleteLine, &M::DeleteToLineEnd}, 1, true},
      {"abcd", {1, 0}, {&M::DeleteChar, &M::DeleteChar}, 1, true},
      {"abcd", {2, 0}, {&M::DeleteChar, &M::BackSpace}, 2, true},
      {"ab", {1, 0}, {&M::InsertNewLine, &M::InsertNewLine}, 1, true},
      {"ab", {1, 0}, {&M::InsertNewLine, &M::TabKey}, 2, true},
      {"ab|cd", {0, 0}, {&M::SelectAll, &M::IndentBlock, &M::UpperCaseBlock}, 2, true},
      {"Ab", {0, 0}, {&M::SelectAll, &M::UpperCaseBlock, &M::LowerCaseBlock}, 1, true},
      {"foo bar baz", {4, 0}, {&M::DeleteWordLeft, &M::DeleteWordRight}, 1, true},
  };
  for (const auto& [text, caret, commands, steps, group] : cases) {
    SCOPED_TRACE(::testing::Message() << text << ", " << commands.size() << " commands");
    auto m = BaseModel(LinesOf(text));
    m->SetOption(soGroupUndo, group);
    m->SetCaret(caret.X, caret.Y);
    for (const auto& command : commands) command(*m);
    ASSERT_NE(StoredLines(*m), LinesOf(text));
    int undone = 0;
    for (; StoredLines(*m) != LinesOf(text) && m->CanUndo() && undone < 10; ++undone) m->Undo();
    EXPECT_EQ(undone, steps);
    EXPECT_EQ(StoredLines(*m), LinesOf(text));
  }
}

TEST(Undo, RedoHistoryIsLostByEditsAndByCaretMoves) {
  auto m = BaseModel({"xyz"});
  m->SetCaret(3, 0);
  for (auto lose : {&M::MoveCaretLeft, &M::InsertNewLine}) {
    m->TypeChar('a');
    m->Undo();
    ASSERT_TRUE(m->CanRedo());
    (m.get()->*lose)();
    EXPECT_FALSE(m->CanRedo());
  }
}

TEST(Undo, ExplicitGroupsAndEditsWithoutUndo) {
  for (bool group : {false, true}) {
    SCOPED_TRACE(group ? "soGroupUndo on" : "soGroupUndo off");
    auto m = BaseModel({"xyz"});
    m->SetOption(soGroupUndo, group);
    m->BeginUndoGroup();
    Type(*m, "ab");
    m->MoveCaretLeft();
    m->InsertNewLine();
    m->EndUndoGroup();
    ASSERT_EQ(StoredLines(*m), (Lines{"a", "bxyz"}));
    m->Undo();
    EXPECT_EQ(StoredLines(*m), (Lines{"xyz"}));
    EXPECT_FALSE(m->CanUndo());
    m->Redo(); // with grouping on, one redo brings the whole group back too
    EXPECT_TRUE(!group || StoredLines(*m) == (Lines{"a", "bxyz"}));
  }

  auto m = BaseModel({"abc"});
  m->SetAllowUndo(false);
  m->TypeChar('y');
  m->InsertNewLine();
  EXPECT_FALSE(m->CanUndo());
  m->SetAllowUndo(true);
  m->TypeChar('z');
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"y", "abc"}));
}

TEST(Undo, LimitLetsTheListGrowAHundredPastItThenCutsToTheNewest) {
  auto m = BaseModel({std::string(300, 'x')});
  m->SetUndoLimit(10);
  for (int i = 0; i < 111; ++i) m->MoveCaretRight();
  EXPECT_EQ(m->UndoList().Count(), 111);
  m->MoveCaretRight();
  EXPECT_EQ(m->UndoList().Count(), 11);
  UndoEverything(*m); // what is left takes back only the newest moves
  EXPECT_EQ(m->CaretX(), 101);

  // Lowering the limit trims at once; a limit within a hundred of the count does not.
  m->SetUndoLimit(0);
  for (int i = 0; i < 150; ++i) m->MoveCaretRight();
  m->SetUndoLimit(60);
  EXPECT_EQ(m->UndoList().Count(), 150);
  m->SetUndoLimit(10);
  EXPECT_EQ(m->UndoList().Count(), 10);
}

// A highlighter that fails while armed, standing for any error raised in the middle of an
// edit (a line too long for the store, memory running out).
class FailingParser : public TLineParser {
public:
  bool armed = false;
  void SetLineIndex(int) override {}
  int ColorString(std::string_view text, int state, std::string& colors) override {
    if (armed) throw Error("highlighter failed");
    colors.assign(text.size(), '\0');
    return state;
  }
};

TEST(Undo, AnErrorInsideAGroupDoesNotLeaveItOpen) {
  FailingParser parser;
  auto m = BaseModel({"ab", "cd"});
  m->SetOption(soGroupUndo, false);
  m->SetSyntaxParser(&parser);
  m->ColorLines(0, 1, true);
  m->SetCaret(5, 0); // typing here pads the line inside an undo group
  parser.armed = true;
  EXPECT_THROW(m->TypeChar('x'), Error);
  parser.armed = false;
  m->SetCaret(0, 1);
  Type(*m, "12");
  m->Undo();
  EXPECT_EQ(m->StoredLine(1), "1cd");
  m->SetSyntaxParser(nullptr);
}

// A blank typed at the end of a line is trimmed, without an undo record, when the caret
// leaves the line. Replaying the records afterwards must not take a character the user
// typed before instead, nor pile up records for the caret it clamps.
TEST(Undo, ReplayNeverDeletesTextTheUserDidNotType) {
  for (bool limitEol : {false, true}) {
    for (std::string below : {"de", "defgh", ""}) {
      SCOPED_TRACE(std::string("soLimitEOL ") + (limitEol ? "on" : "off") + ", below '" + below);
      auto m = BaseModel({"abc", below});
      m->SetOption(soLimitEOL, limitEol);
      m->SetCaret(3, 0);
      m->TypeChar(' ');
      m->MoveCaretDown();
      ASSERT_EQ(m->StoredLine(0), "abc");
      m->Undo();
      m->Undo();
      EXPECT_EQ(StoredLines(*m), (Lines{"abc", below}));
      EXPECT_TRUE(!limitEol || m->CaretX() <= m->LineLength(0));
    }
  }

  // Several blanks and a word, then back up and down through shorter lines.
  auto m = BaseModel({"abc", "d", "efghijk"});
  m->SetOption(soLimitEOL, true);
  m->SetCaret(3, 0);
  Type(*m, "  x  ");
  for (auto move : {&M::MoveCaretDown, &M::MoveCaretDown, &M::MoveCaretUp, &M::MoveCaretUp})
    (m.get()->*move)();
  int records = -1;
  for (int cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    UndoEverything(*m);
    EXPECT_EQ(StoredLines(*m), (Lines{"abc", "d", "efghijk"}));
    RedoEverything(*m);
    EXPECT_EQ(RTrimmed(StoredLines(*m)), (Lines{"abc  x", "d", "efghijk"}));
    EXPECT_TRUE(records < 0 || m->UndoList().Count() == records) << "records piled up";
    records = m->UndoList().Count();
  }
}

// Typing into the padding between two insertions, without grouping: each Undo takes back
// one character and no more of the padding than it made.
TEST(Undo, PaddingPastALineEndIsTakenBackStepByStep) {
  auto t = BaseModel({"ab", "cd"});
  t->SetOption(soGroupUndo, false);
  for (TPoint at : {TPoint{6, 0}, TPoint{4, 0}, TPoint{9, 0}}) {
    t->SetCaret(at.X, at.Y);
    t->TypeChar('X');
  }
  ASSERT_EQ(t->StoredLine(0), "ab  X  X X");
  t->Undo();
  EXPECT_EQ(RTrim(t->StoredLine(0)), "ab  X  X");
  t->Undo();
  t->Undo();
  EXPECT_EQ(RTrim(t->StoredLine(0)), "ab    X");
  UndoEverything(*t);
  EXPECT_EQ(RTrimmed(StoredLines(*t)), (Lines{"ab", "cd"}));
  RedoEverything(*t);
  EXPECT_EQ(t->StoredLine(0), "ab  X  X X");
}

// Undo brings back tabs and control characters that trimming took from a line end, and
// does not snap its caret to tab stops while it replays.
TEST(Undo, TabsAndControlCharactersComeBack) {
  for (std::string tail : {"\t", "\x01", "\x01 "}) {
    SCOPED_TRACE(static_cast<int>(tail[0]));
    auto m = BaseModel();
    m->SetOption(soUseTabCharacter, true);
    m->SetTabStops("4");
    m->Lines().Assign({"a" + tail + "b", ""});
    m->SetCaret(1, 0);
    m->TypeChar('x');
    m->MoveCaretToLineEnd();
    m->BackSpace(); // the tail now ends the line
    m->MoveCaretDown();
    ASSERT_EQ(m->StoredLine(0), "ax");
    UndoEverything(*m);
    EXPECT_EQ(m->StoredLine(0), "a" + tail + "b");
  }

  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  m->SetTabStops("5");
  m->Lines().Assign({"a\tbc"}); // the tab covers columns 1 to 4
  m->SetCaret(2, 0);
  Type(*m, "XY");
  ASSERT_EQ(m->LineText(0), "a XY   bc");
  m->SetOption(soCursorAlwaysOnTabs, true);
  UndoEverything(*m);
  EXPECT_EQ(StoredLines(*m), (Lines{"a\tbc"}));
}

} // namespace
} // namespace marlo::test
