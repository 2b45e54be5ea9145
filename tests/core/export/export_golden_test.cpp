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

// Each export in one go, and formatted in pieces of two lines side by side with the RTF
// body kept in a temporary file after a few bytes: the bytes are the same.
TEST(ExportGolden, MatchesHandWrittenFiles) {
  const std::tuple<const char*, bool, const char*> cases[] = {{"sample", true, "sample"},
                                                              {"sample", false, "sample.plain"},
                                                              {"braces", true, "braces"},
                                                              {"empty", true, "empty"}};
  TMyParser parser(LoadKeywordFile(kData + "keywords.txt"));
  const int pieceLines = ExportPieceLines;
  const size_t spillSize = TRTFWriterList::SpillSize;
  for (bool split : {false, true}) {
    ExportPieceLines = split ? 2 : pieceLines;
    TRTFWriterList::SpillSize = split ? 16 : spillSize;
    for (const auto& [source, color, expected] : cases) {
      TMemoSource doc;
      doc.ConfigureAsDocument();
      doc.LoadFromFile(kData + source + ".zba");
      doc.SetSyntaxParser(&parser);
      TMemoColors control;
      TTextStyles styles(&control);
      styles.LoadDocumentStyles();
      for (const char* format : {".htm", ".rtf"}) {
        SCOPED_TRACE(std::string(expected) + format + (split ? " in pieces" : ""));
        std::ostringstream out;
        if (format[1] == 'h') {
          TCodeHTMLExporter exporter(out);
          ExportText(exporter, doc, styles, control, color);
        } else {
          TCodeRTFExporter exporter(out);
          ExportText(exporter, doc, styles, control, color);
        }
        const std::string golden = kData + expected + format;
        ASSERT_FALSE(test::ReadFile(golden).empty());
        EXPECT_TRUE(test::MatchesGolden(out.str(), golden));
      }
      doc.SetSyntaxParser(nullptr);
    }
  }
  ExportPieceLines = pieceLines;
  TRTFWriterList::SpillSize = spillSize;
}

} // namespace
} // namespace marlo
