// Exports random documents with a random keyword list and random style changes as HTML
// and RTF, and reads both back: HTML tags and RTF groups must pair up, and the text that
// a reader takes from either must be the document's text with its line breaks.
//
// Input: one byte of options, one byte giving the length of the keyword list, the keyword
// list (one keyword a line), then the document.
#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/export/export_text.h"
#include "core/export/rtf_writer_list.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace marlo;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_export: %s\n", what);
    std::abort();
  }
}

bool StartsWith(std::string_view s, size_t at, std::string_view prefix) {
  return s.substr(at, prefix.size()) == prefix;
}

// The text a browser shows, BR as a line break, checking that tags pair up.
std::string ReadHtml(std::string_view page) {
  std::vector<std::string> open;
  std::string text;
  bool inTitle = false;
  for (size_t i = 0; i < page.size();) {
    char c = page[i];
    if (c == '<') {
      size_t end = page.find('>', i);
      Require(end != std::string_view::npos, "unterminated tag");
      std::string_view tag = page.substr(i + 1, end - i - 1);
      i = end + 1;
      if (tag == "BR") {
        text += '\n';
        continue;
      }
      if (!tag.empty() && tag[0] == '/') {
        Require(!open.empty() && open.back() == tag.substr(1), "closing tag does not match");
        if (tag == "/Title") inTitle = false;
        open.pop_back();
        continue;
      }
      std::string name(tag.substr(0, tag.find(' ')));
      Require(name == "font" || name == "B" || name == "I" || name == "U" || name == "S" ||
                  name == "Body" || name == "Html" || name == "Head" || name == "Title",
              "unknown tag");
      Require(tag.find('<') == std::string_view::npos, "a tag inside a tag");
      if (name == "Title") inTitle = true;
      open.push_back(name);
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    Require(c != '>' && c != '"', "markup character in text");
    if (inTitle) {
      ++i;
      continue;
    }
    if (c == '&') {
      static const std::pair<std::string_view, char> entities[] = {
          {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&nbsp;", ' '}, {"&quot;", '"'}};
      bool found = false;
      for (auto [entity, ch] : entities) {
        if (StartsWith(page, i, entity)) {
          text += ch;
          i += entity.size();
          found = true;
          break;
        }
      }
      Require(found, "a bare & in the text");
      continue;
    }
    text += c;
    ++i;
  }
  Require(open.empty(), "tags left open");
  return text;
}

// The text of an RTF document with \line as a line break, checking that groups pair up.
std::string ReadRtf(std::string_view doc) {
  std::string text;
  int depth = 0;
  for (size_t i = 0; i < doc.size();) {
    char c = doc[i];
    if (c == '{') {
      if (StartsWith(doc, i + 1, "\\fonttbl") || StartsWith(doc, i + 1, "\\colortbl")) {
        // The tables hold groups one level deep and no braces of their own.
        int d = 0;
        size_t end = i;
        for (; end < doc.size(); ++end) {
          if (doc[end] == '{') ++d;
          if (doc[end] == '}' && --d == 0) break;
        }
        Require(end < doc.size(), "unterminated table");
        Require(depth == 1, "table outside the document group");
        i = end + 1;
        continue;
      }
      ++depth;
      ++i;
      continue;
    }
    if (c == '}') {
      Require(--depth >= 0, "a group closed that was not open");
      Require(depth > 0 || i + 1 == doc.size(), "text after the document group");
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    Require(depth > 0, "text outside the document group");
    if (c == '\\') {
      Require(i + 1 < doc.size(), "a backslash at the end");
      char n = doc[i + 1];
      if (n == '\\' || n == '{' || n == '}') {
        text += n;
        i += 2;
        continue;
      }
      size_t j = i + 1;
      while (j < doc.size() && ((doc[j] >= 'a' && doc[j] <= 'z'))) ++j;
      std::string_view word = doc.substr(i + 1, j - i - 1);
      Require(!word.empty(), "a backslash before a non-letter");
      while (j < doc.size() && doc[j] >= '0' && doc[j] <= '9') ++j;
      if (j < doc.size() && doc[j] == ' ') ++j;
      if (word == "line") text += '\n';
      if (word == "tab") text += '\t';
      i = j;
      continue;
    }
    text += c;
    ++i;
  }
  Require(depth == 0, "groups left open");
  return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t options = data[0];
  const size_t keywordBytes = std::min<size_t>(data[1], size - 2);
  std::string_view keywordText(reinterpret_cast<const char*>(data + 2), keywordBytes);
  std::string_view document(reinterpret_cast<const char*>(data + 2 + keywordBytes),
                            size - 2 - keywordBytes);

  TMemoSource source;
  source.ConfigureAsDocument();
  if (options & 1) source.SetOption(soUseTabCharacter, true);
  source.LoadFromBytes(document);
  TMyParser parser(SplitKeywordLines(keywordText));
  source.SetSyntaxParser(&parser);

  TMemoColors control;
  TTextStyles styles(&control);
  styles.LoadDocumentStyles();
  // Fewer styles than token kinds, and styles that differ from the control in font,
  // size, font style or background.
  if (options & 2) {
    std::vector<std::string> names;
    for (int i = 0; i < (options >> 5); ++i) names.push_back(styles[i].Name());
    styles.Clear();
    for (const std::string& n : names) styles.Add(n);
  }
  if (options & 4 && styles.Count() > tkComment) {
    TTextFont f = styles[tkComment].Font();
    f.Name = "Arial";
    f.SetSize(options >> 4);
    f.Style = {fsUnderline, fsStrikeOut};
    styles[tkComment].SetFont(f);
    styles[tkComment].SetColor(0x00FFFF);
  }
  if (options & 8) control.Font.Style = {fsBold, fsItalic, fsUnderline};
  const bool color = (options & 16) == 0;

  std::string expected;
  for (int i = 0; i < source.LineCount(); ++i) {
    if (i > 0) expected += '\n';
    expected += source.StoredLine(i);
  }

  std::ostringstream html, rtf;
  {
    TCodeHTMLExporter ex(html);
    ExportText(ex, source, styles, control, color);
  }
  {
    TCodeRTFExporter ex(rtf);
    ExportText(ex, source, styles, control, color);
  }
  // The same bytes again with the lines formatted in pieces side by side, and the RTF body
  // kept in a temporary file after a few bytes.
  const int pieceLines = ExportPieceLines;
  const size_t spillSize = TRTFWriterList::SpillSize;
  ExportPieceLines = 1 + (options >> 6);
  TRTFWriterList::SpillSize = 64;
  std::ostringstream piecesHtml, spilledRtf;
  {
    TCodeHTMLExporter ex(piecesHtml);
    ExportText(ex, source, styles, control, color);
  }
  {
    TCodeRTFExporter ex(spilledRtf);
    ExportText(ex, source, styles, control, color);
  }
  ExportPieceLines = pieceLines;
  TRTFWriterList::SpillSize = spillSize;
  Require(piecesHtml.str() == html.str(), "the HTML written in pieces differs");
  Require(spilledRtf.str() == rtf.str(), "the RTF with its body in a file differs");

  source.SetSyntaxParser(nullptr);
  Require(ReadHtml(html.str()) == expected, "the HTML text differs from the document");
  Require(ReadRtf(rtf.str()) == expected, "the RTF text differs from the document");
  return 0;
}
