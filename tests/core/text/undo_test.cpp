// Undo and redo: grouping of steps, the save point and the modified state, the size
// limit, and replaying records without disturbing text the user never typed.
#include "core/error.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace marlo::test {
namespace {

void UndoAll(TCustomMemoSource& m) {
  for (int i = 0; i < 1000 && m.CanUndo(); ++i) m.Undo();
  ASSERT_FALSE(m.CanUndo());
}

void RedoAll(TCustomMemoSource& m) {
  for (int i = 0; i < 1000 && m.CanRedo(); ++i) m.Redo();
  ASSERT_FALSE(m.CanRedo());
}

void Type(TCustomMemoSource& m, const std::string& s) {
  for (char c : s) m.TypeChar(c);
}

TEST(Undo, GroupedTypingStopsAtACaretMoveOfItsOwn) {
  auto m = BaseModel();
  ASSERT_TRUE(m->Has(soGroupUndo));
  Type(*m, "abc");
  m->MoveCaretLeft();
  m->TypeChar('d');
  ASSERT_EQ(m->Lines().Text(), "abdc");

  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "abc");
  EXPECT_EQ(m->Caret(), (TPoint{2, 0}));
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "abc");
  EXPECT_EQ(m->Caret(), (TPoint{3, 0}));
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "");
  EXPECT_EQ(m->Caret(), (TPoint{0, 0}));
  EXPECT_FALSE(m->CanUndo());

  m->Redo();
  EXPECT_EQ(m->Lines().Text(), "abc");
  m->Redo();
  m->Redo();
  EXPECT_EQ(m->Lines().Text(), "abdc");
  EXPECT_EQ(m->Caret(), (TPoint{3, 0}));
  EXPECT_FALSE(m->CanRedo());
}

TEST(Undo, WithoutGroupingEveryCharacterIsAStep) {
  auto m = BaseModel();
  m->SetOption(soGroupUndo, false);
  Type(*m, "abc");
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "ab");
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "a");
  m->Redo();
  EXPECT_EQ(m->Lines().Text(), "ab");
  m->Undo();
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "");
}

TEST(Undo, EnterWithIndentationIsOneStep) {
  auto m = BaseModel({"    for i"});
  m->SetCaret(9, 0);
  m->InsertNewLine();
  ASSERT_EQ(StoredLines(*m), (Lines{"    for i", "    "}));
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"    for i"}));
  EXPECT_EQ(m->Caret(), (TPoint{9, 0}));
}

using M = TCustomMemoSource;

struct UndoCase {
  const char* name;
  Lines text;
  TPoint caret;
  std::vector<void (M::*)()> commands;
  int steps; // Undo calls until the text is back
};

UndoCase U(const char* name, Lines text, TPoint caret, std::vector<void (M::*)()> commands,
           int steps) {
  return {name, std::move(text), caret, std::move(commands), steps};
}

// With grouping on, one Undo takes back a run of commands of one kind; a command of
// another kind starts a new step.
TEST(Undo, GroupingFollowsTheKindOfEachCommand) {
  const UndoCase cases[] = {
      U("two word deletions", {"foo bar baz"}, {0, 0}, {&M::DeleteWordRight, &M::DeleteWordRight},
        1),
      U("a word, then a line", {"foo bar", "baz"}, {0, 0}, {&M::DeleteWordRight, &M::DeleteLine},
        2),
      U("two lines", {"a", "b", "c"}, {0, 0}, {&M::DeleteLine, &M::DeleteLine}, 1),
      U("a line, then to a line end", {"a", "bcd"}, {0, 0}, {&M::DeleteLine, &M::DeleteToLineEnd},
        1),
      U("two deletes", {"abcd"}, {1, 0}, {&M::DeleteChar, &M::DeleteChar}, 1),
      U("delete, then backspace", {"abcd"}, {2, 0}, {&M::DeleteChar, &M::BackSpace}, 2),
      U("two enters", {"ab"}, {1, 0}, {&M::InsertNewLine, &M::InsertNewLine}, 1),
      U("enter, then tab", {"ab"}, {1, 0}, {&M::InsertNewLine, &M::TabKey}, 2),
      U("indent, then upper-case", {"ab", "cd"}, {0, 0},
        {&M::SelectAll, &M::IndentBlock, &M::UpperCaseBlock}, 2),
      U("two case changes", {"Ab"}, {0, 0}, {&M::SelectAll, &M::UpperCaseBlock, &M::LowerCaseBlock},
        1),
      U("a word left, then a word right", {"foo bar baz"}, {4, 0},
        {&M::DeleteWordLeft, &M::DeleteWordRight}, 1),
  };
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = BaseModel(c.text);
    m->SetCaret(c.caret.X, c.caret.Y);
    for (auto command : c.commands) (m.get()->*command)();
    ASSERT_NE(StoredLines(*m), c.text);
    int steps = 0;
    while (StoredLines(*m) != c.text && m->CanUndo() && steps < 10) {
      m->Undo();
      ++steps;
    }
    EXPECT_EQ(steps, c.steps);
    EXPECT_EQ(StoredLines(*m), c.text);
  }
}

TEST(Undo, RedoHistoryIsLostByEditsAndByCaretMoves) {
  auto m = BaseModel({"xyz"});
  m->SetCaret(3, 0);
  m->TypeChar('a');
  m->Undo();
  ASSERT_TRUE(m->CanRedo());
  m->MoveCaretLeft();
  EXPECT_FALSE(m->CanRedo());

  m->TypeChar('b');
  m->Undo();
  ASSERT_TRUE(m->CanRedo());
  m->TypeChar('c');
  EXPECT_FALSE(m->CanRedo());

  // Undo leaves no selection behind.
  m->SelectAll();
  m->DeleteSelection();
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "xycz");
  EXPECT_FALSE(m->HasSelection());
}

TEST(Undo, SavePointDecidesModified) {
  auto m = BaseModel({"abc"});
  m->SetOption(soGroupUndo, false);
  m->SetCaret(3, 0);
  m->TypeChar('x');
  EXPECT_TRUE(m->Modified());
  m->SetModified(false);
  EXPECT_FALSE(m->Modified());

  // Caret moves after a save do not count.
  m->MoveCaretLeft();
  m->MoveCaretRight();
  EXPECT_FALSE(m->Modified());

  m->TypeChar('y');
  EXPECT_TRUE(m->Modified());
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "abcx");
  EXPECT_FALSE(m->Modified());
  m->Redo();
  EXPECT_TRUE(m->Modified());
  m->Undo();
  EXPECT_FALSE(m->Modified());
  m->Undo(); // the caret moves
  m->Undo();
  EXPECT_FALSE(m->Modified());

  // Below the save point the document is modified, and stays so until the next save.
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "abc");
  EXPECT_TRUE(m->Modified());
  m->Redo();
  EXPECT_EQ(m->Lines().Text(), "abcx");
  EXPECT_TRUE(m->Modified());
  m->SetModified(false);
  EXPECT_FALSE(m->Modified());
  m->SetModified(true);
  EXPECT_TRUE(m->Modified());
}

TEST(Undo, ChangesThatCannotBeUndoneKeepTheDocumentModified) {
  // The line write since the save cannot be undone, so no amount of undoing reaches the
  // saved text again.
  auto m = BaseModel({"abc"});
  m->Lines().Put(0, "abcd");
  ASSERT_TRUE(m->Modified());
  m->SetCaret(4, 0);
  m->TypeChar('e');
  m->Undo();
  EXPECT_EQ(m->Lines().Text(), "abcd");
  UndoAll(*m);
  EXPECT_TRUE(m->Modified());

  auto s = BaseModel({"abc"});
  s->SetCaret(3, 0);
  Type(*s, "xy");
  s->SetModified(false);
  s->Lines().Add("more");
  s->SetCaret(0, 1);
  s->TypeChar('q');
  UndoAll(*s);
  EXPECT_EQ(StoredLines(*s), (Lines{"abcxy", "more"}));
  EXPECT_TRUE(s->Modified());

  auto a = BaseModel({"abc"});
  a->SetCaret(3, 0);
  a->TypeChar('x');
  a->SetModified(false);
  a->TypeChar('y');
  a->SetAllowUndo(false);
  EXPECT_FALSE(a->CanUndo());
  a->SetAllowUndo(true);
  a->TypeChar('z');
  UndoAll(*a);
  EXPECT_EQ(a->Lines().Text(), "abcxy");
  EXPECT_TRUE(a->Modified());
}

TEST(Undo, AllowUndoOffMakesNoRecords) {
  auto m = BaseModel({"abc"});
  m->SetCaret(1, 0);
  m->TypeChar('x');
  ASSERT_TRUE(m->CanUndo());
  m->SetAllowUndo(false);
  EXPECT_FALSE(m->CanUndo());
  m->TypeChar('y');
  m->InsertNewLine();
  EXPECT_FALSE(m->CanUndo());
  EXPECT_EQ(m->UndoList().Count(), 0);
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"axy", "bc"}));
  m->SetAllowUndo(true);
  m->TypeChar('z');
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"axy", "bc"}));
}

TEST(Undo, LimitLetsTheListGrowAHundredPastItThenCutsToTheNewest) {
  auto m = BaseModel({std::string(300, 'x')});
  m->SetUndoLimit(10);
  for (int i = 0; i < 111; ++i) m->MoveCaretRight();
  EXPECT_EQ(m->UndoList().Count(), 111);
  m->MoveCaretRight();
  EXPECT_EQ(m->UndoList().Count(), 11);
  EXPECT_EQ(m->CaretX(), 112);
  // What is left takes back only the newest moves.
  UndoAll(*m);
  EXPECT_EQ(m->CaretX(), 101);

  // Lowering the limit trims at once; a limit within a hundred of the count does not.
  auto n = BaseModel({std::string(300, 'x')});
  for (int i = 0; i < 150; ++i) n->MoveCaretRight();
  ASSERT_EQ(n->UndoList().Count(), 150);
  n->SetUndoLimit(60);
  EXPECT_EQ(n->UndoList().Count(), 150);
  n->SetUndoLimit(10);
  EXPECT_EQ(n->UndoList().Count(), 10);
  EXPECT_EQ(n->UndoLimit(), 10);
}

TEST(Undo, ExplicitGroupsAreTakenBackTogether) {
  auto m = BaseModel({"xyz"});
  m->SetOption(soGroupUndo, false);
  m->BeginUndoGroup();
  m->TypeChar('a');
  m->TypeChar('b');
  m->MoveCaretLeft();
  m->InsertNewLine();
  m->EndUndoGroup();
  ASSERT_EQ(StoredLines(*m), (Lines{"a", "bxyz"}));
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"xyz"}));
  EXPECT_EQ(m->Caret(), (TPoint{0, 0}));
  EXPECT_FALSE(m->CanUndo());
  RedoAll(*m);
  EXPECT_EQ(StoredLines(*m), (Lines{"a", "bxyz"}));

  // With grouping on, one redo brings the whole group back too.
  auto g = BaseModel({"xyz"});
  g->BeginUndoGroup();
  g->TypeChar('a');
  g->MoveCaretLeft();
  g->InsertNewLine();
  g->EndUndoGroup();
  ASSERT_EQ(StoredLines(*g), (Lines{"", "axyz"}));
  g->Undo();
  EXPECT_EQ(StoredLines(*g), (Lines{"xyz"}));
  g->Redo();
  EXPECT_EQ(StoredLines(*g), (Lines{"", "axyz"}));
  EXPECT_FALSE(g->CanRedo());
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
  m->SetOption(soLimitEOL, false);
  m->SetSyntaxParser(&parser);
  m->ColorLines(0, 1, true);
  m->SetCaret(5, 0); // typing here pads the line inside an undo group
  parser.armed = true;
  EXPECT_THROW(m->TypeChar('x'), Error);
  parser.armed = false;
  m->SetCaret(0, 1);
  m->TypeChar('1');
  m->TypeChar('2');
  m->Undo();
  EXPECT_EQ(m->StoredLine(1), "1cd");
  m->Undo();
  EXPECT_EQ(m->StoredLine(1), "cd");
  m->SetSyntaxParser(nullptr);
}

// A blank typed at the end of a line is trimmed, without an undo record, when the caret
// leaves the line. Replaying the records afterwards must not take a character the user
// typed before instead.
TEST(Undo, ReplayNeverDeletesTextTheUserDidNotType) {
  for (bool limitEol : {false, true}) {
    for (std::string below : {"de", "defgh", ""}) {
      SCOPED_TRACE(std::string("soLimitEOL ") + (limitEol ? "on" : "off") + ", line below '" +
                   below + "'");
      auto m = BaseModel({"abc", below});
      m->SetOption(soLimitEOL, limitEol);
      m->SetCaret(3, 0);
      m->TypeChar(' ');
      m->MoveCaretDown();
      ASSERT_EQ(m->StoredLine(0), "abc");

      m->Undo();
      m->Undo();
      EXPECT_EQ(StoredLines(*m), (Lines{"abc", below}));
      EXPECT_EQ(m->CaretY(), 0);
      if (limitEol) {
        EXPECT_LE(m->CaretX(), m->LineLength(0));
      }
      UndoAll(*m);
      EXPECT_EQ(StoredLines(*m), (Lines{"abc", below}));

      RedoAll(*m);
      EXPECT_EQ(RTrimmed(StoredLines(*m)), (Lines{"abc", below}));
      if (limitEol) {
        EXPECT_LE(m->CaretX(), m->LineLength(m->CaretY()));
      }
    }
  }

  // Several blanks and a word, then back up and down through shorter lines.
  auto m = BaseModel({"abc", "d", "efghijk"});
  m->SetOption(soLimitEOL, true);
  m->SetCaret(3, 0);
  Type(*m, "  x  ");
  m->MoveCaretDown();
  m->MoveCaretDown();
  m->MoveCaretUp();
  m->MoveCaretUp();
  UndoAll(*m);
  EXPECT_EQ(StoredLines(*m), (Lines{"abc", "d", "efghijk"}));
}

TEST(Undo, SplittingPastTheEndOfALineIsTakenBackExactly) {
  auto m = BaseModel({"ext", "x"});
  m->SetCaret(17, 0);
  m->InsertNewLine();
  ASSERT_EQ(StoredLines(*m), (Lines{"ext", "", "x"}));
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"ext", "x"}));

  auto s = BaseModel({"ext", "x"});
  s->SetCaret(17, 0);
  s->SplitLine();
  s->Undo();
  EXPECT_EQ(StoredLines(*s), (Lines{"ext", "x"}));
}

// The caret that a replay leaves past the end of a trimmed line is brought back inside;
// undoing and redoing everything again and again must not pile up records for that.
TEST(Undo, UndoingAndRedoingEverythingAgainKeepsTheHistoryAsItWas) {
  for (bool group : {false, true}) {
    SCOPED_TRACE(group ? "soGroupUndo on" : "soGroupUndo off");
    auto m = BaseModel({"ab", "cdef"});
    m->SetOption(soLimitEOL, true);
    m->SetOption(soGroupUndo, group);
    m->SetCaret(2, 0);
    Type(*m, "  ");
    m->MoveCaretDown(); // trims the two blanks again
    int undos[4] = {}, redos[4] = {}, records[4] = {};
    for (int cycle = 0; cycle < 4; ++cycle) {
      for (; undos[cycle] < 200 && m->CanUndo(); ++undos[cycle]) m->Undo();
      EXPECT_EQ(StoredLines(*m), (Lines{"ab", "cdef"}));
      for (; redos[cycle] < 200 && m->CanRedo(); ++redos[cycle]) m->Redo();
      EXPECT_EQ(RTrimmed(StoredLines(*m)), (Lines{"ab", "cdef"}));
      records[cycle] = m->UndoList().Count();
    }
    for (int cycle = 1; cycle < 4; ++cycle) {
      SCOPED_TRACE(cycle);
      EXPECT_EQ(undos[cycle], undos[0]);
      EXPECT_EQ(redos[cycle], redos[0]);
      EXPECT_EQ(records[cycle], records[0]);
    }
  }
}

// A tab or a control character before "b" ends the line once "b" is deleted, and goes
// when the caret leaves; undo brings it back in its place, and "b" after it.
TEST(Undo, TrimmedTabsAndControlCharactersComeBack) {
  for (const std::string& tail : {std::string("\t"), std::string("\x01"), std::string("\x01 ")}) {
    SCOPED_TRACE(static_cast<int>(tail[0]));
    auto m = BaseModel();
    m->SetOption(soUseTabCharacter, true);
    m->SetTabStops("4");
    m->Lines().Assign({"a" + tail + "b", ""});
    m->SetCaret(1, 0);
    m->TypeChar('x');
    m->MoveCaretToLineEnd();
    m->BackSpace();
    m->MoveCaretDown();
    ASSERT_EQ(m->StoredLine(0), "ax");
    UndoAll(*m);
    EXPECT_EQ(m->StoredLine(0), "a" + tail + "b");
  }
}

TEST(Undo, ReplayDoesNotSnapTheCaretToTabs) {
  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  m->SetTabStops("5");
  m->Lines().Assign({"a\tbc"}); // the tab covers columns 1 to 4
  m->SetCaret(2, 0);
  m->TypeChar('X');
  m->TypeChar('Y');
  ASSERT_EQ(m->LineText(0), "a XY   bc");
  m->SetOption(soCursorAlwaysOnTabs, true);
  UndoAll(*m);
  EXPECT_EQ(StoredLines(*m), (Lines{"a\tbc"}));
}

TEST(Undo, PaddingOfShortLinesIsTakenBackWithoutTouchingOtherText) {
  auto m = BaseModel({"ab", "cd"});
  m->SetCaret(5, 0);
  EXPECT_TRUE(m->InsertText("XYZ"));
  ASSERT_EQ(m->StoredLine(0), "ab   XYZ");
  m->Undo();
  EXPECT_EQ(RTrim(m->StoredLine(0)), "ab");
  EXPECT_EQ(m->StoredLine(1), "cd");

  // Typing into the padding between two insertions, without grouping.
  auto t = BaseModel({"ab"});
  t->SetOption(soGroupUndo, false);
  t->SetCaret(6, 0);
  t->TypeChar('X');
  t->SetCaret(4, 0);
  t->TypeChar('Y');
  t->SetCaret(9, 0);
  t->TypeChar('Z');
  ASSERT_EQ(t->StoredLine(0), "ab  Y  X Z");
  t->Undo();
  EXPECT_EQ(RTrim(t->StoredLine(0)), "ab  Y  X");
  t->Undo();
  t->Undo();
  EXPECT_EQ(RTrim(t->StoredLine(0)), "ab    X");
  UndoAll(*t);
  EXPECT_EQ(RTrim(t->StoredLine(0)), "ab");
  RedoAll(*t);
  EXPECT_EQ(t->StoredLine(0), "ab  Y  X Z");

  // In overwrite mode past the end of the line.
  auto o = BaseModel({"ab"});
  o->SetOverwrite(true);
  o->SetCaret(4, 0);
  Type(*o, "XY");
  o->SetOverwrite(false);
  ASSERT_EQ(o->StoredLine(0), "ab  XY");
  UndoAll(*o);
  EXPECT_EQ(RTrim(o->StoredLine(0)), "ab");
}

} // namespace
} // namespace marlo::test
