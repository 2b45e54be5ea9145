#pragma once
// The folder of the running program, where the files that live beside it are found.
#include <string>

namespace marlo::platform {

// The folder of the running executable, symbolic links resolved, with a trailing '/'.
// Raises Error when the system cannot say where the program is.
std::string ProgramFolder();

} // namespace marlo::platform
