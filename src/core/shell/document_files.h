#pragma once
// The file rules of document windows that need no window: the empty line a save adds,
// the save dialog's default extensions, absolute names for captions, the files a start-up
// command line names, and files that hold a NUL byte.
#include "core/text/memo_source.h"

#include <functional>
#include <string>
#include <vector>

namespace marlo {

// Whether the text has lines and its last line holds more than blanks.
bool NeedsFinalEmptyLine(const TCustomMemoSource& source);
// Appends one empty line when NeedsFinalEmptyLine, as one change that undo takes back;
// the caret, the selection and the undo history stay as they were.
void EnsureFinalEmptyLine(TCustomMemoSource& source);

// The save dialog's default extension for its 1-based type index: "zba", "bas", "txt",
// "rtf", "htm", and none for any file.
std::string SaveDialogDefaultExt(int filterIndex);

// The extension of `fileName` in upper case, dot included (".ZBA"), ASCII letters only.
std::string UpperFileExt(const std::string& fileName);
// ".ZBA", ".BAS" or ".TXT": a source the editor opens rather than previews.
bool IsSourceFileName(const std::string& fileName);

// `fileName` made absolute against `folder` (itself absolute), with "." steps and doubled
// separators removed; ".." steps are kept, since folders may be links.
std::string AbsoluteFileName(const std::string& fileName, const std::string& folder);
// The process's current folder; raises Error when the system cannot say.
std::string CurrentFolder();

// The files a start-up command line names. All arguments joined by single blanks name one
// file, so that a path with blanks arrives whole even unquoted. When that joined name does
// not exist but every argument names an existing file, each is opened in turn.
std::vector<std::string> CommandLineFiles(const std::vector<std::string>& args,
                                          const std::function<bool(const std::string&)>& exists);

// Whether the file holds a NUL byte: the text model reads only up to it. Raises Error
// when the file cannot be read.
bool FileHasNulByte(const std::string& fileName);

} // namespace marlo
