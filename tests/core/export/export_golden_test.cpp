// Exports of small sources compared byte for byte with pages and documents written by
// hand from the export rules.
#include "../golden.h"
#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/export/export_text.h"
#include "core/export/rtf_writer_list.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace marlo {
namespace {

const std::string kData = std::string(MARLO_SOURCE_DIR) + "/tests/data/export/";

enum class TFormat { HTML, RTF };

std::string Export(const std::string& sourceName, TFormat format, bool colorSyntax) {
  TMemoSource source;
  source.ConfigureAsDocument();
  source.LoadFromFile(kData + sourceName);
  TMyParser parser(LoadKeywordFile(kData + "keywords.txt"));
  source.SetSyntaxParser(&parser);
  TMemoColors control;
  TTextStyles styles(&control);
  styles.LoadDocumentStyles();
  std::ostringstream out;
  if (format == TFormat::HTML) {
    TCodeHTMLExporter exporter(out);
    ExportText(exporter, source, styles, control, colorSyntax);
  } else {
    TCodeRTFExporter exporter(out);
    ExportText(exporter, source, styles, control, colorSyntax);
  }
  source.SetSyntaxParser(nullptr);
  return out.str();
}

TEST(ExportGolden, MatchesHandWrittenFiles) {
  struct TCase {
    const char* Source;
    TFormat Format;
    bool Color;
    const char* Expected;
  };
  const TCase cases[] = {
      {"sample.zba", TFormat::HTML, true, "sample.htm"},
      {"sample.zba", TFormat::RTF, true, "sample.rtf"},
      {"sample.zba", TFormat::HTML, false, "sample.plain.htm"},
      {"sample.zba", TFormat::RTF, false, "sample.plain.rtf"},
      {"braces.zba", TFormat::HTML, true, "braces.htm"},
      {"braces.zba", TFormat::RTF, true, "braces.rtf"},
      {"empty.zba", TFormat::HTML, true, "empty.htm"},
      {"empty.zba", TFormat::RTF, true, "empty.rtf"},
  };
  // Each in one go, and formatted in pieces of two lines side by side with the RTF body
  // kept in a temporary file after a few bytes: the bytes are the same.
  const int pieceLines = ExportPieceLines;
  const size_t spillSize = TRTFWriterList::SpillSize;
  for (bool split : {false, true}) {
    ExportPieceLines = split ? 2 : pieceLines;
    TRTFWriterList::SpillSize = split ? 16 : spillSize;
    for (const TCase& c : cases) {
      SCOPED_TRACE(std::string(c.Expected) + (split ? " in pieces" : ""));
      ASSERT_FALSE(test::ReadFile(kData + c.Expected).empty());
      EXPECT_TRUE(test::MatchesGolden(Export(c.Source, c.Format, c.Color), kData + c.Expected));
    }
  }
  ExportPieceLines = pieceLines;
  TRTFWriterList::SpillSize = spillSize;
}

} // namespace
} // namespace marlo
