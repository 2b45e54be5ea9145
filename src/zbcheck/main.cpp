// zbcheck: the stand-in core. Marlo starts it as it starts the Zorbic core, with a mode
// switch and the source's name; it checks the syntax and answers in ZBCOMPILE.LOG in the
// current folder, one line that Marlo shows, with the line number after "LINE ".
#include "core/platform/atomic_file_writer.h"
#include "core/platform/file_system.h"
#include "zbcheck/zb_checker.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::zbcheck {
namespace {

constexpr int kExitClean = 0;
constexpr int kExitSyntaxError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCannotDo = 3;

constexpr const char* kLogName = "ZBCOMPILE.LOG";

constexpr const char* kUsage =
    "usage: zbcheck -c SOURCE\n"
    "       zbcheck -x SOURCE\n"
    "       zbcheck -b EXECUTABLE SOURCE\n"
    "       zbcheck -f EXECUTABLE SOURCE\n"
    "       zbcheck --help\n"
    "\n"
    "Checks the syntax of the Zorbic source SOURCE (a name relative to the current folder)\n"
    "and writes the result as one line to ZBCOMPILE.LOG in the current folder, and to\n"
    "standard output:\n"
    "  Syntax error at line N: MESSAGE            the first error found (exit status 1)\n"
    "  No errors found (N lines checked).         a clean source with -c (exit status 0)\n"
    "A clean source with -x (run) or with -b or -f (build an executable) gets a line that\n"
    "says zbcheck cannot do that (exit status 3): point Marlo's Core Path at the Zorbic\n"
    "core for those. Bad arguments and an unreadable SOURCE give \"zbcheck: ...\" in the log\n"
    "and on standard error (exit status 2).\n"
    "\n"
    "Checked: strings closed on their line, parentheses balanced on each line, REMSTART and\n"
    "REMEND paired, the blocks IF/ENDIF, FOR/NEXT, DO/LOOP, WHILE/ENDWHILE, REPEAT/UNTIL,\n"
    "FUNCTION/ENDFUNCTION, SELECT/ENDSELECT, CASE/ENDCASE nested, ELSE and ELSEIF in a block\n"
    "IF, labels defined once and every GOTO and GOSUB label defined. Strings and remarks\n"
    "are read as the editor colours them and are not checked.\n";

enum class TMode { Check, Run, Build };

// Writes the log (the line ended by CR LF). False, with the reason on standard error, when
// it cannot be written.
bool WriteLog(const std::string& line) {
  try {
    platform::ReplaceFileAtomically(kLogName, line + "\r\n");
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zbcheck: %s\n", e.what());
    return false;
  }
}

// Bad arguments or an unreadable source: the log and standard error say why.
int Refuse(const std::string& why) {
  const std::string line = "zbcheck: " + why;
  std::fprintf(stderr, "%s\n", line.c_str());
  WriteLog(line);
  return kExitUsage;
}

int Answer(const std::string& line, int status) {
  const bool logged = WriteLog(line);
  std::fprintf(stdout, "%s\n", line.c_str());
  if (std::fflush(stdout) != 0) {
    std::fprintf(stderr, "zbcheck: cannot write to standard output\n");
    return kExitUsage;
  }
  return logged ? status : kExitUsage;
}

int Main(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? kExitClean : kExitUsage;
  }
  if (args.empty()) return Refuse("no arguments (see zbcheck --help)");
  const std::string& option = args[0];
  TMode mode;
  size_t wanted;
  if (option == "-c" || option == "-x") {
    mode = option == "-c" ? TMode::Check : TMode::Run;
    wanted = 2;
  } else if (option == "-b" || option == "-f") {
    mode = TMode::Build;
    wanted = 3;
  } else {
    return Refuse("unknown switch \"" + option + "\" (see zbcheck --help)");
  }
  if (args.size() != wanted)
    return Refuse(option +
                  (wanted == 2 ? " takes one argument, SOURCE"
                               : " takes two arguments, EXECUTABLE and SOURCE") +
                  " (see zbcheck --help)");
  const std::string& sourceName = args.back();
  if (sourceName.empty()) return Refuse("the SOURCE name is empty");

  platform::TFileBuffer source;
  try {
    source = platform::ReadWholeFile(sourceName);
  } catch (const std::exception& e) {
    return Refuse(e.what());
  }
  const TCheckResult result = CheckSource({source.data.get(), source.size});
  if (!result.Clean())
    return Answer("Syntax error at line " + std::to_string(result.Line) + ": " + result.Message,
                  kExitSyntaxError);
  switch (mode) {
  case TMode::Check:
    return Answer("No errors found (" + std::to_string(result.LineCount) + " lines checked).",
                  kExitClean);
  case TMode::Run:
    return Answer("Cannot run: zbcheck only checks the syntax; point Core Path at the Zorbic "
                  "core to run programs.",
                  kExitCannotDo);
  case TMode::Build:
    break;
  }
  return Answer("Cannot build an executable: zbcheck only checks the syntax; point Core Path at "
                "the Zorbic core to build executables.",
                kExitCannotDo);
}

} // namespace
} // namespace marlo::zbcheck

int main(int argc, char** argv) {
  marlo::platform::IgnoreFileSizeSignal();
  try {
    return marlo::zbcheck::Main(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    // Out of memory, say: told as a failure of the run rather than an unexplained abort.
    std::fprintf(stderr, "zbcheck: %s\n", e.what());
    return 2;
  }
}
