// Big loads are split in two halves that are scanned side by side; these tests put every
// kind of line end, tab and NUL at and around the place where the halves meet. A load in
// one piece is checked against the plain splitting rules by fuzz/fuzz_load_stream.cpp; a
// load in halves must give the same lines.
#include "core/platform/memory.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

// Texts of a few hundred kilobytes take the two-halves road too while a test runs.
class BulkLoad : public ::testing::Test {
protected:
  void SetUp() override { TInternalStrings::ParallelLoadThreshold = 1 << 16; }
  void TearDown() override { TInternalStrings::ParallelLoadThreshold = kSaved; }
  const size_t kSaved = TInternalStrings::ParallelLoadThreshold;
};

Lines LoadedInOnePiece(const std::string& bytes) {
  const size_t threshold = TInternalStrings::ParallelLoadThreshold;
  TInternalStrings::ParallelLoadThreshold = SIZE_MAX;
  TCustomMemoSource doc;
  doc.SetSpacesInTab(3);
  doc.LoadFromBytes(bytes);
  TInternalStrings::ParallelLoadThreshold = threshold;
  return StoredLines(doc);
}

// From bytes, and from a file, where each half is read by the thread that scans it.
TEST_F(BulkLoad, BigTextsSplitAnywhereLoadAsOne) {
  std::mt19937 rng(7);
  const char* words[] = {"print x", "\t", "   ", "\r\n", "\n", "\r", "sync", " ", "a=1", "\t\t"};
  std::string base;
  while (base.size() < 200000) base += words[rng() % 10];
  const size_t mid = base.size() / 2;
  // What sits where the halves meet decides where the second half starts ("" is a NUL).
  std::vector<std::string> texts;
  for (std::string piece : {"\r\n", "\r", "\n", "\t", "\r\r\n", "\n\n", "x\t\r\n\t", "   \r", ""}) {
    if (piece.empty()) piece.push_back('\0');
    for (int shift = -3; shift <= 3; ++shift)
      texts.push_back(
          std::string(base).replace(mid + static_cast<size_t>(shift), piece.size(), piece));
  }
  for (size_t at : {base.size() / 4, base.size() - 10}) // a NUL ends the text in either half
    texts.push_back(std::string(base).replace(at, 1, 1, '\0'));
  for (const char* end : {"\n", "\r\n", "\r"}) { // halves of only blank lines outgrow their room
    std::string blank;
    for (int i = 0; i < 100000; ++i) blank += end;
    texts.push_back(blank + "last");
  }

  TempDir dir;
  for (size_t t = 0; t < texts.size(); ++t) {
    SCOPED_TRACE("text " + std::to_string(t));
    const Lines want = LoadedInOnePiece(texts[t]);
    ASSERT_GT(want.size(), 1000u);
    TCustomMemoSource doc;
    doc.SetSpacesInTab(3);
    doc.LoadFromBytes(texts[t]);
    EXPECT_EQ(StoredLines(doc), want);
    WriteFile(dir / "big.zba", texts[t]);
    doc.LoadFromFile(dir / "big.zba");
    EXPECT_EQ(StoredLines(doc), want);
  }
}

// The scan lists the tabs of many chunks before it looks at their lines. A list that fills
// up in the chunk holding a line's last line feed must not leave out that line's own tabs
// (the list was once emptied after the chunk's line feeds were taken and before its tabs
// were listed, so a short line there kept its tab).
TEST_F(BulkLoad, TabsAreWidenedAfterAFullListOfTabs) {
  for (int before : {240, 241, 254, 255, 256, 300}) {
    SCOPED_TRACE(before);
    const std::string text = std::string(static_cast<size_t>(before), '\t') + "x\n\ta\tb\r\n" +
                             std::string(40, 'c') + "\n";
    TCustomMemoSource doc;
    doc.SetSpacesInTab(3);
    doc.LoadFromBytes(text);
    EXPECT_EQ(StoredLines(doc), (Lines{std::string(3 * static_cast<size_t>(before), ' ') + "x",
                                       "   a   b", std::string(40, 'c')}));
  }
}

// Every allocation of a load may fail, in one piece or in halves, also where a part
// outgrows its room: each failure leaves the text that was there.
TEST_F(BulkLoad, AFailedLoadLeavesThePreviousText) {
  for (size_t lines : {5000u, 300000u}) {
    const std::string next(lines, '\n');
    bool loaded = false;
    for (int n = 1; n < 100 && !loaded; ++n) {
      TCustomMemoSource doc;
      doc.LoadFromBytes("old\r\ntext\r\n");
      platform::FailBlockAllocationForTesting(n);
      try {
        doc.LoadFromBytes(next);
        loaded = true;
      } catch (const std::bad_alloc&) {
      }
      platform::FailBlockAllocationForTesting(0);
      if (loaded)
        EXPECT_EQ(doc.LineCount(), static_cast<int>(lines));
      else
        EXPECT_EQ(StoredLines(doc), (Lines{"old", "text"})) << n;
    }
    EXPECT_TRUE(loaded);
  }
}

// Long enough for the line array to grow many times, in one piece and in halves; every
// third line holds a tab, so that it is copied rather than borrowed from the load buffer.
TEST_F(BulkLoad, LongTextsStayInOrderAndEditableEverywhere) {
  for (int n : {5000, 20000}) {
    SCOPED_TRACE(n);
    auto line = [](int i, const char* tab) {
      return "line " + std::to_string(i) + (i % 3 ? "" : tab);
    };
    std::string bytes;
    Lines want;
    for (int i = 0; i < n; ++i) bytes += line(i, "\tx") + "\r\n", want.push_back(line(i, " x"));
    TMemoSource doc;
    doc.SetSpacesInTab(1);
    doc.LoadFromBytes(bytes);
    ASSERT_EQ(StoredLines(doc), want);
    // Edits at the start, at the seam of the two halves, and at the end.
    for (int y : {0, n / 2, n / 2 - 1, n - 1}) {
      doc.SetCaret(0, y);
      doc.InsertNewLine();
      doc.TypeChar('#');
      EXPECT_EQ(doc.StoredLine(y + 1), "#" + want[y]);
      doc.Undo();
      doc.Undo();
      EXPECT_EQ(doc.StoredLine(y), want[y]);
    }
    // Loading again over an edited text frees the old one cleanly.
    doc.LoadFromBytes(bytes);
    EXPECT_EQ(StoredLines(doc), want);
  }
}

} // namespace
} // namespace marlo::test
