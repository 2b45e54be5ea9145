// marlo-cli print: the source printed to a PDF file by the print command's own code, with
// the print dialog's choices given as options.
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/export/print_layout.h"
#include "core/platform/program_folder.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#ifdef MARLO_CLI_PRINT
#include "core/error.h"
#include "core/platform/registry_store.h"
#include "core/shell/editor_settings.h"
#include "core/shell/settings.h"
#include "core/syntax/my_parser.h"
#include "ui/editor/code_memo.h"
#include "ui/editor/memo_print.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>

#include <cstdio>
#include <filesystem>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <optional>
#endif

namespace marlo::cli {

const char* const kPrintHelp =
    "print: prints SOURCE to the PDF file OUT as the print command does, and prints\n"
    "  \"pages=N lines-per-page=L\". The options are the print dialog's boxes, off unless\n"
    "  given; the fonts and colours are the stored settings'.\n"
    "  --selection BX,BY,EX,EY  print the stream selection from column BX of line BY to\n"
    "                   column EX of line EY (from 0, the end excluded)\n"
    "  --header         the title and \"Page k/N\" atop each page\n"
    "  --line-numbers   number the printed lines from 1\n"
    "  --syntax         print the highlighter's styles\n"
    "  --color          print in colour (otherwise black on white)\n"
    "  --wrap           wrap lines longer than 80 columns\n"
    "  --left-margin N  the dialog's left margin (not a number reads 0)\n"
    "  --progress       write \"Printing page k from N\" to standard error as pages begin\n"
    "  --page-size A4|Letter  the paper, portrait (default A4)\n"
    "  --keywords FILE  the keyword list (default: keywords.txt beside the program)\n"
    "  --defaults       the program's default settings, not the stored ones\n"
    "  Exit status 2 for bad options or an unreadable SOURCE, 1 when OUT cannot be written.\n";

namespace {

constexpr char kPrintUsage[] =
    "usage: marlo-cli print [--selection BX,BY,EX,EY] [--header] [--line-numbers] [--syntax] "
    "[--color] [--wrap] [--left-margin N] [--progress] [--page-size A4|Letter] "
    "[--keywords FILE] [--defaults] SOURCE OUT\n";

const TCommandText kPrintText{"print", kPrintUsage, kPrintHelp};

// A whole number of any length, held within int: the selection is clamped to the text
// anyway, so 3000000000 means "to the end".
bool ParseWholeNumber(const std::string& text, int& value) {
  size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  long long v = 0;
  for (size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
    v = std::min<long long>(v * 10 + (text[k] - '0'), 1LL << 32);
  }
  v = i ? -v : v;
  value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
  return true;
}

// "BX,BY,EX,EY" as four whole numbers.
bool ParseSelection(const std::string& text, int (&values)[4]) {
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    size_t comma = text.find(',', start);
    if ((i < 3) != (comma != std::string::npos)) return false;
    if (!ParseWholeNumber(text.substr(start, i < 3 ? comma - start : std::string::npos), values[i]))
      return false;
    start = comma + 1;
  }
  return true;
}

// The margin field read as an integer, 0 when it is not one.
[[maybe_unused]] int ReadMargin(const std::string& text) {
  int value = 0;
  const bool plus = text.size() > 1 && text[0] == '+' && text[1] != '-';
  return ParseWholeNumber(plus ? text.substr(1) : text, value) ? value : 0;
}

#ifdef MARLO_CLI_PRINT
struct TPrintRequest {
  TCodePrintOptions Options;
  std::optional<TPrintRange> Selection;
  int LeftMargin = 0;
  bool Progress = false;
  bool Letter = false;
  bool Defaults = false;
  std::string Out;
};

TSettings ReadSettings(bool useStore, std::ostream& err) {
  TSettings settings = DefaultSettings({});
  if (!useStore) return settings;
  platform::TRegistry registry(
      platform::DefaultRegistryPath(), platform::raReadOnly,
      [&](const std::string& message) { err << "marlo-cli print: " << message << "\n"; });
  if (auto error = LoadSettings(registry, settings, {}))
    err << "marlo-cli print: " << error->what() << "\n";
  return settings;
}

int PrintDocument(const TPrintRequest& r, TMemoSource& source, const std::string& title,
                  std::ostream& out, std::ostream& err) {
#ifdef __GLIBC__
  // The PDF writer builds each page in a buffer that grows and goes again: kept in the heap
  // rather than mapped and unmapped page after page, it costs half the time.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_TOP_PAD, 64 << 20);
#endif
  // Without a display the offscreen platform serves; a caller may choose another.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Standard error carries the progress lines and our messages; Qt's notes about its
  // surroundings (a missing runtime folder, say) would mix into them.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "marlo-cli print: %s\n", qPrintable(text));
  });
  int argc = 1;
  char name[] = "marlo-cli";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);

  // The document window's control with the settings applied as a window applies them.
  TCodeMemo document;
  document.ConfigureAsDocument();
  TSettings settings = ReadSettings(!r.Defaults, err);
  TEditorSwitches sw = EditorSwitches(settings);
  document.SetOption(moColorSyntax, sw.ColorSyntax);
  document.SetOption(moDrawGutter, sw.DrawGutter);
  document.SetOption(moLineNumbers, sw.LineNumbers);
  ApplyStyleSettings(settings, document.TextStyles(), document.MemoColors());
  document.AppearanceChanged();

  TMemoPrintJob job(document, source, r.Options, r.Selection, title, r.LeftMargin);
  const QPageLayout page(QPageSize(r.Letter ? QPageSize::Letter : QPageSize::A4),
                         QPageLayout::Portrait, QMarginsF());
  int printed = 0;
  try {
    printed = PrintToPdf(job, r.Out, page, [&](int k) {
      if (r.Progress) err << "Printing page " << k << " from " << job.PageCount() << std::endl;
      return true;
    });
  } catch (const Error& e) {
    err << "marlo-cli print: " << e.what() << "\n";
    return kExitFailure;
  }
  out << "pages=" << printed << " lines-per-page=" << job.RowsPerPage() << "\n";
  return kExitOk;
}
#endif

} // namespace

int RunPrint(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string selection, margin, pageSize = "A4", keywordFile, sourceFile, outFile;
  bool header = false, numbers = false, syntax = false, color = false, wrap = false;
  bool progress = false, defaults = false;
  CLI::App app;
  SetUpApp(app);
  CLI::Option* selectionOption = app.add_option("--selection", selection);
  app.add_flag("--header", header);
  app.add_flag("--line-numbers", numbers);
  app.add_flag("--syntax", syntax);
  app.add_flag("--color", color);
  app.add_flag("--wrap", wrap);
  app.add_option("--left-margin", margin);
  app.add_flag("--progress", progress);
  app.add_option("--page-size", pageSize);
  CLI::Option* keywordOption = app.add_option("--keywords", keywordFile);
  app.add_flag("--defaults", defaults);
  CLI::Option* sourceOption = app.add_option("SOURCE", sourceFile);
  CLI::Option* outOption = app.add_option("OUT", outFile);
  if (int status = ParseArgs(app, args, kPrintText, out, err); status >= 0) return status;
  if (!sourceOption->count()) return UsageError(kPrintText, "no source file", err);
  if (!outOption->count()) return UsageError(kPrintText, "no output file", err);
  if (pageSize != "A4" && pageSize != "Letter")
    return UsageError(kPrintText, "--page-size is A4 or Letter, not \"" + pageSize + "\"", err);
  int sel[4] = {0, 0, 0, 0};
  if (selectionOption->count() && !ParseSelection(selection, sel))
    return UsageError(kPrintText,
                      "--selection needs four whole numbers BX,BY,EX,EY, not \"" + selection + "\"",
                      err);
  if (selectionOption->count() && (sel[3] < sel[1] || (sel[3] == sel[1] && sel[2] < sel[0])))
    return UsageError(kPrintText, "the selection ends before it begins", err);
#ifndef MARLO_CLI_PRINT
  (void)header, (void)numbers, (void)syntax, (void)color, (void)wrap, (void)progress;
  (void)defaults, (void)keywordOption, (void)margin;
  // The printing front end beside this program takes over, arguments and streams as they
  // are; without it this build has no Qt.
  const std::string printer = platform::ProgramFolder() + "marlo-print";
  if (access(printer.c_str(), X_OK) == 0) {
    std::vector<std::string> words{printer, "print"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    out.flush();
    err.flush();
    execv(printer.c_str(), argv.data());
    err << "marlo-cli print: cannot start " << printer << ": " << std::strerror(errno) << "\n";
    return kExitUsage;
  }
  err << "marlo-cli print: this marlo-cli was built without Qt, which printing needs\n";
  return kExitUsage;
#else
  std::vector<std::string> keywords;
  if ((syntax || keywordOption->count()) && !LoadKeywords("print", keywordFile, keywords, err))
    return kExitUsage;
  TMemoSource source;
  if (!LoadDocument("print", sourceFile, source, err)) return kExitUsage;
  TMyParser parser(keywords);
  source.SetSyntaxParser(&parser);
  struct TDetach {
    TMemoSource& Source;
    ~TDetach() { Source.SetSyntaxParser(nullptr); }
  } detach{source};

  TPrintRequest r;
  r.Options = {poShowProgress};
  r.Options.Set(poPrintHeader, header).Set(poLineNumbers, numbers).Set(poPrintSyntax, syntax);
  r.Options.Set(poInColor, color).Set(poWrapLines, wrap).Set(poShowProgress, progress);
  r.LeftMargin = ReadMargin(margin);
  r.Progress = progress;
  r.Letter = pageSize == "Letter";
  r.Defaults = defaults;
  r.Out = outFile;
  std::string title;
  if (selectionOption->count()) {
    std::vector<int> lengths(static_cast<size_t>(source.LineCount()));
    for (int i = 0; i < source.LineCount(); ++i) lengths[size_t(i)] = source.LineLength(i);
    TPrintRange range;
    std::string error;
    if (!ClampPrintSelection(sel[0], sel[1], sel[2], sel[3], lengths, range, error))
      return UsageError(kPrintText, error, err);
    r.Options.Include(poPrintSel);
    r.Selection = range;
    title = "<Selected block>";
  } else {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(sourceFile, ec);
    title = ec ? sourceFile : absolute.lexically_normal().string();
  }
  return PrintDocument(r, source, title, out, err);
#endif
}

} // namespace marlo::cli
