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
#include <regex>
#include <string>
#include <tuple>

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
  void SetUp() override { ResetClipboard(); }
  void TearDown() override {
    TCustomMemoSource dummy;
    dummy.SetOverwrite(false);
    TClipboard::Install(nullptr);
  }
};

enum { kBase = 1, kUndo = 2 };
const TPoint kAny{-1, -1}; // the caret is not checked

void TypeX(M& m) {
  m.TypeChar('X');
}
void Overwrite(M& m) {
  m.SetOverwrite(true);
}
void Persistent(M& m) {
  m.SetOption(soPersistentBlocks, true);
}
void TabCharacter(M& m) {
  m.SetOption(soUseTabCharacter, true);
  m.SetTabStops("3");
}
void FillWithTabs(M& m) {
  TabCharacter(m);
  m.SetOption(soOptimalFill, true);
}
void PreviousIndentWithTabs(M& m) {
  TabCharacter(m);
  m.SetOption(soUsePrevIndent, true);
  m.Lines().Assign({"\t x"});
}

int TemplateIndex(const TCustomMemoSource& m, const std::string& name) {
  const auto& list = m.CodeTemplates();
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].Name == name) return static_cast<int>(i);
  ADD_FAILURE() << "no template " << name;
  return -1;
}
std::function<void(M&)> Template(std::string name) {
  return [name](M& m) { m.InsertCodeTemplate(TemplateIndex(m, name)); };
}
// Drags the selection to (x, 0); copies it when `copy`.
std::function<void(M&)> DragTo(int x, bool copy, int y = 0) {
  return [=](M& m) {
    m.SetCaret(x, y);
    copy ? m.CopySelectionToCaret() : m.MoveSelectionToCaret();
  };
}

// One command on a document model (or the base model), from a caret or a selection; texts
// are lines joined by '|'.
struct CommandCase {
  const char* text;
  TSelectionType kind; // kNone: `from` is the caret
  TPoint from, to;
  std::function<void(M&)> command;
  const char* expected;
  TPoint caret;
  int flags; // kBase: the base model instead of a document's; kUndo: one Undo/Redo step
  void (*setup)(M&);
  const char* selected; // the selection kept afterwards
};

CommandCase At(const char* text, TPoint at, std::function<void(M&)> command, const char* expected,
               TPoint caret = kAny, int flags = 0, void (*setup)(M&) = nullptr) {
  return {text, kNone, at, {}, std::move(command), expected, caret, flags, setup, nullptr};
}
CommandCase Sel(const char* text, TSelectionType kind, TPoint from, TPoint to,
                std::function<void(M&)> command, const char* expected, TPoint caret = kAny,
                int flags = 0, void (*setup)(M&) = nullptr, const char* selected = nullptr) {
  return {text, kind, from, to, std::move(command), expected, caret, flags, setup, selected};
}

TEST_F(Editing, CommandsOnText) {
  const char* six = "abcdef|ghijkl|mnopqr";
  const CommandCase cases[] = {
      // Typing
      At("abc", {10, 0}, TypeX, "abc       X", {11, 0}, kBase), // past the end pads
      Sel("hello world", kStream, {0, 0}, {5, 0}, TypeX, "X world", {1, 0}),
      Sel("hello world", kStream, {0, 0}, {5, 0}, TypeX, "helloX world", kAny, 0, Persistent,
          "hello"),
      At("abc", {1, 0}, TypeX, "aXc", {2, 0}, kBase | kUndo, Overwrite),
      // Enter keeps the indentation, or takes the one above on an empty line.
      At("   for i", {7, 0}, &M::InsertNewLine, "   for|   i", {3, 1}, kUndo),
      At("  x||", {0, 2}, &M::InsertNewLine, "  x|||  ", {2, 3}),
      At("    abc", {1, 0}, &M::InsertNewLine, "|    abc", {1, 1}), // inside the indentation
      At("       x", {8, 0}, &M::InsertNewLine, "       x|\t\t ", {7, 1}, kBase, FillWithTabs),
      At("", {5, 0}, &M::InsertNewLine, "\t x|\t ", {4, 1}, kBase, PreviousIndentWithTabs),
      // Enter in overwrite mode only moves the caret: past the indent, or to a flush line.
      At("    abc|  def|xy", {6, 0}, &M::InsertNewLine, "    abc|  def|xy", {2, 1}, 0, Overwrite),
      At("    abc|  def|xy", {5, 1}, &M::InsertNewLine, "    abc|  def|xy", {0, 2}, 0, Overwrite),
      // Backspace: joins, moves past the end, unindents, or deletes off the first non-blank.
      At("abc|def", {2, 0}, &M::BackSpace, "ac|def", {1, 0}, kBase),
      At("abc|def", {0, 1}, &M::BackSpace, "abcdef", {3, 0}, kBase),
      At("abc", {5, 0}, &M::BackSpace, "abc", {4, 0}, kBase),
      At("   a|      b", {6, 1}, &M::BackSpace, "   a|   b", {3, 1}, kUndo),
      At("   a|      b", {4, 1}, &M::BackSpace, "   a|     b", {3, 1}),
      // Delete joins, past the end after padding.
      At("abc|def", {3, 0}, &M::DeleteChar, "abcdef", {3, 0}),
      At("ab|cd", {4, 0}, &M::DeleteChar, "ab  cd", {4, 0}, kBase),
      // Tab: to the next stop, also from a stop; before each piece of a selection.
      At("abcdef", {4, 0}, &M::TabKey, "abcd  ef", {6, 0}),
      At("abc", {3, 0}, &M::TabKey, "abc   ", {6, 0}),
      Sel("abcdef|ghijkl", kStream, {1, 0}, {2, 1}, &M::TabKey, "a  bcdef|  ghijkl", kAny, kUndo),
      At("ab", {2, 0}, &M::TabKey, "ab\t", {3, 0}, kBase, TabCharacter),
      // Smart tab: to the indent above, or to the next word above.
      At("    foo bar|x", {1, 1}, &M::TabKey, "    foo bar|x   ", {4, 1}, kBase),
      At("    foo bar|x", {6, 1}, &M::TabKey, "    foo bar|x       ", {8, 1}, kBase),
      // Back-tab moves between stops and from one; on a selection it unindents.
      At("abcdefghij", {7, 0}, &M::BackTab, "abcdefghij", {6, 0}),
      At("abcdefghij", {6, 0}, &M::BackTab, "abcdefghij", {3, 0}),
      Sel("      abc|      def|  ghi", kStream, {0, 0}, {5, 2}, &M::BackTab, "   abc|   def|ghi"),
      // Block rewriting
      Sel("abc|def|ghi", kStream, {0, 0}, {3, 1}, &M::IndentBlock, "   abc|   def|ghi", kAny,
          kUndo),
      Sel("abc||ghi", kStream, {0, 0}, {3, 2}, &M::IndentBlock, "   abc||   ghi"),
      Sel("    abc| def|ghi", kStream, {0, 0}, {3, 2}, &M::UnindentBlock, " abc|def|ghi"),
      Sel("abcdef|ghijkl", kColumn, {1, 0}, {2, 1}, &M::IndentBlock, "a   bcdef|g   hijkl"),
      Sel("      abc|      defgh", kStream, {0, 0}, {11, 1}, &M::UnindentBlock, "   abc|   defgh",
          {8, 1}),
      Sel("abc|def", kColumn, {1, 0}, {1, 1}, &M::QuoteBlock, "a>bc|d>ef"),
      At("hello world|MIXED Case", {2, 0}, &M::UpperCaseWord, "HELLO world|MIXED Case", {2, 0}),
      // Line and word deletion
      At("a|b|c", {0, 1}, &M::DeleteLine, "a|c", {0, 1}, kUndo),
      At("a|b", {1, 1}, &M::DeleteLine, "a|"),
      At("abcdef", {3, 0}, &M::DeleteToLineStart, "def", {0, 0}),
      At("abcdef", {3, 0}, &M::DeleteToLineEnd, "abc", {3, 0}),
      At("foo bar baz", {4, 0}, &M::DeleteWordRight, "foo baz", {4, 0}),
      At("foo bar baz", {8, 0}, &M::DeleteWordLeft, "foo baz", {4, 0}),
      At("foo|bar", {0, 1}, &M::DeleteWordLeft, "foobar", {3, 0}),
      At("foo   bar", {4, 0}, &M::DeleteToWordEnd, "foo bar"),
      At("foo:bar", {0, 0}, &M::DeleteToWordEnd, ":bar"), // a delimiter is no blank
      // Deleting a selection, also a column past a line end
      Sel(six, kStream, {2, 0}, {3, 2}, &M::DeleteSelection, "abpqr", {2, 0}, kBase | kUndo),
      Sel(six, kColumn, {1, 0}, {2, 2}, &M::DeleteSelection, "adef|gjkl|mpqr", kAny, kBase | kUndo),
      Sel("ab|cdefg", kColumn, {3, 0}, {4, 1}, &M::DeleteSelection, "ab|cde", kAny, kBase),
      // Code templates keep the indentation and put the caret at the bar.
      At("    ", {4, 0}, Template("for-next block"), "    for  = 0 to 0|    next", {8, 0}, kUndo),
      At("  ", {2, 0}, Template("do-loop block"),
         "  do|     rem Use Exit to Break out of this loop|     |  loop", {5, 2}),
      // Dragging a persistent block to the caret, not into the block itself
      Sel("abc def", kStream, {0, 0}, {3, 0}, DragTo(7, true), "abc defabc", kAny, kBase | kUndo,
          Persistent),
      Sel("abc def", kStream, {0, 0}, {3, 0}, DragTo(7, false), " defabc", kAny, kBase | kUndo,
          Persistent),
      Sel("abc def", kStream, {4, 0}, {7, 0}, DragTo(0, false), "defabc ", kAny, kBase, Persistent),
      Sel("abc def", kStream, {0, 0}, {3, 0}, DragTo(1, false), "abc def", kAny, kBase, Persistent),
      Sel("abc def", kStream, {0, 0}, {3, 0}, DragTo(1, true), "abc def", kAny, kBase, Persistent),
      Sel("one|two|three", kStream, {0, 0}, {0, 1}, DragTo(5, false, 2), "two|threeone|", kAny,
          kBase | kUndo, Persistent),
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " from " << c.from.X << "," << c.from.Y);
    auto m = (c.flags & kBase) ? BaseModel(LinesOf(c.text)) : DocModel(LinesOf(c.text));
    if (c.setup) c.setup(*m);
    if (c.kind == kNone)
      m->SetCaret(c.from.X, c.from.Y);
    else
      Select(*m, c.kind, c.from.X, c.from.Y, c.to.X, c.to.Y);
    Lines before = StoredLines(*m);
    c.command(*m);
    EXPECT_EQ(StoredLines(*m), LinesOf(c.expected));
    if (c.caret != kAny) {
      EXPECT_EQ(m->Caret(), c.caret);
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
  auto m = BaseModel();
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
  const std::tuple<std::string, const char*, TPoint> cases[] = {
      {"xy", "axybc", {3, 0}},          {"p\r\nq", "ap|qbc", {1, 1}},
      {"p\r\n", "ap|bc", {0, 1}},       {"p\nq\rr", "ap|q|rbc", {1, 2}},
      {{"ab\0cd", 5}, "aabbc", {3, 0}}, {"a\tb", "aa   bbc", {6, 0}},
  };
  for (const auto& [clip, expected, caret] : cases) {
    SCOPED_TRACE(clip);
    auto m = DocModel({"abc"});
    TClipboard::Current().SetText(clip);
    m->SetCaret(1, 0);
    m->PasteFromClipboard();
    EXPECT_EQ(StoredLines(*m), LinesOf(expected));
    EXPECT_EQ(m->Caret(), caret);
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
  // {text, caret, inserted, column, expected, block end, caret after}; the block begins at
  // the caret. Lines are added below the text as needed; the caret stays inside the text.
  const std::tuple<const char*, TPoint, const char*, bool, const char*, TPoint, TPoint> cases[] = {
      {"abc", {1, 0}, "X|Y|Z", false, "aX|Y|Zbc", {1, 2}, {1, 2}},
      {"abc", {1, 0}, "\tq", false, "a qbc", {3, 0}, {3, 0}}, // a tab: SpacesInTab blanks
      {"abcd|efgh|ij", {1, 0}, "XY|Z", true, "aXYbcd|eZfgh|ij", {2, 1}, {1, 2}},
      {"ab", {1, 0}, "X|Y", true, "aXb| Y", {1, 1}, {1, 1}},
      {"a", {0, 2}, "x|y", false, "a||x|y", {1, 3}, {1, 3}},
  };
  for (const auto& [text, caret, inserted, column, expected, end, after] : cases) {
    SCOPED_TRACE(expected);
    auto m = BaseModel(LinesOf(text));
    m->SetSpacesInTab(1);
    m->SetOption(soBeyondFileEnd, caret.Y >= m->LineCount());
    m->SetCaret(caret.X, caret.Y);
    m->InsertLines(LinesOf(inserted), column);
    EXPECT_EQ(StoredLines(*m), LinesOf(expected));
    EXPECT_EQ(m->SelectionKind(), column ? kColumn : kStream);
    EXPECT_EQ(m->BlockBegin(), caret);
    EXPECT_EQ(m->BlockEnd(), end);
    EXPECT_EQ(m->Caret(), after);
    ExpectOneUndoStep(*m, LinesOf(text));
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
    const std::pair<TPoint, TPoint> jumps[] = {
        {{1, 0}, {5, 0}}, {{5, 0}, {1, 0}}, {{3, 0}, {3, 0}}, {{0, 1}, {2, 1}}};
    for (auto [from, to] : jumps) {
      m->SetCaret(from.X, from.Y);
      m->GotoMatchingBracket();
      EXPECT_EQ(m->Caret(), to) << "from " << from.X << "," << from.Y;
    }
  }
}

TEST_F(Editing, InsertGuidKeepsTheSelection) {
  const std::regex form(
      R"(x\['\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}'\]y)");
  auto m = DocModel({"xy", "abc"});
  m->SetOption(soPersistentBlocks, true);
  Select(*m, kColumn, 0, 1, 1, 1);
  m->SetCaret(1, 0);
  m->InsertGuid();
  std::string first(m->StoredLine(0));
  EXPECT_TRUE(std::regex_match(first, form)) << first;
  EXPECT_EQ(m->Caret(), (TPoint{43, 0}));
  EXPECT_EQ(m->BlockBegin(), (TPoint{0, 1}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{1, 1}));
  ExpectOneUndoStep(*m, {"xy", "abc"});
  m->Undo();
  m->SetCaret(1, 0);
  m->InsertGuid();
  EXPECT_NE(m->StoredLine(0), first); // a new one each time
}

} // namespace
} // namespace marlo::test
