#pragma once
// The program a build starts and its arguments, kept apart (no shell comes between). The
// Core Path setting may name the program alone, blanks and all, or a command line such as
// wine "/opt/z/ZB.exe" whose further words go before the build's own arguments.
#include <string>
#include <string_view>
#include <vector>

namespace marlo::build {

// Splits a command line: blanks (codes up to 32) separate words, double quotes group, and
// inside a group a doubled double quote is one double quote. "" alone is an empty word.
std::vector<std::string> SplitCommandLine(std::string_view text);

struct TProgramText {
  std::string Program; // empty when the text names none
  std::vector<std::string> Words;
};
// A setting that names a program to start: trimmed, the name of an existing file (not a
// folder) is the program whole, blanks and all; otherwise it is split as a command line, its
// first word the program and the others its first arguments.
TProgramText SplitProgramText(std::string_view text);

struct TCoreCommand {
  std::string Program;
  std::vector<std::string> Arguments;
};
// The core's command for one build: Core Path's program and own words, the switch split as
// a command line, `exePath` made absolute when not empty, and `tempName`. False when Core
// Path names no program (empty or blank).
bool MakeCoreCommand(std::string_view corePath, std::string_view switchText,
                     std::string_view exePath, std::string_view tempName, TCoreCommand& out);

} // namespace marlo::build
