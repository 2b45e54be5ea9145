#pragma once
#include <string>

namespace marlo::platform {

// The folder of the running program with links resolved, ending in '/': the data files
// (keywords, language table, templates) live beside the program.
std::string ProgramFolder();

} // namespace marlo::platform
