#include "core/export/rtf_writer_list.h"

#include "core/error.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <vector>

namespace marlo {

namespace {

[[noreturn]] void SpillFailed() {
  throw Error(std::string("Cannot keep the RTF text in a temporary file: ") + std::strerror(errno));
}

} // namespace

void TRTFWriterList::Spill() {
  if (!spilled_) {
    spilled_.reset(std::tmpfile());
    if (!spilled_) SpillFailed();
  }
  size_t n = text_.size() - tablePlace_;
  if (std::fwrite(text_.data() + tablePlace_, 1, n, spilled_.get()) != n) SpillFailed();
  text_.resize(tablePlace_);
}

void TRTFWriterList::WriteTo(std::ostream& out, std::string_view tables) const {
  out.write(text_.data(), static_cast<std::streamsize>(tablePlace_));
  out.write(tables.data(), static_cast<std::streamsize>(tables.size()));
  if (spilled_) {
    std::FILE* f = spilled_.get();
    if (std::fflush(f) != 0 || std::fseek(f, 0, SEEK_SET) != 0) SpillFailed();
    std::vector<char> piece(size_t(1) << 16);
    size_t n;
    while ((n = std::fread(piece.data(), 1, piece.size(), f)) > 0)
      out.write(piece.data(), static_cast<std::streamsize>(n));
    if (std::ferror(f)) SpillFailed();
  }
  out.write(text_.data() + tablePlace_, static_cast<std::streamsize>(text_.size() - tablePlace_));
}

void TRTFWriterList::Clear() {
  text_.clear();
  tablePlace_ = 0;
  spilled_.reset();
}

} // namespace marlo
