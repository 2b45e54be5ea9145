#include "core/export/code_html_exporter.h"

#include <array>
#include <string>

namespace marlo {

namespace {

constexpr char kCrLf[] = "\r\n";

// The replacement of each byte that HTML text must not carry as it is; empty for the rest.
const std::array<std::string_view, 256>& HtmlEntities() {
  static const std::array<std::string_view, 256> table = [] {
    std::array<std::string_view, 256> t{};
    t['<'] = "&lt;";
    t['>'] = "&gt;";
    t['&'] = "&amp;";
    t[' '] = "&nbsp;";
    t['"'] = "&quot;";
    return t;
  }();
  return table;
}

} // namespace

namespace {

// "#RRGGBB" into seven characters at `out`.
void PutHTMLColor(char* out, TColor color) {
  static const char kHex[] = "0123456789ABCDEF";
  *out++ = '#';
  for (uint8_t byte : {ColorRed(color), ColorGreen(color), ColorBlue(color)}) {
    *out++ = kHex[byte >> 4];
    *out++ = kHex[byte & 15];
  }
}

} // namespace

std::string HTMLColor(TColor color) {
  std::string s(7, '#');
  PutHTMLColor(s.data(), color);
  return s;
}

int HTMLFontSize(int points) {
  if (points <= 0) return 7;
  if (points <= 8) return 1;
  if (points <= 11) return 2;
  if (points <= 13) return 3;
  if (points <= 17) return 4;
  if (points <= 23) return 5;
  if (points <= 35) return 6;
  return 7;
}

void TCodeHTMLExporter::BeginDocument(const std::string& title) {
  WriteRaw("<Html><Head></Head><Title>");
  WriteRaw(title);
  WriteRaw("</Title><Body>");
  BeginFontName("Times New Roman", kDefaultCharSet);
}

void TCodeHTMLExporter::EndDocument() {
  EndFontName();
  WriteRaw("</Body></Html>");
}

void TCodeHTMLExporter::BeginBody(TColor color) {
  WriteAttributeTag("Body", {{"BGCOLOR", HTMLColor(color)}});
}

void TCodeHTMLExporter::EndBody() {
  WriteRaw("</Body>");
}

void TCodeHTMLExporter::NewLine() {
  WriteRaw("<BR>\r\n");
}

void TCodeHTMLExporter::BeginFontName(const std::string& name, int /*charSet*/) {
  WriteAttributeTag("font", {{"face", name}});
}

void TCodeHTMLExporter::EndFontName() {
  WriteRaw("</font>");
}

void TCodeHTMLExporter::BeginFontSize(int points) {
  const char size[] = {static_cast<char>('0' + HTMLFontSize(points)), '\0'};
  WriteAttributeTag("font", {{"SIZE", size}});
}

void TCodeHTMLExporter::EndFontSize() {
  WriteRaw("</font>");
}

void TCodeHTMLExporter::BeginTextColor(TColor color) {
  char text[7];
  PutHTMLColor(text, color);
  WriteAttributeTag("font", {{"color", std::string_view(text, sizeof text)}});
}

void TCodeHTMLExporter::EndTextColor() {
  WriteRaw("</font>");
}

std::unique_ptr<TCodeExporter> TCodeHTMLExporter::Fork(std::ostream& stream) const {
  auto fork = std::make_unique<TCodeHTMLExporter>(stream);
  fork->SetSpaceBefore(SpaceBefore());
  fork->SetSpaceAfter(SpaceAfter());
  fork->lastTag_ = lastTag_;
  fork->SetHoldOutput(true);
  return fork;
}

void TCodeHTMLExporter::Continue(const TCodeExporter& fork) {
  lastTag_ = static_cast<const TCodeHTMLExporter&>(fork).lastTag_;
}

void TCodeHTMLExporter::WriteAttributeTag(std::string_view tag,
                                          std::initializer_list<TAttribute> attributes) {
  std::string& out = Pending();
  if (!lastTag_.empty() && lastTag_ != tag) out += kCrLf;
  lastTag_ = tag;
  out += '<';
  out += tag;
  for (const TAttribute& a : attributes) {
    if (a.second.empty()) continue;
    out += ' ';
    out += a.first;
    out += "=\"";
    out += a.second;
    out += '"';
  }
  out += '>';
  Written();
}

void TCodeHTMLExporter::AppendEscaped(std::string& out, std::string_view text) const {
  const auto& entities = HtmlEntities();
  size_t plain = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    std::string_view entity = entities[static_cast<unsigned char>(text[i])];
    if (entity.empty()) continue;
    out.append(text.data() + plain, i - plain);
    out += entity;
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

} // namespace marlo
