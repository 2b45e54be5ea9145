// The editing commands built on the primitives: typing, Enter, Backspace, Delete, Tab,
// block rewriting, word and line deletion, the clipboard, inserted lines, code templates,
// dragging a selection, bracket matching and identifiers.
#include "core/text/char_case.h"
#include "core/text/code_template.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <optional>
#include <regex>
#include <string>

namespace marlo::test {
namespace {

using M = TCustomMemoSource;
constexpr TSelectionType kNone = TSelectionType::None, kStream = TSelectionType::Stream,
                         kColumn = TSelectionType::Column;

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

enum { kBase = 1, kUndo = 2 };

void TypeX(M& m) {
  m.TypeChar('X');
}
void Overwrite(M& m) {
  m.SetOverwrite(true);
}
void FillWithTabs(M& m) {
  m.SetOption(soUseTabCharacter, true);
  m.SetOption(soOptimalFill, true);
  m.SetTabStops("3");
}
void PreviousIndentWithTabs(M& m) {
  m.SetOption(soUseTabCharacter, true);
  m.SetOption(soUsePrevIndent, true);
  m.SetTabStops("3");
  m.Lines().Assign({"\t x"});
}

int TemplateIndex(const TCustomMemoSource& m, const std::string& name) {
  const auto& list = m.CodeTemplates();
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].Name == name) return static_cast<int>(i);
  ADD_FAILURE() << "no template " << name;
  return -1;
}

void Persistent(M& m) {
  m.SetOption(soPersistentBlocks, true);
}

// One command on a document model (or the base model), from a caret or a selection.
struct CommandCase {
  const char* name;
  Lines text;
  TSelectionType kind; // kNone: `from` is the caret
  TPoint from, to;
  std::function<void(M&)> command;
  Lines expected;
  std::optional<TPoint> caret = {};
  int flags = 0; // kBase: the base model instead of a document's; kUndo: one Undo/Redo step
  void (*setup)(M&) = nullptr;
  const char* selected = nullptr; // the selection kept afterwards
};

CommandCase C(const char* name, Lines text, TSelectionType kind, TPoint from, TPoint to,
              std::function<void(M&)> command, Lines expected, std::optional<TPoint> caret = {},
              int flags = 0, void (*setup)(M&) = nullptr, const char* selected = nullptr) {
  return {name,  std::move(text), kind,  from,    to, std::move(command), std::move(expected),
          caret, flags,           setup, selected};
}

TEST_F(Editing, CommandsOnText) {
  const CommandCase cases[] = {
      // Typing
      C("type past the end pads", {"abc"}, kNone, {10, 0}, {}, TypeX, {"abc       X"}, {{11, 0}},
        kBase),
      C("type over a selection", {"hello world"}, kStream, {0, 0}, {5, 0}, TypeX, {"X world"},
        {{1, 0}}),
      C("type without overwriting blocks", {"hello world"}, kStream, {0, 0}, {5, 0}, TypeX,
        {"helloX world"}, {}, 0, [](M& m) { m.SetOption(soOverwriteBlocks, false); }),
      C("type by a persistent block", {"hello world"}, kStream, {0, 0}, {5, 0}, TypeX,
        {"helloX world"}, {}, 0, [](M& m) { m.SetOption(soPersistentBlocks, true); }, "hello"),
      C("type in overwrite mode", {"abc"}, kNone, {1, 0}, {}, TypeX, {"aXc"}, {{2, 0}},
        kBase | kUndo, Overwrite),
      C("overwrite appends at the end", {"abc"}, kNone, {3, 0}, {}, TypeX, {"abcX"}, {{4, 0}},
        kBase, Overwrite),
      // Enter
      C("enter keeps the indentation", {"   for i"}, kNone, {7, 0}, {}, &M::InsertNewLine,
        {"   for", "   i"}, {{3, 1}}, kUndo),
      C("enter at the end", {"    abc"}, kNone, {7, 0}, {}, &M::InsertNewLine, {"    abc", "    "},
        {{4, 1}}),
      C("enter on an empty line: the indent above", {"  x", "", ""}, kNone, {0, 2}, {},
        &M::InsertNewLine, {"  x", "", "", "  "}, {{2, 3}}),
      C("enter inside the indentation", {"    abc"}, kNone, {1, 0}, {}, &M::InsertNewLine,
        {"", "    abc"}, {{1, 1}}),
      C("enter without auto indent", {"    abc"}, kNone, {7, 0}, {}, &M::InsertNewLine,
        {"    abc", ""}, {{0, 1}}, 0, [](M& m) { m.SetOption(soAutoIndent, false); }),
      C("enter in an empty text", {}, kNone, {0, 0}, {}, &M::InsertNewLine, {"", ""}, {{0, 1}}),
      C("enter over a selection", {"abcdef"}, kStream, {1, 0}, {3, 0}, &M::InsertNewLine,
        {"a", "def"}, {{0, 1}}),
      C("enter fills with tabs", {"       x"}, kNone, {8, 0}, {}, &M::InsertNewLine,
        {"       x", "\t\t "}, {{7, 1}}, kBase, FillWithTabs),
      C("enter repeats the previous indent", {}, kNone, {5, 0}, {}, &M::InsertNewLine,
        {"\t x", "\t "}, {{4, 1}}, kBase, PreviousIndentWithTabs),
      // Enter in overwrite mode only moves the caret.
      C("overwrite enter past the indent", {"    abc", "  def", "xy"}, kNone, {6, 0}, {},
        &M::InsertNewLine, {"    abc", "  def", "xy"}, {{2, 1}}, 0, Overwrite),
      C("overwrite enter within the indent", {"    abc", "  def", "xy"}, kNone, {1, 0}, {},
        &M::InsertNewLine, {"    abc", "  def", "xy"}, {{1, 1}}, 0, Overwrite),
      C("overwrite enter to a flush line", {"    abc", "  def", "xy"}, kNone, {5, 1}, {},
        &M::InsertNewLine, {"    abc", "  def", "xy"}, {{0, 2}}, 0, Overwrite),
      C("overwrite enter without auto indent", {"    abc", "  def", "xy"}, kNone, {6, 0}, {},
        &M::InsertNewLine, {"    abc", "  def", "xy"}, {{0, 1}}, 0,
        [](M& m) { m.SetOverwrite(true); m.SetOption(soAutoIndent, false); }),
      // Backspace
      C("backspace", {"abc", "def"}, kNone, {2, 0}, {}, &M::BackSpace, {"ac", "def"}, {{1, 0}},
        kBase),
      C("backspace joins", {"abc", "def"}, kNone, {0, 1}, {}, &M::BackSpace, {"abcdef"}, {{3, 0}},
        kBase),
      C("backspace at the start", {"abc", "def"}, kNone, {0, 0}, {}, &M::BackSpace, {"abc", "def"},
        {{0, 0}}, kBase),
      C("backspace at the start, no unindent", {"abc", "def"}, kNone, {0, 0}, {}, &M::BackSpace,
        {"abc", "def"}, {{0, 0}}, kBase, [](M& m) { m.SetOption(soBackUnindents, false); }),
      C("backspace past the end moves", {"abc"}, kNone, {5, 0}, {}, &M::BackSpace, {"abc"},
        {{4, 0}}, kBase),
      C("backspace below the text moves", {"abc"}, kNone, {2, 3}, {}, &M::BackSpace, {"abc"},
        {{1, 3}}, kBase, [](M& m) { m.SetOption(soBeyondFileEnd, true); }),
      C("backspace over a selection", {"abcdef"}, kStream, {1, 0}, {4, 0}, &M::BackSpace, {"aef"},
        {{1, 0}}),
      C("backspace unindents", {"   a", "      b"}, kNone, {6, 1}, {}, &M::BackSpace,
        {"   a", "   b"}, {{3, 1}}, kUndo),
      C("backspace unindents to nothing", {"   a", "   b"}, kNone, {3, 1}, {}, &M::BackSpace,
        {"   a", "b"}, {{0, 1}}),
      C("backspace off the first non-blank", {"   a", "      b"}, kNone, {4, 1}, {}, &M::BackSpace,
        {"   a", "     b"}, {{3, 1}}),
      C("backspace without unindenting", {"   a", "      b"}, kNone, {6, 1}, {}, &M::BackSpace,
        {"   a", "     b"}, {{5, 1}}, 0, [](M& m) { m.SetOption(soBackUnindents, false); }),
      // Delete
      C("delete", {"abc", "def"}, kNone, {1, 0}, {}, &M::DeleteChar, {"ac", "def"}, {{1, 0}}),
      C("delete joins", {"abc", "def"}, kNone, {3, 0}, {}, &M::DeleteChar, {"abcdef"}, {{3, 0}}),
      C("delete at the end", {"abc"}, kNone, {3, 0}, {}, &M::DeleteChar, {"abc"}, {{3, 0}}),
      C("delete past the end pads and joins", {"ab", "cd"}, kNone, {4, 0}, {}, &M::DeleteChar,
        {"ab  cd"}, {{4, 0}}, kBase),
      C("delete a selection", {"abcdef"}, kStream, {1, 0}, {4, 0}, &M::DeleteChar, {"aef"},
        {{1, 0}}),
      // Tab and back-tab
      C("tab to the next stop", {"abcdef"}, kNone, {4, 0}, {}, &M::TabKey, {"abcd  ef"}, {{6, 0}}),
      C("tab at a stop", {"abc"}, kNone, {3, 0}, {}, &M::TabKey, {"abc   "}, {{6, 0}}),
      C("tab in overwrite mode moves", {"abcdef"}, kNone, {4, 0}, {}, &M::TabKey, {"abcdef"},
        {{6, 0}}, 0, Overwrite),
      C("tab before each piece of a selection", {"abcdef", "ghijkl"}, kStream, {1, 0}, {2, 1},
        &M::TabKey, {"a  bcdef", "  ghijkl"}, {}, kUndo),
      C("tab character", {"ab"}, kNone, {2, 0}, {}, &M::TabKey, {"ab\t"}, {{3, 0}}, kBase,
        [](M& m) { m.SetOption(soUseTabCharacter, true); m.SetTabStops("3"); }),
      C("smart tab to the indent above", {"    foo bar", "x"}, kNone, {1, 1}, {}, &M::TabKey,
        {"    foo bar", "x   "}, {{4, 1}}, kBase),
      C("smart tab to the next word above", {"    foo bar", "x"}, kNone, {6, 1}, {}, &M::TabKey,
        {"    foo bar", "x       "}, {{8, 1}}, kBase),
      C("smart tab without a word: the stop", {"    foo", "x"}, kNone, {5, 1}, {}, &M::TabKey,
        {"    foo", "x        "}, {{9, 1}}, kBase),
      C("back-tab between stops", {"abcdefghij"}, kNone, {7, 0}, {}, &M::BackTab, {"abcdefghij"},
        {{6, 0}}),
      C("back-tab from a stop", {"abcdefghij"}, kNone, {6, 0}, {}, &M::BackTab, {"abcdefghij"},
        {{3, 0}}),
      C("back-tab at the start", {"abcdefghij"}, kNone, {0, 0}, {}, &M::BackTab, {"abcdefghij"},
        {{0, 0}}),
      C("back-tab unindents a selection", {"      abc", "      def", "  ghi"}, kStream, {0, 0},
        {5, 2}, &M::BackTab, {"   abc", "   def", "ghi"}),
      // Block rewriting
      C("indent", {"abc", "def", "ghi"}, kStream, {0, 0}, {3, 1}, &M::IndentBlock,
        {"   abc", "   def", "ghi"}, {}, kUndo),
      C("indent leaves empty lines", {"abc", "", "ghi"}, kStream, {0, 0}, {3, 2}, &M::IndentBlock,
        {"   abc", "", "   ghi"}),
      C("unindent", {"    abc", " def", "ghi"}, kStream, {0, 0}, {3, 2}, &M::UnindentBlock,
        {" abc", "def", "ghi"}),
      C("indent a column", {"abcdef", "ghijkl"}, kColumn, {1, 0}, {2, 1}, &M::IndentBlock,
        {"a   bcdef", "g   hijkl"}),
      C("unindent a column", {"a   bc", "d  ef"}, kColumn, {1, 0}, {4, 1}, &M::UnindentBlock,
        {"abc", "def"}),
      C("unindent keeps the caret on its line", {"      abc", "      defgh"}, kStream, {0, 0},
        {11, 1}, &M::UnindentBlock, {"   abc", "   defgh"}, {{8, 1}}),
      C("indent without a selection", {"abc"}, kNone, {0, 0}, {}, &M::IndentBlock, {"abc"}),
      C("quote without a selection", {"abc"}, kNone, {0, 0}, {}, &M::QuoteBlock, {"abc"}),
      C("quote", {"abc", "def", "ghi"}, kStream, {0, 0}, {3, 1}, &M::QuoteBlock,
        {">abc", ">def", "ghi"}),
      C("quote a column", {"abc", "def"}, kColumn, {1, 0}, {1, 1}, &M::QuoteBlock,
        {"a>bc", "d>ef"}),
      C("upper-case a word", {"hello world", "MIXED Case"}, kNone, {2, 0}, {}, &M::UpperCaseWord,
        {"HELLO world", "MIXED Case"}, {{2, 0}}),
      C("lower-case a word", {"hello world", "MIXED Case"}, kNone, {1, 1}, {}, &M::LowerCaseWord,
        {"hello world", "mixed Case"}, {{1, 1}}),
      // Line and word deletion
      C("delete a line", {"a", "b", "c"}, kNone, {0, 1}, {}, &M::DeleteLine, {"a", "c"}, {{0, 1}},
        kUndo),
      C("delete the only line", {"abc"}, kNone, {2, 0}, {}, &M::DeleteLine, {}),
      C("delete the last line", {"a", "b"}, kNone, {1, 1}, {}, &M::DeleteLine, {"a", ""}),
      C("delete to the line start", {"abcdef"}, kNone, {3, 0}, {}, &M::DeleteToLineStart, {"def"},
        {{0, 0}}),
      C("delete to the line end", {"abcdef"}, kNone, {3, 0}, {}, &M::DeleteToLineEnd, {"abc"},
        {{3, 0}}),
      C("delete the word right", {"foo bar baz"}, kNone, {4, 0}, {}, &M::DeleteWordRight,
        {"foo baz"}, {{4, 0}}),
      C("delete the word left", {"foo bar baz"}, kNone, {8, 0}, {}, &M::DeleteWordLeft, {"foo baz"},
        {{4, 0}}),
      C("word right at a line end joins", {"foo", "bar"}, kNone, {3, 0}, {}, &M::DeleteWordRight,
        {"foobar"}),
      C("word left at a line start joins", {"foo", "bar"}, kNone, {0, 1}, {}, &M::DeleteWordLeft,
        {"foobar"}, {{3, 0}}),
      C("to the word end: word and blank", {"foo bar baz"}, kNone, {4, 0}, {}, &M::DeleteToWordEnd,
        {"foo baz"}),
      C("to the word end from inside", {"foo bar baz"}, kNone, {1, 0}, {}, &M::DeleteToWordEnd,
        {"fbar baz"}),
      C("to the word end over blanks", {"foo   bar"}, kNone, {4, 0}, {}, &M::DeleteToWordEnd,
        {"foo bar"}),
      C("to the word end: a delimiter is no blank", {"foo:bar"}, kNone, {0, 0}, {},
        &M::DeleteToWordEnd, {":bar"}),
      C("to the word end at a line end joins", {"foo", "bar"}, kNone, {3, 0}, {},
        &M::DeleteToWordEnd, {"foobar"}),
      // Deleting a selection
      C("delete a stream", {"abcdef", "ghijkl", "mnopqr"}, kStream, {2, 0}, {3, 2},
        &M::DeleteSelection, {"abpqr"}, {{2, 0}}, kBase | kUndo),
      C("delete a stream selected backwards", {"abcdef", "ghijkl", "mnopqr"}, kStream, {3, 2},
        {2, 0}, &M::DeleteSelection, {"abpqr"}, {{2, 0}}, kBase),
      C("delete whole lines", {"a", "b", "c"}, kStream, {0, 0}, {0, 2}, &M::DeleteSelection, {"c"},
        {}, kBase),
      C("delete within a line", {"abcdef"}, kStream, {1, 0}, {4, 0}, &M::DeleteSelection, {"aef"},
        {{1, 0}}, kBase),
      C("delete a column", {"abcdef", "ghijkl", "mnopqr"}, kColumn, {1, 0}, {2, 2},
        &M::DeleteSelection, {"adef", "gjkl", "mpqr"}, {}, kBase | kUndo),
      C("delete a column past a line end", {"ab", "cdefg"}, kColumn, {3, 0}, {4, 1},
        &M::DeleteSelection, {"ab", "cde"}, {}, kBase),
      // Code templates keep the indentation and put the caret at the bar.
      C("for-next template", {"    "}, kNone, {4, 0}, {},
        [](M& m) { m.InsertCodeTemplate(TemplateIndex(m, "for-next block")); },
        {"    for  = 0 to 0", "    next"}, {{8, 0}}, kUndo),
      C("do-loop template", {}, kNone, {0, 0}, {},
        [](M& m) { m.InsertCodeTemplate(TemplateIndex(m, "do-loop block")); },
        {"do", "   rem Use Exit to Break out of this loop", "   ", "loop"}, {{3, 2}}),
      C("indented do-loop template", {"  "}, kNone, {2, 0}, {},
        [](M& m) { m.InsertCodeTemplate(TemplateIndex(m, "do-loop block")); },
        {"  do", "     rem Use Exit to Break out of this loop", "     ", "  loop"}, {{5, 2}}),
      C("a template over a selection", {"if x"}, kStream, {0, 0}, {4, 0},
        [](M& m) { m.InsertCodeTemplate(TemplateIndex(m, "if-then statement")); }, {"if  then"},
        {{3, 0}}),
      // Dragging a persistent block to the caret
      C("copy a block to the caret", {"abc def"}, kStream, {0, 0}, {3, 0},
        [](M& m) { m.SetCaret(7, 0); m.CopySelectionToCaret(); }, {"abc defabc"}, {}, kBase | kUndo,
        Persistent),
      C("move a block to the caret", {"abc def"}, kStream, {0, 0}, {3, 0},
        [](M& m) { m.SetCaret(7, 0); m.MoveSelectionToCaret(); }, {" defabc"}, {}, kBase | kUndo,
        Persistent),
      C("move a block back", {"abc def"}, kStream, {4, 0}, {7, 0},
        [](M& m) { m.SetCaret(0, 0); m.MoveSelectionToCaret(); }, {"defabc "}, {}, kBase,
        Persistent),
      C("move or copy into the block itself", {"abc def"}, kStream, {0, 0}, {3, 0},
        [](M& m) { m.SetCaret(1, 0); m.MoveSelectionToCaret(); m.CopySelectionToCaret(); },
        {"abc def"}, {}, kBase, Persistent),
      C("move lines", {"one", "two", "three"}, kStream, {0, 0}, {0, 1},
        [](M& m) { m.SetCaret(5, 2); m.MoveSelectionToCaret(); }, {"two", "threeone", ""}, {},
        kBase | kUndo, Persistent),
      C("copy a column", {"abc", "def"}, kColumn, {0, 0}, {0, 1},
        [](M& m) { m.SetCaret(3, 0); m.CopySelectionToCaret(); }, {"abca", "defd"}, {}, kBase,
        Persistent),
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = (c.flags & kBase) ? BaseModel(c.text) : DocModel(c.text);
    if (c.setup) c.setup(*m);
    if (c.kind == kNone)
      m->SetCaret(c.from.X, c.from.Y);
    else
      Select(*m, c.kind, c.from.X, c.from.Y, c.to.X, c.to.Y);
    Lines before = StoredLines(*m);
    c.command(*m);
    EXPECT_EQ(StoredLines(*m), c.expected);
    if (c.caret) {
      EXPECT_EQ(m->Caret(), *c.caret);
    }
    if (c.selected) {
      EXPECT_EQ(m->Selection().Text(), c.selected);
    }
    if (c.flags & kUndo) ExpectOneUndoStep(*m, before);
  }
}

TEST_F(Editing, EditsThatDoNothingReportNothing) {
  auto m = BaseModel({"abc"});
  ScopedView v(*m);
  m->DeleteSelection();
  m->InsertLines({}, false);
  m->InsertLines({}, true);
  TClipboard::Current().SetText("");
  m->PasteFromClipboard();
  EXPECT_EQ(v.view.Count(), 0);
  EXPECT_EQ(StoredLines(*m), (Lines{"abc"}));
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

TEST_F(Editing, CodeTemplatesWithoutABarOrOutOfRange) {
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

  EXPECT_EQ(n->FindCodeTemplates("FOR").size(), 2u);
  EXPECT_EQ(n->FindCodeTemplates("if-").size(), 3u);
  EXPECT_TRUE(n->FindCodeTemplates("zzz").empty());
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
