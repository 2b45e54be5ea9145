#include "core/shell/document_files.h"

#include "core/ascii.h"
#include "core/error.h"
#include "core/platform/file_system.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace marlo {

bool NeedsFinalEmptyLine(const TCustomMemoSource& source) {
  if (source.LineCount() == 0) return false;
  for (char c : source.StoredLine(source.LineCount() - 1))
    if (static_cast<unsigned char>(c) > 32) return true;
  return false;
}

void EnsureFinalEmptyLine(TCustomMemoSource& source) {
  if (NeedsFinalEmptyLine(source)) source.AppendEmptyLine();
}

std::string SaveDialogDefaultExt(int filterIndex) {
  static const char* const kExts[] = {"zba", "bas", "txt", "rtf", "htm"};
  if (filterIndex < 1 || filterIndex > 5) return {};
  return kExts[filterIndex - 1];
}

std::string UpperFileExt(const std::string& fileName) {
  return UpperAsciiText(platform::ExtractFileExt(fileName));
}

bool IsSourceFileName(const std::string& fileName) {
  std::string ext = UpperFileExt(fileName);
  return ext == ".ZBA" || ext == ".BAS" || ext == ".TXT";
}

std::string AbsoluteFileName(const std::string& fileName, const std::string& folder) {
  if (fileName.empty()) return fileName;
  std::string joined = fileName[0] == '/' ? fileName : folder + "/" + fileName;
  std::string out;
  out.reserve(joined.size());
  size_t i = 0;
  while (i < joined.size()) {
    size_t end = joined.find('/', i);
    if (end == std::string::npos) end = joined.size();
    std::string_view part(joined.data() + i, end - i);
    if (!part.empty() && part != ".") {
      out += '/';
      out += part;
    }
    i = end + 1;
  }
  // A name that ends in a separator names a folder and keeps it.
  if (out.empty() || joined.back() == '/') out += '/';
  return out;
}

std::string CurrentFolder() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::current_path(ec);
  if (ec) throw Error("Can't get the current folder: " + ec.message());
  return p.string();
}

std::vector<std::string> CommandLineFiles(const std::vector<std::string>& args,
                                          const std::function<bool(const std::string&)>& exists) {
  if (args.empty()) return {};
  std::string joined;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += args[i];
  }
  if (args.size() == 1 || exists(joined)) return {joined};
  for (const std::string& a : args)
    if (!exists(a)) return {joined};
  return args;
}

bool FileHasNulByte(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw Error("Can't open file " + fileName);
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (std::memchr(buffer.data(), 0, static_cast<size_t>(in.gcount()))) return true;
  }
  if (in.bad()) throw Error("Can't read file " + fileName);
  return false;
}

} // namespace marlo
