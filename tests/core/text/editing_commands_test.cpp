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
      C("type by a persistent block", {"hello world"}, kStream, {0, 0}, {5, 0}, TypeX,
        {"helloX world"}, {}, 0, [](M& m) { m.SetOption(soPersistentBlocks, true); }, "hello"),
      C("type in overwrite mode", {"abc"}, kNone, {1, 0}, {}, TypeX, {"aXc"}, {{2, 0}},
        kBase | kUndo, Overwrite),
      // Enter
      C("enter keeps the indentation", {"   for i"}, kNone, {7, 0}, {}, &M::InsertNewLine,
        {"   for", "   i"}, {{3, 1}}, kUndo),
      C("enter on an empty line: the indent above", {"  x", "", ""}, kNone, {0, 2}, {},
        &M::InsertNewLine, {"  x", "", "", "  "}, {{2, 3}}),
      C("enter inside the indentation", {"    abc"}, kNone, {1, 0}, {}, &M::InsertNewLine,
        {"", "    abc"}, {{1, 1}}),
      C("enter fills with tabs", {"       x"}, kNone, {8, 0}, {}, &M::InsertNewLine,
        {"       x", "\t\t "}, {{7, 1}}, kBase, FillWithTabs),
      C("enter repeats the previous indent", {}, kNone, {5, 0}, {}, &M::InsertNewLine,
        {"\t x", "\t "}, {{4, 1}}, kBase, PreviousIndentWithTabs),
      // Enter in overwrite mode only moves the caret.
      C("overwrite enter past the indent", {"    abc", "  def", "xy"}, kNone, {6, 0}, {},
        &M::InsertNewLine, {"    abc", "  def", "xy"}, {{2, 1}}, 0, Overwrite),
      C("overwrite enter to a flush line", {"    abc", "  def", "xy"}, kNone, {5, 1}, {},
        &M::InsertNewLine, {"    abc", "  def", "xy"}, {{0, 2}}, 0, Overwrite),
      // Backspace
      C("backspace", {"abc", "def"}, kNone, {2, 0}, {}, &M::BackSpace, {"ac", "def"}, {{1, 0}},
        kBase),
      C("backspace joins", {"abc", "def"}, kNone, {0, 1}, {}, &M::BackSpace, {"abcdef"}, {{3, 0}},
        kBase),
      C("backspace past the end moves", {"abc"}, kNone, {5, 0}, {}, &M::BackSpace, {"abc"},
        {{4, 0}}, kBase),
      C("backspace unindents", {"   a", "      b"}, kNone, {6, 1}, {}, &M::BackSpace,
        {"   a", "   b"}, {{3, 1}}, kUndo),
      C("backspace off the first non-blank", {"   a", "      b"}, kNone, {4, 1}, {}, &M::BackSpace,
        {"   a", "     b"}, {{3, 1}}),
      // Delete
      C("delete joins", {"abc", "def"}, kNone, {3, 0}, {}, &M::DeleteChar, {"abcdef"}, {{3, 0}}),
      C("delete past the end pads and joins", {"ab", "cd"}, kNone, {4, 0}, {}, &M::DeleteChar,
        {"ab  cd"}, {{4, 0}}, kBase),
      // Tab and back-tab
      C("tab to the next stop", {"abcdef"}, kNone, {4, 0}, {}, &M::TabKey, {"abcd  ef"}, {{6, 0}}),
      C("tab at a stop", {"abc"}, kNone, {3, 0}, {}, &M::TabKey, {"abc   "}, {{6, 0}}),
      C("tab before each piece of a selection", {"abcdef", "ghijkl"}, kStream, {1, 0}, {2, 1},
        &M::TabKey, {"a  bcdef", "  ghijkl"}, {}, kUndo),
      C("tab character", {"ab"}, kNone, {2, 0}, {}, &M::TabKey, {"ab\t"}, {{3, 0}}, kBase,
        [](M& m) { m.SetOption(soUseTabCharacter, true); m.SetTabStops("3"); }),
      C("smart tab to the indent above", {"    foo bar", "x"}, kNone, {1, 1}, {}, &M::TabKey,
        {"    foo bar", "x   "}, {{4, 1}}, kBase),
      C("smart tab to the next word above", {"    foo bar", "x"}, kNone, {6, 1}, {}, &M::TabKey,
        {"    foo bar", "x       "}, {{8, 1}}, kBase),
      C("back-tab between stops", {"abcdefghij"}, kNone, {7, 0}, {}, &M::BackTab, {"abcdefghij"},
        {{6, 0}}),
      C("back-tab from a stop", {"abcdefghij"}, kNone, {6, 0}, {}, &M::BackTab, {"abcdefghij"},
        {{3, 0}}),
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
      C("unindent keeps the caret on its line", {"      abc", "      defgh"}, kStream, {0, 0},
        {11, 1}, &M::UnindentBlock, {"   abc", "   defgh"}, {{8, 1}}),
      C("quote a column", {"abc", "def"}, kColumn, {1, 0}, {1, 1}, &M::QuoteBlock,
        {"a>bc", "d>ef"}),
      C("upper-case a word", {"hello world", "MIXED Case"}, kNone, {2, 0}, {}, &M::UpperCaseWord,
        {"HELLO world", "MIXED Case"}, {{2, 0}}),
      // Line and word deletion
      C("delete a line", {"a", "b", "c"}, kNone, {0, 1}, {}, &M::DeleteLine, {"a", "c"}, {{0, 1}},
        kUndo),
      C("delete the last line", {"a", "b"}, kNone, {1, 1}, {}, &M::DeleteLine, {"a", ""}),
      C("delete to the line start", {"abcdef"}, kNone, {3, 0}, {}, &M::DeleteToLineStart, {"def"},
        {{0, 0}}),
      C("delete to the line end", {"abcdef"}, kNone, {3, 0}, {}, &M::DeleteToLineEnd, {"abc"},
        {{3, 0}}),
      C("delete the word right", {"foo bar baz"}, kNone, {4, 0}, {}, &M::DeleteWordRight,
        {"foo baz"}, {{4, 0}}),
      C("delete the word left", {"foo bar baz"}, kNone, {8, 0}, {}, &M::DeleteWordLeft, {"foo baz"},
        {{4, 0}}),
      C("word left at a line start joins", {"foo", "bar"}, kNone, {0, 1}, {}, &M::DeleteWordLeft,
        {"foobar"}, {{3, 0}}),
      C("to the word end over blanks", {"foo   bar"}, kNone, {4, 0}, {}, &M::DeleteToWordEnd,
        {"foo bar"}),
      C("to the word end: a delimiter is no blank", {"foo:bar"}, kNone, {0, 0}, {},
        &M::DeleteToWordEnd, {":bar"}),
      // Deleting a selection
      C("delete a stream", {"abcdef", "ghijkl", "mnopqr"}, kStream, {2, 0}, {3, 2},
        &M::DeleteSelection, {"abpqr"}, {{2, 0}}, kBase | kUndo),
      C("delete a stream selected backwards", {"abcdef", "ghijkl", "mnopqr"}, kStream, {3, 2},
        {2, 0}, &M::DeleteSelection, {"abpqr"}, {{2, 0}}, kBase),
      C("delete a column", {"abcdef", "ghijkl", "mnopqr"}, kColumn, {1, 0}, {2, 2},
        &M::DeleteSelection, {"adef", "gjkl", "mpqr"}, {}, kBase | kUndo),
      C("delete a column past a line end", {"ab", "cdefg"}, kColumn, {3, 0}, {4, 1},
        &M::DeleteSelection, {"ab", "cde"}, {}, kBase),
      // Code templates keep the indentation and put the caret at the bar.
      C("for-next template", {"    "}, kNone, {4, 0}, {},
        [](M& m) { m.InsertCodeTemplate(TemplateIndex(m, "for-next block")); },
        {"    for  = 0 to 0", "    next"}, {{8, 0}}, kUndo),
      C("indented do-loop template", {"  "}, kNone, {2, 0}, {},
        [](M& m) { m.InsertCodeTemplate(TemplateIndex(m, "do-loop block")); },
        {"  do", "     rem Use Exit to Break out of this loop", "     ", "  loop"}, {{5, 2}}),
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

// The letters of the Windows-1252 code page, whatever the process locale says.
TEST_F(Editing, CaseConversionUsesAFixedTableAndKeepsLengths) {
  const std::string lower = "\xe0\xe9\xfe\xff\x9a\x9c\x9e", upper = "\xc0\xc9\xde\x9f\x8a\x8c\x8e";
  const std::string caseless = "\xdf\xb5\xd7\xf7\xaa\xba 1_";
  const char* saved = std::setlocale(LC_ALL, nullptr);
  std::string savedLocale = saved ? saved : "C";
  for (const char* locale : {"C", "C.UTF-8", "POSIX"}) {
    if (!std::setlocale(LC_ALL, locale)) continue;
    SCOPED_TRACE(locale);
    auto c = DocModel({lower + caseless, upper + caseless, "a" + upper + lower + "Z"});
    for (auto [y, command] :
         {std::pair{0, &M::UpperCaseBlock}, {1, &M::LowerCaseBlock}, {2, &M::ToggleCaseBlock}}) {
      Select(*c, kStream, 0, y, c->LineLength(y), y);
      (c.get()->*command)();
    }
    EXPECT_EQ(StoredLines(*c),
              (Lines{upper + caseless, lower + caseless, "A" + lower + upper + "z"}));
    for (int ch = 0; ch < 256; ++ch) {
      auto b = static_cast<unsigned char>(ch); // a letter converted there and back is itself
      EXPECT_TRUE(UpperChar(b) == b || LowerChar(UpperChar(b)) == b) << ch;
      EXPECT_TRUE(LowerChar(b) == b || UpperChar(LowerChar(b)) == b) << ch;
    }
  }
  std::setlocale(LC_ALL, savedLocale.c_str());
}

// ---- Clipboard -----------------------------------------------------------------------

TEST_F(Editing, CopyAndCut) {
  TClipboard& clip = TClipboard::Current();
  auto m = BaseModel({"a\tc", "def"});
  m->SetOption(soUseTabCharacter, true);
  m->Lines().Assign({"a\tc", "def"});
  Select(*m, kStream, 1, 0, 2, 1);
  m->CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "\tc\r\nde"); // the stored text: tabs stay tabs
  EXPECT_FALSE(M::ClipboardIsColumn());
  Select(*m, kColumn, 0, 1, 1, 1);
  m->CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "de");
  EXPECT_TRUE(M::ClipboardIsColumn());

  // Nothing selected: copy empties the clipboard only when forced; cut always does.
  m->ClearSelection();
  for (bool forced : {true, false}) {
    m->SetOption(soForceCutCopy, forced);
    clip.SetText("old");
    m->CopyToClipboard();
    EXPECT_EQ(clip.GetText(), forced ? "" : "old");
  }
  m->CutToClipboard();
  EXPECT_EQ(clip.GetText(), "");

  auto c = BaseModel({"abcdef", "ghijkl"});
  Select(*c, kStream, 2, 0, 3, 1);
  c->CutToClipboard();
  EXPECT_EQ(clip.GetText(), "cdef\r\nghi");
  EXPECT_EQ(StoredLines(*c), (Lines{"abjkl"}));
  ExpectOneUndoStep(*c, {"abcdef", "ghijkl"});
}

TEST_F(Editing, PasteSplitsTheClipboardIntoLines) {
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
    TClipboard::Current().SetText(c.clip);
    m->SetCaret(1, 0);
    m->PasteFromClipboard();
    EXPECT_EQ(StoredLines(*m), c.expected);
    EXPECT_EQ(m->Caret(), c.caret);
    ExpectOneUndoStep(*m, {"abc"});
  }

  auto h = DocModel({"abc"});
  h->OnPasteFromClipboard = [](M&, std::vector<std::string>& lines) { lines.push_back("!"); };
  TClipboard::Current().SetText("x");
  h->SetCaret(3, 0);
  h->PasteFromClipboard();
  EXPECT_EQ(StoredLines(*h), (Lines{"abcx", "!"}));
}

TEST_F(Editing, PasteKeepsColumnsOnlyFromThisProgram) {
  auto m = DocModel({"abcd", "efgh", "ijkl"});
  Select(*m, kColumn, 0, 0, 1, 1);
  m->CopyToClipboard();
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
  EXPECT_FALSE(M::ClipboardIsColumn());
}

// ---- Inserting lines, templates ------------------------------------------------------

TEST_F(Editing, InsertLinesSelectsWhatWentIn) {
  struct Case {
    Lines text;
    TPoint caret;
    Lines inserted;
    bool column;
    Lines expected;
    TPoint begin, end, caretAfter;
  };
  const Case cases[] = {
      {{"abc"}, {1, 0}, {"X", "Y", "Z"}, false, {"aX", "Y", "Zbc"}, {1, 0}, {1, 2}, {1, 2}},
      {{"abc"}, {1, 0}, {"\tq"}, false, {"a qbc"}, {1, 0}, {3, 0}, {3, 0}}, // tab: SpacesInTab
      {{"abcd", "efgh", "ij"},
       {1, 0},
       {"XY", "Z"},
       true,
       {"aXYbcd", "eZfgh", "ij"},
       {1, 0},
       {2, 1},
       {1, 2}},
      // Lines are added below the text as needed; the caret stays inside the text.
      {{"ab"}, {1, 0}, {"X", "Y"}, true, {"aXb", " Y"}, {1, 0}, {1, 1}, {1, 1}},
      {{"a"}, {0, 2}, {"x", "y"}, false, {"a", "", "x", "y"}, {0, 2}, {1, 3}, {1, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected[0]);
    auto m = BaseModel(c.text);
    m->SetSpacesInTab(1);
    m->SetOption(soBeyondFileEnd, c.caret.Y >= m->LineCount());
    m->SetCaret(c.caret.X, c.caret.Y);
    m->InsertLines(c.inserted, c.column);
    EXPECT_EQ(StoredLines(*m), c.expected);
    EXPECT_EQ(m->SelectionKind(), c.column ? kColumn : kStream);
    EXPECT_EQ(m->BlockBegin(), c.begin);
    EXPECT_EQ(m->BlockEnd(), c.end);
    EXPECT_EQ(m->Caret(), c.caretAfter);
    ExpectOneUndoStep(*m, c.text);
  }
}

TEST_F(Editing, CodeTemplatesWithoutABarBelowTheTextOrOutOfRange) {
  auto n = DocModel({"x"});
  n->CodeTemplates().push_back({"plain", "User Defined", "abc\r\ndef"});
  n->InsertCodeTemplate(static_cast<int>(n->CodeTemplates().size()) - 1);
  EXPECT_EQ(StoredLines(*n), (Lines{"abc", "defx"}));
  EXPECT_EQ(n->Caret(), (TPoint{3, 1})); // without a bar: after the inserted text

  auto t = DocModel({"a"});
  t->SetOption(soBeyondFileEnd, true);
  t->SetCaret(0, 1);
  t->InsertCodeTemplate(TemplateIndex(*t, "while-endwhile block"));
  EXPECT_EQ(StoredLines(*t), (Lines{"a", "while ", "", "endwhile"}));
  EXPECT_EQ(t->Caret(), (TPoint{6, 1}));

  n->InsertCodeTemplate(-1);
  n->InsertCodeTemplate(99);
  EXPECT_EQ(StoredLines(*n), (Lines{"abc", "defx"}));
  auto base = BaseModel({"x"}); // the base model has no templates
  base->InsertCodeTemplate(0);
  EXPECT_EQ(StoredLines(*base), (Lines{"x"}));
}

// ---- Brackets and identifiers --------------------------------------------------------

TEST_F(Editing, GotoMatchingBracket) {
  auto m = BaseModel({"a(b(c)d)e", "f(x,", "  y)", "[{()}]", "(("});
  const std::pair<TPoint, TPoint> jumps[] = {
      {{1, 0}, {7, 0}}, {{7, 0}, {1, 0}}, {{3, 0}, {5, 0}}, {{0, 0}, {0, 0}},
      {{1, 1}, {3, 2}}, {{3, 2}, {1, 1}}, {{0, 3}, {5, 3}}, {{1, 3}, {4, 3}},
      {{4, 3}, {1, 3}}, {{0, 4}, {0, 4}}, // never closed
  };
  for (auto [from, to] : jumps) {
    m->SetCaret(from.X, from.Y);
    m->GotoMatchingBracket();
    EXPECT_EQ(m->Caret(), to) << "from " << from.X << "," << from.Y;
  }
  Select(*m, kStream, 1, 3, 2, 3); // a single selected character is the bracket considered
  m->GotoMatchingBracket();
  EXPECT_EQ(m->Caret(), (TPoint{4, 3}));
}

TEST_F(Editing, BracketsInStringsAndCommentsDoNotCount) {
  // a ( " ) " ) with the quoted part coloured as a string, then as a comment.
  for (char style : {'\x01', '\x02'}) {
    SCOPED_TRACE(int(style));
    auto m = BaseModel({"a(\")\")", "(x) ( y )"});
    m->ColorCache().SetStyles(0, std::string("\0\0", 2) + std::string(3, style) + '\0');
    m->ColorCache().SetStyles(1, std::string(3, '\0') + std::string(6, style));
    for (auto [from, to] : {std::pair{TPoint{1, 0}, TPoint{5, 0}},
                            {{5, 0}, {1, 0}},
                            {{3, 0}, {3, 0}},
                            {{0, 1}, {2, 1}}}) {
      m->SetCaret(from.X, from.Y);
      m->GotoMatchingBracket();
      EXPECT_EQ(m->Caret(), to) << "from " << from.X << "," << from.Y;
    }
  }
}

TEST_F(Editing, InsertGuidKeepsTheSelection) {
  const std::regex form(
      R"(x\['\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}'\]y)");
  std::string first;
  for (int i = 0; i < 2; ++i) {
    auto m = DocModel({"xy", "abc"});
    m->SetOption(soPersistentBlocks, true);
    Select(*m, kColumn, 0, 1, 1, 1);
    m->SetCaret(1, 0);
    m->InsertGuid();
    std::string line(m->StoredLine(0));
    EXPECT_TRUE(std::regex_match(line, form)) << line;
    EXPECT_NE(line, first);
    first = line;
    EXPECT_EQ(m->Caret(), (TPoint{43, 0}));
    EXPECT_EQ(m->BlockBegin(), (TPoint{0, 1}));
    EXPECT_EQ(m->BlockEnd(), (TPoint{1, 1}));
    ExpectOneUndoStep(*m, {"xy", "abc"});
  }
}

} // namespace
} // namespace marlo::test
