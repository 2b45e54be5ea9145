// marlo-cli functions and labels: the entries of the pop-up lists of a source.
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/platform/program_folder.h"
#include "core/shell/function_list.h"
#include "core/shell/language_table.h"
#include "core/text/memo_source.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace marlo::cli {

const char* const kListHelp =
    "functions, labels: print the entries of the function or label pop-up of SOURCE in\n"
    "document order, one a line: the name, three blanks and the 1-based line in brackets\n"
    "(start:   [12]). A function header is a line starting with the language's FUNCTION\n"
    "text (any case); a label is a line holding only letters, digits and _ ended by a colon.\n"
    "Nothing to list prints nothing.\n"
    "  --language F   (functions) take the FUNCTION text from F instead of Language.txt\n"
    "                 beside the program; without either, FUNCTION\n";

namespace {

constexpr const char* kFunctionsUsage = "usage: marlo-cli functions [--language FILE] SOURCE\n";
constexpr const char* kLabelsUsage = "usage: marlo-cli labels SOURCE\n";

int RunList(const TArgs& args, bool functions, std::ostream& out, std::ostream& err) {
  const TCommandText text{functions ? "functions" : "labels",
                          functions ? kFunctionsUsage : kLabelsUsage, kListHelp};
  CLI::App app;
  SetUpApp(app);
  std::string languageFile, sourceFile;
  CLI::Option* language = nullptr;
  if (functions)
    language =
        app.add_option("--language", languageFile)
            ->check(CLI::Validator(
                [](std::string& value) { return value.empty() ? "needs a FILE" : std::string(); },
                "FILE"));
  CLI::Option* source = app.add_option("SOURCE", sourceFile);
  if (int status = cli::ParseArgs(app, args, text, out, err); status >= 0) return status;
  if (!source->count()) return UsageError(text, "no SOURCE given", err);

  std::string keyword = "FUNCTION";
  if (functions) {
    TLanguageTable table;
    std::string name = languageFile;
    if (!language->count()) {
      // The language file beside the program when there is one; the built-in texts when not.
      name = platform::ProgramFolder() + "Language.txt";
      std::error_code ec;
      if (!std::filesystem::exists(name, ec)) name.clear();
    }
    if (!name.empty()) {
      try {
        table.LoadFromFile(name);
      } catch (const std::exception& e) {
        err << "marlo-cli functions: cannot read the language file: " << e.what() << "\n";
        return kExitUsage;
      }
      keyword = table.LanguageText("FUNCTION");
    }
  }

  TMemoSource document;
  if (!LoadDocument(text.Name, sourceFile, document, err)) return kExitUsage;
  std::string listing;
  for (const TListEntry& e : functions ? ScanFunctions(document, keyword) : ScanLabels(document))
    listing += e.Text() + "\n";
  out << listing;
  out.flush();
  return kExitOk;
}

} // namespace

int RunFunctions(const TArgs& args, std::ostream& out, std::ostream& err) {
  return RunList(args, true, out, err);
}

int RunLabels(const TArgs& args, std::ostream& out, std::ostream& err) {
  return RunList(args, false, out, err);
}

} // namespace marlo::cli
