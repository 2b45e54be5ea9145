// The rules by which runs open and close their attributes, the escapes of both formats,
// and saving an export to a file.
#include "../temp_dir.h"
#include "core/error.h"
#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/export/export_text.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace marlo {
namespace {

// A document with the highlighter and the document styles, exported to memory.
struct TDoc {
  TMemoSource Source;
  TMyParser Parser{{"print", "if", "then"}};
  TMemoColors Control;
  TTextStyles Styles{&Control};

  explicit TDoc(const std::string& text, bool keepTabs = false) {
    Source.ConfigureAsDocument();
    if (keepTabs) Source.SetOption(soUseTabCharacter, true);
    Source.LoadFromBytes(text);
    Source.SetSyntaxParser(&Parser);
    Styles.LoadDocumentStyles();
  }
  ~TDoc() { Source.SetSyntaxParser(nullptr); }

  template <class TExporter> std::string Export(bool color) {
    std::ostringstream out;
    TExporter ex(out);
    ExportText(ex, Source, Styles, Control, color);
    return out.str();
  }
  std::string Html(bool color = true) { return Export<TCodeHTMLExporter>(color); }
  std::string Rtf(bool color = true) { return Export<TCodeRTFExporter>(color); }
};

// The body of an HTML page: what stands between the control's opened font and its close.
std::string HtmlBody(const std::string& page) {
  const std::string open = "<font color=\"#000000\">";
  size_t from = page.find(open, page.find("<Body BGCOLOR")) + open.size();
  size_t to = page.rfind("</font></font></font></Body>");
  return page.substr(from, to - from);
}

TEST(ExportRules, ColoursAndSizes) {
  EXPECT_EQ(HTMLColor(0x0080FF), "#FF8000");
  // Points to HTML font sizes, at the edges of each size.
  const std::pair<int, int> sizes[] = {{0, 7},  {1, 1},  {8, 1},  {9, 2},  {11, 2},
                                       {12, 3}, {13, 3}, {14, 4}, {17, 4}, {18, 5},
                                       {23, 5}, {24, 6}, {35, 6}, {36, 7}, {72, 7}};
  for (auto [points, size] : sizes) EXPECT_EQ(HTMLFontSize(points), size) << points;
}

// Runs in the document styles are pinned by tests/data/export/sample.htm and .rtf.
TEST(ExportRules, RunsOpenWhatDiffersFromThePreviousRunOrTheControl) {
  // A string in a font, size and background of its own.
  TDoc other("x \"s\" y\r\n`z\r\n");
  TTextStyle& str = other.Styles[tkString];
  TTextFont arial = str.Font();
  arial.Name = "Arial";
  arial.SetSize(12);
  str.SetFont(arial);
  str.SetColor(0x00FFFF);
  EXPECT_EQ(HtmlBody(other.Html()),
            "<font face=\"Courier New\"><font SIZE=\"2\"><font color=\"#000000\">x&nbsp;"
            "</font></font></font><font face=\"Arial\"><font SIZE=\"3\"><I>"
            "<font color=\"#800080\">&quot;s&quot;</font></I></font></font>"
            "<font face=\"Courier New\"><font SIZE=\"2\"><font color=\"#000000\">&nbsp;y"
            "</font></font></font><BR>\r\n"
            "<font face=\"Courier New\"><font SIZE=\"2\"><I><font color=\"#008000\">`z</font>"
            "</I></font></font>");
  // In RTF the string's background is a highlight, and the run after it, back on the
  // control's background, opens that background again.
  std::string rtf = other.Rtf();
  EXPECT_NE(rtf.find("{\\f2 {\\fs24 \r\n{\\i \r\n{\\cf1 {\\highlight2 \"s\"}}}}}"),
            std::string::npos)
      << rtf;
  EXPECT_NE(rtf.find("{\\f1 {\\fs20 \r\n{\\cf0 {\\highlight3  y}}}}"), std::string::npos) << rtf;
  // The first run of a line compares its background with the control's only.
  EXPECT_NE(rtf.find("{\\line \r\n}{\\f1 {\\fs20 \r\n{\\i \r\n{\\cf4 `z}}}}"), std::string::npos)
      << rtf;
}

TEST(ExportRules, KindsWithoutAStyleUseTheControlFont) {
  TDoc doc("print score\r\n");
  doc.Styles.Clear();
  doc.Styles.Add("Whitespace");
  doc.Styles.Add("String");
  // The keyword has no style: painted like the whitespace and identifier, it joins them.
  EXPECT_EQ(HtmlBody(doc.Html()), "<font face=\"Courier New\"><font SIZE=\"2\">"
                                  "<font color=\"#000000\">print&nbsp;score</font></font></font>");
}

// Without colouring the control's font carries everything (sample.plain.htm); a model
// without a highlighter is not coloured either.
TEST(ExportRules, WithoutAHighlighterNothingIsColoured) {
  TDoc doc("print  x\r\n\r\nif\r\n");
  doc.Control.Font.Style = {fsBold, fsItalic};
  std::string html = doc.Html(false);
  EXPECT_NE(html.find("<B><I><font color=\"#000000\">print&nbsp;&nbsp;x<BR>\r\n<BR>\r\nif"),
            std::string::npos)
      << html;
  doc.Source.SetSyntaxParser(nullptr);
  EXPECT_EQ(doc.Html(true), html);
}

TEST(ExportRules, Escapes) {
  const std::string line = "a\t{x}\\ <&>\"";
  std::ostringstream sink;
  EXPECT_EQ(TCodeRTFExporter(sink).EscapeText(line), "a\\tab \\{x\\}\\\\ <&>\"");
  EXPECT_EQ(TCodeHTMLExporter(sink).EscapeText(line), "a\t{x}\\&nbsp;&lt;&amp;&gt;&quot;");
  TDoc doc(line + "\r\n", /*keepTabs=*/true);
  EXPECT_NE(doc.Rtf(false).find("{\\cf0 a\\tab \\{x\\}\\\\ <&>\"}}}}}"), std::string::npos);
}

TEST(ExportRules, FontTableKeepsTheFirstCharacterSet) {
  TWriterFontObject fonts;
  EXPECT_EQ(fonts.IndexOf("Courier New", 238), 1);
  EXPECT_EQ(fonts.IndexOf("Arial", 0), 2);
  EXPECT_EQ(fonts.IndexOf("COURIER NEW", 1), 1);
  EXPECT_EQ(fonts.IndexOf("Times New Roman", 1), 3);
  std::string table;
  fonts.AppendTable(table);
  EXPECT_EQ(table, "{\\fonttbl\r\n{\\f0\\fcharset1 \\fnil Times New Roman;}\r\n"
                   "{\\f1\\fcharset238 Courier New;}\r\n{\\f2\\fcharset0 Arial;}\r\n"
                   "{\\f3\\fcharset1 Times New Roman;}\r\n}\r\n");
}

TEST(ExportRules, ExportChangesNothing) {
  TDoc doc("remstart\r\nprint\r\nremend\r\nprint\r\n");
  std::string before = doc.Source.SaveToBytes();
  doc.Html();
  // Lines the cache did not hold are coloured on the way and not kept.
  EXPECT_FALSE(doc.Source.IsLineColored(3) || doc.Source.Modified());
  EXPECT_EQ(doc.Source.SaveToBytes(), before);
}

// Saves go through the atomic writer (tests/core/platform/file_system_test.cpp): a failed
// replace leaves the old file and no temporary one.
TEST(ExportRules, SaveWritesTheExportAndNamesTheFileOnFailure) {
  test::TempDir dir;
  TDoc doc("print \"x\"\r\n");
  std::string target = dir / "listing.htm";
  test::WriteFile(target, "old page");
  SaveToHTML(target, doc.Source, doc.Styles, doc.Control, true);
  EXPECT_EQ(test::ReadFile(target), doc.Html());
  SaveToRTF(dir / "listing.rtf", doc.Source, doc.Styles, doc.Control, true);
  EXPECT_EQ(test::ReadFile(dir / "listing.rtf"), doc.Rtf());
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"listing.htm", "listing.rtf"}));

  // No folder to write into: the error names the file.
  std::string missing = dir / "no/such/listing.htm";
  try {
    SaveToHTML(missing, doc.Source, doc.Styles, doc.Control, true);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
}

TEST(ExportRules, ExportFormatOfName) {
  const std::pair<const char*, TExportFormat> cases[] = {
      {"NOTES.Html", TExportFormat::HTML}, {"/src/a.htm", TExportFormat::HTML},
      {"game.RtF", TExportFormat::RTF},    {"game.zba", TExportFormat::None},
      {"page.htmx", TExportFormat::None},  {"out.rtf/game", TExportFormat::None},
      {"rtf", TExportFormat::None}};
  for (auto [name, format] : cases) EXPECT_EQ(ExportFormatOfName(name), format) << name;
}

} // namespace
} // namespace marlo
