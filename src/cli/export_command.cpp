// marlo-cli export: the source as the highlighted HTML page or RTF document that saving it
// under an .HTM or .RTF name writes.
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/export/export_text.h"
#include "core/platform/registry_store.h"
#include "core/shell/editor_settings.h"
#include "core/shell/settings.h"
#include "core/syntax/my_parser.h"

#include <memory>
#include <ostream>
#include <string>

namespace marlo::cli {

const char* const kExportHelp =
    "export: writes SOURCE highlighted as an HTML page (--html) or an RTF document (--rtf)\n"
    "  to OUT, as saving it under an .HTM or .RTF name does; OUT - is standard output.\n"
    "  --keywords FILE  the keyword list (default: keywords.txt beside the program)\n"
    "  --no-syntax      no highlighting: the whole text in the editor's own font\n"
    "  --defaults       the program's default styles, not the stored settings\n";

namespace {

// The styles and the editor's own font and background that an export uses, as a document
// window has them after the settings were applied, and whether the settings have
// highlighting on. Problems with the stored settings are told on `err`; the defaults then
// stand in for what could not be read.
bool PrepareExportStyles(bool useStoredSettings, TTextStyles& styles, TMemoColors& control,
                         std::ostream& err) {
  styles.LoadDocumentStyles();
  control = TMemoColors{}; // a document window's control: Courier New, 13 px, black on white
  TSettings settings = DefaultSettings({});
  if (useStoredSettings) {
    platform::TRegistry registry(
        platform::DefaultRegistryPath(), platform::raReadOnly,
        [&](const std::string& message) { err << "marlo-cli export: " << message << "\n"; });
    if (auto error = LoadSettings(registry, settings, {}))
      err << "marlo-cli export: " << error->what() << "\n";
  }
  ApplyStyleSettings(settings, styles, control);
  return settings.HighlightSyntax;
}

constexpr char kExportUsage[] =
    "usage: marlo-cli export --html|--rtf [--keywords FILE] [--no-syntax] [--defaults] SOURCE "
    "OUT\n";

const TCommandText kExportText{"export", kExportUsage, kExportHelp};

} // namespace

int RunExport(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string keywordFile, sourceFile, outFile;
  bool html = false, rtf = false, noSyntax = false, defaults = false;
  CLI::App app;
  SetUpApp(app);
  app.add_flag("--html", html);
  app.add_flag("--rtf", rtf);
  CLI::Option* keywordOption = app.add_option("--keywords", keywordFile);
  app.add_flag("--no-syntax", noSyntax);
  app.add_flag("--defaults", defaults);
  CLI::Option* sourceOption = app.add_option("SOURCE", sourceFile);
  CLI::Option* outOption = app.add_option("OUT", outFile);
  if (int status = ParseArgs(app, args, kExportText, out, err); status >= 0) return status;
  if (html && rtf) return UsageError(kExportText, "--html and --rtf exclude each other", err);
  if (!html && !rtf) return UsageError(kExportText, "--html or --rtf is needed", err);
  if (!sourceOption->count()) return UsageError(kExportText, "no source file", err);
  if (!outOption->count()) return UsageError(kExportText, "no output file", err);
  const TExportFormat format = html ? TExportFormat::HTML : TExportFormat::RTF;
  const bool keywordsGiven = keywordOption->count() > 0;

  TMemoColors control;
  TTextStyles styles(&control);
  bool colorSyntax = PrepareExportStyles(!defaults, styles, control, err) && !noSyntax;

  // Without highlighting the keyword list plays no part, unless one was named.
  std::vector<std::string> keywords;
  if ((colorSyntax || keywordsGiven) && !LoadKeywords("export", keywordFile, keywords, err))
    return kExitUsage;
  TMemoSource source;
  if (!LoadDocument("export", sourceFile, source, err)) return kExitUsage;
  TMyParser parser(keywords);
  source.SetSyntaxParser(&parser);
  struct TDetach {
    TMemoSource& Source;
    ~TDetach() { Source.SetSyntaxParser(nullptr); }
  } detach{source};

  if (outFile != "-") {
    if (format == TExportFormat::HTML)
      SaveToHTML(outFile, source, styles, control, colorSyntax);
    else
      SaveToRTF(outFile, source, styles, control, colorSyntax);
    return kExitOk;
  }
  std::unique_ptr<TCodeExporter> exporter;
  if (format == TExportFormat::HTML)
    exporter = std::make_unique<TCodeHTMLExporter>(out);
  else
    exporter = std::make_unique<TCodeRTFExporter>(out);
  // A failed write to standard output is told by the caller, as for every command.
  ExportText(*exporter, source, styles, control, colorSyntax);
  return kExitOk;
}

} // namespace marlo::cli
