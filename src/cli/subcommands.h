#pragma once
// The subcommands of marlo-cli. Each lives in a file of its own and is listed once in
// the table of main.cpp.
#include <iosfwd>
#include <string>
#include <vector>

namespace marlo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the work itself failed (for example a save)
inline constexpr int kExitUsage = 2;   // bad arguments or unusable input

using TArgs = std::vector<std::string>;

struct TSubcommand {
  const char* Name;
  const char* Synopsis; // arguments after the name, as the usage text shows them
  const char* Summary;
  // Runs with the arguments after the name. Writes its result to `out` only when it
  // succeeds, so that a failed run leaves stdout empty (settings alone also prints what
  // it could read when the store holds a value it had to pass over, see its help).
  int (*Run)(const TArgs& args, std::ostream& out, std::ostream& err);
};

int RunKeys(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kKeysHelp;
int RunColors(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kColorsHelp;
int RunSettings(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kSettingsHelp;
int RunExport(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kExportHelp;
int RunPreprocess(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kPreprocessHelp;
int RunFind(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kFindHelp;
int RunFunctions(const TArgs& args, std::ostream& out, std::ostream& err);
int RunLabels(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kListHelp;
int RunBuildList(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kBuildListHelp;
int RunBuildNames(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kBuildNamesHelp;
int RunCoreLog(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kCoreLogHelp;
int RunPrint(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kPrintHelp;
int RunRecover(const TArgs& args, std::ostream& out, std::ostream& err);
extern const char* const kRecoverHelp;

} // namespace marlo::cli
