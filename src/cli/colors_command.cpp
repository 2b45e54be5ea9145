// marlo-cli colors: the style of every character of a source as the editor colours it.
#include "cli/cli_document.h"
#include "cli/subcommands.h"
#include "core/syntax/my_parser.h"

#include <ostream>
#include <string>

namespace marlo::cli {

const char* const kColorsHelp =
    "colors: prints one line of style digits per line of SOURCE, one digit per character:\n"
    "  0 whitespace, 1 string, 2 remark, 3 identifier, 4 integer, 5 float, 6 keyword.\n"
    "  --keywords FILE  the keyword list (default: keywords.txt beside the program)\n";

namespace {

int ColorsUsage(std::ostream& err, const std::string& message) {
  err << "marlo-cli colors: " << message << "\n"
      << "usage: marlo-cli colors [--keywords FILE] SOURCE\n";
  return kExitUsage;
}

} // namespace

int RunColors(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string keywordFile, sourceFile;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--keywords") {
      if (++i == args.size()) return ColorsUsage(err, "--keywords needs a file name");
      keywordFile = args[i];
    } else if (a == "--help" || a == "-h") {
      out << "usage: marlo-cli colors [--keywords FILE] SOURCE\n" << kColorsHelp;
      return kExitOk;
    } else if (a.size() > 1 && a[0] == '-') {
      return ColorsUsage(err, "unknown option \"" + a + "\"");
    } else if (sourceFile.empty()) {
      sourceFile = a;
    } else {
      return ColorsUsage(err, "more than one source file");
    }
  }
  if (sourceFile.empty()) return ColorsUsage(err, "no source file");

  std::vector<std::string> keywords;
  if (!LoadKeywords("colors", keywordFile, keywords, err)) return kExitUsage;
  TMemoSource source;
  if (!LoadDocument("colors", sourceFile, source, err)) return kExitUsage;
  TMyParser parser(keywords);
  source.SetSyntaxParser(&parser);
  source.ColorLines(0, source.LineCount() - 1, true);

  std::string text;
  for (int i = 0; i < source.LineCount(); ++i) {
    for (char style : source.LineColors(i)) text += static_cast<char>('0' + (style & 0x3f));
    text += '\n';
  }
  out << text;
  source.SetSyntaxParser(nullptr);
  return kExitOk;
}

} // namespace marlo::cli
