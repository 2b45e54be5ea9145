// marlo-cli core-log: what the report of a build would show of a core's log.
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/build/core_log.h"
#include "core/platform/file_system.h"

#include <exception>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

namespace marlo::cli {

const char* const kCoreLogHelp =
    "core-log: reads LOGFILE (that name exactly, no other letter case) as the report reads\n"
    "the core's ZBCOMPILE.LOG, and prints what it would show:\n"
    "  nothing          when the log is empty, its first line holds only blanks (codes up to\n"
    "                   32), or LOGFILE does not exist\n"
    "  text=LINE        otherwise: the first line, ended by CR, LF, CR LF or a NUL byte,\n"
    "                   bytes unchanged\n"
    "  line=N|none      then the number after the first \"LINE \" in it (any case): the\n"
    "                   leading digits of the 12 characters that follow, in decimal; none\n"
    "                   without a digit there\n"
    "Each line is followed by LF. The file is never changed or deleted. Exit status 1 when\n"
    "LOGFILE exists but cannot be read, 2 for bad arguments.\n";

namespace {

constexpr const char* kUsage = "usage: marlo-cli core-log LOGFILE\n";

const TCommandText kCoreLogText{"core-log", kUsage, kCoreLogHelp};

} // namespace

int RunCoreLog(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string file;
  CLI::App app;
  SetUpApp(app);
  CLI::Option* log = app.add_option("LOGFILE", file);
  if (int status = ParseArgs(app, args, kCoreLogText, out, err); status >= 0) return status;
  if (int status = RequireLast(args, *log, file, "LOGFILE", kCoreLogText, err); status >= 0)
    return status;

  std::error_code ec;
  const bool exists = std::filesystem::exists(file, ec);
  if (!exists && !ec) {
    out << "nothing\n";
    return kExitOk;
  }
  if (ec) {
    err << "marlo-cli core-log: cannot read \"" << file << "\": " << ec.message() << "\n";
    return kExitFailure;
  }
  build::TCoreReport report;
  try {
    const platform::TFileBuffer bytes = platform::ReadWholeFile(file);
    report = build::ReadCoreLog(std::string_view(bytes.data.get(), bytes.size));
  } catch (const std::exception& e) {
    err << "marlo-cli core-log: " << e.what() << "\n";
    return kExitFailure;
  }
  if (!report.Show) {
    out << "nothing\n";
    return kExitOk;
  }
  std::string text = "text=" + report.Text + "\nline=" +
                     (report.Line ? std::to_string(*report.Line) : std::string("none")) + "\n";
  out << text;
  return kExitOk;
}

} // namespace marlo::cli
