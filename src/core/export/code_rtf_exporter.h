#pragma once
// Writes the coloured text as an RTF document: a group per font, size, style and colour.
// The body is kept in a writer list until the end, when the font and colour tables that
// it used are known and can be put into the header.
#include "core/export/code_exporter.h"
#include "core/export/rtf_writer_list.h"
#include "core/export/writer_color_object.h"
#include "core/export/writer_font_object.h"

#include <string>
#include <string_view>

namespace marlo {

class TCodeRTFExporter : public TCodeExporter {
public:
  using TCodeExporter::TCodeExporter;

  void BeginDocument(const std::string& title) override;
  void EndDocument() override;
  void BeginBody(TColor) override {}
  void EndBody() override {}
  void NewLine() override;
  void BeginFontName(const std::string& name, int charSet) override;
  void EndFontName() override { CloseGroup(); }
  void BeginFontSize(int points) override;
  void EndFontSize() override { CloseGroup(); }
  void BeginBold() override { OpenGroup("b"); }
  void EndBold() override { CloseGroup(); }
  void BeginItalic() override { OpenGroup("i"); }
  void EndItalic() override { CloseGroup(); }
  void BeginUnderline() override { OpenGroup("ul"); }
  void EndUnderline() override { CloseGroup(); }
  void BeginStrikeOut() override { OpenGroup("strike"); }
  void EndStrikeOut() override { CloseGroup(); }
  void BeginTextColor(TColor color) override;
  void EndTextColor() override { CloseGroup(); }
  void BeginBackColor(TColor color) override;
  void EndBackColor() override { CloseGroup(); }

  void WriteRaw(std::string_view text) override { list_.Add(text); }
  void WriteText(std::string_view text) override { AppendEscaped(list_.Text(), text); }

  // "{\word " and a line break; "{" and a line break without a word.
  void OpenGroup(std::string_view word);
  // "{\word" directly followed by a table index and a space.
  void OpenIndexedGroup(std::string_view word, int index);
  // "}", followed by "\word" when one is given.
  void CloseGroup(std::string_view word = {});

  const TWriterFontObject& Fonts() const { return fonts_; }
  const TWriterColorObject& Colors() const { return colors_; }

protected:
  void AppendEscaped(std::string& out, std::string_view text) const override;

private:
  TRTFWriterList list_;
  TWriterFontObject fonts_;
  TWriterColorObject colors_;
};

} // namespace marlo
