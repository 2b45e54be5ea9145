// The colouring cache of the text model: lazy colouring ahead of the shown lines, edits
// re-coloured at once, and the lines whose start state moved scanned again.
#include "../text/model_test_util.h"
#include "core/syntax/my_parser.h"
#include "core/text/line_color_reader.h"
#include "naive_highlighter.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

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
  EXPECT_EQ(m->FirstUncolored(), 0);
  m->EnsureLineColored(60, true);
  EXPECT_EQ(parser.scanned.size(), 161u);
  EXPECT_EQ(m->FirstUncolored(), 161);
  EXPECT_EQ(std::string(m->LineColors(3)), std::string("\6\6\6\6\6\0\4", 7));
  // Lines already coloured are not scanned again; one further down colours up to it.
  parser.scanned.clear();
  m->EnsureLineColored(30, true);
  EXPECT_TRUE(parser.scanned.empty());
  m->EnsureLineColored(170, true);
  EXPECT_EQ(parser.scanned.front(), 161);
  EXPECT_EQ(parser.scanned.back(), 270);
  // Past the end is clamped; before the start nothing happens.
  m->EnsureLineColored(1000, true);
  EXPECT_EQ(m->FirstUncolored(), 500);
  EXPECT_EQ(m->ColorLines(10, 5, true), m->RecolorFrom());
}

TEST(ColorCache, OpeningARemarkBlockRescansTheLinesBelowWhenShown) {
  auto m = test::DocModel(Numbered(500));
  CountingParser parser({"print"});
  m->SetSyntaxParser(&parser);
  m->EnsureLineColored(60, true); // lines 0-60 shown
  test::ScopedView scoped(*m);
  parser.scanned.clear();

  m->SetCaret(0, 10);
  scoped.view.Reset();
  m->InsertText("remstart ");
  // The edited line is scanned at once; its end state moved, so everything below it is
  // reported for repainting.
  EXPECT_EQ(parser.scanned, std::vector<int>{10});
  EXPECT_EQ(m->ColorCache().EndState(10), TMyParser::kInRemarkBlock);
  ASSERT_EQ(scoped.view.Count(), 1);
  EXPECT_EQ(scoped.view.Last().FirstLine, 10);
  EXPECT_EQ(scoped.view.Last().LastLine, 499);
  EXPECT_EQ(m->FirstUncolored(), 10);

  // The view colours the last changed line it shows; lines 11-160 are scanned again, and
  // their start states moved, so the repaint widens to the returned line.
  parser.scanned.clear();
  int recolorFrom = m->EnsureLineColored(60, true);
  EXPECT_EQ(parser.scanned.front(), 11);
  EXPECT_EQ(parser.scanned.back(), 160);
  EXPECT_EQ(parser.scanned.size(), 150u);
  EXPECT_EQ(recolorFrom, 161);
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
    EXPECT_TRUE(m->IsLineColored(1));
    parser.ChangeKeywords();
    EXPECT_FALSE(m->IsLineColored(0));
    EXPECT_EQ(m->FirstUncolored(), 0);
    m->EnsureLineColored(0, true);
  }
  // The parser went away: the model forgot it and its colours.
  EXPECT_EQ(m->SyntaxParser(), nullptr);
  EXPECT_FALSE(m->IsLineColored(0));
  // Without a parser, forced colouring marks lines coloured with no styles.
  EXPECT_TRUE(m->LineColors(0).empty());
  EXPECT_TRUE(m->IsLineColored(0));
}

TEST(ColorCache, LoadsAndReplacedTextStartAfresh) {
  test::TempDir dir;
  std::string file = dir.Path() + "/a.zba";
  test::WriteFile(file, "remstart\r\nx\r\nremend\r\nprint 1\r\n");
  auto m = test::DocModel(Numbered(50));
  TMyParser parser({"print"});
  m->SetSyntaxParser(&parser);
  m->EnsureLineColored(20, true);
  m->LoadFromFile(file);
  EXPECT_EQ(m->FirstUncolored(), 0);
  ExpectFreshColors(*m, {"print"});
  m->Lines().Assign({"print \"a", "remstart", "print"});
  ExpectFreshColors(*m, {"print"});
}

// A long text coloured to its end keeps the states of every line but the styles of a few;
// the others are coloured again as they were, styles written by edits stay, and no line's
// text leaves the load buffer for it.
TEST(ColorCache, ColouredLinesKeepStatesAndAFewStyles) {
  TCacheBound bound(50);
  std::string text;
  for (int i = 0; i < 2000; ++i)
    text += (i % 100 == 10   ? "remstart"
             : i % 100 == 20 ? "remend"
                             : "print " + std::to_string(i)) +
            std::string("\r\n");
  auto m = test::DocModel();
  m->LoadFromBytes(text);
  TMyParser parser({"print"});
  m->SetSyntaxParser(&parser);
  m->EnsureLineColored(1999, true);
  EXPECT_LE(m->ColorCache().CachedLines(), 50);
  for (int i = 0; i < m->LineCount(); ++i) ASSERT_FALSE(m->Strings().Item(i).IsOwned()) << i;
  m->ColorCache().SetStyles(5, "\7\7");
  ExpectFreshColors(*m, {"print"}, 5);
  EXPECT_EQ(m->ColorCache().Styles(5), "\7\7");
  EXPECT_LE(m->ColorCache().CachedLines(), 51);
}

// States that do not fit the few bytes a line has are kept whole.
TEST(ColorCache, AnyStateComesBackAsItWas) {
  class TBigStates : public TLineParser {
  public:
    void SetLineIndex(int) override { ++scans; }
    int ColorString(std::string_view text, int state, std::string&) override {
      return state * 3 - static_cast<int>(text.size()) * 40000 + 7;
    }
    int scans = 0;
  } parser;
  auto m = test::DocModel({"a", "bb", "ccc", "", "d", "bb"});
  m->SetSyntaxParser(&parser);
  m->ColorLines(0, m->LineCount() - 1, true);
  int state = 0;
  for (int i = 0; i < m->LineCount(); ++i) {
    EXPECT_EQ(m->ColorCache().StartState(i), state) << i;
    state = state * 3 - static_cast<int>(m->StoredLine(i).size()) * 40000 + 7;
    EXPECT_EQ(m->ColorCache().EndState(i), state) << i;
  }
  parser.scans = 0;
  m->ColorLines(0, m->LineCount() - 1, true); // the start states match: nothing to scan
  EXPECT_EQ(parser.scans, 0);
  m->SetSyntaxParser(nullptr);
}

// Random edits, with the shown part coloured now and then as a view would, always leave
// every line coloured exactly as a fresh colouring of the final text; with a cache of a
// few lines as well.
TEST(ColorCache, EditsKeepTheCacheTrueToTheText) {
  const std::vector<std::string> keywords = {"print", "sync on", "end"};
  const std::vector<std::string> inserts = {"remstart", "remend", "rem ",    "\"", "print ", "x",
                                            " ",        "1.5",    "sync on", "`",  ":"};
  for (unsigned seed = 1; seed <= 30; ++seed) {
    TCacheBound bound(seed % 2 ? 3 : TColorCache::MaxCachedLines);
    std::mt19937 rng(seed);
    Lines lines;
    for (int i = 0; i < 40; ++i) lines.push_back(inserts[rng() % inserts.size()] + "a");
    auto m = test::DocModel(lines);
    TMyParser parser(keywords);
    m->SetSyntaxParser(&parser);
    for (int step = 0; step < 300; ++step) {
      int y = static_cast<int>(rng() % static_cast<unsigned>(std::max(1, m->LineCount())));
      int x = static_cast<int>(rng() % 12);
      m->SetCaret(x, y);
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
    SCOPED_TRACE("seed " + std::to_string(seed));
    ExpectFreshColors(*m, keywords);
  }
}

// Reading a text's colours from top to bottom gives the cache's colours, whatever part of
// the text the cache holds, after any edits.
TEST(ColorCache, AReaderGivesWhatTheCacheGives) {
  const std::vector<std::string> keywords = {"print", "sync on"};
  const std::vector<std::string> pieces = {"remstart", "remend", "print ", "x", " ", "\"", "1"};
  for (unsigned seed = 1; seed <= 40; ++seed) {
    TCacheBound bound(seed % 2 ? 3 : TColorCache::MaxCachedLines);
    std::mt19937 rng(seed);
    Lines lines;
    for (int i = 0; i < 60; ++i) {
      std::string line;
      for (unsigned k = rng() % 4; k > 0; --k) line += pieces[rng() % pieces.size()];
      lines.push_back(line);
    }
    auto m = test::DocModel(lines);
    TMyParser parser(keywords);
    m->SetSyntaxParser(&parser);
    m->EnsureLineColored(static_cast<int>(rng() % 60), true); // a view somewhere
    m->SetCaret(0, static_cast<int>(rng() % 60));
    m->InsertText(pieces[rng() % pieces.size()]); // an edit above or below it

    std::vector<std::pair<int, std::string>> read;
    TLineColorReader reader(*m);
    for (int i = 0; i < m->LineCount(); ++i) {
      if (rng() % 4 == 0) continue; // some lines are passed over
      read.emplace_back(i, std::string(reader.Colors(i)));
    }
    int firstUncolored = m->FirstUncolored();

    auto fresh = test::DocModel(test::StoredLines(*m));
    fresh->SetSyntaxParser(&parser);
    for (const auto& [line, colors] : read)
      ASSERT_EQ(colors, std::string(fresh->LineColors(line)))
          << "seed " << seed << " line " << line;
    EXPECT_EQ(m->FirstUncolored(), firstUncolored); // reading kept nothing
  }
}

} // namespace
} // namespace marlo
