#include "core/export/code_rtf_exporter.h"

#include <ostream>
#include <string>

namespace marlo {

void TCodeRTFExporter::BeginDocument(const std::string& /*title*/) {
  OpenGroup("rtf1\\ansi");
  list_.MarkTablePlace();
  OpenGroup("plain");
  if (SpaceBefore() > 0) WriteRaw("\\sb" + std::to_string(SpaceBefore()) + " ");
  if (SpaceAfter() > 0) WriteRaw("\\sa" + std::to_string(SpaceAfter()) + " ");
}

void TCodeRTFExporter::EndDocument() {
  CloseGroup();
  CloseGroup();
  std::string tables;
  fonts_.AppendTable(tables);
  colors_.AppendTable(tables);
  Flush();
  list_.WriteTo(Stream(), tables);
  list_.Clear();
}

void TCodeRTFExporter::NewLine() {
  OpenGroup("line");
  CloseGroup();
}

void TCodeRTFExporter::BeginFontName(const std::string& name, int charSet) {
  OpenIndexedGroup("f", fonts_.IndexOf(name, charSet));
}

void TCodeRTFExporter::BeginFontSize(int points) {
  OpenGroup("fs" + std::to_string(points * 2));
}

void TCodeRTFExporter::BeginTextColor(TColor color) {
  OpenIndexedGroup("cf", colors_.IndexOf(color));
}

void TCodeRTFExporter::BeginBackColor(TColor color) {
  OpenIndexedGroup("highlight", colors_.IndexOf(color));
}

void TCodeRTFExporter::OpenGroup(std::string_view word) {
  std::string& out = list_.Text();
  out += '{';
  if (!word.empty()) {
    out += '\\';
    out += word;
    out += ' ';
  }
  out += "\r\n";
}

void TCodeRTFExporter::OpenIndexedGroup(std::string_view word, int index) {
  std::string& out = list_.Text();
  out += "{\\";
  out += word;
  out += std::to_string(index);
  out += ' ';
}

void TCodeRTFExporter::CloseGroup(std::string_view word) {
  std::string& out = list_.Text();
  out += '}';
  if (!word.empty()) {
    out += '\\';
    out += word;
  }
}

void TCodeRTFExporter::AppendEscaped(std::string& out, std::string_view text) const {
  size_t plain = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\t' && c != '\\' && c != '{' && c != '}') continue;
    out.append(text.data() + plain, i - plain);
    if (c == '\t') {
      out += "\\tab ";
    } else {
      out += '\\';
      out += c;
    }
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

} // namespace marlo
