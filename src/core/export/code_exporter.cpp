#include "core/export/code_exporter.h"

#include <ostream>

namespace marlo {

std::string TCodeExporter::EscapeText(std::string_view text) const {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

void TCodeExporter::WriteRaw(std::string_view text) {
  pending_.append(text);
  Written();
}

void TCodeExporter::WriteText(std::string_view text) {
  AppendEscaped(pending_, text);
  Written();
}

void TCodeExporter::Flush() {
  if (pending_.empty()) return;
  stream_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  pending_.clear();
}

} // namespace marlo
