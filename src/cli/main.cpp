// marlo-cli: the headless front end over the core.
#include "cli/subcommands.h"
#include "core/error.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/fd_stream_buffer.h"
#include "core/platform/file_system.h"

#include <cerrno>
#include <exception>
#include <iostream>
#include <ostream>
#include <streambuf>
#include <string>
#include <unistd.h>

namespace marlo::cli {
namespace {

const TSubcommand kSubcommands[] = {
    {"keys", "[--state] [--save] [--page N] [--past-eol] [--left-arrow-up] FILE KEY...",
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
    {"find",
     "[--regex] [--case] [--words] [--backward] [--from-cursor] [--caret X Y] "
     "[--select BX BY EX EY] [--selected] [--replace R] [--all] [--prompt ANSWERS] "
     "[--again N] [--undo] [--state] [--] FILE TEXT",
     "find TEXT in FILE as the find dialog does, or replace it as the replace dialog does",
     RunFind},
    {"functions", "[--language FILE] SOURCE",
     "list the function headers of SOURCE as the function pop-up does", RunFunctions},
    {"labels", "SOURCE", "list the labels of SOURCE as the label pop-up does", RunLabels},
    {"build-list", "[--step] [--types] [--defines] [--globals] [--map] [--language FILE] SOURCE",
     "print the temporary file a build of SOURCE writes, or its line map", RunBuildList},
    {"build-names",
     "[--mode check|run|step|exe|final] [--exe PATH] [--source-path DIR] [--core TEXT] "
     "(--untitled | FILE)",
     "print the temporary file, working folder, log and core command of a build", RunBuildNames},
    {"core-log", "LOGFILE", "print what the report of a build shows of a core's log", RunCoreLog},
    {"print",
     "[--selection BX,BY,EX,EY] [--header] [--line-numbers] [--syntax] [--color] [--wrap] "
     "[--left-margin N] [--progress] [--page-size A4|Letter] [--keywords FILE] [--defaults] "
     "SOURCE OUT",
     "print SOURCE to the PDF file OUT as the print command does", RunPrint},
    {"recover", "list | show ID | discard ID",
     "list the recovery journals of modified documents, print one's text, or discard it",
     RunRecover},
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
      << kFindHelp << "\n"
      << kListHelp << "\n"
      << kBuildListHelp << "\n"
      << kBuildNamesHelp << "\n"
      << kCoreLogHelp << "\n"
      << kPrintHelp << "\n"
      << kRecoverHelp << "\n"
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
  // Standard output through the system's own calls, so that a failed write is known with
  // its reason: a full disk or a closed pipe fails the run instead of vanishing.
  platform::TFdStreamBuffer buffer(STDOUT_FILENO);
  std::ostream out(&buffer);
  int status;
  try {
    status = command->Run(rest, out, std::cerr);
  } catch (const std::exception& e) {
    // marlo::Error carries the text a user sees; anything else is reported the same way
    // rather than ending the program with an unexplained abort.
    std::cerr << "marlo-cli " << command->Name << ": " << e.what() << "\n";
    return kExitFailure;
  }
  // Output that never reached its file (a full disk, a closed pipe) is a failed run.
  out.flush();
  if (buffer.Error()) {
    std::cerr << "marlo-cli " << command->Name
              << ": cannot write to standard output: " << platform::SystemReason(buffer.Error())
              << "\n";
    return kExitFailure;
  }
  return status;
}

} // namespace
} // namespace marlo::cli

int main(int argc, char** argv) {
  marlo::platform::IgnoreFileSizeSignal();
  return marlo::cli::Main(marlo::cli::TArgs(argv + 1, argv + argc));
}
