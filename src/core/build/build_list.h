#pragma once
// The build list: the lines a build writes to its temporary file, and for each of them the
// document line it came from, so that a line the core names in the temporary file (and a
// line the preprocessor names) leads back to the document. Break lines map to the line
// they follow; the structure pass maps a TYPE block to its TYPE line and the arrays of a
// DIMTYPE to the DIMTYPE line; defines and globals keep one line for each.
#include "core/preproc/line_block.h"

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {
class TCustomMemoSource;
}
namespace marlo::preproc {
class TPreprocessor;
}

namespace marlo::build {

struct TBuildList {
  preproc::TLineBlock Lines;
  // For each line its 0-based document line: as many entries as lines, never decreasing.
  std::vector<int> LineMap;
};

// Every line of the document as its line list gives it (tabs expanded), each mapped to
// itself.
TBuildList MakeBuildList(const TCustomMemoSource& source);
TBuildList MakeBuildList(std::span<const std::string> lines);

// The preprocessor's output in place of the lines, each mapped through the list's map to
// the document line its source line had. `done` ran over this list's lines and succeeded.
void TakePreprocessorOutput(TBuildList& list, const preproc::TPreprocessor& done);

// Step-through: after every statement line (not empty, not a remark, not inside REMSTART
// ... REMEND) a copy of `breakCommand` with every "#" replaced by the line's 1-based
// position in the list. A break line maps to the line it follows.
void InsertBreakLines(TBuildList& list, std::string_view breakCommand);

// The temporary file's bytes: every line followed by CR LF.
void WriteBuildText(const TBuildList& list, std::ostream& out);
// Writes them as the whole of `path` through the atomic writer. On failure returns false
// with the file error in `error`; an existing file is then left as it was.
bool WriteBuildFile(const std::string& path, const TBuildList& list, std::string& error);

// The 0-based document line of the temporary file's 1-based line `tempLine1`: 0 and numbers
// past the end are taken as the first and the last line; 0 for an empty list.
int DocumentLine(const TBuildList& list, std::uint64_t tempLine1);

} // namespace marlo::build
