// marlo-cli colors: the style of every character of a source as the editor colours it.
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/syntax/my_parser.h"

#include <ostream>
#include <string>

namespace marlo::cli {

const char* const kColorsHelp =
    "colors: prints one line of style digits per line of SOURCE, one digit per character:\n"
    "  0 whitespace, 1 string, 2 remark, 3 identifier, 4 integer, 5 float, 6 keyword.\n"
    "  --keywords FILE  the keyword list (default: keywords.txt beside the program)\n";

int RunColors(const TArgs& args, std::ostream& out, std::ostream& err) {
  static const TCommandText commandText{
      "colors", "usage: marlo-cli colors [--keywords FILE] SOURCE\n", kColorsHelp};
  std::string keywordFile, sourceFile;
  CLI::App app;
  SetUpApp(app);
  app.add_option("--keywords", keywordFile);
  app.add_option("SOURCE", sourceFile)->required();
  if (int status = ParseArgs(app, args, commandText, out, err); status >= 0) return status;

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
