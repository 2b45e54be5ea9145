#include "core/export/writer_color_object.h"

#include <algorithm>

namespace marlo {

int TWriterColorObject::IndexOf(TColor color) {
  auto it = std::find(colors_.begin(), colors_.end(), color);
  if (it != colors_.end()) return static_cast<int>(it - colors_.begin());
  colors_.push_back(color);
  return Count() - 1;
}

void TWriterColorObject::AppendTable(std::string& out) const {
  if (colors_.empty()) return;
  out += "{\\colortbl\r\n";
  for (TColor c : colors_) {
    out += "\\red";
    out += std::to_string(ColorRed(c));
    out += "\\green";
    out += std::to_string(ColorGreen(c));
    out += "\\blue";
    out += std::to_string(ColorBlue(c));
    out += ";\r\n";
  }
  out += "}\r\n";
}

} // namespace marlo
