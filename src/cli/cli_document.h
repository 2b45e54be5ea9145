#pragma once
// What several subcommands share: a source loaded as a document window loads it, and the
// keyword list of the highlighter.
#include "core/text/memo_source.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace marlo::cli {

// Loads `file` into `source` configured as a document. On failure writes a message
// prefixed with "marlo-cli COMMAND: " to `err` and returns false.
bool LoadDocument(const std::string& command, const std::string& file, TMemoSource& source,
                  std::ostream& err);

// The keyword list from `file`, or from keywords.txt beside the program when `file` is
// empty. On failure writes a message to `err` and returns false.
bool LoadKeywords(const std::string& command, const std::string& file,
                  std::vector<std::string>& keywords, std::ostream& err);

// Every line as the line list gives it (tabs expanded), each ended by a line feed.
void WriteLines(const TCustomMemoSource& source, std::ostream& out);
// "@selection KIND BX BY EX EY".
void WriteSelection(const TCustomMemoSource& source, std::ostream& out);
// @caret, @selection, @bookmark, @modified and @overwrite lines.
void WriteState(const TCustomMemoSource& source, std::ostream& out);

} // namespace marlo::cli
