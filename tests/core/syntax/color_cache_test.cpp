// The colouring cache of the text model: lazy colouring ahead of the shown lines, edits
// re-coloured at once, and the lines whose start state moved scanned again.
#include "../text/model_test_util.h"
#include "core/syntax/my_parser.h"
#include "core/text/line_color_reader.h"
#include "naive_highlighter.h"

#include <gtest/gtest.h>

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

Lines Numbered(int n) {
  Lines lines;
  for (int i = 0; i < n; ++i) lines.push_back("print " + std::to_string(i));
  return lines;
}

// What the lines must look like: each coloured from scratch by the plain rules.
void ExpectFreshColors(TCustomMemoSource& m, const std::vector<std::string>& keywords,
                       int skip = -1) {
  test::NaiveHighlighter plain(keywords);
  m.ColorLines(m.FirstUncolored(), m.LineCount() - 1, true);
  int state = 0;
  for (int i = 0; i < m.LineCount(); ++i) {
    std::string expected;
    std::string text(m.StoredLine(i));
    int end = text.empty() ? state : plain.ColorLine(text, state, expected);
    ASSERT_TRUE(m.IsLineColored(i)) << "line " << i;
    if (i != skip) {
      ASSERT_EQ(std::string(m.LineColors(i)), expected) << "line " << i << ": " << text;
    }
    ASSERT_EQ(m.ColorCache().EndState(i), end) << "line " << i;
    state = end;
  }
}

TEST(ColorCache, ColoursOnDemandAheadOfTheShownLine) {
  auto m = test::DocModel(Numbered(500));
  CountingParser parser({"print"});
  m->SetSyntaxParser(&parser);
  m->EnsureLineColored(60, true);
  EXPECT_EQ(parser.scanned.size(), 161u);
  EXPECT_EQ(m->FirstUncolored(), 161);
  // Lines already coloured are not scanned again; one further down colours up to it.
  parser.scanned.clear();
  m->EnsureLineColored(30, true);
  m->EnsureLineColored(170, true);
  EXPECT_EQ(parser.scanned.front(), 161);
  EXPECT_EQ(parser.scanned.back(), 270);
  m->EnsureLineColored(1000, true); // past the end is clamped
  EXPECT_EQ(m->FirstUncolored(), 500);
}

TEST(ColorCache, OpeningARemarkBlockRescansTheLinesBelowWhenShown) {
  auto m = test::DocModel(Numbered(500));
  CountingParser parser({"print"});
  m->SetSyntaxParser(&parser);
  m->EnsureLineColored(60, true); // lines 0-60 shown
  test::ScopedView scoped(*m);
  m->SetCaret(0, 10);
  parser.scanned.clear();
  scoped.view.Reset();
  m->InsertText("remstart ");
  // The edited line is scanned at once; its end state moved, so everything below it is
  // reported for repainting.
  EXPECT_EQ(parser.scanned, std::vector<int>{10});
  ASSERT_EQ(scoped.view.Count(), 1);
  EXPECT_EQ(scoped.view.Last().FirstLine, 10);
  EXPECT_EQ(scoped.view.Last().LastLine, 499);
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

TEST(ColorCache, LoadsAndReplacedTextStartAfresh) {
  test::TempDir dir;
  test::WriteFile(dir / "a.zba", "remstart\r\nx\r\nremend\r\nprint 1\r\n");
  auto m = test::DocModel(Numbered(50));
  TMyParser parser({"print"});
  m->SetSyntaxParser(&parser);
  m->EnsureLineColored(20, true);
  m->LoadFromFile(dir / "a.zba");
  EXPECT_EQ(m->FirstUncolored(), 0);
  ExpectFreshColors(*m, {"print"});
  m->Lines().Assign({"print \"a", "remstart", "print"});
  ExpectFreshColors(*m, {"print"});
}

// Random edits, with the shown part coloured now and then as a view would, always leave
// every line coloured exactly as a fresh colouring of the final text, with a cache of a
// few lines as well. Reading the colours top to bottom (as an export does), whatever part
// the cache holds, gives them too and keeps nothing.
TEST(ColorCache, EditsKeepTheCacheTrueToTheText) {
  const std::vector<std::string> keywords = {"print", "sync on", "end"};
  const std::vector<std::string> inserts = {"remstart", "remend", "rem ",    "\"", "print ", "x",
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
    for (int step = 0; step < 300; ++step) {
      int y = static_cast<int>(rng() % static_cast<unsigned>(std::max(1, m->LineCount())));
      m->SetCaret(static_cast<int>(rng() % 12), y);
      switch (rng() % 7) {
      case 0:
      case 1:
        m->InsertText(inserts[rng() % inserts.size()]);
        break;
      case 2:
        m->DeleteChars(1 + static_cast<int>(rng() % 6));
        break;
      case 3:
        m->SplitLine();
        break;
      case 4:
        m->SetCaret(0, y), m->DeleteLine();
        break;
      case 5:
        m->Undo();
        break;
      default:
        m->EnsureLineColored(y, true); // a view showing line y
        break;
      }
    }

    auto fresh = test::DocModel(test::StoredLines(*m));
    fresh->SetSyntaxParser(&parser);
    int firstUncolored = m->FirstUncolored();
    TLineColorReader reader(*m);
    for (int i = rng() % 3; i < m->LineCount(); i += 1 + rng() % 3) // some passed over
      ASSERT_EQ(std::string(reader.Colors(i)), std::string(fresh->LineColors(i))) << i;
    EXPECT_EQ(m->FirstUncolored(), firstUncolored);
    fresh->SetSyntaxParser(nullptr);
    ExpectFreshColors(*m, keywords);
  }
}

} // namespace
} // namespace marlo
