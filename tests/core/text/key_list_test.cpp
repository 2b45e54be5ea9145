#include "core/error.h"
#include "core/text/key_list.h"
#include "core/text/key_names.h"
#include "core/text/memo_source.h"
#include "core/text/simple_key_view.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace marlo {
namespace {

using Lines = std::vector<std::string>;

const TShiftState kCtrl{ssCtrl};

// "a|b" is the two lines a and b.
Lines Split(const std::string& s) {
  Lines out(1);
  for (char c : s) c == '|' ? out.emplace_back() : out.back() += c;
  return out;
}

// A view whose template chooser answers with a fixed position and remembers the offer.
class TestView : public TSimpleKeyView {
public:
  using TSimpleKeyView::TSimpleKeyView;
  int ChooseCodeTemplate(const std::vector<const TMemoCodeTemplate*>& candidates) override {
    offered.clear();
    for (const TMemoCodeTemplate* t : candidates) offered.push_back(t->Name);
    return -1;
  }
  void Find() override { ++finds; }
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

  // Loads the lines of `text` ("a|b"), then presses keys (names separated by blanks) as the
  // editor control does: a key the table leaves alone is typed.
  void Run(const std::string& text, const std::string& names) {
    std::string bytes;
    for (const std::string& line : Split(text)) bytes += line + "\r\n";
    source.LoadFromBytes(text.empty() ? "" : bytes);
    keys.CancelPrefix();
    std::istringstream in(names);
    for (std::string name; in >> name;) {
      TKeyStroke k = ParseKeyName(name);
      char c;
      if (!keys.Execute(k.Key, k.Shift, source, view) && KeyToChar(k.Key, k.Shift, c))
        source.TypeChar(c);
    }
  }
  Lines Text() { return source.Lines().ToVector(); }

  TMemoSource source;
  TKeyList keys = TKeyList::Default();
  TestView view{source, 5};
};

// The second keys of the Ctrl+K and Ctrl+Q pairs work with Ctrl held or not; digits after
// Ctrl+K and the Ctrl+O pairs take the plain key only.
TEST_F(KeyListTest, DefaultTablePairsAcceptCtrlWhereTheyShould) {
  EXPECT_EQ(keys.Find(0, vkK, kCtrl)->SetsPrefix, kPrefixCtrlK);
  EXPECT_EQ(keys.Find(0, vkQ, kCtrl)->SetsPrefix, kPrefixCtrlQ);
  EXPECT_EQ(keys.Find(0, vkO, kCtrl)->SetsPrefix, kPrefixCtrlO);
  const std::pair<int, std::vector<TKeyCode>> pairs[] = {
      {kPrefixCtrlK, {vkB, vkK, vkC, vkV, vkY, vkI, vkU, vkN, vkO, vkF, vkE, vkT, vkL}},
      {kPrefixCtrlQ, {vkB, vkK, vkS, vkD, vkR, vkC, vkE, vkT, vkX, vkU, vkY, vkF, vkA}}};
  for (const auto& [prefix, letters] : pairs) {
    for (TKeyCode letter : letters) {
      EXPECT_NE(keys.Find(prefix, letter, {}), nullptr) << prefix << KeyName(letter, {});
      EXPECT_NE(keys.Find(prefix, letter, kCtrl), nullptr) << prefix << KeyName(letter, kCtrl);
    }
  }
  EXPECT_NE(keys.Find(kPrefixCtrlK, vk1, {}), nullptr);
  EXPECT_EQ(keys.Find(kPrefixCtrlK, vk1, kCtrl), nullptr);
  EXPECT_NE(keys.Find(kPrefixCtrlQ, vk1, {ssShift, ssCtrl}), nullptr);
  EXPECT_NE(keys.Find(kPrefixCtrlO, vkG, {}), nullptr);
  EXPECT_EQ(keys.Find(kPrefixCtrlO, vkG, kCtrl), nullptr);
  EXPECT_EQ(keys.Find(0, vkB, {}), nullptr); // letters are typed

  for (const TKeyBinding& b : keys.Bindings()) {
    EXPECT_TRUE(b.SetsPrefix != 0 || b.Command) << KeyName(b.Key, b.Shift);
    std::string name = KeyName(b.Key, b.Shift);
    EXPECT_EQ(ParseKeyName(name), (TKeyStroke{b.Key, b.Shift})) << name;
  }
  EXPECT_EQ(TKeyList::ForMapping("default").Count(), keys.Count());
  EXPECT_THROW(TKeyList::ForMapping("Emacs"), Error);
}

TEST(KeyNames, ParseNamesAndModifiersInAnyOrder) {
  const std::tuple<const char*, TKeyCode, TShiftState> cases[] = {
      {"Ctrl+K", vkK, {ssCtrl}},
      {"alt+SHIFT+down", vkDown, {ssShift, ssAlt}},
      {"ctrl+shift+alt+pgdn", vkPageDown, {ssShift, ssAlt, ssCtrl}},
      {"Shift+Ctrl+9", vk9, {ssShift, ssCtrl}},
      {"Ctrl+[", vkOpenBracket, {ssCtrl}}};
  for (const auto& [text, key, shift] : cases)
    EXPECT_EQ(ParseKeyName(text), (TKeyStroke{key, shift})) << text;
  const std::pair<const char*, TKeyCode> plain[] = {
      {"b", vkB},         {"0", vk0},        {"Enter", vkEnter}, {"Backspace", vkBackspace},
      {"Del", vkDelete},  {"Ins", vkInsert}, {"PgUp", vkPageUp}, {"Esc", vkEscape},
      {"Space", vkSpace}, {"F1", vkF1},      {"f12", vkF12}};
  for (const auto& [text, key] : plain)
    EXPECT_EQ(ParseKeyName(text), (TKeyStroke{key, {}})) << text;
  for (const char* bad :
       {"", "Ctrl+", "+K", "Ctrl+Ctrl+K", "F0", "F1x", "KK", "Ctrl+Foo", "Tab+Ctrl"})
    EXPECT_THROW(ParseKeyName(bad), Error) << bad;
}

// Keys pressed on a loaded document: the text, caret and, unless "", the selection
// ("none", or the kind and block ends as "stream 0 0 6 0").
struct KeyCase {
  const char *text, *keys, *expected;
  TPoint caret;
  const char* selection;
};
KeyCase K(const char* text, const char* keys, const char* expected, TPoint caret,
          const char* selection = "") {
  return {text, keys, expected, caret, selection};
}

std::string Selection(const TCustomMemoSource& m) {
  const char* kinds[] = {"none", "stream", "column"};
  std::ostringstream out;
  out << kinds[static_cast<int>(m.SelectionKind())];
  if (m.HasSelection())
    out << " " << m.BlockBegin().X << " " << m.BlockBegin().Y << " " << m.BlockEnd().X << " "
        << m.BlockEnd().Y;
  return out.str();
}

// tests/cli/cli_test.sh drives Ctrl+K B, Ctrl+K K, Ctrl+K 0, Shift+Ctrl+3, PgDn with a page
// and Ins through marlo-cli keys.
TEST_F(KeyListTest, DefaultBindingsOnADocument) {
  const char* digits = "0123456789|0123456789|0123456789|0123456789";
  const KeyCase cases[] = {
      K("alpha|beta|gamma", "Down Right Right Ctrl+K B Down Ctrl+K K Ctrl+K Y", "alpha|bemma",
        {2, 1}, "none"),
      K("x", "Ctrl+K Z", "zx", {1, 0}), // no Ctrl+K Z: the key reaches the text
      K("x", "Ctrl+K Esc B", "bx", {1, 0}),
      K("x", "Ctrl+K Ctrl+1", "x", {0, 0}), // neither bound nor typed
      K(digits, "Right Shift+Alt+Down Shift+Alt+Down Shift+Alt+Down", digits, {1, 3},
        "column 1 0 1 3"),
      K("hello world", "Shift+Right Shift+Right Shift+Ctrl+Right", "hello world", {6, 0},
        "stream 0 0 6 0"),
      K("hello world", "Shift+Right Right", "hello world", {2, 0}, "none"),
      K("a(b[c])", "Right Ctrl+[", "a(b[c])", {6, 0}),
      K("one|two|three", "Shift+Down Shift+Down Ctrl+K I", "   one|   two|three", {0, 2}),
      K("   one|   two", "Shift+Down Shift+Ctrl+U", "one|   two", {0, 1}),
      K("one|two", "Shift+Down Ctrl+K N Ctrl+Z Shift+Ctrl+Z", "ONE|two", {0, 1}),
      K("one|two", "Ctrl+Y Alt+Backspace", "one|two", {0, 0}),
      K("one|two", "Ctrl+Y", "two", {0, 0}),
      K("foo bar baz", "Ctrl+Right Ctrl+T", "foo baz", {4, 0}),
      K("foo bar baz", "End Ctrl+Backspace", "foo bar ", {8, 0}),
      K("foo bar", "Right Ctrl+Q Y", "f", {1, 0}),
      K("foo bar", "Right Shift+Ctrl+Y", "f", {1, 0}),
      K("abc def", "Shift+Right Shift+Right Shift+Right Ctrl+C End Ctrl+V", "abc defabc", {10, 0}),
      K("abc def", "Shift+End Shift+Del Shift+Ins Shift+Ins", "abc defabc def", {14, 0}),
      // Bookmarks: Shift+Ctrl+digit sets, also after Ctrl+Q; Ctrl+digit and Ctrl+Q digit go.
      K("a|b|c|d", "Down Shift+Ctrl+3 Down Ctrl+Q Ctrl+3", "a|b|c|d", {0, 1}),
      K("a|b|c|d", "Down Down Ctrl+Q Shift+Ctrl+0 Ctrl+Home Ctrl+0", "a|b|c|d", {0, 2}),
      K("a|b|c|d", "Down Ctrl+K 0 Ctrl+Home Ctrl+Q 0", "a|b|c|d", {0, 1}),
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " " << c.keys);
    Run(c.text, c.keys);
    EXPECT_EQ(Text(), Split(c.expected));
    EXPECT_EQ(source.Caret(), c.caret);
    EXPECT_EQ(*c.selection ? Selection(source) : "", c.selection);
  }
}

// Ctrl+J expands the one template that starts with the word before the caret, or asks the
// view to choose among several; the Find keys are the view's.
TEST_F(KeyListTest, TemplatesAndFindGoThroughTheView) {
  Run("", "W H I Shift+Home Ctrl+J");
  EXPECT_TRUE(view.offered.empty());
  ASSERT_EQ(source.LineCount(), 3);
  EXPECT_EQ(source.Lines().Get(0).substr(0, 5), "while");
  EXPECT_EQ(source.Lines().Get(2), "endwhile");
  EXPECT_EQ(source.Caret(), (TPoint{6, 0}));
  Run("", "F Shift+Home Ctrl+J");
  EXPECT_EQ(view.offered, (std::vector<std::string>{"for-next block", "for-next-step block",
                                                    "function declaration"}));
  EXPECT_EQ(Text(), (Lines{"f"}));

  Run("text", "Ctrl+F Ctrl+Q F Ctrl+Q Ctrl+F");
  EXPECT_EQ(view.finds, 3);
  EXPECT_EQ(Text(), (Lines{"text"}));
}

} // namespace
} // namespace marlo
