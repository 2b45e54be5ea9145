#include "core/shell/file_at_cursor.h"

#include "core/platform/file_system.h"
#include "core/shell/document_files.h"

#include <algorithm>

namespace marlo {

std::string FindQuotedFileName(std::string_view line, int column) {
  if (column <= 0 || column > static_cast<int>(line.size())) return {};
  const size_t c = static_cast<size_t>(column);
  auto quotes = [](std::string_view s) { return std::count(s.begin(), s.end(), '"'); };
  if (quotes(line.substr(0, c)) % 2 == 0) return {};
  if (quotes(line.substr(c - 1)) % 2 == 0) return {};
  size_t from = c;
  while (from > 0 && line[from - 1] != '"') --from;
  size_t to = c;
  while (to < line.size() && line[to] != '"') ++to;
  return std::string(line.substr(from, to - from));
}

bool CanOpenAtCursor(const std::string& fileName) {
  static const char* const kExts[] = {".ZBA", ".BAS", ".TXT", ".BMP", ".MID",
                                      ".WAV", ".AVI", ".X",   ".3DS"};
  std::string ext = UpperFileExt(fileName);
  return std::any_of(std::begin(kExts), std::end(kExts), [&](const char* e) { return ext == e; });
}

std::string ResolveFileAtCursor(const std::string& fileName, const std::string& documentFile,
                                const std::string& currentFolder) {
  std::string folder =
      documentFile.empty() ? currentFolder : platform::ExtractFilePath(documentFile);
  if (folder.empty()) folder = currentFolder;
  return AbsoluteFileName(fileName, folder);
}

} // namespace marlo
