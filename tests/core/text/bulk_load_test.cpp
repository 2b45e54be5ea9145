// Big loads are split in two halves that are scanned side by side; these tests put every
// kind of line end, tab and NUL at and around the place where the halves meet.
#include "../temp_dir.h"
#include "core/platform/memory.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <string>
#include <vector>

namespace marlo {
namespace {

// The lines a bulk load must give, worked out byte by byte.
std::vector<std::string> ReferenceLines(const std::string& bytes, int spacesInTab) {
  std::vector<std::string> lines;
  std::string current;
  bool open = false;
  auto finish = [&] {
    while (!current.empty() && static_cast<unsigned char>(current.back()) <= 32) current.pop_back();
    lines.push_back(current);
    current.clear();
    open = false;
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\0') break;
    if (c == '\r' || c == '\n') {
      finish();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    open = true;
    if (c == '\t')
      current.append(static_cast<size_t>(spacesInTab), ' ');
    else
      current.push_back(c);
  }
  if (open) finish();
  return lines;
}

std::string RandomText(std::mt19937& rng, size_t size) {
  static const char* pieces[] = {"print x", "\t",   "   ", "\r\n",    "\n",
                                 "\r",      "sync", " ",   "a=1:b=2", "\t\t"};
  std::string s;
  s.reserve(size + 16);
  while (s.size() < size) s += pieces[rng() % 10];
  return s;
}

// Texts of a few hundred kilobytes take the two-halves road too while a test runs.
class BulkLoad : public ::testing::Test {
protected:
  void SetUp() override { TInternalStrings::ParallelLoadThreshold = 1 << 16; }
  void TearDown() override { TInternalStrings::ParallelLoadThreshold = kSaved; }
  const size_t kSaved = TInternalStrings::ParallelLoadThreshold;
};

void ExpectLoadsLikeReference(const std::string& bytes) {
  TCustomMemoSource doc;
  doc.SetSpacesInTab(3);
  doc.LoadFromBytes(bytes);
  std::vector<std::string> want = ReferenceLines(bytes, 3);
  ASSERT_EQ(doc.LineCount(), static_cast<int>(want.size()));
  for (int i = 0; i < doc.LineCount(); ++i)
    ASSERT_EQ(doc.StoredLine(i), want[static_cast<size_t>(i)]) << "line " << i;
}

TEST_F(BulkLoad, BigTextsSplitAnywhereLoadAsOne) {
  std::mt19937 rng(7);
  const size_t size = 200000;
  std::string base = RandomText(rng, size);
  // What sits where the halves meet decides where the second half starts.
  const char* aroundMiddle[] = {"\r\n", "\r", "\n", "\t", "\r\r\n", "\n\n", "x\t\r\n\t", "   \r"};
  for (const char* piece : aroundMiddle) {
    for (int shift = -3; shift <= 3; ++shift) {
      std::string bytes = base;
      bytes.replace(bytes.size() / 2 + static_cast<size_t>(shift), std::string(piece).size(),
                    piece);
      SCOPED_TRACE(std::string("piece ") + (piece[0] == '\t' ? "tab" : "line end") + " shift " +
                   std::to_string(shift));
      ExpectLoadsLikeReference(bytes);
    }
  }
}

TEST_F(BulkLoad, ANulEndsTheTextInEitherHalf) {
  std::mt19937 rng(11);
  std::string base = RandomText(rng, 200000);
  for (size_t at : {base.size() / 4, base.size() / 2 - 1, base.size() / 2 + 1, base.size() - 10}) {
    std::string bytes = base;
    bytes[at] = '\0';
    SCOPED_TRACE("NUL at " + std::to_string(at));
    ExpectLoadsLikeReference(bytes);
  }
}

// From a file, each half is read by the thread that scans it.
TEST_F(BulkLoad, BigFilesLoadAsOneWhereverTheirHalvesMeet) {
  std::mt19937 rng(5);
  test::TempDir dir;
  std::string base = RandomText(rng, 150000);
  for (const char* piece : {"\r\n", "\r", "\t", "\0"}) {
    for (int shift = -1; shift <= 1; ++shift) {
      std::string bytes = base;
      bytes.replace(bytes.size() / 2 + static_cast<size_t>(shift),
                    std::string(piece).size() + (piece[0] == 0), piece,
                    std::string(piece).size() + (piece[0] == 0));
      test::WriteFile(dir / "big.zba", bytes);
      TCustomMemoSource doc;
      doc.SetSpacesInTab(3);
      doc.LoadFromFile(dir / "big.zba");
      std::vector<std::string> want = ReferenceLines(bytes, 3);
      ASSERT_EQ(doc.LineCount(), static_cast<int>(want.size())) << "shift " << shift;
      for (int i = 0; i < doc.LineCount(); ++i)
        ASSERT_EQ(doc.StoredLine(i), want[static_cast<size_t>(i)]) << "line " << i;
    }
  }
}

// Lines shorter than the room a half is given for them (blank lines, one byte each) move
// the half's lines to a block of their own on the way.
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
        EXPECT_EQ(doc.Lines().ToVector(), (std::vector<std::string>{"old", "text"})) << n;
    }
    EXPECT_TRUE(loaded);
  }
}

TEST_F(BulkLoad, HalvesOfOnlyBlankLinesOutgrowTheirRoom) {
  for (const char* end : {"\n", "\r\n", "\r"}) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes += end;
    bytes += "last";
    ExpectLoadsLikeReference(bytes);
  }
}

TEST_F(BulkLoad, BigLoadsStayEditableEverywhere) {
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  TMemoSource doc;
  doc.LoadFromBytes(bytes);
  ASSERT_EQ(doc.LineCount(), 20000);
  // Edits at the start, at the seam of the two halves, and at the end.
  for (int y : {0, 10000, 9999, 19999}) {
    doc.SetCaret(0, y);
    doc.InsertNewLine();
    doc.TypeChar('x');
    EXPECT_EQ(doc.StoredLine(y + 1), "xline " + std::to_string(y));
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(doc.StoredLine(y), "line " + std::to_string(y));
  }
  EXPECT_EQ(doc.LineCount(), 20000);
  EXPECT_EQ(doc.StoredLine(19999), "line 19999");
}

} // namespace
} // namespace marlo
