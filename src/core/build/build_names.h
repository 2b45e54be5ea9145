#pragma once
// The names a build uses: the temporary file written beside the source (or in the Source
// Path folder for an untitled window), the core's working folder, the log the core leaves
// there, and the executable the EXE and Final builds propose.
#include <string>
#include <string_view>

namespace marlo::build {

inline constexpr std::string_view kLogName = "ZBCOMPILE.LOG";
inline constexpr std::string_view kUntitledTempName = "MARLO.TMP";

struct TBuildNames {
  std::string TempPath; // absolute path of the temporary file
  std::string Folder;   // its folder, with a trailing '/' (the core's working folder)
  std::string TempName; // its name without folder
  std::string LogPath;  // Folder + "ZBCOMPILE.LOG"
};

// `caption` is the window's file path (made absolute against the current folder when it is
// not; ignored when `untitled`). `sourcePath` is the Source Path setting: empty means the
// home folder, and trailing or doubled separators do no harm. The extension comes from the
// file name alone (/a/proj.v2/demo gives /a/proj.v2/demo.TMP); a name whose own extension is
// .TMP in any letter case keeps it and gets .TMP appended, so that the source is never the
// temporary file. An untitled window's file is MARLO.TMP in the Source Path folder.
TBuildNames MakeBuildNames(std::string_view caption, bool untitled, std::string_view sourcePath);

// Where the executable save dialog starts: the source's folder (trailing '/') and its name
// with the extension .EXE (.EXE appended to a name that already ends in .EXE, any case);
// for an untitled window the Source Path folder and an empty name.
struct TExeProposal {
  std::string Folder;
  std::string Name;
};
TExeProposal ProposeExe(std::string_view caption, bool untitled, std::string_view sourcePath);

// The Source Path setting as an absolute folder with one trailing '/': the home folder when
// empty, separators single, relative names taken from the current folder.
std::string SourceFolder(std::string_view sourcePath);

// The log in `folder` (trailing '/' or not): ZBCOMPILE.LOG itself when it is there, else a
// file of that name in another letter case (the first in byte order); "" when none.
std::string FindLogFile(std::string_view folder);
// Deletes every file in `folder` named ZBCOMPILE.LOG in any letter case, so that a log left
// by an earlier build is never taken for this one's.
void DeleteLogFiles(std::string_view folder);

} // namespace marlo::build
