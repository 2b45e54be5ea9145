// The colouring cache of the text model: lazy colouring ahead of the shown lines, edits
// re-coloured at once, and the lines whose start state moved scanned again. That fresh
// colouring follows the plain rules is checked by my_parser_test.cpp and the colour samples.
#include "../text/model_test_util.h"
#include "core/syntax/my_parser.h"
#include "core/text/line_color_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace marlo {
namespace {

using test::Lines;

// Counts which lines were scanned.
class CountingParser : public TMyParser {
public:
  using TMyParser::TMyParser;
  void SetLineIndex(int index) override {
    scanned.push_back(index);
    TMyParser::SetLineIndex(index);
  }
  void ChangeKeywords() { NotifyChanged(); }
  std::vector<int> scanned;
};

// Keeps style strings for at most `lines` lines within a scope.
struct TCacheBound {
  int Saved = TColorCache::MaxCachedLines;
  explicit TCacheBound(int lines) { TColorCache::MaxCachedLines = lines; }
  ~TCacheBound() { TColorCache::MaxCachedLines = Saved; }
};

// The styles of every line coloured from scratch, top to bottom, by a parser of its own.
std::vector<std::string> FreshColors(const TCustomMemoSource& m, const Lines& keywords,
                                     std::vector<int>* ends = nullptr) {
  TMyParser parser(keywords);
  std::vector<std::string> out;
  int state = 0;
  for (int i = 0; i < m.LineCount(); ++i) {
    std::string text(m.StoredLine(i)), colors(text.size(), '\0');
    if (!text.empty()) state = parser.ColorString(text, state, colors);
    out.push_back(colors);
    if (ends) ends->push_back(state);
  }
  return out;
}

// Colours what the cache has not coloured yet, and compares every line and end state.
void ExpectFreshColors(TCustomMemoSource& m, const Lines& keywords) {
  std::vector<int> ends;
  const std::vector<std::string> expected = FreshColors(m, keywords, &ends);
  m.ColorLines(m.FirstUncolored(), m.LineCount() - 1, true);
  for (int i = 0; i < m.LineCount(); ++i) {
    ASSERT_TRUE(m.IsLineColored(i)) << "line " << i;
    ASSERT_EQ(std::string(m.LineColors(i)), expected[i]) << "line " << i << ": " << m.StoredLine(i);
    ASSERT_EQ(m.ColorCache().EndState(i), ends[i]) << "line " << i;
  }
}

TEST(ColorCache, OpeningARemarkBlockRescansTheLinesBelowWhenShown) {
  Lines numbered;
  for (int i = 0; i < 500; ++i) numbered.push_back("print " + std::to_string(i));
  auto m = test::DocModel(numbered);
  CountingParser parser({"print"});
  m->SetSyntaxParser(&parser);
  m->EnsureLineColored(60, true); // lines 0-60 shown, and 100 further down
  EXPECT_EQ(parser.scanned.size(), 161u);
  test::ScopedView scoped(*m);
  m->SetCaret(0, 10);
  parser.scanned.clear();
  scoped.view.Reset();
  m->InsertText("remstart ");
  // The edited line is scanned at once; its end state moved, so everything below it is
  // reported for repainting.
  EXPECT_EQ(parser.scanned, std::vector<int>{10});
  ASSERT_EQ(scoped.view.Count(), 1);
  EXPECT_EQ(std::pair(scoped.view.Last().FirstLine, scoped.view.Last().LastLine),
            std::pair(10, 499));
  EXPECT_EQ(m->FirstUncolored(), 10);

  // The view colours the last changed line it shows; lines 11-160 are scanned again, and
  // their start states moved, so the repaint widens to the returned line.
  parser.scanned.clear();
  EXPECT_EQ(m->EnsureLineColored(60, true), 161);
  EXPECT_EQ(parser.scanned.front(), 11);
  EXPECT_EQ(parser.scanned.size(), 150u);
  EXPECT_EQ(m->LineColors(100)[0], tkComment);
  // Lines beyond the coloured part are only scanned when they are needed.
  EXPECT_FALSE(m->IsLineColored(300));
  EXPECT_EQ(m->LineColors(300)[0], tkComment);
  m->EnsureLineColored(1000, true); // past the end is clamped
  EXPECT_EQ(m->FirstUncolored(), 500);
}

TEST(ColorCache, ParserChangesAndFreeingDropTheColours) {
  auto m = test::DocModel({"print 1", "x"});
  {
    CountingParser parser({"print"});
    m->SetSyntaxParser(&parser);
    m->EnsureLineColored(0, true);
    parser.ChangeKeywords();
    EXPECT_FALSE(m->IsLineColored(0));
    EXPECT_EQ(m->FirstUncolored(), 0);
    m->EnsureLineColored(0, true);
  }
  // The parser went away: the model forgot it and its colours.
  EXPECT_EQ(m->SyntaxParser(), nullptr);
  EXPECT_FALSE(m->IsLineColored(0));
  EXPECT_TRUE(m->LineColors(0).empty());

  // A model that goes first leaves the parser nothing to call back.
  CountingParser survivor({"print"});
  test::DocModel({"c"})->SetSyntaxParser(&survivor);
  m->SetSyntaxParser(&survivor);
  m->EnsureLineColored(0, true);
  survivor.ChangeKeywords();
  EXPECT_FALSE(m->IsLineColored(0));
  m->SetSyntaxParser(nullptr);
}

// Random edits, with the shown part coloured now and then as a view would, always leave
// every line coloured exactly as a fresh colouring of the final text, with a cache of a
// few lines as well. Reading the colours top to bottom (as an export does), whatever part
// the cache holds, gives them too and keeps nothing. A load or a text written through the
// line list starts afresh.
TEST(ColorCache, EditsKeepTheCacheTrueToTheText) {
  const Lines keywords = {"print", "sync on", "end"};
  const Lines inserts = {"remstart", "remend", "rem ",    "\"", "print ", "x",
                         " ",        "1.5",    "sync on", "`",  ":"};
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TCacheBound bound(seed % 2 ? 3 : TColorCache::MaxCachedLines);
    std::mt19937 rng(seed);
    Lines lines;
    for (int i = 0; i < 40; ++i) lines.push_back(inserts[rng() % inserts.size()] + "a");
    auto m = test::DocModel(lines);
    TMyParser parser(keywords);
    m->SetSyntaxParser(&parser);
    int y = 0;
    auto insert = [&] { m->InsertText(inserts[rng() % inserts.size()]); };
    const std::function<void()> edits[] = {
        insert,
        insert,
        [&] { m->DeleteChars(1 + static_cast<int>(rng() % 6)); },
        [&] { m->SplitLine(); },
        [&] { m->SetCaret(0, y), m->DeleteLine(); },
        [&] { m->Undo(); },
        [&] { m->EnsureLineColored(y, true); }, // a view showing line y
    };
    for (int step = 0; step < 300; ++step) {
      y = static_cast<int>(rng() % static_cast<unsigned>(std::max(1, m->LineCount())));
      m->SetCaret(static_cast<int>(rng() % 12), y);
      edits[rng() % 7]();
    }

    const std::vector<std::string> expected = FreshColors(*m, keywords);
    int firstUncolored = m->FirstUncolored();
    TLineColorReader reader(*m);
    for (int i = rng() % 3; i < m->LineCount(); i += 1 + rng() % 3) // some passed over
      ASSERT_EQ(std::string(reader.Colors(i)), expected[i]) << i;
    EXPECT_EQ(m->FirstUncolored(), firstUncolored);
    ExpectFreshColors(*m, keywords);

    if (seed > 2) continue;
    m->EnsureLineColored(20, true);
    m->LoadFromBytes("remstart\r\nx\r\nremend\r\nprint 1\r\n");
    EXPECT_EQ(m->FirstUncolored(), 0);
    ExpectFreshColors(*m, keywords);
    m->Lines().Assign({"print \"a", "remstart", "print"});
    ExpectFreshColors(*m, keywords);
  }
}

} // namespace
} // namespace marlo
