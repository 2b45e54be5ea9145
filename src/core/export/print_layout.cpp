#include "core/export/print_layout.h"

#include <algorithm>
#include <cmath>

namespace marlo {

int PrintableExtent(double millimetres) {
  double inside = millimetres - 2 * kPrintMarginMillimetres;
  return std::max(0, static_cast<int>(std::floor(inside / 25.4 * kPrintPixelsPerInch)));
}

int RowsPerPage(int printableHeight, int rowHeight, bool header) {
  int height = printableHeight - (header ? rowHeight : 0);
  return std::max(1, height / std::max(1, rowHeight));
}

bool ClampPrintSelection(int bx, int by, int ex, int ey, const std::vector<int>& lengths,
                         TPrintRange& range, std::string& error) {
  if (ey < by || (ey == by && ex < bx)) {
    error = "the selection ends before it begins";
    return false;
  }
  const int last = std::max(0, static_cast<int>(lengths.size()) - 1);
  auto length = [&](int line) { return lengths.empty() ? 0 : lengths[size_t(line)]; };
  range.FirstLine = std::clamp(by, 0, last);
  range.LastLine = std::clamp(ey, 0, last);
  range.FirstColumn = by > last ? length(last) : std::clamp(bx, 0, length(range.FirstLine));
  range.EndColumn = ey > last ? length(last) : std::clamp(ex, 0, length(range.LastLine));
  // Selected text that ends with a line break holds no empty line after it.
  if (range.LastLine > range.FirstLine && range.EndColumn == 0) {
    --range.LastLine;
    range.EndColumn = length(range.LastLine);
  }
  if (range.FirstLine == range.LastLine && range.FirstColumn >= range.EndColumn) {
    error = "the selection is empty";
    return false;
  }
  return true;
}

TPrintLayout::TPrintLayout(int rowsPerPage, bool wrap, const std::vector<int>& lengths)
    : rowsPerPage_(std::max(1, rowsPerPage)), wrap_(wrap) {
  if (!wrap) {
    rowCount_ = static_cast<long long>(lengths.size());
    return;
  }
  lengths_ = lengths;
  firstRow_.reserve(lengths.size() + 1);
  for (int n : lengths) {
    firstRow_.push_back(rowCount_);
    rowCount_ += std::max(1, (n + kPrintWrapColumns - 1) / kPrintWrapColumns);
  }
  firstRow_.push_back(rowCount_);
}

TPrintLayout::TPrintLayout(int rowsPerPage, int lineCount)
    : rowsPerPage_(std::max(1, rowsPerPage)), rowCount_(std::max(0, lineCount)) {}

int TPrintLayout::PageCount() const {
  return static_cast<int>(std::max(1LL, (rowCount_ + rowsPerPage_ - 1) / rowsPerPage_));
}

TPrintRow TPrintLayout::RowAt(long long row) const {
  if (!wrap_) return {static_cast<int>(row), 0, kPrintLineEnd, true};
  auto after = std::upper_bound(firstRow_.begin(), firstRow_.end(), row);
  int line = static_cast<int>(after - firstRow_.begin()) - 1;
  int piece = static_cast<int>(row - firstRow_[size_t(line)]);
  int from = piece * kPrintWrapColumns;
  return {line, from, std::min(lengths_[size_t(line)], from + kPrintWrapColumns), piece == 0};
}

std::vector<TPrintRow> TPrintLayout::PageRows(int page) const {
  std::vector<TPrintRow> rows;
  if (page < 1) return rows;
  long long first = static_cast<long long>(page - 1) * rowsPerPage_;
  long long end = std::min(rowCount_, first + rowsPerPage_);
  for (long long r = first; r < end; ++r) rows.push_back(RowAt(r));
  return rows;
}

} // namespace marlo
