#pragma once
// Writes the coloured text as an HTML page: font tags for names, sizes and colours,
// B, I, U and S for the font styles, and a BR with a line break after every line.
#include "core/export/code_exporter.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace marlo {

// "#RRGGBB" in upper-case hexadecimal digits.
std::string HTMLColor(TColor color);
// The HTML font size number (1 to 7) for a size in points.
int HTMLFontSize(int points);

class TCodeHTMLExporter : public TCodeExporter {
public:
  using TCodeExporter::TCodeExporter;

  void BeginDocument(const std::string& title) override;
  void EndDocument() override;
  void BeginBody(TColor color) override;
  void EndBody() override;
  void NewLine() override;
  void BeginFontName(const std::string& name, int charSet) override;
  void EndFontName() override;
  void BeginFontSize(int points) override;
  void EndFontSize() override;
  void BeginBold() override { WriteRaw("<B>"); }
  void EndBold() override { WriteRaw("</B>"); }
  void BeginItalic() override { WriteRaw("<I>"); }
  void EndItalic() override { WriteRaw("</I>"); }
  void BeginUnderline() override { WriteRaw("<U>"); }
  void EndUnderline() override { WriteRaw("</U>"); }
  void BeginStrikeOut() override { WriteRaw("<S>"); }
  void EndStrikeOut() override { WriteRaw("</S>"); }
  void BeginTextColor(TColor color) override;
  void EndTextColor() override;
  // The page has no background per run.
  void BeginBackColor(TColor) override {}
  void EndBackColor() override {}

  // Between lines the page is always inside font tags: pieces can be written apart.
  bool CanFork() const override { return true; }
  std::unique_ptr<TCodeExporter> Fork(std::ostream& stream) const override;
  void Continue(const TCodeExporter& fork) override;

  using TAttribute = std::pair<const char*, std::string_view>;
  // Writes an opening tag with its non-empty attributes. A change from one tag name to
  // another starts a new line of the page.
  void WriteAttributeTag(std::string_view tag, std::initializer_list<TAttribute> attributes);

protected:
  void AppendEscaped(std::string& out, std::string_view text) const override;

private:
  std::string lastTag_;
};

} // namespace marlo
