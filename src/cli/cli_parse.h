#pragma once
// Every subcommand parses its arguments the same way: options and flags declared on a
// CLI::App, "--help" and "-h" printing the subcommand's usage and help on standard output,
// and every mistake told as "marlo-cli NAME: MESSAGE" followed by the usage line, with
// exit status 2.
#include "cli/subcommands.h"

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <string>
#include <string_view>

namespace marlo::cli {

struct TCommandText {
  const char* Name;  // the subcommand, as typed
  const char* Usage; // "usage: marlo-cli NAME ...\n"
  const char* Help;  // what --help prints after the usage line
};

// A CLI::App set up as every subcommand's: last value wins, unknown arguments collected
// (so that they are told in our words), no help flag of its own.
void SetUpApp(CLI::App& app);

// Parses `args` with `app`. Returns -1 when the run should go on, otherwise the exit
// status (0 after --help).
int ParseArgs(CLI::App& app, const TArgs& args, const TCommandText& text, std::ostream& out,
              std::ostream& err);

// For a command whose FILE comes last: -1 when the positional `name` was given as the last
// argument, otherwise the exit status of the usage error that says so.
int RequireLast(const TArgs& args, const CLI::Option& positional, const std::string& value,
                const std::string& name, const TCommandText& text, std::ostream& err);

// Tells a usage mistake found after parsing; returns the exit status for it.
int UsageError(const TCommandText& text, const std::string& message, std::ostream& err);

} // namespace marlo::cli
