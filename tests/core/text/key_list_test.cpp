#include "core/error.h"
#include "core/text/key_list.h"
#include "core/text/key_names.h"
#include "core/text/memo_source.h"
#include "core/text/simple_key_view.h"

#include <gtest/gtest.h>

#include <initializer_list>
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

TEST_F(KeyListTest, CtrlKMarksBlockAndCtrlKYDeletesIt) {
  Load("alpha\r\nbeta\r\ngamma\r\ndelta\r\n");
  Press({"Down", "Right", "Right", "Ctrl+K", "B", "Down", "Ctrl+K", "Ctrl+K"});
  EXPECT_EQ(source.SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(source.BlockBegin(), (TPoint{2, 1}));
  EXPECT_EQ(source.BlockEnd(), (TPoint{2, 2}));
  Press({"Ctrl+K", "Y"});
  EXPECT_EQ(Text(), (Lines{"alpha", "bemma", "delta"}));
  EXPECT_FALSE(source.HasSelection());
}

TEST_F(KeyListTest, UnboundSecondKeyIsTypedAndEscCancelsPrefix) {
  Load("x\r\n");
  Press({"Ctrl+K", "Z"}); // no Ctrl+K Z: the key reaches the text
  EXPECT_EQ(Text(), (Lines{"zx"}));
  Press({"Ctrl+K", "Esc", "B"});
  EXPECT_EQ(keys.PendingPrefix(), 0);
  EXPECT_EQ(Text(), (Lines{"zbx"}));
  EXPECT_FALSE(source.HasSelection());
  Press({"Ctrl+K", "Ctrl+1"}); // neither bound nor typed
  EXPECT_EQ(Text(), (Lines{"zbx"}));
  EXPECT_EQ(source.Bookmarks().Count(), 0);
}

TEST_F(KeyListTest, ShiftAltDownSelectsColumnBlock) {
  Load("0123456789\r\n0123456789\r\n0123456789\r\n0123456789\r\n0123456789\r\n");
  source.SetCaret(5, 0);
  Press({"Shift+Alt+Down", "Shift+Alt+Down", "Shift+Alt+Down"});
  EXPECT_EQ(source.SelectionKind(), TSelectionType::Column);
  EXPECT_EQ(source.BlockBegin(), (TPoint{5, 0}));
  EXPECT_EQ(source.BlockEnd(), (TPoint{5, 3}));
  EXPECT_EQ(source.Selection().Count(), 4);
  EXPECT_EQ(source.Selection().Get(3), "5");
}

TEST_F(KeyListTest, StreamSelectionAndPlainMoveDropsIt) {
  Load("hello world\r\n");
  Press({"Shift+Right", "Shift+Right", "Shift+Ctrl+Right"});
  EXPECT_EQ(source.SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(source.BlockBegin(), (TPoint{0, 0}));
  EXPECT_EQ(source.BlockEnd(), (TPoint{6, 0}));
  Press({"Right"});
  EXPECT_FALSE(source.HasSelection());
}

TEST_F(KeyListTest, CtrlBracketJumpsToMatchingBracket) {
  Load("a(b[c])\r\n");
  source.SetCaret(1, 0);
  Press({"Ctrl+["});
  EXPECT_EQ(Caret(), (TPoint{6, 0}));
  Press({"Ctrl+["});
  EXPECT_EQ(Caret(), (TPoint{1, 0}));
  source.SetCaret(3, 0);
  Press({"Ctrl+["});
  EXPECT_EQ(Caret(), (TPoint{5, 0}));
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

  Press({"Ctrl+Home", "Ctrl+Q", "0"});
  EXPECT_EQ(Caret(), (TPoint{0, 3}));
  Press({"Ctrl+Home", "Ctrl+Q", "Ctrl+3"});
  EXPECT_EQ(Caret(), (TPoint{0, 2}));
  Press({"Ctrl+Home", "Ctrl+0"});
  EXPECT_EQ(Caret(), (TPoint{0, 3}));
}

TEST_F(KeyListTest, PagesFollowTheView) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  Load(text);
  Press({"PgDn"});
  EXPECT_EQ(Caret().Y, 5);
  EXPECT_EQ(view.FirstVisibleLine(), 5);
  Press({"Ctrl+PgDn"});
  EXPECT_EQ(Caret().Y, 9);
  Press({"Ctrl+PgUp"});
  EXPECT_EQ(Caret().Y, 5);
  Press({"Ctrl+Down"}); // scrolls, the caret stays
  EXPECT_EQ(view.FirstVisibleLine(), 6);
  EXPECT_EQ(Caret().Y, 5);
  Press({"Shift+PgUp"});
  EXPECT_EQ(Caret().Y, 0);
  EXPECT_EQ(view.FirstVisibleLine(), 0);
  EXPECT_EQ(source.BlockBegin(), (TPoint{0, 0}));
  EXPECT_EQ(source.BlockEnd(), (TPoint{0, 5}));
  Press({"Ctrl+End"});
  EXPECT_EQ(Caret(), (TPoint{7, 29}));
  EXPECT_EQ(view.FirstVisibleLine(), 25);
  Press({"PgDn"}); // nothing below: neither moves
  EXPECT_EQ(Caret().Y, 29);
  EXPECT_EQ(view.FirstVisibleLine(), 25);
}

TEST_F(KeyListTest, BlockCommandsAndUndo) {
  Load("one\r\ntwo\r\nthree\r\n");
  Press({"Shift+Down", "Shift+Down", "Ctrl+K", "I"});
  EXPECT_EQ(Text(), (Lines{"   one", "   two", "three"}));
  Press({"Shift+Ctrl+U"});
  EXPECT_EQ(Text(), (Lines{"one", "two", "three"}));
  Press({"Ctrl+K", "Ctrl+N"});
  EXPECT_EQ(Text(), (Lines{"ONE", "TWO", "three"}));
  Press({"Ctrl+Z"});
  EXPECT_EQ(Text(), (Lines{"one", "two", "three"}));
  Press({"Shift+Ctrl+Z"});
  EXPECT_EQ(Text(), (Lines{"ONE", "TWO", "three"}));
  Press({"Ctrl+Home", "Ctrl+Y"});
  EXPECT_EQ(Text(), (Lines{"TWO", "three"}));
  Press({"Alt+Backspace"});
  EXPECT_EQ(Text(), (Lines{"ONE", "TWO", "three"}));
}

TEST_F(KeyListTest, ClipboardAndOverwrite) {
  Load("abc def\r\n");
  Press({"Shift+Right", "Shift+Right", "Shift+Right", "Ctrl+C", "End", "Ctrl+V"});
  EXPECT_EQ(Text(), (Lines{"abc defabc"}));
  Press({"Home", "Shift+End", "Shift+Del"});
  EXPECT_EQ(Text(), (Lines{}));
  Press({"Shift+Ins"});
  EXPECT_EQ(Text(), (Lines{"abc defabc"}));
  Press({"Home", "Ins", "X", "Shift+Y"});
  EXPECT_TRUE(TCustomMemoSource::Overwrite());
  EXPECT_EQ(Text(), (Lines{"xYc defabc"}));
  Press({"Ins"});
  EXPECT_FALSE(TCustomMemoSource::Overwrite());
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
