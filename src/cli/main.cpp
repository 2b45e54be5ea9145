// marlo-cli: the headless front end over the core.
#include "cli/subcommands.h"
#include "core/platform/error.h"

#include <exception>
#include <iostream>
#include <string>

namespace marlo::cli {
namespace {

const TSubcommand kSubcommands[] = {
    {"keys", "[--state] [--save] [--page N] FILE KEY...",
     "replay key presses on FILE through the editor's key table and print the text", RunKeys},
    {"colors", "[--keywords FILE] SOURCE",
     "print the style of every character of SOURCE as the editor colours it", RunColors},
    {"settings", "[--desktop WxH]",
     "print the settings the editor uses, read from the per-user registry file", RunSettings},
    {"export", "--html|--rtf [--keywords FILE] [--no-syntax] [--defaults] SOURCE OUT",
     "write SOURCE highlighted as HTML or RTF to OUT (- for standard output)", RunExport},
    {"preprocess", "[--types] [--defines] [--globals] [--status] [--language FILE] SOURCE",
     "run the preprocessor's passes over SOURCE and print the lines a build would use",
     RunPreprocess},
};

void PrintUsage(std::ostream& out) {
  out << "usage: marlo-cli COMMAND [ARGS...]\n"
         "       marlo-cli --help\n\n"
         "commands:\n";
  for (const TSubcommand& c : kSubcommands)
    out << "  " << c.Name << " " << c.Synopsis << "\n      " << c.Summary << "\n";
  out << "\n"
      << kKeysHelp << "\n"
      << kColorsHelp << "\n"
      << kExportHelp << "\n"
      << kPreprocessHelp << "\n"
      << kSettingsHelp;
}

const TSubcommand* FindSubcommand(const std::string& name) {
  for (const TSubcommand& c : kSubcommands)
    if (name == c.Name) return &c;
  return nullptr;
}

int Main(const TArgs& args) {
  if (args.empty()) {
    PrintUsage(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(std::cout);
    return kExitOk;
  }
  const TSubcommand* command = FindSubcommand(args[0]);
  if (!command) {
    std::cerr << "marlo-cli: unknown command \"" << args[0] << "\" (see marlo-cli --help)\n";
    return kExitUsage;
  }
  TArgs rest(args.begin() + 1, args.end());
  try {
    return command->Run(rest, std::cout, std::cerr);
  } catch (const std::exception& e) {
    // marlo::Error carries the text a user sees; anything else is reported the same way
    // rather than ending the program with an unexplained abort.
    std::cerr << "marlo-cli " << command->Name << ": " << e.what() << "\n";
    return kExitFailure;
  }
}

} // namespace
} // namespace marlo::cli

int main(int argc, char** argv) {
  return marlo::cli::Main(marlo::cli::TArgs(argv + 1, argv + argc));
}
