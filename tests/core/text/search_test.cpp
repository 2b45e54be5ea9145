// Finding and replacing in a model: where each search starts and leaves the caret, the F3
// sequence, Replace All as one Undo, the prompt's answers and the search errors. The
// matcher itself is tested in tests/core/search.
#include "core/error.h"
#include "core/search/search_options.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

struct TFlags {
  bool Regex = false, Case = false, Words = false, Backward = false, FromCursor = false;
};

TSearchOptions& Options(const std::string& text, TFlags f, const std::string& with = {}) {
  TSearchOptions& o = SharedSearchOptions();
  o = TSearchOptions();
  o.TextToFind = text;
  o.ReplaceWith = with;
  o.RegularExpr = f.Regex;
  o.CaseSensitive = f.Case;
  o.WholeWordsOnly = f.Words;
  o.Direction = f.Backward ? TSearchDirection::sdBackward : TSearchDirection::sdForward;
  o.Origin = f.FromCursor ? TSearchOrigin::soFromCursor : TSearchOrigin::soEntireScope;
  return o;
}

// "X Y N" of every match: the find, then F3 until nothing is found.
std::string Matches(TCustomMemoSource& m) {
  // The caret ends a forward match and starts a backward one; "?" marks where it did not.
  bool backward = SharedSearchOptions().Direction == TSearchDirection::sdBackward;
  std::string out;
  for (bool found = m.FindText(); found && out.size() < 400; found = m.FindAgain()) {
    TPoint b = m.FoundBegin(), e = m.FoundEnd();
    out += std::to_string(b.X) + " " + std::to_string(b.Y) + " " + std::to_string(e.X - b.X) +
           (m.Caret() == (backward ? b : e) ? ";" : "?;");
  }
  return out;
}

TEST(Search, WhereEachSearchStartsAndWhatItFinds) {
  // {lines, text, flags, caret, the matches in order}
  const struct {
    const char* Lines;
    const char* Text;
    TFlags Flags;
    TPoint Caret;
    const char* Expected;
  } cases[] = {
      {"for for", "for", {}, {0, 0}, "0 0 3;4 0 3;"},
      {"x for|for", "FOR", {}, {3, 0}, "2 0 3;0 1 3;"}, // entire scope ignores the caret
      {"x for|for", "for", {.FromCursor = true}, {3, 0}, "0 1 3;"},
      {"x for|for", "for", {.FromCursor = true}, {2, 0}, "2 0 3;0 1 3;"},
      {"x for|for", "FOR", {.Case = true}, {0, 0}, ""},
      {"aaaa", "aa", {.Backward = true, .FromCursor = true}, {4, 0}, "2 0 2;1 0 2;0 0 2;"},
      {"ab|ab", "ab", {.Backward = true}, {0, 0}, "0 1 2;0 0 2;"},
      {"format for", "for", {.Words = true}, {0, 0}, "7 0 3;"},
      {"str$(score) score", "score", {.Words = true}, {0, 0}, "12 0 5;"},
      {"a b", "a b", {.Words = true}, {0, 0}, "0 0 3;"}, // a blank: whole words go off
      {"\xE4h \xC4H", "\xC4h", {}, {0, 0}, "0 0 2;3 0 2;"},
      {"xrababc", "r{ab}+c", {.Regex = true}, {0, 0}, "1 0 6;"},
      {"v 12 3.5", "[0-9]+", {.Regex = true}, {0, 0}, "2 0 2;5 0 1;7 0 1;"},
      {"ab|cd", "^", {.Regex = true}, {0, 0}, "0 0 0;0 1 0;"},
      {"ab|cd", "$", {.Regex = true}, {0, 0}, "2 0 0;2 1 0;"},
      {"ab|cd", "$", {.Regex = true, .Backward = true}, {0, 0}, "2 1 0;2 0 0;"},
      {"ab", "x*", {.Regex = true}, {0, 0}, "0 0 0;1 0 0;2 0 0;"},
      {"\tab", "ab", {}, {0, 0}, "3 0 2;"}, // columns of the expanded line
      {"ab", "", {}, {0, 0}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Lines << " / " << c.Text);
    auto m = DocModel(LinesOf(c.Lines));
    m->SetCaret(c.Caret.X, c.Caret.Y);
    Options(c.Text, c.Flags);
    EXPECT_EQ(Matches(*m), c.Expected);
  }
  // The options as the searches left them.
  EXPECT_FALSE(SharedSearchOptions().FirstSearch);
  auto m = DocModel(LinesOf("a b"));
  Options("a b", {.Words = true});
  m->FindText();
  EXPECT_FALSE(SharedSearchOptions().WholeWordsOnly);
}

TEST(Search, ASelectionIsSearchedInItsOwnColumns) {
  auto m = DocModel(LinesOf("ab ab|ab ab|ab ab"));
  Select(*m, TSelectionType::Stream, 1, 0, 4, 1);
  TSearchOptions& o = Options("ab", {});
  o.Scope = TSearchScope::ssSelectedText;
  ASSERT_TRUE(m->FindText());
  EXPECT_EQ(m->FoundBegin(), (TPoint{3, 0}));
  EXPECT_TRUE(m->FindAgain()); // the selection went with the caret: the whole text now
  EXPECT_EQ(m->FoundBegin(), (TPoint{0, 1}));

  m = DocModel(LinesOf("ab ab|ab ab"));
  Select(*m, TSelectionType::Column, 1, 0, 4, 1);
  o = Options("b a", {});
  o.Scope = TSearchScope::ssSelectedText;
  ASSERT_TRUE(m->FindText());
  EXPECT_EQ(m->FoundBegin(), (TPoint{1, 0}));
}

TEST(Search, ErrorsAndReports) {
  auto m = DocModel(LinesOf("abc|def"));
  std::vector<std::string> reports, messages;
  m->OnSearchMessage = [&](TCustomMemoSource&, const std::string& t) { messages.push_back(t); };

  TSearchOptions& o = Options("zz", {});
  EXPECT_FALSE(m->FindText());
  EXPECT_EQ(messages, std::vector<std::string>{"Search string 'zz' not found"});

  o = Options("a**", {.Regex = true});
  try {
    m->FindText();
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "a** is invalid mask at (3)");
  }

  o = Options("a", {});
  o.Scope = TSearchScope::ssSelectedText;
  EXPECT_THROW(m->FindText(), Error); // no selection
  m->OnSearchException = [&](TCustomMemoSource&, const std::string& t, bool& handled) {
    reports.push_back(t);
    handled = true;
  };
  EXPECT_FALSE(m->FindText());
  m->SetCaret(1, 0);
  m->SelectBlock(TSelectionType::Stream, 0, 1, 2, 1);
  o = Options("d", {.FromCursor = true});
  o.Scope = TSearchScope::ssSelectedText;
  EXPECT_FALSE(m->FindText());
  EXPECT_EQ(reports, (std::vector<std::string>{
                         "Tried to search marked block but it is invalid",
                         "Tried to search marked block from cursor but cursor is outside block"}));
  EXPECT_EQ(m->Caret(), (TPoint{1, 0})); // nothing moved

  // F3 before any dialog does nothing; a read-only text replaces nothing.
  o = Options("a", {});
  o.FirstSearch = true;
  EXPECT_FALSE(m->FindAgain());
  m->SetReadOnly(true);
  Options("a", {}, "b");
  EXPECT_FALSE(m->ReplaceText());
  EXPECT_EQ(StoredLines(*m), LinesOf("abc|def"));
}

TEST(Replace, ReplaceAllIsOneUndoAndEnds) {
  // {lines, text, replacement, flags, result}
  const struct {
    const char* Lines;
    const char* Text;
    const char* With;
    TFlags Flags;
    const char* Result;
  } cases[] = {
      {"banana", "a", "", {}, "bnn"},
      {"banana|a", "A", "o", {.Backward = true}, "bonono|o"},
      {"aaa", "a", "aa", {}, "aaaaaa"},
      {"aaa", "a", "aa", {.Backward = true}, "aaaaaa"},
      {"ab", "x*", "-", {.Regex = true}, "-a-b-"},
      {"a|b", "^", "> ", {.Regex = true}, "> a|> b"},
      {"a|b", "$", ";", {.Regex = true}, "a;|b;"},
      {"a|b", "$", ";", {.Regex = true, .Backward = true}, "a;|b;"},
      {"ab  cd", "b *", "B", {.Regex = true}, "aBcd"},
      {"for format for", "for", "x", {.Words = true}, "x format x"},
      {"z\tab", ".", "z", {.Regex = true}, "zzzzzz"}, // a tab gives up what "z" takes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Lines << " / " << c.Text);
    auto m = DocModel(LinesOf(c.Lines));
    TSearchOptions& o = Options(c.Text, c.Flags, c.With);
    o.ReplaceAll = true;
    m->ReplaceText();
    EXPECT_EQ(RTrimmed(StoredLines(*m)), LinesOf(c.Result));
    EXPECT_FALSE(m->HasFoundText());
    m->Undo(); // a tab the replacements opened comes back as the blanks it showed
    EXPECT_EQ(ShownLines(*m), ShownLines(*DocModel(LinesOf(c.Lines))));
  }
}

TEST(Replace, OnceAgainAndThePromptsAnswers) {
  auto m = DocModel(LinesOf("banana"));
  Options("a", {}, "o");
  EXPECT_TRUE(m->ReplaceText()); // the replace dialog's OK: one replacement
  EXPECT_EQ(StoredLines(*m), LinesOf("bonana"));
  EXPECT_EQ(m->Caret(), (TPoint{2, 0}));
  EXPECT_TRUE(m->FindAgain());
  EXPECT_TRUE(m->FindAgain());
  EXPECT_EQ(StoredLines(*m), LinesOf("bonono"));
  EXPECT_FALSE(m->FindAgain());
  EXPECT_EQ(m->ReplaceCount(), 3);
  m->SetOption(soGroupUndo, false);
  m->Undo(); // one replacement, and the search that found it
  EXPECT_EQ(StoredLines(*m), LinesOf("bonona"));
  EXPECT_EQ(m->Caret(), (TPoint{4, 0}));
  m->SetOption(soGroupUndo, true);
  m->Undo(); // grouped as one kind of change, the other two go together
  EXPECT_EQ(StoredLines(*m), LinesOf("banana"));

  // {answers, result, PromptOnReplace afterwards}
  const struct {
    const char* Answers;
    const char* Result;
    bool PromptAfter;
  } cases[] = {
      {"nyn", "banona", true},
      {"ya", "bonono", false}, // All replaces the rest without asking
      {"c", "banana", true},
      {"", "banana", true}, // no answer left: Cancel
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answers);
    m = DocModel(LinesOf("banana"));
    std::string answers = c.Answers;
    int asked = 0;
    m->OnReplacePrompt = [&](TCustomMemoSource& s, const std::string& q) {
      EXPECT_EQ(q, "Replace this occurence of 'a'?");
      EXPECT_TRUE(s.HasFoundText());
      char a = asked < static_cast<int>(answers.size()) ? answers[asked] : 'c';
      ++asked;
      return a == 'y'   ? TReplaceAnswer::Yes
             : a == 'n' ? TReplaceAnswer::No
             : a == 'a' ? TReplaceAnswer::All
                        : TReplaceAnswer::Cancel;
    };
    TSearchOptions& o = Options("a", {}, "o");
    o.PromptOnReplace = true;
    o.ReplaceAll = true;
    m->ReplaceText();
    EXPECT_EQ(StoredLines(*m), LinesOf(c.Result));
    EXPECT_EQ(SharedSearchOptions().PromptOnReplace, c.PromptAfter);
  }
}

TEST(Replace, AStoppedReplaceAllKeepsWhatItReplacedAsOneStep) {
  auto m = DocModel(Lines(3000, "ab ab"));
  int polls = 0;
  m->OnSearchPoll = [&](TCustomMemoSource&) { return ++polls == 2; };
  // The window's busy pointer and progress box: one run, not one per search inside it.
  std::string busy;
  m->OnSearchBusy = [&](TCustomMemoSource&, bool on) { busy += on ? "+" : "-"; };
  TSearchOptions& o = Options("a", {}, "x");
  o.ReplaceAll = true;
  m->ReplaceText();
  EXPECT_EQ(busy, "+-");
  EXPECT_EQ(m->StoredLine(0), "xb xb");
  EXPECT_EQ(m->StoredLine(2999), "ab ab");
  m->Undo();
  EXPECT_EQ(m->StoredLine(0), "ab ab");
}

} // namespace
} // namespace marlo::test
