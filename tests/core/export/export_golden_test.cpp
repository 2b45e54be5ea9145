// Exports of small sources compared byte for byte with pages and documents written by
// hand from the export rules. That the lines formatted in pieces side by side, and an RTF
// body kept in a temporary file, give the same bytes is checked by fuzz/fuzz_export.cpp.
#include "../golden.h"
#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/export/export_text.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

namespace marlo {
namespace {

const std::string kData = std::string(MARLO_SOURCE_DIR) + "/tests/data/export/";

TEST(ExportGolden, MatchesHandWrittenFiles) {
  const std::tuple<const char*, bool, const char*> cases[] = {{"sample", true, "sample"},
                                                              {"sample", false, "sample.plain"},
                                                              {"braces", true, "braces"},
                                                              {"empty", true, "empty"}};
  TMyParser parser(LoadKeywordFile(kData + "keywords.txt"));
  for (const auto& [source, color, expected] : cases) {
    TMemoSource doc;
    doc.ConfigureAsDocument();
    doc.LoadFromFile(kData + source + ".zba");
    doc.SetSyntaxParser(&parser);
    TMemoColors control;
    TTextStyles styles(&control);
    styles.LoadDocumentStyles();
    std::ostringstream html, rtf;
    TCodeHTMLExporter htmlExporter(html);
    ExportText(htmlExporter, doc, styles, control, color);
    TCodeRTFExporter rtfExporter(rtf);
    ExportText(rtfExporter, doc, styles, control, color);
    for (const auto& [out, format] : {std::pair{html.str(), ".htm"}, {rtf.str(), ".rtf"}}) {
      const std::string golden = kData + expected + format;
      ASSERT_FALSE(test::ReadFile(golden).empty()) << golden;
      EXPECT_TRUE(test::MatchesGolden(out, golden));
    }
    doc.SetSyntaxParser(nullptr);
  }
}

} // namespace
} // namespace marlo
