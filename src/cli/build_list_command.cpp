// marlo-cli build-list: the lines a build writes to its temporary file, or the document line
// of each, for a source loaded as a document window loads it.
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/build/build_list.h"
#include "core/platform/program_folder.h"
#include "core/preproc/preprocessor.h"
#include "core/shell/language_table.h"
#include "core/text/memo_source.h"

#include <charconv>
#include <exception>
#include <ostream>
#include <string>

namespace marlo::cli {

const char* const kBuildListHelp =
    "build-list: loads SOURCE as a document window does and makes the build list a build\n"
    "makes from it: the document's lines, the preprocessor's output when --defines or\n"
    "--globals asks for it, then the break lines of a step-through. Standard output holds\n"
    "exactly the bytes of the temporary file, every line followed by CR LF.\n"
    "  --types        structure types, as Struct Enabled: only when --defines or --globals\n"
    "                 starts the preprocessor (alone it changes nothing, as in a build)\n"
    "  --defines      the preprocessor with its define pass, as Define Enabled\n"
    "  --globals      the preprocessor with its global pass, as Global Enabled\n"
    "  --step         insert the break lines of a step-through (Shift+F5): the language's\n"
    "                 BreakLineCommand after every statement line, each \"#\" in it replaced\n"
    "                 by the line's 1-based number in the list before the breaks\n"
    "  --map          print instead, for each line of the temporary file, the 1-based\n"
    "                 document line it maps to, followed by LF (a break line maps to the\n"
    "                 line it follows, a TYPE block to its TYPE line, the arrays of a\n"
    "                 DIMTYPE to the DIMTYPE line)\n"
    "  --language F   take the language texts from F instead of Language.txt beside the\n"
    "                 program; a language file is read only when --step or a pass needs it\n"
    "Options come in any order; SOURCE is the last argument. A preprocessor error prints its\n"
    "text (' #: LINE. MESSAGE') and LF on standard error, nothing on standard output, with\n"
    "exit status 1; bad arguments, an unreadable SOURCE or language file give status 2.\n";

namespace {

constexpr const char* kUsage =
    "usage: marlo-cli build-list [--step] [--types] [--defines] [--globals] [--map] "
    "[--language FILE] SOURCE\n";

const TCommandText kBuildListText{"build-list", kUsage, kBuildListHelp};

struct TBuildListArgs {
  preproc::TPreprocOptions Options;
  bool Step = false;
  bool Map = false;
  std::string Language;
  std::string Source;
};

int ParseArgs(const TArgs& args, TBuildListArgs& a, std::ostream& out, std::ostream& err) {
  CLI::App app;
  SetUpApp(app);
  app.add_flag("--types", a.Options.StructEnabled);
  app.add_flag("--defines", a.Options.DefineEnabled);
  app.add_flag("--globals", a.Options.GlobalEnabled);
  app.add_flag("--step", a.Step);
  app.add_flag("--map", a.Map);
  app.add_option("--language", a.Language)
      ->check(CLI::Validator(
          [](std::string& value) { return value.empty() ? "needs a FILE" : std::string(); },
          "FILE"));
  CLI::Option* source = app.add_option("SOURCE", a.Source);
  if (int status = cli::ParseArgs(app, args, kBuildListText, out, err); status >= 0) return status;
  return RequireLast(args, *source, a.Source, "SOURCE", kBuildListText, err);
}

void WriteMap(const build::TBuildList& list, std::ostream& out) {
  std::string text;
  text.reserve(size_t(1) << 16);
  char digits[16];
  for (const int line : list.LineMap) {
    text.append(digits, std::to_chars(digits, digits + sizeof digits, line + 1).ptr);
    text += '\n';
    if (text.size() >= (size_t(1) << 16)) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace

int RunBuildList(const TArgs& args, std::ostream& out, std::ostream& err) {
  TBuildListArgs a;
  if (int status = ParseArgs(args, a, out, err); status >= 0) return status;

  // A build starts the preprocessor only for defines or globals.
  const bool preprocess = a.Options.DefineEnabled || a.Options.GlobalEnabled;
  TLanguageTable language;
  if (preprocess || a.Step) {
    const std::string file =
        a.Language.empty() ? platform::ProgramFolder() + "Language.txt" : a.Language;
    try {
      language.LoadFromFile(file);
    } catch (const std::exception& e) {
      err << "marlo-cli build-list: cannot read the language file: " << e.what() << "\n";
      return kExitUsage;
    }
  }

  build::TBuildList list;
  {
    TMemoSource document;
    if (!LoadDocument(kBuildListText.Name, a.Source, document, err)) return kExitUsage;
    list = build::MakeBuildList(document);
  }

  if (preprocess) {
    preproc::TPreprocessor preprocessor(language);
    preprocessor.KeepStatus(false);
    // The passes take the lines over; the list gets the output in their place.
    preprocessor.Run(std::move(list.Lines), a.Options);
    if (preprocessor.Failed()) {
      err << preprocessor.ErrorText() << "\n";
      return kExitFailure;
    }
    build::TakePreprocessorOutput(list, preprocessor);
  }
  if (a.Step) build::InsertBreakLines(list, language.LanguageText("BreakLineCommand"));

  if (a.Map)
    WriteMap(list, out);
  else
    build::WriteBuildText(list, out);
  out.flush();
  return kExitOk;
}

} // namespace marlo::cli
