// marlo-cli preprocess: runs the preprocessor's passes over a source loaded as a document
// window loads it, the way a build does, and prints the output lines.
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/error.h"
#include "core/platform/program_folder.h"
#include "core/preproc/preprocessor.h"
#include "core/shell/language_table.h"
#include "core/text/memo_source.h"

#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::cli {

const char* const kPreprocessHelp =
    "preprocess: runs the enabled passes over SOURCE as a build does and prints the lines\n"
    "  --types        expand TYPE structures and DIMTYPE instances\n"
    "  --defines      replace DEFINE macros\n"
    "  --globals      turn GLOBAL names into one-element arrays\n"
    "  --status       print the status lines on standard error\n"
    "  --language F   take the language texts from F instead of Language.txt beside the\n"
    "                 program\n"
    "  An error is printed on standard error as ' #: LINE. MESSAGE', with exit status 1.\n";

namespace {

constexpr const char* kUsage =
    "usage: marlo-cli preprocess [--types] [--defines] [--globals] [--status] "
    "[--language FILE] SOURCE\n";

struct TPreprocessArgs {
  preproc::TPreprocOptions Options;
  bool Status = false;
  std::string Language;
  std::string Source;
};

const TCommandText kPreprocessText{"preprocess", kUsage, kPreprocessHelp};

// Fills `a`; returns -1 when the run should go on, otherwise the exit status.
int ParseArgs(const TArgs& args, TPreprocessArgs& a, std::ostream& out, std::ostream& err) {
  CLI::App app;
  SetUpApp(app);
  app.add_flag("--types", a.Options.StructEnabled);
  app.add_flag("--defines", a.Options.DefineEnabled);
  app.add_flag("--globals", a.Options.GlobalEnabled);
  app.add_flag("--status", a.Status);
  app.add_option("--language", a.Language)
      ->check(CLI::Validator(
          [](std::string& value) { return value.empty() ? "needs a FILE" : std::string(); },
          "FILE"));
  CLI::Option* source = app.add_option("SOURCE", a.Source);
  if (int status = cli::ParseArgs(app, args, kPreprocessText, out, err); status >= 0) return status;
  if (!a.Options.StructEnabled && !a.Options.DefineEnabled && !a.Options.GlobalEnabled)
    return UsageError(kPreprocessText, "name at least one pass: --types, --defines or --globals",
                      err);
  if (!source->count()) return UsageError(kPreprocessText, "no SOURCE given", err);
  return -1;
}

} // namespace

int RunPreprocess(const TArgs& args, std::ostream& out, std::ostream& err) {
  TPreprocessArgs a;
  if (int status = ParseArgs(args, a, out, err); status >= 0) return status;

  TLanguageTable language;
  const std::string languageFile =
      a.Language.empty() ? platform::ProgramFolder() + "Language.txt" : a.Language;
  try {
    language.LoadFromFile(languageFile);
  } catch (const std::exception& e) {
    err << "marlo-cli preprocess: cannot read the language file: " << e.what() << "\n";
    return kExitUsage;
  }

  // The build reads the lines a document window holds, so the source is loaded as one. The
  // passes read the document's own lines in place.
  TMemoSource source;
  if (!LoadDocument("preprocess", a.Source, source, err)) return kExitUsage;
  std::vector<std::string_view> lines(static_cast<size_t>(source.LineCount()));
  std::deque<std::string> expanded;
  for (int i = 0; i < source.LineCount(); ++i) {
    // The lines as Lines() reads them: a document stores no tabs, so only a line that still
    // holds one needs its expansion.
    const std::string_view stored = source.StoredLine(i);
    lines[static_cast<size_t>(i)] =
        stored.find('\t') == std::string_view::npos
            ? stored
            : std::string_view(expanded.emplace_back(source.LineText(i)));
  }

  preproc::TPreprocessor preprocessor(language);
  preprocessor.KeepStatus(a.Status);
  preprocessor.Run(lines, a.Options);
  if (a.Status) {
    const preproc::TStatusLog& status = preprocessor.Status();
    // Written in blocks of about a megabyte: millions of lines need no second copy.
    std::string text;
    for (size_t i = 0; i < status.Count(); ++i) {
      text.append(status.Line(i)).append("\n");
      if (text.size() >= (size_t{1} << 20) || i + 1 == status.Count()) {
        err.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
      }
    }
    err.flush();
  }
  if (preprocessor.Failed()) {
    err << preprocessor.ErrorText() << "\n";
    return kExitFailure;
  }
  // The output block holds every line with its line feed: one write.
  const std::string_view text = preprocessor.OutputBlock().Joined();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  return kExitOk;
}

} // namespace marlo::cli
