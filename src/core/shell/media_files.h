#pragma once
// The media files a game source names: which kinds the media browser lists, how it joins
// and inserts their names, how a preview is decided from the settings, the command line
// of an external viewer, and how a name found in a document is looked up on disk.
#include "core/shell/settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// The kinds the browser lists, in its order; the value is the list's icon index.
enum class TMediaKind { None = -1, Bitmap = 0, Video = 1, Midi = 2, Wave = 3, Model3DS = 4, X = 5 };

// By the extension, in any letter case: ".bmp", ".avi", ".mid", ".wav", ".3ds", ".x".
TMediaKind MediaKindOf(std::string_view fileName);
// Whether the browser may preview the file: a media file that is not a 3-D model.
bool BrowserCanPreview(std::string_view fileName);

// `folder` and `name` joined with "/", every run of separators made one.
std::string JoinMediaPath(std::string_view folder, std::string_view name);

struct TMediaListing {
  bool FolderFound = false;       // false: the folder is missing or cannot be read
  std::vector<std::string> Names; // files only, without folder, sorted regardless of case
};
TMediaListing ListMediaFiles(const std::string& folder);

// The name the browser inserts for `path` (without the quotes): the path whole when
// `absolute` or when `documentFile` is empty (an untitled document); otherwise the part
// after the document's folder when the path lies under it, compared with letter case.
std::string InsertedMediaName(const std::string& path, const std::string& documentFile,
                              bool absolute);

struct TPreviewAction {
  enum TKind {
    Nothing,  // no viewer for this file
    Bitmap,   // the built-in picture viewer
    Player,   // the built-in media player
    External, // Viewer names the external program
  };
  TKind Kind = Nothing;
  std::string Viewer;
};
// What previewing `fileName` does, by its extension and the viewer settings. ".X" and
// ".3DS" have no built-in viewer: their program is used when it is set.
TPreviewAction DecidePreview(std::string_view fileName, const TSettings& settings);

struct TViewerCommand {
  std::string Program; // empty when the setting names no program
  std::vector<std::string> Arguments;
};
// A viewer setting read as Browser Path is (an existing file is the program whole,
// otherwise a command line), with the file as its one last argument.
TViewerCommand MakeViewerCommand(std::string_view viewerPath, const std::string& fileName);

// A media name found in a document: "\" read as "/", a relative name taken from the
// document's folder (from `currentFolder` for an untitled document, empty `documentFile`).
// When that exact file is missing, each part of the path is matched regardless of letter
// case. Empty when no file answers.
std::string ResolveMediaFile(const std::string& name, const std::string& documentFile,
                             const std::string& currentFolder);

} // namespace marlo
