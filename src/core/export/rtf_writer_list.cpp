#include "core/export/rtf_writer_list.h"

#include <ostream>

namespace marlo {

void TRTFWriterList::WriteTo(std::ostream& out, std::string_view tables) const {
  out.write(text_.data(), static_cast<std::streamsize>(tablePlace_));
  out.write(tables.data(), static_cast<std::streamsize>(tables.size()));
  out.write(text_.data() + tablePlace_, static_cast<std::streamsize>(text_.size() - tablePlace_));
}

void TRTFWriterList::Clear() {
  text_.clear();
  tablePlace_ = 0;
}

} // namespace marlo
