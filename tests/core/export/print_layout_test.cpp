// Where printed text falls: rows per page, wrapped rows, each page's rows, and the
// selection a print takes.
#include "core/export/print_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo {
namespace {

TEST(PrintLayout, RowsPerPageAndPrintableExtent) {
  // A4 is 297 mm high: 277 mm inside the margins, 1046 whole pixels; Letter 11 in: 980.
  EXPECT_EQ(PrintableExtent(297.0), 1046);
  EXPECT_EQ(PrintableExtent(279.4), 980);
  EXPECT_EQ(PrintableExtent(15.0), 0);
  const struct {
    int Height, Row;
    bool Header;
    int Expected;
  } cases[] = {{1046, 15, false, 69}, {1046, 15, true, 68}, {30, 15, false, 2},
               {30, 15, true, 1},     {10, 15, true, 1},    {29, 15, false, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(RowsPerPage(c.Height, c.Row, c.Header), c.Expected) << c.Height << " " << c.Row;
}

TEST(PrintLayout, PagesAndTheirRows) {
  const struct {
    int RowsPerPage;
    bool Wrap;
    std::vector<int> Lengths;
    long long Rows;
    int Pages;
    int Page;
    std::vector<TPrintRow> Expected;
  } cases[] = {
      // An empty text prints one empty page.
      {3, false, {}, 0, 1, 1, {}},
      {3, true, {}, 0, 1, 1, {}},
      {3, false, {0, 500, 2, 3}, 4, 2, 2, {{3, 0, kPrintLineEnd, true}}},
      {2, false, {1, 2, 3, 4}, 4, 2, 2, {{2, 0, kPrintLineEnd, true}, {3, 0, kPrintLineEnd, true}}},
      // An empty line still takes a row; 80 columns take one, 81 two, 240 three.
      {4,
       true,
       {0, 80, 81, 240},
       7,
       2,
       1,
       {{0, 0, 0, true}, {1, 0, 80, true}, {2, 0, 80, true}, {2, 80, 81, false}}},
      {4,
       true,
       {0, 80, 81, 240},
       7,
       2,
       2,
       {{3, 0, 80, true}, {3, 80, 160, false}, {3, 160, 240, false}}},
      // A page break inside a wrapped line.
      {2, true, {10, 200}, 4, 2, 2, {{1, 80, 160, false}, {1, 160, 200, false}}},
      {2, true, {10}, 1, 1, 2, {}},
  };
  for (const auto& c : cases) {
    TPrintLayout layout(c.RowsPerPage, c.Wrap, c.Lengths);
    SCOPED_TRACE(testing::Message() << c.Lengths.size() << " lines, page " << c.Page);
    EXPECT_EQ(layout.RowCount(), c.Rows);
    EXPECT_EQ(layout.PageCount(), c.Pages);
    EXPECT_EQ(layout.PageRows(c.Page), c.Expected);
  }
  EXPECT_EQ(TPrintLayout(68, 1000000).PageCount(), 14706);
  EXPECT_EQ(TPrintLayout(68, 0).PageCount(), 1);
}

TEST(PrintLayout, SelectionIsClampedOrRefused) {
  const std::vector<int> lengths = {5, 0, 10};
  const struct {
    int BX, BY, EX, EY;
    bool Ok;
    TPrintRange Expected;
  } cases[] = {
      {1, 0, 3, 0, true, {0, 1, 0, 3}},
      {2, 0, 4, 2, true, {0, 2, 2, 4}},
      {9, 0, 99, 9, true, {0, 5, 2, 10}},
      {-3, -1, 2, 1, true, {0, 0, 0, 5}},
      // Ending at the start of a line prints no empty line for it.
      {0, 0, 0, 2, true, {0, 0, 1, 0}},
      {0, 2, 5, 40, true, {2, 0, 2, 10}},
      {3, 0, 3, 0, false, {}},
      {4, 0, 2, 0, false, {}},
      {0, 2, 0, 1, false, {}},
      {7, 5, 8, 6, false, {}}, // beyond the text: nothing left
  };
  for (const auto& c : cases) {
    TPrintRange range;
    std::string error;
    SCOPED_TRACE(testing::Message() << c.BX << "," << c.BY << "," << c.EX << "," << c.EY);
    ASSERT_EQ(ClampPrintSelection(c.BX, c.BY, c.EX, c.EY, lengths, range, error), c.Ok);
    if (!c.Ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(range.FirstLine, c.Expected.FirstLine);
    EXPECT_EQ(range.FirstColumn, c.Expected.FirstColumn);
    EXPECT_EQ(range.LastLine, c.Expected.LastLine);
    EXPECT_EQ(range.EndColumn, c.Expected.EndColumn);
  }
}

} // namespace
} // namespace marlo
