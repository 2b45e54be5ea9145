#pragma once
// How a printed text falls onto pages, without a window: the rows a page holds, which
// rows each line takes when long lines wrap, and the rows of each page. Printing, its
// preview and marlo-cli print all place text through it.
#include <cstdint>
#include <string>
#include <vector>

namespace marlo {

// The printed copy paints in pixels of this many per inch, scaled to the printer.
inline constexpr int kPrintPixelsPerInch = 96;
inline constexpr double kPrintMarginMillimetres = 10.0;
// Wrapped lines are cut every this many columns.
inline constexpr int kPrintWrapColumns = 80;
// A row's end column when it runs to the end of its line.
inline constexpr int kPrintLineEnd = INT32_MAX;

// Pixels at kPrintPixelsPerInch inside the margins of a page side of `millimetres`.
int PrintableExtent(double millimetres);

// The whole rows of `rowHeight` that fit `printableHeight` less the header band (one row
// when `header`); at least one.
int RowsPerPage(int printableHeight, int rowHeight, bool header);

// The part of the text that is printed: lines FirstLine to LastLine, the first from
// FirstColumn, the last up to EndColumn (excluded). A whole text runs from 0, 0 to the end
// of its last line.
struct TPrintRange {
  int FirstLine = 0;
  int FirstColumn = 0;
  int LastLine = 0;
  int EndColumn = 0;
};

// A stream selection clamped to a text of `lineCount` lines whose line i has
// `lengths[i]` columns. Returns false, with `error` set, when it is reversed or empty.
bool ClampPrintSelection(int bx, int by, int ex, int ey, const std::vector<int>& lengths,
                         TPrintRange& range, std::string& error);

// One printed row: columns [From, To) of printed line Line (0 is the range's first line,
// whose columns count from the range's FirstColumn). First: the line's first row, which
// carries its number.
struct TPrintRow {
  int Line = 0;
  int From = 0;
  int To = kPrintLineEnd;
  bool First = true;
  bool operator==(const TPrintRow&) const = default;
};

class TPrintLayout {
public:
  // `lengths`: the columns of each printed line (wrapping only needs them). Without
  // wrapping a line is one row, however long.
  TPrintLayout(int rowsPerPage, bool wrap, const std::vector<int>& lengths);
  // The same without wrapping, for `lineCount` lines.
  TPrintLayout(int rowsPerPage, int lineCount);

  int RowsPerPage() const { return rowsPerPage_; }
  long long RowCount() const { return rowCount_; }
  // At least one: an empty text prints one empty page.
  int PageCount() const;
  // Rows (k-1)*L+1 to k*L of page k, counted from 1.
  std::vector<TPrintRow> PageRows(int page) const;

private:
  TPrintRow RowAt(long long row) const;

  int rowsPerPage_;
  bool wrap_ = false;
  long long rowCount_ = 0;
  std::vector<long long> firstRow_; // with wrapping: the first row of each line, then the count
  std::vector<int> lengths_;
};

} // namespace marlo
