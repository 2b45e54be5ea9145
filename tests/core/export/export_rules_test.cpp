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

#include <random>
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

  std::string Html(bool color = true) {
    std::ostringstream out;
    TCodeHTMLExporter ex(out);
    ExportText(ex, Source, Styles, Control, color);
    return out.str();
  }
  std::string Rtf(bool color = true) {
    std::ostringstream out;
    TCodeRTFExporter ex(out);
    ExportText(ex, Source, Styles, Control, color);
    return out.str();
  }
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
  EXPECT_EQ(HTMLColor(clNavy), "#000080");
  const std::pair<int, int> sizes[] = {{-3, 7}, {0, 7},  {1, 1},  {8, 1},  {9, 2},  {11, 2},
                                       {12, 3}, {13, 3}, {14, 4}, {17, 4}, {18, 5}, {23, 5},
                                       {24, 6}, {35, 6}, {36, 7}, {72, 7}};
  for (auto [points, size] : sizes) EXPECT_EQ(HTMLFontSize(points), size) << points;
}

TEST(ExportRules, RunsOpenWhatDiffersFromThePreviousRunOrTheControl) {
  TDoc doc("print score\r\n");
  // The keyword opens face, size and colour as the first run of its line, and bold; the
  // identifier after it differs from it only in colour and boldness.
  EXPECT_EQ(HtmlBody(doc.Html()),
            "<font face=\"Courier New\"><font SIZE=\"2\"><B><font color=\"#800000\">print"
            "</font></B></font></font><font color=\"#000000\">&nbsp;score</font>");

  // A comment in a font, size and background of its own.
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
  EXPECT_NE(rtf.find("{\\f2\\fcharset1 Arial;}"), std::string::npos);
  EXPECT_NE(rtf.find("\\red255\\green255\\blue0;\r\n\\red255\\green255\\blue255;\r\n"),
            std::string::npos);
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
  // In a control colour of its own, the keyword and the identifier stand apart from the
  // whitespace between them.
  doc.Control.Font.Color = clNavy;
  EXPECT_NE(doc.Html().find("<font color=\"#000080\">print</font></font></font>"
                            "<font color=\"#000000\">&nbsp;</font>"
                            "<font color=\"#000080\">score</font>"),
            std::string::npos);
}

TEST(ExportRules, WithoutColouringTheControlFontCarriesEverything) {
  TDoc doc("print  x\r\n\r\nif\r\n");
  doc.Control.Font.Style = {fsBold, fsItalic};
  std::string html = doc.Html(false);
  EXPECT_NE(html.find("<font face=\"Courier New\"><font SIZE=\"2\"><B><I><font color=\"#000000\">"
                      "print&nbsp;&nbsp;x<BR>\r\n<BR>\r\nif</font></I></B></font></font></Body>"),
            std::string::npos)
      << html;
  // A model without a highlighter is not coloured either.
  doc.Source.SetSyntaxParser(nullptr);
  EXPECT_EQ(doc.Html(true), html);
}

TEST(ExportRules, Escapes) {
  TDoc doc("a\t{x}\\ <&>\"\r\n", /*keepTabs=*/true);
  ASSERT_EQ(doc.Source.StoredLine(0), "a\t{x}\\ <&>\"");
  std::ostringstream sink;
  TCodeRTFExporter rtf(sink);
  EXPECT_EQ(rtf.EscapeText(doc.Source.StoredLine(0)), "a\\tab \\{x\\}\\\\ <&>\"");
  TCodeHTMLExporter html(sink);
  EXPECT_EQ(html.EscapeText(doc.Source.StoredLine(0)), "a\t{x}\\&nbsp;&lt;&amp;&gt;&quot;");
  EXPECT_NE(doc.Rtf(false).find("{\\cf0 a\\tab \\{x\\}\\\\ <&>\"}}}}}"), std::string::npos);
}

TEST(ExportRules, FontTableKeepsTheFirstCharacterSet) {
  TWriterFontObject fonts;
  EXPECT_EQ(fonts.Count(), 1);
  EXPECT_EQ(fonts.IndexOf("Courier New", 238), 1);
  EXPECT_EQ(fonts.IndexOf("Arial", 0), 2);
  EXPECT_EQ(fonts.IndexOf("COURIER NEW", 1), 1);
  EXPECT_EQ(fonts.IndexOf("Times New Roman", 1), 3);
  std::string table;
  fonts.AppendTable(table);
  EXPECT_EQ(table, "{\\fonttbl\r\n{\\f0\\fcharset1 \\fnil Times New Roman;}\r\n"
                   "{\\f1\\fcharset238 Courier New;}\r\n{\\f2\\fcharset0 Arial;}\r\n"
                   "{\\f3\\fcharset1 Times New Roman;}\r\n}\r\n");
  TWriterColorObject colors;
  std::string none;
  colors.AppendTable(none);
  EXPECT_EQ(none, "");
  EXPECT_EQ(colors.IndexOf(clBlue), 0);
  EXPECT_EQ(colors.IndexOf(clWhite), 1);
  EXPECT_EQ(colors.IndexOf(clBlue), 0);
}

// A text formatted in pieces side by side reads the same as one formatted in one go, with
// any part of it coloured, edited or passed over by the cache.
TEST(ExportRules, PiecesWriteWhatOneGoWrites) {
  const char* pieces[] = {"print 1", "", "remstart", "remend", "x = \"a b\"", "  if x then", "`"};
  const int pieceLines = ExportPieceLines;
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    std::string text;
    for (int i = 0; i < 40; ++i) text += std::string(pieces[rng() % 7]) + "\r\n";
    TDoc doc(text);
    doc.Source.EnsureLineColored(static_cast<int>(rng() % 40), true);
    doc.Source.SetCaret(static_cast<int>(rng() % 5), static_cast<int>(rng() % 40));
    doc.Source.InsertText(pieces[rng() % 7]);
    ExportPieceLines = 0;
    const std::string whole = doc.Html();
    ExportPieceLines = 1 + static_cast<int>(rng() % 4);
    EXPECT_EQ(doc.Html(), whole) << "seed " << seed;
  }
  ExportPieceLines = pieceLines;
}

TEST(ExportRules, ExportChangesNothing) {
  TDoc doc("remstart\r\nprint\r\nremend\r\nprint\r\n");
  EXPECT_FALSE(doc.Source.IsLineColored(3));
  std::string before = doc.Source.SaveToBytes();
  std::string html = doc.Html();
  // Lines the cache did not hold are coloured on the way and not kept.
  EXPECT_FALSE(doc.Source.IsLineColored(3));
  EXPECT_FALSE(doc.Source.Modified());
  EXPECT_EQ(doc.Source.SaveToBytes(), before);
  // The keyword inside the block remark is a remark; the one after it is bold.
  EXPECT_EQ(html.find("<B><font color=\"#800000\">print</font></B>"),
            html.rfind("<B><font color=\"#800000\">print</font></B>"));
}

TEST(ExportRules, SaveWritesThroughATemporaryFile) {
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
  // A target that cannot be replaced stays as it was, and no temporary file remains.
  std::filesystem::create_directory(dir / "busy.rtf");
  test::WriteFile(dir / "busy.rtf/inside", "kept");
  EXPECT_THROW(SaveToRTF(dir / "busy.rtf", doc.Source, doc.Styles, doc.Control, true), Error);
  EXPECT_EQ(test::ReadFile(dir / "busy.rtf/inside"), "kept");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"busy.rtf", "listing.htm", "listing.rtf"}));
}

TEST(ExportRules, ExportFormatOfName) {
  EXPECT_EQ(ExportFormatOfName("NOTES.Html"), TExportFormat::HTML);
  EXPECT_EQ(ExportFormatOfName("/src/a.htm"), TExportFormat::HTML);
  EXPECT_EQ(ExportFormatOfName("game.RtF"), TExportFormat::RTF);
  EXPECT_EQ(ExportFormatOfName("game.zba"), TExportFormat::None);
  EXPECT_EQ(ExportFormatOfName("page.htmx"), TExportFormat::None);
  EXPECT_EQ(ExportFormatOfName("out.rtf/game"), TExportFormat::None);
  EXPECT_EQ(ExportFormatOfName("rtf"), TExportFormat::None);
}

} // namespace
} // namespace marlo
