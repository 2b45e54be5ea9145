// The editing commands built on the primitives: typing, Enter, Backspace, Delete, Tab,
// block rewriting, word and line deletion, the clipboard, inserted lines, code templates,
// dragging a selection, bracket matching and identifiers.
#include "core/text/char_case.h"
#include "core/text/code_template.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <clocale>
#include <regex>
#include <string>

namespace marlo::test {
namespace {

// One Undo takes the command back exactly and one Redo makes it again.
void ExpectOneUndoStep(TCustomMemoSource& m, const Lines& before) {
  Lines after = StoredLines(m);
  m.Undo();
  EXPECT_EQ(StoredLines(m), before) << "after one Undo";
  m.Redo();
  EXPECT_EQ(StoredLines(m), after) << "after one Redo";
}

class Editing : public ::testing::Test {
protected:
  void SetUp() override {
    ResetClipboard();
    TCustomMemoSource dummy;
    dummy.SetOverwrite(false);
  }
  void TearDown() override {
    TCustomMemoSource dummy;
    dummy.SetOverwrite(false);
    TClipboard::Install(nullptr);
  }
};

// ---- Typing --------------------------------------------------------------------------

TEST_F(Editing, TypingInsertsAtTheCaretAndPadsShortLines) {
  auto m = DocModel();
  m->TypeChar('a');
  m->TypeChar('b');
  EXPECT_EQ(StoredLines(*m), (Lines{"ab"}));
  EXPECT_EQ(m->Caret(), (TPoint{2, 0}));
  m->TypeChar('\xe9');
  EXPECT_EQ(m->StoredLine(0), "ab\xe9");

  auto b = BaseModel({"abc"});
  b->SetCaret(10, 0);
  b->TypeChar('X');
  EXPECT_EQ(b->StoredLine(0), "abc       X");
  EXPECT_EQ(b->Caret(), (TPoint{11, 0}));
}

TEST_F(Editing, TypingInOverwriteMode) {
  auto m = BaseModel({"abc"});
  m->SetCaret(1, 0);
  m->SetOverwrite(true);
  m->TypeChar('X');
  EXPECT_EQ(m->StoredLine(0), "aXc");
  EXPECT_EQ(m->Caret(), (TPoint{2, 0}));
  m->TypeChar('Y');
  m->TypeChar('Z'); // past the end it appends
  EXPECT_EQ(m->StoredLine(0), "aXYZ");
  EXPECT_EQ(m->Caret(), (TPoint{4, 0}));
  m->Undo();
  EXPECT_EQ(m->StoredLine(0), "abc");
}

TEST_F(Editing, TypingOverASelection) {
  auto m = DocModel({"hello world"});
  Select(*m, TSelectionType::Stream, 0, 0, 5, 0);
  m->TypeChar('X');
  EXPECT_EQ(m->StoredLine(0), "X world");
  EXPECT_EQ(m->Caret(), (TPoint{1, 0}));
  EXPECT_FALSE(m->HasSelection());

  // Without overwriting blocks the text goes in at the caret and the selection goes.
  auto k = DocModel({"hello world"});
  k->SetOption(soOverwriteBlocks, false);
  Select(*k, TSelectionType::Stream, 0, 0, 5, 0);
  k->TypeChar('X');
  EXPECT_EQ(k->StoredLine(0), "helloX world");
  EXPECT_FALSE(k->HasSelection());

  // Persistent blocks are neither overwritten nor dropped.
  auto p = DocModel({"hello world"});
  p->SetOption(soPersistentBlocks, true);
  Select(*p, TSelectionType::Stream, 0, 0, 5, 0);
  p->TypeChar('X');
  EXPECT_EQ(p->StoredLine(0), "helloX world");
  EXPECT_EQ(p->Selection().Text(), "hello");
}

// ---- Enter ---------------------------------------------------------------------------

TEST_F(Editing, EnterKeepsTheIndentation) {
  auto m = DocModel({"   for i"});
  m->SetCaret(7, 0);
  m->InsertNewLine();
  EXPECT_EQ(StoredLines(*m), (Lines{"   for", "   i"}));
  EXPECT_EQ(m->Caret(), (TPoint{3, 1}));
  ExpectOneUndoStep(*m, {"   for i"});

  auto e = DocModel({"    abc"});
  e->SetCaret(7, 0);
  e->InsertNewLine();
  EXPECT_EQ(StoredLines(*e), (Lines{"    abc", "    "}));
  EXPECT_EQ(e->Caret(), (TPoint{4, 1}));

  // An empty line takes the indentation of the nearest non-empty line above.
  auto u = DocModel({"  x", "", ""});
  u->SetCaret(0, 2);
  u->InsertNewLine();
  EXPECT_EQ(StoredLines(*u), (Lines{"  x", "", "", "  "}));
  EXPECT_EQ(u->Caret(), (TPoint{2, 3}));

  // Inside the indentation only the part left of the caret is repeated.
  auto i = DocModel({"    abc"});
  i->SetCaret(1, 0);
  i->InsertNewLine();
  EXPECT_EQ(StoredLines(*i), (Lines{"", "    abc"}));
  EXPECT_EQ(i->Caret(), (TPoint{1, 1}));

  auto n = DocModel({"    abc"});
  n->SetOption(soAutoIndent, false);
  n->SetCaret(7, 0);
  n->InsertNewLine();
  EXPECT_EQ(StoredLines(*n), (Lines{"    abc", ""}));
  EXPECT_EQ(n->Caret(), (TPoint{0, 1}));

  auto empty = DocModel();
  empty->InsertNewLine();
  EXPECT_EQ(StoredLines(*empty), (Lines{"", ""}));
  EXPECT_EQ(empty->Caret(), (TPoint{0, 1}));

  auto s = DocModel({"abcdef"});
  Select(*s, TSelectionType::Stream, 1, 0, 3, 0);
  s->InsertNewLine();
  EXPECT_EQ(StoredLines(*s), (Lines{"a", "def"}));
  EXPECT_EQ(s->Caret(), (TPoint{0, 1}));
}

TEST_F(Editing, EnterWithTabCharacters) {
  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  m->SetOption(soOptimalFill, true);
  m->SetTabStops("3");
  m->Lines().Assign({"       x"});
  m->SetCaret(8, 0);
  m->InsertNewLine();
  EXPECT_EQ(m->StoredLine(1), "\t\t ");
  EXPECT_EQ(m->LineText(1), "       ");
  EXPECT_EQ(m->Caret(), (TPoint{7, 1}));

  auto p = BaseModel();
  p->SetOption(soUseTabCharacter, true);
  p->SetOption(soUsePrevIndent, true);
  p->SetTabStops("3");
  p->Lines().Assign({"\t x"});
  p->SetCaret(5, 0);
  p->InsertNewLine();
  EXPECT_EQ(p->StoredLine(1), "\t ");
  EXPECT_EQ(p->Caret(), (TPoint{4, 1}));
}

TEST_F(Editing, EnterInOverwriteModeOnlyMovesTheCaret) {
  auto m = DocModel({"    abc", "  def", "xy"});
  m->SetOverwrite(true);
  m->SetCaret(6, 0);
  m->InsertNewLine(); // past the indentation: to the indentation of the line below
  EXPECT_EQ(m->Caret(), (TPoint{2, 1}));
  m->SetCaret(1, 0);
  m->InsertNewLine(); // within it: the same column
  EXPECT_EQ(m->Caret(), (TPoint{1, 1}));
  m->SetCaret(5, 1);
  m->InsertNewLine();
  EXPECT_EQ(m->Caret(), (TPoint{0, 2}));
  m->SetOption(soAutoIndent, false);
  m->SetCaret(6, 0);
  m->InsertNewLine();
  EXPECT_EQ(m->Caret(), (TPoint{0, 1}));
  EXPECT_EQ(StoredLines(*m), (Lines{"    abc", "  def", "xy"}));
}

// ---- Backspace and Delete ------------------------------------------------------------

TEST_F(Editing, BackSpaceDeletesLeftOrJoins) {
  auto m = BaseModel({"abc", "def"});
  m->SetCaret(2, 0);
  m->BackSpace();
  EXPECT_EQ(StoredLines(*m), (Lines{"ac", "def"}));
  EXPECT_EQ(m->Caret(), (TPoint{1, 0}));
  m->SetCaret(0, 1);
  m->BackSpace();
  EXPECT_EQ(StoredLines(*m), (Lines{"acdef"}));
  EXPECT_EQ(m->Caret(), (TPoint{2, 0}));

  // At the very start of the text there is nothing to delete.
  for (bool unindents : {true, false}) {
    auto s = BaseModel({"abc", "def"});
    s->SetOption(soBackUnindents, unindents);
    s->BackSpace();
    EXPECT_EQ(StoredLines(*s), (Lines{"abc", "def"}));
    EXPECT_EQ(s->Caret(), (TPoint{0, 0}));
  }

  // Past the end of the line, or below the text, it only moves the caret.
  auto p = BaseModel({"abc"});
  p->SetCaret(5, 0);
  p->BackSpace();
  EXPECT_EQ(p->Caret(), (TPoint{4, 0}));
  EXPECT_EQ(StoredLines(*p), (Lines{"abc"}));
  p->SetOption(soBeyondFileEnd, true);
  p->SetCaret(2, 3);
  p->BackSpace();
  EXPECT_EQ(p->Caret(), (TPoint{1, 3}));
  EXPECT_EQ(StoredLines(*p), (Lines{"abc"}));

  auto sel = DocModel({"abcdef"});
  Select(*sel, TSelectionType::Stream, 1, 0, 4, 0);
  sel->BackSpace();
  EXPECT_EQ(StoredLines(*sel), (Lines{"aef"}));
  EXPECT_EQ(sel->Caret(), (TPoint{1, 0}));
}

TEST_F(Editing, BackSpaceUnindentsToThePreviousLevel) {
  auto m = DocModel({"   a", "      b"});
  m->SetCaret(6, 1);
  m->BackSpace();
  EXPECT_EQ(StoredLines(*m), (Lines{"   a", "   b"}));
  EXPECT_EQ(m->Caret(), (TPoint{3, 1}));
  ExpectOneUndoStep(*m, {"   a", "      b"});
  m->BackSpace();
  EXPECT_EQ(StoredLines(*m), (Lines{"   a", "b"}));
  EXPECT_EQ(m->Caret(), (TPoint{0, 1}));

  // Not at the first non-blank, or without the option: one character.
  auto w = DocModel({"   a", "      b"});
  w->SetCaret(4, 1);
  w->BackSpace();
  EXPECT_EQ(StoredLines(*w), (Lines{"   a", "     b"}));
  EXPECT_EQ(w->Caret(), (TPoint{3, 1}));
  auto o = DocModel({"   a", "      b"});
  o->SetOption(soBackUnindents, false);
  o->SetCaret(6, 1);
  o->BackSpace();
  EXPECT_EQ(StoredLines(*o), (Lines{"   a", "     b"}));
  EXPECT_EQ(o->Caret(), (TPoint{5, 1}));
}

TEST_F(Editing, DeleteKeyDeletesRightOrJoins) {
  auto m = DocModel({"abc", "def"});
  m->SetCaret(1, 0);
  m->DeleteChar();
  EXPECT_EQ(StoredLines(*m), (Lines{"ac", "def"}));
  m->SetCaret(2, 0);
  m->DeleteChar();
  EXPECT_EQ(StoredLines(*m), (Lines{"acdef"}));
  m->SetCaret(5, 0);
  m->DeleteChar();
  EXPECT_EQ(StoredLines(*m), (Lines{"acdef"}));

  auto p = BaseModel({"ab", "cd"});
  p->SetCaret(4, 0);
  p->DeleteChar();
  EXPECT_EQ(StoredLines(*p), (Lines{"ab  cd"}));

  auto s = DocModel({"abcdef"});
  Select(*s, TSelectionType::Stream, 1, 0, 4, 0);
  s->DeleteChar();
  EXPECT_EQ(StoredLines(*s), (Lines{"aef"}));
}

// ---- Tab and back-tab ----------------------------------------------------------------

TEST_F(Editing, TabFillsUpToTheNextStop) {
  auto m = DocModel({"abcdef", "abc"});
  m->SetCaret(4, 0);
  m->TabKey();
  EXPECT_EQ(m->StoredLine(0), "abcd  ef");
  EXPECT_EQ(m->Caret(), (TPoint{6, 0}));
  m->SetCaret(3, 1); // at a stop: to the next one
  m->TabKey();
  EXPECT_EQ(m->StoredLine(1), "abc   ");
  EXPECT_EQ(m->Caret(), (TPoint{6, 1}));

  auto o = DocModel({"abcdef"});
  o->SetOverwrite(true);
  o->SetCaret(4, 0);
  o->TabKey();
  EXPECT_EQ(o->Caret(), (TPoint{6, 0}));
  EXPECT_EQ(o->StoredLine(0), "abcdef");

  // A selection over several lines gets the same fill in front of each piece.
  auto s = DocModel({"abcdef", "ghijkl"});
  Select(*s, TSelectionType::Stream, 1, 0, 2, 1);
  s->TabKey();
  EXPECT_EQ(StoredLines(*s), (Lines{"a  bcdef", "  ghijkl"}));
  ExpectOneUndoStep(*s, {"abcdef", "ghijkl"});

  auto t = BaseModel({"ab"});
  t->SetOption(soUseTabCharacter, true);
  t->SetTabStops("3");
  t->SetCaret(2, 0);
  t->TabKey();
  EXPECT_EQ(t->StoredLine(0), "ab\t");
  EXPECT_EQ(t->Caret(), (TPoint{3, 0}));
}

TEST_F(Editing, SmartTabFollowsTheLineAbove) {
  auto m = BaseModel({"    foo bar", "x"});
  ASSERT_TRUE(m->Has(soSmartTab));
  m->SetCaret(1, 1);
  m->TabKey(); // to the indentation above
  EXPECT_EQ(m->StoredLine(1), "x   ");
  EXPECT_EQ(m->Caret(), (TPoint{4, 1}));

  auto w = BaseModel({"    foo bar", "x"});
  w->SetCaret(6, 1);
  w->TabKey(); // to the next word above
  EXPECT_EQ(w->Caret(), (TPoint{8, 1}));
  EXPECT_EQ(w->LineLength(1), 8);

  auto n = BaseModel({"    foo", "x"});
  n->SetCaret(5, 1);
  n->TabKey(); // no word: the tab stop
  EXPECT_EQ(n->Caret(), (TPoint{9, 1}));
}

TEST_F(Editing, BackTab) {
  auto m = DocModel({"abcdefghij"});
  m->SetCaret(7, 0);
  m->BackTab();
  EXPECT_EQ(m->CaretX(), 6);
  m->BackTab();
  EXPECT_EQ(m->CaretX(), 3);
  m->BackTab();
  EXPECT_EQ(m->CaretX(), 0);
  m->BackTab();
  EXPECT_EQ(m->CaretX(), 0);
  EXPECT_EQ(m->StoredLine(0), "abcdefghij");

  auto s = DocModel({"      abc", "      def", "  ghi"});
  Select(*s, TSelectionType::Stream, 0, 0, 5, 2);
  s->BackTab();
  EXPECT_EQ(StoredLines(*s), (Lines{"   abc", "   def", "ghi"}));
}

// ---- Block rewriting -----------------------------------------------------------------

TEST_F(Editing, IndentAndUnindentBlocks) {
  auto m = DocModel({"abc", "def", "ghi"});
  Select(*m, TSelectionType::Stream, 0, 0, 3, 1);
  m->IndentBlock();
  EXPECT_EQ(StoredLines(*m), (Lines{"   abc", "   def", "ghi"}));
  EXPECT_TRUE(m->HasSelection());
  ExpectOneUndoStep(*m, {"abc", "def", "ghi"});

  auto e = DocModel({"abc", "", "ghi"});
  Select(*e, TSelectionType::Stream, 0, 0, 3, 2);
  e->IndentBlock(); // empty items stay empty
  EXPECT_EQ(StoredLines(*e), (Lines{"   abc", "", "   ghi"}));

  auto u = DocModel({"    abc", " def", "ghi"});
  Select(*u, TSelectionType::Stream, 0, 0, 3, 2);
  u->UnindentBlock();
  EXPECT_EQ(StoredLines(*u), (Lines{" abc", "def", "ghi"}));

  auto c = DocModel({"abcdef", "ghijkl"});
  Select(*c, TSelectionType::Column, 1, 0, 2, 1);
  c->IndentBlock();
  EXPECT_EQ(StoredLines(*c), (Lines{"a   bcdef", "g   hijkl"}));
  EXPECT_EQ(c->SelectionKind(), TSelectionType::Column);

  auto cu = DocModel({"a   bc", "d  ef"});
  Select(*cu, TSelectionType::Column, 1, 0, 4, 1);
  cu->UnindentBlock();
  EXPECT_EQ(StoredLines(*cu), (Lines{"abc", "def"}));

  // The caret returns to its place, but not past the end of its shortened line.
  auto k = DocModel({"      abc", "      defgh"});
  Select(*k, TSelectionType::Stream, 0, 0, 11, 1);
  k->UnindentBlock();
  EXPECT_EQ(StoredLines(*k), (Lines{"   abc", "   defgh"}));
  EXPECT_EQ(k->CaretY(), 1);
  EXPECT_LE(k->CaretX(), k->LineLength(1));

  auto none = DocModel({"abc"});
  none->IndentBlock();
  none->UnindentBlock();
  none->UpperCaseBlock();
  none->QuoteBlock();
  EXPECT_EQ(StoredLines(*none), (Lines{"abc"}));
}

TEST_F(Editing, CaseConversionUsesAFixedTableAndKeepsLengths) {
  auto m = DocModel({"hello World 123", "aB"});
  Select(*m, TSelectionType::Stream, 0, 0, 11, 0);
  m->UpperCaseBlock();
  EXPECT_EQ(m->StoredLine(0), "HELLO WORLD 123");
  Select(*m, TSelectionType::Stream, 0, 0, 11, 0);
  m->LowerCaseBlock();
  EXPECT_EQ(m->StoredLine(0), "hello world 123");
  Select(*m, TSelectionType::Stream, 0, 1, 2, 1);
  m->ToggleCaseBlock();
  EXPECT_EQ(m->StoredLine(1), "Ab");

  // The letters of the Windows-1252 code page, whatever the process locale says.
  const std::string lower = "\xe0\xe9\xfe\xff\x9a\x9c\x9e";
  const std::string upper = "\xc0\xc9\xde\x9f\x8a\x8c\x8e";
  const std::string caseless = "\xdf\xb5\xd7\xf7\xaa\xba"
                               "1_";
  const char* saved = std::setlocale(LC_ALL, nullptr);
  std::string savedLocale = saved ? saved : "C";
  for (const char* locale : {"C", "C.UTF-8", "POSIX"}) {
    if (!std::setlocale(LC_ALL, locale)) continue;
    SCOPED_TRACE(locale);
    auto c = DocModel({lower + caseless, upper + caseless, "a" + upper + lower + "Z"});
    Select(*c, TSelectionType::Stream, 0, 0, c->LineLength(0), 0);
    c->UpperCaseBlock();
    EXPECT_EQ(c->StoredLine(0), upper + caseless);
    Select(*c, TSelectionType::Stream, 0, 1, c->LineLength(1), 1);
    c->LowerCaseBlock();
    EXPECT_EQ(c->StoredLine(1), lower + caseless);
    Select(*c, TSelectionType::Stream, 0, 2, c->LineLength(2), 2);
    c->ToggleCaseBlock();
    EXPECT_EQ(c->StoredLine(2), "A" + lower + upper + "z");
    EXPECT_EQ(UpperCaseText(lower + caseless), upper + caseless);
    EXPECT_EQ(LowerCaseText(upper + caseless), lower + caseless);
    for (int ch = 0; ch < 256; ++ch) {
      auto b = static_cast<unsigned char>(ch);
      // Conversions pair up: a letter converted there and back is itself again.
      if (UpperChar(b) != b) {
        EXPECT_EQ(LowerChar(UpperChar(b)), b) << ch;
      }
      if (LowerChar(b) != b) {
        EXPECT_EQ(UpperChar(LowerChar(b)), b) << ch;
      }
    }
  }
  std::setlocale(LC_ALL, savedLocale.c_str());

  auto w = DocModel({"hello world", "MIXED Case"});
  w->SetCaret(2, 0);
  w->UpperCaseWord();
  EXPECT_EQ(w->StoredLine(0), "HELLO world");
  EXPECT_EQ(w->Caret(), (TPoint{2, 0}));
  w->SetCaret(1, 1);
  w->LowerCaseWord();
  EXPECT_EQ(w->StoredLine(1), "mixed Case");
  EXPECT_EQ(w->Caret(), (TPoint{1, 1}));
}

TEST_F(Editing, QuoteBlock) {
  auto m = DocModel({"abc", "def", "ghi"});
  Select(*m, TSelectionType::Stream, 0, 0, 3, 1);
  m->QuoteBlock();
  EXPECT_EQ(StoredLines(*m), (Lines{">abc", ">def", "ghi"}));

  auto c = DocModel({"abc", "def"});
  Select(*c, TSelectionType::Column, 1, 0, 1, 1);
  c->QuoteBlock();
  EXPECT_EQ(StoredLines(*c), (Lines{"a>bc", "d>ef"}));
}

// ---- Word and line deletion ----------------------------------------------------------

TEST_F(Editing, LineDeletions) {
  auto m = DocModel({"a", "b", "c"});
  m->SetCaret(0, 1);
  m->DeleteLine();
  EXPECT_EQ(StoredLines(*m), (Lines{"a", "c"}));
  EXPECT_EQ(m->CaretY(), 1);
  ExpectOneUndoStep(*m, {"a", "b", "c"});

  auto one = DocModel({"abc"});
  one->SetCaret(2, 0);
  one->DeleteLine();
  EXPECT_EQ(one->Lines().Text(), "");

  auto last = DocModel({"a", "b"});
  last->SetCaret(1, 1);
  last->DeleteLine();
  EXPECT_EQ(last->StoredLine(0), "a");
  EXPECT_EQ(RTrim(last->Lines().Text()), "a");

  auto s = DocModel({"abcdef"});
  s->SetCaret(3, 0);
  s->DeleteToLineStart();
  EXPECT_EQ(s->StoredLine(0), "def");
  EXPECT_EQ(s->Caret(), (TPoint{0, 0}));

  auto e = DocModel({"abcdef"});
  e->SetCaret(3, 0);
  e->DeleteToLineEnd();
  EXPECT_EQ(e->StoredLine(0), "abc");
  EXPECT_EQ(e->Caret(), (TPoint{3, 0}));
}

TEST_F(Editing, WordDeletions) {
  auto r = DocModel({"foo bar baz"});
  r->SetCaret(4, 0);
  r->DeleteWordRight();
  EXPECT_EQ(r->StoredLine(0), "foo baz");
  EXPECT_EQ(r->Caret(), (TPoint{4, 0}));
  EXPECT_FALSE(r->HasSelection());

  auto l = DocModel({"foo bar baz"});
  l->SetCaret(8, 0);
  l->DeleteWordLeft();
  EXPECT_EQ(l->StoredLine(0), "foo baz");
  EXPECT_EQ(l->Caret(), (TPoint{4, 0}));
  EXPECT_FALSE(l->HasSelection());

  // At a line end the line break is what goes.
  auto rj = DocModel({"foo", "bar"});
  rj->SetCaret(3, 0);
  rj->DeleteWordRight();
  EXPECT_EQ(StoredLines(*rj), (Lines{"foobar"}));
  auto lj = DocModel({"foo", "bar"});
  lj->SetCaret(0, 1);
  lj->DeleteWordLeft();
  EXPECT_EQ(StoredLines(*lj), (Lines{"foobar"}));
  EXPECT_EQ(lj->Caret(), (TPoint{3, 0}));

  struct Case {
    Lines text;
    int x;
    Lines expected;
  };
  for (const Case& c : std::vector<Case>{
           {{"foo bar baz"}, 4, {"foo baz"}},  // the word and one blank
           {{"foo bar baz"}, 1, {"fbar baz"}}, // from inside the word
           {{"foo   bar"}, 4, {"foo bar"}},    // blanks up to the next word
           {{"foo:bar"}, 0, {":bar"}},         // a delimiter is no blank
           {{"foo", "bar"}, 3, {"foobar"}},    // at the end: join
       }) {
    SCOPED_TRACE(c.text[0] + " at " + std::to_string(c.x));
    auto m = DocModel(c.text);
    m->SetCaret(c.x, 0);
    m->DeleteToWordEnd();
    EXPECT_EQ(StoredLines(*m), c.expected);
  }
}

TEST_F(Editing, DeleteSelection) {
  auto none = BaseModel({"abc"});
  {
    ScopedView v(*none);
    none->DeleteSelection();
    EXPECT_EQ(v.view.Count(), 0);
  }

  auto m = BaseModel({"abcdef", "ghijkl", "mnopqr"});
  Select(*m, TSelectionType::Stream, 2, 0, 3, 2);
  m->DeleteSelection();
  EXPECT_EQ(StoredLines(*m), (Lines{"abpqr"}));
  EXPECT_EQ(m->Caret(), (TPoint{2, 0}));
  EXPECT_FALSE(m->HasSelection());
  ExpectOneUndoStep(*m, {"abcdef", "ghijkl", "mnopqr"});

  // Selected backwards: the caret is at the begin already.
  auto b = BaseModel({"abcdef", "ghijkl", "mnopqr"});
  Select(*b, TSelectionType::Stream, 3, 2, 2, 0);
  b->DeleteSelection();
  EXPECT_EQ(StoredLines(*b), (Lines{"abpqr"}));
  EXPECT_EQ(b->Caret(), (TPoint{2, 0}));

  auto whole = BaseModel({"a", "b", "c"});
  Select(*whole, TSelectionType::Stream, 0, 0, 0, 2);
  whole->DeleteSelection();
  EXPECT_EQ(StoredLines(*whole), (Lines{"c"}));

  auto one = BaseModel({"abcdef"});
  Select(*one, TSelectionType::Stream, 1, 0, 4, 0);
  one->DeleteSelection();
  EXPECT_EQ(StoredLines(*one), (Lines{"aef"}));
  EXPECT_EQ(one->Caret(), (TPoint{1, 0}));

  auto col = BaseModel({"abcdef", "ghijkl", "mnopqr"});
  Select(*col, TSelectionType::Column, 1, 0, 2, 2);
  col->DeleteSelection();
  EXPECT_EQ(StoredLines(*col), (Lines{"adef", "gjkl", "mpqr"}));
  EXPECT_FALSE(col->HasSelection());
  ExpectOneUndoStep(*col, {"abcdef", "ghijkl", "mnopqr"});

  auto past = BaseModel({"ab", "cdefg"});
  Select(*past, TSelectionType::Column, 3, 0, 4, 1);
  past->DeleteSelection();
  EXPECT_EQ(StoredLines(*past), (Lines{"ab", "cde"}));
}

// ---- Clipboard -----------------------------------------------------------------------

TEST_F(Editing, CopyAndCut) {
  TClipboard& clip = TClipboard::Current();
  auto m = BaseModel({"abc", "def"});
  Select(*m, TSelectionType::Stream, 1, 0, 2, 1);
  m->CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "bc\r\nde");
  EXPECT_FALSE(TCustomMemoSource::ClipboardIsColumn());
  EXPECT_EQ(StoredLines(*m), (Lines{"abc", "def"}));
  EXPECT_TRUE(m->HasSelection());

  Select(*m, TSelectionType::Column, 0, 0, 1, 1);
  m->CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "ab\r\nde");
  EXPECT_TRUE(TCustomMemoSource::ClipboardIsColumn());

  // What is copied is the stored text: tabs stay tabs.
  auto t = BaseModel();
  t->SetOption(soUseTabCharacter, true);
  t->SetTabStops("3");
  t->Lines().Assign({"a\tb"});
  t->SelectAll();
  t->CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "a\tb");

  // Nothing selected: copy empties the clipboard only when forced; cut always does.
  auto n = BaseModel({"abc"});
  ASSERT_TRUE(n->Has(soForceCutCopy));
  clip.SetText("old");
  n->CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "");
  n->SetOption(soForceCutCopy, false);
  clip.SetText("old");
  n->CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "old");
  n->CutToClipboard();
  EXPECT_EQ(clip.GetText(), "");
  EXPECT_EQ(StoredLines(*n), (Lines{"abc"}));

  auto c = BaseModel({"abcdef", "ghijkl"});
  Select(*c, TSelectionType::Stream, 2, 0, 3, 1);
  ScopedView v(*c);
  c->CutToClipboard();
  EXPECT_EQ(v.view.Count(), 1);
  EXPECT_EQ(clip.GetText(), "cdef\r\nghi");
  EXPECT_EQ(StoredLines(*c), (Lines{"abjkl"}));
  EXPECT_FALSE(c->HasSelection());
  ExpectOneUndoStep(*c, {"abcdef", "ghijkl"});
}

TEST_F(Editing, PasteSplitsTheClipboardIntoLines) {
  TClipboard& clip = TClipboard::Current();
  struct Case {
    std::string clip;
    Lines expected;
    TPoint caret;
  };
  for (const Case& c : std::vector<Case>{
           {"xy", {"axybc"}, {3, 0}},
           {"p\r\nq", {"ap", "qbc"}, {1, 1}},
           {"p\r\n", {"ap", "bc"}, {0, 1}},
           {"p\nq\rr", {"ap", "q", "rbc"}, {1, 2}},
           {std::string("ab\0cd", 5), {"aabbc"}, {3, 0}},
           {"a\tb", {"aa   bbc"}, {6, 0}},
       }) {
    SCOPED_TRACE(c.clip);
    auto m = DocModel({"abc"});
    clip.SetText(c.clip);
    m->SetCaret(1, 0);
    m->PasteFromClipboard();
    EXPECT_EQ(StoredLines(*m), c.expected);
    EXPECT_EQ(m->Caret(), c.caret);
    EXPECT_FALSE(m->HasSelection());
    ExpectOneUndoStep(*m, {"abc"});
  }

  auto e = DocModel({"abc"});
  clip.SetText("");
  ScopedView v(*e);
  e->PasteFromClipboard();
  EXPECT_EQ(StoredLines(*e), (Lines{"abc"}));
  EXPECT_EQ(v.view.Count(), 0);

  auto s = DocModel({"hello world"});
  Select(*s, TSelectionType::Stream, 0, 0, 5, 0);
  clip.SetText("bye");
  s->PasteFromClipboard();
  EXPECT_EQ(StoredLines(*s), (Lines{"bye world"}));

  auto h = DocModel({"abc"});
  h->OnPasteFromClipboard = [](TCustomMemoSource&, std::vector<std::string>& lines) {
    lines.push_back("!");
  };
  clip.SetText("x");
  h->SetCaret(3, 0);
  h->PasteFromClipboard();
  EXPECT_EQ(StoredLines(*h), (Lines{"abcx", "!"}));
}

TEST_F(Editing, PasteKeepsColumnsOnlyFromThisProgram) {
  auto m = DocModel({"abcd", "efgh", "ijkl"});
  Select(*m, TSelectionType::Column, 0, 0, 1, 1);
  m->CopyToClipboard();
  ASSERT_TRUE(TCustomMemoSource::ClipboardIsColumn());
  m->SetCaret(2, 1);
  m->PasteFromClipboard();
  EXPECT_EQ(StoredLines(*m), (Lines{"abcd", "efabgh", "ijefkl"}));

  // The same text put there by another program goes in as a stream.
  ForeignClipboard foreign;
  ScopedClipboard installed(&foreign);
  foreign.SetText("ab\r\nef");
  auto f = DocModel({"abcd", "efgh", "ijkl"});
  f->SetCaret(2, 1);
  f->PasteFromClipboard();
  EXPECT_EQ(StoredLines(*f), (Lines{"abcd", "efab", "efgh", "ijkl"}));
  EXPECT_FALSE(TCustomMemoSource::ClipboardIsColumn());
}

// ---- Inserting lines, templates, dragging --------------------------------------------

TEST_F(Editing, InsertLinesAsStream) {
  auto m = BaseModel({"abc"});
  m->SetCaret(1, 0);
  m->InsertLines({"XY"}, false);
  EXPECT_EQ(StoredLines(*m), (Lines{"aXYbc"}));
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{3, 0}));
  EXPECT_EQ(m->Caret(), (TPoint{3, 0}));

  auto s = BaseModel({"abc"});
  s->SetCaret(1, 0);
  {
    ScopedView v(*s);
    s->InsertLines({"X", "Y", "Z"}, false);
    EXPECT_EQ(v.view.Count(), 1);
  }
  EXPECT_EQ(StoredLines(*s), (Lines{"aX", "Y", "Zbc"}));
  EXPECT_EQ(s->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(s->BlockEnd(), (TPoint{1, 2}));
  EXPECT_EQ(s->Caret(), (TPoint{1, 2}));
  EXPECT_EQ(s->Selection().Text(), "X\r\nY\r\nZ");
  ExpectOneUndoStep(*s, {"abc"});

  auto e = BaseModel({"abc"});
  ScopedView v(*e);
  e->InsertLines({}, false);
  e->InsertLines({}, true);
  EXPECT_EQ(v.view.Count(), 0);

  auto t = BaseModel({"abc"});
  t->SetSpacesInTab(2);
  t->InsertLines({"\tq"}, false);
  EXPECT_EQ(t->StoredLine(0), "  qabc");
}

TEST_F(Editing, InsertLinesAsColumn) {
  auto m = BaseModel({"abcd", "efgh", "ijkl"});
  m->SetCaret(1, 0);
  m->InsertLines({"XY", "Z"}, true);
  EXPECT_EQ(StoredLines(*m), (Lines{"aXYbcd", "eZfgh", "ijkl"}));
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Column);
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{2, 1}));
  EXPECT_EQ(m->CaretY(), 2);
  ExpectOneUndoStep(*m, {"abcd", "efgh", "ijkl"});

  // Lines are added below the text as needed; the caret stays inside the text.
  auto b = BaseModel({"ab"});
  b->SetCaret(1, 0);
  b->InsertLines({"X", "Y", "Z"}, true);
  EXPECT_EQ(StoredLines(*b), (Lines{"aXb", " Y", " Z"}));
  EXPECT_LT(b->CaretY(), b->LineCount());
  ExpectOneUndoStep(*b, {"ab"});
}

int TemplateIndex(const TCustomMemoSource& m, const std::string& name);

TEST_F(Editing, InsertingBelowTheTextAddsTheLinesNeeded) {
  auto m = BaseModel({"a"});
  m->SetOption(soBeyondFileEnd, true);
  m->SetCaret(0, 2);
  m->InsertLines({"x", "y"}, false);
  EXPECT_EQ(StoredLines(*m), (Lines{"a", "", "x", "y"}));
  EXPECT_EQ(m->Caret(), (TPoint{1, 3}));
  ExpectOneUndoStep(*m, {"a"});

  auto p = DocModel({"a"});
  p->SetOption(soBeyondFileEnd, true);
  TClipboard::Current().SetText("p\r\nq");
  p->SetCaret(0, 1);
  p->PasteFromClipboard();
  EXPECT_EQ(StoredLines(*p), (Lines{"a", "p", "q"}));

  // The caret goes to the bar of a template only where the template went in.
  auto t = DocModel({"a"});
  t->SetOption(soBeyondFileEnd, true);
  t->SetCaret(0, 1);
  t->InsertCodeTemplate(TemplateIndex(*t, "while-endwhile block"));
  EXPECT_EQ(StoredLines(*t), (Lines{"a", "while ", "", "endwhile"}));
  EXPECT_EQ(t->Caret(), (TPoint{6, 1}));
  EXPECT_LE(t->CaretX(), t->LineLength(t->CaretY()));
}

int TemplateIndex(const TCustomMemoSource& m, const std::string& name) {
  const auto& list = m.CodeTemplates();
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].Name == name) return static_cast<int>(i);
  ADD_FAILURE() << "no template " << name;
  return -1;
}

TEST_F(Editing, CodeTemplatesKeepTheIndentationAndPutTheCaretAtTheBar) {
  auto m = DocModel({"    "});
  m->SetCaret(4, 0);
  m->InsertCodeTemplate(TemplateIndex(*m, "for-next block"));
  EXPECT_EQ(StoredLines(*m), (Lines{"    for  = 0 to 0", "    next"}));
  EXPECT_EQ(m->Caret(), (TPoint{8, 0}));
  EXPECT_FALSE(m->HasSelection());
  ExpectOneUndoStep(*m, {"    "});

  auto d = DocModel();
  d->InsertCodeTemplate(TemplateIndex(*d, "do-loop block"));
  EXPECT_EQ(StoredLines(*d),
            (Lines{"do", "   rem Use Exit to Break out of this loop", "   ", "loop"}));
  EXPECT_EQ(d->Caret(), (TPoint{3, 2}));

  auto i = DocModel({"  "});
  i->SetCaret(2, 0);
  i->InsertCodeTemplate(TemplateIndex(*i, "do-loop block"));
  EXPECT_EQ(StoredLines(*i),
            (Lines{"  do", "     rem Use Exit to Break out of this loop", "     ", "  loop"}));
  EXPECT_EQ(i->Caret(), (TPoint{5, 2}));

  // Without a bar the caret ends after the inserted text.
  auto n = DocModel({"x"});
  n->CodeTemplates().push_back({"plain", "User Defined", "abc\r\ndef"});
  n->InsertCodeTemplate(static_cast<int>(n->CodeTemplates().size()) - 1);
  EXPECT_EQ(StoredLines(*n), (Lines{"abc", "defx"}));
  EXPECT_EQ(n->Caret(), (TPoint{3, 1}));

  // A selection is replaced.
  auto s = DocModel({"if x"});
  Select(*s, TSelectionType::Stream, 0, 0, 4, 0);
  s->InsertCodeTemplate(TemplateIndex(*s, "if-then statement"));
  EXPECT_EQ(StoredLines(*s), (Lines{"if  then"}));
  EXPECT_EQ(s->Caret(), (TPoint{3, 0}));

  auto bad = DocModel({"x"});
  bad->InsertCodeTemplate(-1);
  bad->InsertCodeTemplate(99);
  EXPECT_EQ(StoredLines(*bad), (Lines{"x"}));
  auto base = BaseModel({"x"});
  base->InsertCodeTemplate(0);
  EXPECT_EQ(StoredLines(*base), (Lines{"x"}));

  EXPECT_EQ(m->FindCodeTemplates("FOR").size(), 2u);
  EXPECT_EQ(m->FindCodeTemplates("if-").size(), 3u);
  EXPECT_TRUE(m->FindCodeTemplates("zzz").empty());
}

TEST_F(Editing, TheBuiltInTemplates) {
  auto list = DefaultCodeTemplates();
  std::vector<std::string> names;
  for (const auto& t : list) names.push_back(t.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"comment block", "do-loop block", "for-next block",
                                             "for-next-step block", "function declaration",
                                             "if-then statement", "if-endif block",
                                             "if-else-endif block", "program header",
                                             "repeat-until block", "while-endwhile block"}));
  const std::string rule = "   " + std::string(67, '-');
  EXPECT_EQ(list[8].CodeLines(),
            (Lines{"remstart", rule, "   program name: |", rule, "   written by:", "   date:", rule,
                   "   comments:", rule, "remend"}));
  EXPECT_EQ(list[3].CodeLines(), (Lines{"for | = 0 to 0 step 1", "", "next"}));
  EXPECT_EQ(list[4].CodeLines(),
            (Lines{"function |(enter parameters here)", "", "endfunction {returnvalue}"}));
}

TEST_F(Editing, DraggingASelectionToTheCaret) {
  auto c = BaseModel({"abc def"});
  c->SetOption(soPersistentBlocks, true);
  Select(*c, TSelectionType::Stream, 0, 0, 3, 0);
  c->SetCaret(7, 0);
  c->CopySelectionToCaret();
  EXPECT_EQ(StoredLines(*c), (Lines{"abc defabc"}));
  ExpectOneUndoStep(*c, {"abc def"});

  auto m = BaseModel({"abc def"});
  m->SetOption(soPersistentBlocks, true);
  Select(*m, TSelectionType::Stream, 0, 0, 3, 0);
  m->SetCaret(7, 0);
  m->MoveSelectionToCaret();
  EXPECT_EQ(StoredLines(*m), (Lines{" defabc"}));
  ExpectOneUndoStep(*m, {"abc def"});

  auto back = BaseModel({"abc def"});
  back->SetOption(soPersistentBlocks, true);
  Select(*back, TSelectionType::Stream, 4, 0, 7, 0);
  back->SetCaret(0, 0);
  back->MoveSelectionToCaret();
  EXPECT_EQ(StoredLines(*back), (Lines{"defabc "}));

  auto inside = BaseModel({"abc def"});
  inside->SetOption(soPersistentBlocks, true);
  Select(*inside, TSelectionType::Stream, 0, 0, 3, 0);
  inside->SetCaret(1, 0);
  inside->MoveSelectionToCaret();
  inside->CopySelectionToCaret();
  EXPECT_EQ(StoredLines(*inside), (Lines{"abc def"}));

  auto lines = BaseModel({"one", "two", "three"});
  lines->SetOption(soPersistentBlocks, true);
  Select(*lines, TSelectionType::Stream, 0, 0, 0, 1);
  lines->SetCaret(5, 2);
  lines->MoveSelectionToCaret();
  EXPECT_EQ(StoredLines(*lines), (Lines{"two", "threeone", ""}));
  ExpectOneUndoStep(*lines, {"one", "two", "three"});

  auto col = BaseModel({"abc", "def"});
  col->SetOption(soPersistentBlocks, true);
  Select(*col, TSelectionType::Column, 0, 0, 0, 1);
  col->SetCaret(3, 0);
  col->CopySelectionToCaret();
  EXPECT_EQ(StoredLines(*col), (Lines{"abca", "defd"}));
}

// ---- Brackets and identifiers --------------------------------------------------------

TEST_F(Editing, GotoMatchingBracket) {
  auto m = BaseModel({"a(b(c)d)e", "f(x,", "  y)", "[{()}]", "(("});
  auto jump = [&](int x, int y) {
    m->SetCaret(x, y);
    m->GotoMatchingBracket();
    return m->Caret();
  };
  EXPECT_EQ(jump(1, 0), (TPoint{7, 0}));
  EXPECT_EQ(jump(7, 0), (TPoint{1, 0}));
  EXPECT_EQ(jump(3, 0), (TPoint{5, 0}));
  EXPECT_EQ(jump(0, 0), (TPoint{0, 0}));
  EXPECT_EQ(jump(1, 1), (TPoint{3, 2}));
  EXPECT_EQ(jump(3, 2), (TPoint{1, 1}));
  EXPECT_EQ(jump(0, 3), (TPoint{5, 3}));
  EXPECT_EQ(jump(1, 3), (TPoint{4, 3}));
  EXPECT_EQ(jump(4, 3), (TPoint{1, 3}));
  EXPECT_EQ(jump(0, 4), (TPoint{0, 4})); // never closed

  // A single selected character is the bracket considered.
  auto s = BaseModel({"x(y)"});
  Select(*s, TSelectionType::Stream, 1, 0, 2, 0);
  s->GotoMatchingBracket();
  EXPECT_EQ(s->Caret(), (TPoint{3, 0}));
}

TEST_F(Editing, BracketsInStringsAndCommentsDoNotCount) {
  // a ( " ) " ) with the quoted part coloured as a string, then as a comment.
  for (char style : {'\x01', '\x02'}) {
    SCOPED_TRACE(int(style));
    auto m = BaseModel({"a(\")\")", "(x) ( y )"});
    m->ColorCache().SetStyles(0, std::string("\0\0", 2) + std::string(3, style) + '\0');
    m->ColorCache().SetStyles(1, std::string(3, '\0') + std::string(6, style));
    m->SetCaret(1, 0);
    m->GotoMatchingBracket();
    EXPECT_EQ(m->Caret(), (TPoint{5, 0}));
    m->GotoMatchingBracket();
    EXPECT_EQ(m->Caret(), (TPoint{1, 0}));
    m->SetCaret(3, 0); // a bracket inside the string is not matched at all
    m->GotoMatchingBracket();
    EXPECT_EQ(m->Caret(), (TPoint{3, 0}));
    m->SetCaret(0, 1);
    m->GotoMatchingBracket();
    EXPECT_EQ(m->Caret(), (TPoint{2, 1}));
  }
}

TEST_F(Editing, InsertGuid) {
  const std::regex form(
      R"(x\['\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}'\]y)");
  auto m = DocModel({"xy"});
  m->SetCaret(1, 0);
  m->InsertGuid();
  std::string first(m->StoredLine(0));
  EXPECT_TRUE(std::regex_match(first, form)) << first;
  EXPECT_EQ(m->Caret(), (TPoint{43, 0}));
  EXPECT_FALSE(m->HasSelection());

  auto n = DocModel({"xy"});
  n->SetCaret(1, 0);
  n->InsertGuid();
  EXPECT_NE(std::string(n->StoredLine(0)), first);
  ExpectOneUndoStep(*n, {"xy"});

  // The selection is kept as it was.
  auto p = DocModel({"xy", "abc"});
  p->SetOption(soPersistentBlocks, true);
  Select(*p, TSelectionType::Column, 0, 1, 1, 1);
  p->SetCaret(1, 0);
  p->InsertGuid();
  EXPECT_EQ(p->SelectionKind(), TSelectionType::Column);
  EXPECT_EQ(p->BlockBegin(), (TPoint{0, 1}));
  EXPECT_EQ(p->BlockEnd(), (TPoint{1, 1}));
}

} // namespace
} // namespace marlo::test
