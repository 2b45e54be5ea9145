#pragma once
// What the user's environment says about folders and programs.
#include <string>

namespace marlo::platform {

// The user's home folder without a trailing separator: $HOME, else the password
// database's entry, else "/".
std::string HomeFolder();

// The full path of `program` in the first folder of $PATH that holds it as an
// executable file, or an empty string. Empty and relative entries of $PATH are skipped,
// so that the current folder never supplies a program.
std::string FindProgramOnPath(const std::string& program);

} // namespace marlo::platform
