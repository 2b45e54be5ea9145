// marlo-cli build-names: the names a build of a window would use, and the core's command,
// without writing or starting anything.
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/build/build_names.h"
#include "core/build/build_switch.h"
#include "core/build/core_command.h"
#include "core/platform/registry_store.h"
#include "core/shell/document_files.h"
#include "core/shell/settings.h"

#include <ostream>
#include <string>

namespace marlo::cli {

const char* const kBuildNamesHelp =
    "build-names: prints the names a build of FILE (or of an untitled window) would use,\n"
    "as key=value lines, each followed by LF, in this order:\n"
    "  temp=PATH        the temporary file: FILE with the extension .TMP (.TMP appended when\n"
    "                   FILE's own extension is .TMP in any case), or MARLO.TMP in the\n"
    "                   Source Path folder (the home folder when Source Path is empty)\n"
    "  folder=DIR/      its folder, the core's working folder\n"
    "  log=PATH         the log the core writes there, folder + ZBCOMPILE.LOG\n"
    "  exe-folder=DIR/  only when the build first asks for an executable (the switch is\n"
    "  exe-name=NAME    neither the Check nor the Execute Switch): where that dialog starts,\n"
    "                   FILE's folder and name with .EXE, or Source Path and no name\n"
    "  program=PATH     only when the core would start: Core Path's program\n"
    "  arg=WORD         then one line per argument: Core Path's further words, the switch\n"
    "                   split as a command line, the executable (absolute), the temporary\n"
    "                   file's name without folder\n"
    "  --mode M         check (default), run, step, exe or final: the switch is the Check,\n"
    "                   Execute, Execute (its step marker removed), EXE or Final Switch\n"
    "  --exe PATH       the executable chosen in the dialog; without it the dialog's\n"
    "                   proposal is taken, and an empty proposal (untitled window) starts\n"
    "                   no core: no program= or arg= lines. Ignored when no dialog shows.\n"
    "  --source-path DIR  in place of the Source Path setting (may be empty)\n"
    "  --core TEXT      in place of the Core Path setting: the name of an existing file is\n"
    "                   the program whole; otherwise blanks separate words, double quotes\n"
    "                   group them and a doubled double quote inside a group is one\n"
    "  --untitled       an untitled window instead of FILE\n"
    "FILE need not exist; a relative FILE or PATH is taken from the current folder, as a\n"
    "window's caption is. The switches, Source Path and Core Path come from the settings\n"
    "store ($MARLO_REGISTRY, as for settings); a value it cannot read is reported on\n"
    "standard error and its default used. Options come in any order, before or after\n"
    "--untitled; FILE is the last argument. Exit status 1 when the core would start but Core\n"
    "Path is empty or blank (nothing printed), 2 for bad arguments.\n";

namespace {

constexpr const char* kUsage =
    "usage: marlo-cli build-names [--mode check|run|step|exe|final] [--exe PATH]\n"
    "                             [--source-path DIR] [--core TEXT] (--untitled | FILE)\n";

const TCommandText kBuildNamesText{"build-names", kUsage, kBuildNamesHelp};

struct TBuildNamesArgs {
  std::string Mode = "check";
  std::string Exe;
  std::string SourcePath;
  std::string Core;
  bool HasExe = false, HasSourcePath = false, HasCore = false;
  bool Untitled = false;
  std::string File;
};

int ParseArgs(const TArgs& args, TBuildNamesArgs& a, std::ostream& out, std::ostream& err) {
  CLI::App app;
  SetUpApp(app);
  app.add_option("--mode", a.Mode)
      ->check(CLI::Validator(
          [](std::string& value) {
            return value == "check" || value == "run" || value == "step" || value == "exe" ||
                           value == "final"
                       ? std::string()
                       : "needs check, run, step, exe or final, not \"" + value + "\"";
          },
          "M"));
  CLI::Option* exe =
      app.add_option("--exe", a.Exe)
          ->check(CLI::Validator(
              [](std::string& value) { return value.empty() ? "needs a PATH" : std::string(); },
              "PATH"));
  CLI::Option* sourcePath = app.add_option("--source-path", a.SourcePath);
  CLI::Option* core = app.add_option("--core", a.Core);
  app.add_flag("--untitled", a.Untitled);
  CLI::Option* file = app.add_option("FILE", a.File);
  if (int status = cli::ParseArgs(app, args, kBuildNamesText, out, err); status >= 0) return status;
  a.HasExe = exe->count() > 0;
  a.HasSourcePath = sourcePath->count() > 0;
  a.HasCore = core->count() > 0;
  if (a.Untitled) {
    if (file->count())
      return UsageError(kBuildNamesText, "--untitled and FILE exclude each other", err);
    return -1;
  }
  if (!file->count()) return UsageError(kBuildNamesText, "no FILE given, nor --untitled", err);
  if (int status = RequireLast(args, *file, a.File, "FILE", kBuildNamesText, err); status >= 0)
    return status;
  if (a.File.empty()) return UsageError(kBuildNamesText, "FILE is empty", err);
  return -1;
}

std::string SwitchOfMode(const std::string& mode, const TSettings& settings) {
  if (mode == "run") return settings.ExecuteSwitch;
  if (mode == "step") return settings.ExecuteSwitch + std::string(build::kStepMarker);
  if (mode == "exe") return settings.EXESwitch;
  if (mode == "final") return settings.FinalSwitch;
  return settings.CheckSwitch;
}

std::string Absolute(const std::string& path) {
  return AbsoluteFileName(path, path[0] == '/' ? std::string() : CurrentFolder());
}

} // namespace

int RunBuildNames(const TArgs& args, std::ostream& out, std::ostream& err) {
  TBuildNamesArgs a;
  if (int status = ParseArgs(args, a, out, err); status >= 0) return status;

  platform::TRegistry registry(
      platform::DefaultRegistryPath(), platform::raReadOnly,
      [&](const std::string& message) { err << "marlo-cli build-names: " << message << "\n"; });
  TSettings settings;
  if (auto error = LoadSettings(registry, settings, TDesktopSize{}))
    err << "marlo-cli build-names: " << error->what() << "\n";
  if (a.HasSourcePath) settings.SourcePath = a.SourcePath;
  if (a.HasCore) settings.CorePath = a.Core;

  const std::string caption = a.Untitled ? std::string() : Absolute(a.File);
  const build::TBuildSwitch buildSwitch = build::ParseSwitch(SwitchOfMode(a.Mode, settings));
  const build::TBuildNames names = build::MakeBuildNames(caption, a.Untitled, settings.SourcePath);
  std::string text =
      "temp=" + names.TempPath + "\nfolder=" + names.Folder + "\nlog=" + names.LogPath + "\n";

  std::string exePath;
  if (!build::RunsWithoutExe(buildSwitch.Switch, settings)) {
    const build::TExeProposal proposal =
        build::ProposeExe(caption, a.Untitled, settings.SourcePath);
    text += "exe-folder=" + proposal.Folder + "\nexe-name=" + proposal.Name + "\n";
    if (a.HasExe)
      exePath = a.Exe;
    else if (!proposal.Name.empty())
      exePath = proposal.Folder + proposal.Name;
    else {
      // The dialog would open without a name; nothing starts until one is chosen.
      out << text;
      return kExitOk;
    }
  }

  build::TCoreCommand command;
  if (!build::MakeCoreCommand(settings.CorePath, buildSwitch.Switch, exePath, names.TempName,
                              command)) {
    err << "marlo-cli build-names: no Core Path: the setting names no program to start\n";
    return kExitFailure;
  }
  text += "program=" + command.Program + "\n";
  for (const std::string& arg : command.Arguments) text += "arg=" + arg + "\n";
  out << text;
  return kExitOk;
}

} // namespace marlo::cli
