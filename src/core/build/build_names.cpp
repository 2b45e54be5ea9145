#include "core/build/build_names.h"

#include "core/ascii.h"
#include "core/platform/environment.h"
#include "core/platform/file_system.h"
#include "core/shell/document_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace marlo::build {

namespace {

std::string Absolute(std::string_view path) {
  const std::string p(path);
  return AbsoluteFileName(p, !p.empty() && p[0] == '/' ? std::string() : CurrentFolder());
}

// `path` with `ext` in place of its extension; a name whose extension already is `ext` in
// any letter case gets `ext` appended, so that the new name is never the old one.
std::string WithExtension(const std::string& path, const std::string& ext) {
  if (EqualsNoCase(platform::ExtractFileExt(path), ext)) return path + ext;
  return platform::ChangeFileExt(path, ext);
}

std::string WithSeparator(std::string_view folder) {
  std::string dir(folder);
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// The names in `dir` that are ZBCOMPILE.LOG in some letter case, in byte order.
std::vector<std::string> LogNames(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (EqualsNoCase(name, kLogName)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

} // namespace

std::string SourceFolder(std::string_view sourcePath) {
  const std::string folder = sourcePath.empty() ? platform::HomeFolder() : std::string(sourcePath);
  return WithSeparator(Absolute(folder));
}

TBuildNames MakeBuildNames(std::string_view caption, bool untitled, std::string_view sourcePath) {
  TBuildNames names;
  names.TempPath = untitled ? SourceFolder(sourcePath) + std::string(kUntitledTempName)
                            : WithExtension(Absolute(caption), ".TMP");
  names.Folder = platform::ExtractFilePath(names.TempPath);
  names.TempName = platform::ExtractFileName(names.TempPath);
  names.LogPath = names.Folder + std::string(kLogName);
  return names;
}

TExeProposal ProposeExe(std::string_view caption, bool untitled, std::string_view sourcePath) {
  if (untitled) return {SourceFolder(sourcePath), std::string()};
  const std::string path = Absolute(caption);
  return {platform::ExtractFilePath(path), WithExtension(platform::ExtractFileName(path), ".EXE")};
}

std::string FindLogFile(std::string_view folder) {
  const std::string dir = WithSeparator(folder);
  if (IsRegularFile(dir + std::string(kLogName))) return dir + std::string(kLogName);
  for (const std::string& name : LogNames(dir))
    if (IsRegularFile(dir + name)) return dir + name;
  return std::string();
}

void DeleteLogFiles(std::string_view folder) {
  const std::string dir = WithSeparator(folder);
  for (const std::string& name : LogNames(dir)) {
    std::error_code ec;
    // A folder of that name is no log; a link is removed, not what it points to.
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(dir + name, ec)))
      platform::DeleteFile(dir + name);
  }
}

} // namespace marlo::build
