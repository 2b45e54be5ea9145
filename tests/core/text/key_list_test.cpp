#include "core/error.h"
#include "core/text/key_list.h"
#include "core/text/key_names.h"
#include "core/text/memo_source.h"
#include "core/text/simple_key_view.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace marlo {
namespace {

using Lines = std::vector<std::string>;

const TShiftState kCtrl{ssCtrl};

// A view whose template chooser answers with a fixed position and remembers the offer.
class TestView : public TSimpleKeyView {
public:
  using TSimpleKeyView::TSimpleKeyView;
  int ChooseCodeTemplate(const std::vector<const TMemoCodeTemplate*>& candidates) override {
    offered.clear();
    for (const TMemoCodeTemplate* t : candidates) offered.push_back(t->Name);
    return answer;
  }
  void Find() override { ++finds; }
  int answer = -1;
  int finds = 0;
  std::vector<std::string> offered;
};

class KeyListTest : public ::testing::Test {
protected:
  KeyListTest() {
    source.ConfigureAsDocument();
    source.SetOverwrite(false);
  }
  ~KeyListTest() override { source.SetOverwrite(false); }

  void Load(std::string_view text) { source.LoadFromBytes(text); }

  // Presses keys as the editor control does: a key the table leaves alone is typed.
  void Press(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      TKeyStroke k = ParseKeyName(name);
      char c;
      if (!keys.Execute(k.Key, k.Shift, source, view) && KeyToChar(k.Key, k.Shift, c))
        source.TypeChar(c);
    }
  }

  Lines Text() { return source.Lines().ToVector(); }
  TPoint Caret() { return source.Caret(); }

  TMemoSource source;
  TKeyList keys = TKeyList::Default();
  TestView view{source, 5};
};

// ---- Dispatch -----------------------------------------------------------------------

TEST_F(KeyListTest, DispatchRunsBindingsAndPrefixesLastOneKey) {
  TKeyList t;
  std::string log;
  t.Add(vkB, {}, [&](TCustomMemoSource&, TKeyView&) { log += "b"; });
  t.AddPrefix(vkK, kCtrl, kPrefixCtrlK);
  t.AddTwoKey(kPrefixCtrlK, vkB, {}, [&](TCustomMemoSource&, TKeyView&) { log += "K-b"; });

  EXPECT_TRUE(t.Execute(vkB, {}, source, view));
  EXPECT_FALSE(t.Execute(vkB, kCtrl, source, view)); // shift state must match exactly
  EXPECT_TRUE(t.Execute(vkK, kCtrl, source, view));
  EXPECT_EQ(t.PendingPrefix(), kPrefixCtrlK);
  EXPECT_FALSE(t.Execute(vkShift, {ssShift}, source, view)); // modifiers keep the prefix
  EXPECT_TRUE(t.Execute(vkB, {}, source, view));
  EXPECT_EQ(t.PendingPrefix(), 0);

  // An unbound second key is not handled and still ends the prefix.
  t.Execute(vkK, kCtrl, source, view);
  EXPECT_FALSE(t.Execute(vkZ, {}, source, view));
  EXPECT_TRUE(t.Execute(vkB, {}, source, view));
  EXPECT_EQ(log, "bK-bb");

  // A later binding of the same key replaces the earlier one.
  int count = t.Count();
  t.Add(vkB, {}, [&](TCustomMemoSource&, TKeyView&) { log += "!"; });
  EXPECT_EQ(t.Count(), count);
  t.Execute(vkB, {}, source, view);
  EXPECT_EQ(log, "bK-bb!");
}

TEST_F(KeyListTest, DefaultTableShape) {
  const TShiftState plain{}, shift{ssShift}, shiftCtrl{ssShift, ssCtrl};
  EXPECT_EQ(keys.Find(0, vkK, kCtrl)->SetsPrefix, kPrefixCtrlK);
  EXPECT_EQ(keys.Find(0, vkQ, kCtrl)->SetsPrefix, kPrefixCtrlQ);
  EXPECT_EQ(keys.Find(0, vkO, kCtrl)->SetsPrefix, kPrefixCtrlO);
  for (TKeyCode letter : {vkB, vkK, vkC, vkV, vkY, vkI, vkU, vkN, vkO, vkF, vkE, vkT, vkL}) {
    EXPECT_NE(keys.Find(kPrefixCtrlK, letter, plain), nullptr) << KeyName(letter, plain);
    EXPECT_NE(keys.Find(kPrefixCtrlK, letter, kCtrl), nullptr) << KeyName(letter, plain);
  }
  for (TKeyCode letter : {vkB, vkK, vkS, vkD, vkR, vkC, vkE, vkT, vkX, vkU, vkY, vkF, vkA}) {
    EXPECT_NE(keys.Find(kPrefixCtrlQ, letter, plain), nullptr) << KeyName(letter, plain);
    EXPECT_NE(keys.Find(kPrefixCtrlQ, letter, kCtrl), nullptr) << KeyName(letter, plain);
  }
  // Digits after Ctrl+K take no Ctrl; Ctrl+O pairs take the plain letter only.
  EXPECT_NE(keys.Find(kPrefixCtrlK, vk1, plain), nullptr);
  EXPECT_EQ(keys.Find(kPrefixCtrlK, vk1, kCtrl), nullptr);
  EXPECT_NE(keys.Find(kPrefixCtrlQ, vk1, shiftCtrl), nullptr);
  EXPECT_NE(keys.Find(kPrefixCtrlO, vkG, plain), nullptr);
  EXPECT_EQ(keys.Find(kPrefixCtrlO, vkG, kCtrl), nullptr);

  EXPECT_TRUE(keys.Find(0, vkUp, plain)->Repeat);
  EXPECT_TRUE(keys.Find(0, vkEnd, kCtrl)->Repeat);
  EXPECT_FALSE(keys.Find(0, vkUp, shift)->Repeat);
  EXPECT_FALSE(keys.Find(0, vkLeft, kCtrl)->Repeat);
  EXPECT_EQ(keys.Find(0, vkB, plain), nullptr); // letters are typed

  for (const TKeyBinding& b : keys.Bindings())
    EXPECT_TRUE(b.SetsPrefix != 0 || b.Command) << KeyName(b.Key, b.Shift);

  EXPECT_EQ(TKeyList::ForMapping("default").Count(), keys.Count());
  EXPECT_THROW(TKeyList::ForMapping("Emacs"), Error);
}

// ---- Key names ----------------------------------------------------------------------

TEST(KeyNames, ParseNamesAndModifiersInAnyOrder) {
  struct Case {
    const char* text;
    TKeyCode key;
    TShiftState shift;
  };
  const Case cases[] = {
      {"Ctrl+K", vkK, {ssCtrl}},
      {"b", vkB, {}},
      {"Shift+Alt+Down", vkDown, {ssShift, ssAlt}},
      {"alt+SHIFT+down", vkDown, {ssShift, ssAlt}},
      {"ctrl+shift+alt+pgdn", vkPageDown, {ssShift, ssAlt, ssCtrl}},
      {"Enter", vkEnter, {}},
      {"Backspace", vkBackspace, {}},
      {"Del", vkDelete, {}},
      {"Ins", vkInsert, {}},
      {"PgUp", vkPageUp, {}},
      {"Esc", vkEscape, {}},
      {"Space", vkSpace, {}},
      {"F1", vkF1, {}},
      {"f12", vkF12, {}},
      {"0", vk0, {}},
      {"Shift+Ctrl+9", vk9, {ssShift, ssCtrl}},
      {"Ctrl+[", vkOpenBracket, {ssCtrl}},
  };
  for (const Case& c : cases) {
    TKeyStroke k = ParseKeyName(c.text);
    EXPECT_EQ(k.Key, c.key) << c.text;
    EXPECT_EQ(k.Shift, c.shift) << c.text;
  }
  for (const char* bad : {"", "Ctrl+", "+K", "Hyper+K", "Ctrl+Ctrl+K", "F0", "F13", "F1x", "KK",
                          "Ctrl+Foo", "Tab+Ctrl"})
    EXPECT_THROW(ParseKeyName(bad), Error) << bad;
}

TEST(KeyNames, EveryDefaultBindingNameParsesBack) {
  TKeyList keys = TKeyList::Default();
  for (const TKeyBinding& b : keys.Bindings()) {
    std::string name = KeyName(b.Key, b.Shift);
    EXPECT_EQ(ParseKeyName(name), (TKeyStroke{b.Key, b.Shift})) << name;
  }
}

TEST(KeyNames, CharactersOfUnboundKeys) {
  char c = 0;
  EXPECT_TRUE(KeyToChar(vkB, {}, c));
  EXPECT_EQ(c, 'b');
  EXPECT_TRUE(KeyToChar(vkB, {ssShift}, c));
  EXPECT_EQ(c, 'B');
  EXPECT_TRUE(KeyToChar(vk7, {}, c));
  EXPECT_EQ(c, '7');
  EXPECT_TRUE(KeyToChar(vk1, {ssShift}, c));
  EXPECT_EQ(c, '!');
  EXPECT_TRUE(KeyToChar(vkSpace, {}, c));
  EXPECT_EQ(c, ' ');
  EXPECT_TRUE(KeyToChar(vkOpenBracket, {}, c));
  EXPECT_EQ(c, '[');
  EXPECT_FALSE(KeyToChar(vkB, {ssCtrl}, c));
  EXPECT_FALSE(KeyToChar(vkB, {ssAlt}, c));
  EXPECT_FALSE(KeyToChar(vkEnter, {}, c));
  EXPECT_FALSE(KeyToChar(vkF1, {}, c));
}

// ---- The default table on a document model -------------------------------------------

// Keys pressed on a loaded document: the text, caret and selection afterwards.
struct KeyCase {
  const char* text;
  const char* keys; // key names separated by blanks
  Lines expected;
  TPoint caret;
  std::optional<TSelectionType> kind; // checked when given, with the block ends
  TPoint begin, end;
};

KeyCase K(const char* text, const char* keys, Lines expected, TPoint caret,
          std::optional<TSelectionType> kind = {}, TPoint begin = {}, TPoint end = {}) {
  return {text, keys, std::move(expected), caret, kind, begin, end};
}

TEST_F(KeyListTest, DefaultBindingsOnADocument) {
  const auto none = TSelectionType::None, stream = TSelectionType::Stream,
             column = TSelectionType::Column;
  const char* abcd = "alpha\r\nbeta\r\ngamma\r\ndelta\r\n";
  const char* digits = "0123456789\r\n0123456789\r\n0123456789\r\n0123456789\r\n";
  const Lines four(4, "0123456789");
  const KeyCase cases[] = {
      K(abcd, "Down Right Right Ctrl+K B Down Ctrl+K Ctrl+K", {"alpha", "beta", "gamma", "delta"},
        {2, 2}, stream, {2, 1}, {2, 2}),
      K(abcd, "Down Right Right Ctrl+K B Down Ctrl+K K Ctrl+K Y", {"alpha", "bemma", "delta"},
        {2, 1}, none),
      K("x\r\n", "Ctrl+K Z", {"zx"}, {1, 0}), // no Ctrl+K Z: the key reaches the text
      K("x\r\n", "Ctrl+K Esc B", {"bx"}, {1, 0}),
      K("x\r\n", "Ctrl+K Ctrl+1", {"x"}, {0, 0}), // neither bound nor typed
      K(digits, "Right Shift+Alt+Down Shift+Alt+Down Shift+Alt+Down", four, {1, 3}, column, {1, 0},
        {1, 3}),
      K("hello world\r\n", "Shift+Right Shift+Right Shift+Ctrl+Right", {"hello world"}, {6, 0},
        stream, {0, 0}, {6, 0}),
      K("hello world\r\n", "Shift+Right Right", {"hello world"}, {2, 0}, none),
      K("a(b[c])\r\n", "Right Ctrl+[", {"a(b[c])"}, {6, 0}),
      K("a(b[c])\r\n", "Right Ctrl+[ Ctrl+[", {"a(b[c])"}, {1, 0}),
      K("a(b[c])\r\n", "Right Right Right Ctrl+[", {"a(b[c])"}, {5, 0}),
      K("one\r\ntwo\r\nthree\r\n", "Shift+Down Shift+Down Ctrl+K I", {"   one", "   two", "three"},
        {0, 2}),
      K("   one\r\n   two\r\n", "Shift+Down Shift+Ctrl+U", {"one", "   two"}, {0, 1}),
      K("one\r\ntwo\r\n", "Shift+Down Ctrl+K Ctrl+N Ctrl+Z", {"one", "two"}, {0, 1}),
      K("one\r\ntwo\r\n", "Shift+Down Ctrl+K N Ctrl+Z Shift+Ctrl+Z", {"ONE", "two"}, {0, 1}),
      K("one\r\ntwo\r\n", "Ctrl+Y Alt+Backspace", {"one", "two"}, {0, 0}),
      K("one\r\ntwo\r\n", "Ctrl+Y", {"two"}, {0, 0}),
      K("foo bar baz\r\n", "Ctrl+Right Ctrl+T", {"foo baz"}, {4, 0}),
      K("foo bar baz\r\n", "End Ctrl+Backspace", {"foo bar "}, {8, 0}),
      K("foo bar\r\n", "Right Ctrl+Q Y", {"f"}, {1, 0}),
      K("foo bar\r\n", "Right Shift+Ctrl+Y", {"f"}, {1, 0}),
      K("abc def\r\n", "Shift+Right Shift+Right Shift+Right Ctrl+C End Ctrl+V", {"abc defabc"},
        {10, 0}),
      K("abc def\r\n", "Shift+End Shift+Del Shift+Ins Shift+Ins", {"abc defabc def"}, {14, 0}),
      K("abc\r\n", "Ins X Shift+Y Ins Z", {"xYzc"}, {3, 0}),
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " " << c.keys);
    Load(c.text);
    keys.CancelPrefix();
    std::istringstream names(c.keys);
    for (std::string k; names >> k;) Press({k.c_str()});
    EXPECT_EQ(Text(), c.expected);
    EXPECT_EQ(Caret(), c.caret);
    if (c.kind) {
      EXPECT_EQ(source.SelectionKind(), *c.kind);
    }
    if (c.kind && *c.kind != TSelectionType::None) {
      EXPECT_EQ(source.BlockBegin(), c.begin);
      EXPECT_EQ(source.BlockEnd(), c.end);
    }
    source.SetOverwrite(false);
  }
}

TEST_F(KeyListTest, BookmarkDigitZeroIsTen) {
  Load("a\r\nb\r\nc\r\nd\r\n");
  Press({"Down", "Ctrl+K", "0", "Down", "Shift+Ctrl+3", "Down", "Ctrl+Q", "Shift+Ctrl+0"});
  TPoint p;
  ASSERT_TRUE(source.GetBookmark(10, p));
  EXPECT_EQ(p, (TPoint{0, 3})); // set again on line 3
  ASSERT_TRUE(source.GetBookmark(3, p));
  EXPECT_EQ(p, (TPoint{0, 2}));
  EXPECT_FALSE(source.GetBookmark(0, p));
  for (auto [keys, y] :
       std::vector<std::pair<std::vector<const char*>, int>>{{{"Ctrl+Home", "Ctrl+Q", "0"}, 3},
                                                             {{"Ctrl+Home", "Ctrl+Q", "Ctrl+3"}, 2},
                                                             {{"Ctrl+Home", "Ctrl+0"}, 3}}) {
    for (const char* k : keys) Press({k});
    EXPECT_EQ(Caret(), (TPoint{0, y}));
  }
}

TEST_F(KeyListTest, PagesFollowTheView) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  Load(text);
  struct Step {
    const char* key;
    TPoint caret;
    int firstVisible;
  };
  for (const Step& s : std::vector<Step>{{"PgDn", {0, 5}, 5},
                                         {"Ctrl+PgDn", {0, 9}, 5},
                                         {"Ctrl+PgUp", {0, 5}, 5},
                                         {"Ctrl+Down", {0, 5}, 6}, // scrolls, the caret stays
                                         {"Shift+PgUp", {0, 0}, 0},
                                         {"Ctrl+End", {7, 29}, 25},
                                         {"PgDn", {7, 29}, 25}}) { // nothing below
    SCOPED_TRACE(s.key);
    Press({s.key});
    EXPECT_EQ(Caret(), s.caret);
    EXPECT_EQ(view.FirstVisibleLine(), s.firstVisible);
  }
}

TEST_F(KeyListTest, CodeTemplateByPrefixOrChooser) {
  Load("");
  Press({"W", "H", "I", "Shift+Home", "Ctrl+J"}); // one template starts with "whi"
  EXPECT_TRUE(view.offered.empty());
  ASSERT_EQ(source.LineCount(), 3);
  EXPECT_EQ(source.Lines().Get(0).substr(0, 5), "while");
  EXPECT_EQ(source.Lines().Get(2), "endwhile");
  EXPECT_EQ(Caret(), (TPoint{6, 0}));

  Load("");
  Press({"F", "Shift+Home", "Ctrl+J"}); // several: the view chooses, here nothing
  EXPECT_EQ(view.offered, (std::vector<std::string>{"for-next block", "for-next-step block",
                                                    "function declaration"}));
  EXPECT_EQ(Text(), (Lines{"f"}));

  Load("");
  view.answer = 5; // no selection: every template is offered
  Press({"Ctrl+J"});
  EXPECT_EQ(view.offered.size(), source.CodeTemplates().size());
  EXPECT_EQ(Text(), (Lines{"if  then"}));
  EXPECT_EQ(Caret(), (TPoint{3, 0}));

  Load("");
  view.offered.clear();
  source.SetTemplatesType("None");
  Press({"Ctrl+J"});
  EXPECT_TRUE(view.offered.empty());
  EXPECT_EQ(Text(), (Lines{}));
}

TEST_F(KeyListTest, ViewHooksAreCalled) {
  Load("text\r\n");
  Press({"Ctrl+F", "Ctrl+Q", "F", "Ctrl+Q", "Ctrl+F"});
  EXPECT_EQ(view.finds, 3);
  EXPECT_EQ(Text(), (Lines{"text"}));
}

} // namespace
} // namespace marlo
