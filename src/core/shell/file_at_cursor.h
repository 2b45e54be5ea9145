#pragma once
// The file name between double quotes under the caret, which a document window's pop-up
// menu offers to open or preview.
#include <string>
#include <string_view>

namespace marlo {

// The text between the double quotes around column `column` (0-based) of `line`: an odd
// number of quotes must lie left of the caret, and an odd number from the character left
// of the caret to the end of the line. Empty when the caret is not inside quotes.
std::string FindQuotedFileName(std::string_view line, int column);

// Whether the name has an extension the editor opens or previews: ".ZBA", ".BAS", ".TXT",
// ".BMP", ".MID", ".WAV", ".AVI", ".X" or ".3DS", in any letter case.
bool CanOpenAtCursor(const std::string& fileName);

// Where a name found in a document lies: an absolute name stands; a relative one is taken
// from the document's folder, or from `currentFolder` for an untitled document (empty
// `documentFile`). The process's current folder is not changed.
std::string ResolveFileAtCursor(const std::string& fileName, const std::string& documentFile,
                                const std::string& currentFolder);

} // namespace marlo
