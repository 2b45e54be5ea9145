// marlo-cli export: the source as the highlighted HTML page or RTF document that saving it
// under an .HTM or .RTF name writes.
#include "cli/cli_document.h"
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

int ExportUsage(std::ostream& err, const std::string& message) {
  err << "marlo-cli export: " << message << "\n" << kExportUsage;
  return kExitUsage;
}

} // namespace

int RunExport(const TArgs& args, std::ostream& out, std::ostream& err) {
  TExportFormat format = TExportFormat::None;
  std::string keywordFile, sourceFile, outFile;
  bool keywordsGiven = false, noSyntax = false, defaults = false;
  int names = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--html" || a == "--rtf") {
      TExportFormat f = a == "--html" ? TExportFormat::HTML : TExportFormat::RTF;
      if (format != TExportFormat::None && format != f)
        return ExportUsage(err, "--html and --rtf exclude each other");
      format = f;
    } else if (a == "--keywords") {
      if (++i == args.size()) return ExportUsage(err, "--keywords needs a file name");
      keywordFile = args[i];
      keywordsGiven = true;
    } else if (a == "--no-syntax") {
      noSyntax = true;
    } else if (a == "--defaults") {
      defaults = true;
    } else if (a == "--help" || a == "-h") {
      out << kExportUsage << kExportHelp;
      return kExitOk;
    } else if (a.size() > 1 && a[0] == '-') {
      return ExportUsage(err, "unknown option \"" + a + "\"");
    } else if (names == 0) {
      sourceFile = a;
      ++names;
    } else if (names == 1) {
      outFile = a;
      ++names;
    } else {
      return ExportUsage(err, "more than one source and one output file");
    }
  }
  if (format == TExportFormat::None) return ExportUsage(err, "--html or --rtf is needed");
  if (names < 2) return ExportUsage(err, names == 0 ? "no source file" : "no output file");

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
