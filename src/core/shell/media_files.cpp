#include "core/shell/media_files.h"

#include "core/ascii.h"
#include "core/build/core_command.h"
#include "core/platform/file_system.h"
#include "core/shell/document_files.h"

#include <algorithm>
#include <filesystem>

namespace marlo {

namespace fs = std::filesystem;

namespace {

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// Regardless of case first, then by bytes, so that the order is always the same.
bool NameBefore(const std::string& a, const std::string& b) {
  const std::string ua = UpperAsciiText(a), ub = UpperAsciiText(b);
  return ua != ub ? ua < ub : a < b;
}

} // namespace

TMediaKind MediaKindOf(std::string_view fileName) {
  static const std::pair<const char*, TMediaKind> kKinds[] = {
      {".BMP", TMediaKind::Bitmap}, {".AVI", TMediaKind::Video},    {".MID", TMediaKind::Midi},
      {".WAV", TMediaKind::Wave},   {".3DS", TMediaKind::Model3DS}, {".X", TMediaKind::X}};
  const std::string ext = UpperFileExt(std::string(fileName));
  for (const auto& [e, kind] : kKinds)
    if (ext == e) return kind;
  return TMediaKind::None;
}

bool BrowserCanPreview(std::string_view fileName) {
  const TMediaKind kind = MediaKindOf(fileName);
  return kind != TMediaKind::None && kind != TMediaKind::Model3DS && kind != TMediaKind::X;
}

std::string JoinMediaPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  joined += '/';
  joined += name;
  std::string out;
  out.reserve(joined.size());
  for (char c : joined)
    if (c != '/' || out.empty() || out.back() != '/') out += c;
  return out;
}

TMediaListing ListMediaFiles(const std::string& folder) {
  TMediaListing listing;
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(folder, ec)) return listing;
  fs::directory_iterator it(folder, ec);
  if (ec) return listing;
  listing.FolderFound = true;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().string();
    if (MediaKindOf(name) != TMediaKind::None) listing.Names.push_back(std::move(name));
  }
  std::sort(listing.Names.begin(), listing.Names.end(), NameBefore);
  return listing;
}

std::string InsertedMediaName(const std::string& path, const std::string& documentFile,
                              bool absolute) {
  if (absolute || documentFile.empty()) return path;
  const std::string documentFolder = platform::ExtractFilePath(documentFile);
  if (documentFolder.empty()) return path;
  const std::string folder = JoinMediaPath(documentFolder, "");
  if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0)
    return path.substr(folder.size());
  return path;
}

TPreviewAction DecidePreview(std::string_view fileName, const TSettings& s) {
  auto builtIn = [](bool internal, TPreviewAction::TKind kind, const std::string& viewer) {
    return internal ? TPreviewAction{kind, {}} : TPreviewAction{TPreviewAction::External, viewer};
  };
  auto externalOnly = [](const std::string& viewer) {
    return viewer.empty() ? TPreviewAction{} : TPreviewAction{TPreviewAction::External, viewer};
  };
  switch (MediaKindOf(fileName)) {
  case TMediaKind::Bitmap:
    return builtIn(s.InternalBMP, TPreviewAction::Bitmap, s.BMPPath);
  case TMediaKind::X:
    return externalOnly(s.XPath);
  case TMediaKind::Model3DS:
    return externalOnly(s.Path3DS);
  case TMediaKind::Midi:
    return builtIn(s.InternalMID, TPreviewAction::Player, s.MIDPath);
  case TMediaKind::Video:
    return builtIn(s.InternalAVI, TPreviewAction::Player, s.AVIPath);
  case TMediaKind::Wave:
    return builtIn(s.InternalWAV, TPreviewAction::Player, s.WAVPath);
  case TMediaKind::None:
    break;
  }
  return {};
}

TViewerCommand MakeViewerCommand(std::string_view viewerPath, const std::string& fileName) {
  build::TProgramText viewer = build::SplitProgramText(viewerPath);
  TViewerCommand c;
  if (viewer.Program.empty()) return c;
  c.Program = std::move(viewer.Program);
  c.Arguments = std::move(viewer.Words);
  c.Arguments.push_back(fileName);
  return c;
}

std::string ResolveMediaFile(const std::string& name, const std::string& documentFile,
                             const std::string& currentFolder) {
  if (name.empty()) return {};
  std::string slashed = name;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  std::string folder =
      documentFile.empty() ? currentFolder : platform::ExtractFilePath(documentFile);
  if (folder.empty()) folder = currentFolder;
  const std::string exact = AbsoluteFileName(slashed, folder);
  if (IsRegularFile(exact)) return exact;

  // Part by part: each missing part is looked for among its folder's entries.
  std::string found;
  size_t i = 1;
  while (i <= exact.size()) {
    size_t end = exact.find('/', i);
    if (end == std::string::npos) end = exact.size();
    const std::string part = exact.substr(i, end - i);
    i = end + 1;
    std::string next = found + "/" + part;
    std::error_code ec;
    if (part != ".." && !fs::exists(next, ec)) {
      std::vector<std::string> matches;
      for (fs::directory_iterator it(found.empty() ? "/" : found, ec);
           !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (EqualsNoCase(entry, part)) matches.push_back(std::move(entry));
      }
      if (matches.empty()) return {};
      next = found + "/" + *std::min_element(matches.begin(), matches.end(), NameBefore);
    }
    found = std::move(next);
  }
  return IsRegularFile(found) ? found : std::string();
}

} // namespace marlo
