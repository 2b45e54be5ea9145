#include "core/export/writer_font_object.h"

#include "core/text/char_case.h"

#include <string>

namespace marlo {

namespace {

bool SameFontName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(static_cast<unsigned char>(a[i])) != UpperChar(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

} // namespace

TWriterFontObject::TWriterFontObject() {
  entries_.push_back({"\\fnil Times New Roman", 1});
}

int TWriterFontObject::IndexOf(std::string_view name, int charSet) {
  if (last_ >= 0 && SameFontName(entries_[static_cast<size_t>(last_)].Name, name)) return last_;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (SameFontName(entries_[i].Name, name)) {
      last_ = static_cast<int>(i);
      return last_;
    }
  }
  entries_.push_back({std::string(name), charSet});
  last_ = Count() - 1;
  return last_;
}

void TWriterFontObject::AppendTable(std::string& out) const {
  if (entries_.empty()) return;
  out += "{\\fonttbl\r\n";
  for (size_t i = 0; i < entries_.size(); ++i) {
    out += "{\\f";
    out += std::to_string(i);
    out += "\\fcharset";
    out += std::to_string(entries_[i].CharSet);
    out += ' ';
    out += entries_[i].Name;
    out += ";}\r\n";
  }
  out += "}\r\n";
}

} // namespace marlo
