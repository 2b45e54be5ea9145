#pragma once
// The base of the exporters: one operation per formatting event of the coloured text,
// each written in the markup of the exporter's format. Output is collected in a buffer
// and handed to the stream in large pieces.
#include "core/syntax/text_styles.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace marlo {

class TCodeExporter {
public:
  // `stream` is not owned and must outlive the exporter.
  explicit TCodeExporter(std::ostream& stream) : stream_(stream) {}
  virtual ~TCodeExporter() = default;
  TCodeExporter(const TCodeExporter&) = delete;
  TCodeExporter& operator=(const TCodeExporter&) = delete;

  // Space before and after paragraphs, in the format's units; 0 leaves them out.
  int SpaceBefore() const { return spaceBefore_; }
  void SetSpaceBefore(int value) { spaceBefore_ = value; }
  int SpaceAfter() const { return spaceAfter_; }
  void SetSpaceAfter(int value) { spaceAfter_ = value; }

  virtual void BeginDocument(const std::string& title) = 0;
  virtual void EndDocument() = 0;
  virtual void BeginBody(TColor color) = 0;
  virtual void EndBody() = 0;
  virtual void NewLine() = 0;
  virtual void BeginFontName(const std::string& name, int charSet) = 0;
  virtual void EndFontName() = 0;
  virtual void BeginFontSize(int points) = 0;
  virtual void EndFontSize() = 0;
  virtual void BeginBold() = 0;
  virtual void EndBold() = 0;
  virtual void BeginItalic() = 0;
  virtual void EndItalic() = 0;
  virtual void BeginUnderline() = 0;
  virtual void EndUnderline() = 0;
  virtual void BeginStrikeOut() = 0;
  virtual void EndStrikeOut() = 0;
  virtual void BeginTextColor(TColor color) = 0;
  virtual void EndTextColor() = 0;
  virtual void BeginBackColor(TColor color) = 0;
  virtual void EndBackColor() = 0;

  // `text` with the characters that mean markup in this format replaced.
  std::string EscapeText(std::string_view text) const;
  // Writes `text` unchanged.
  virtual void WriteRaw(std::string_view text);
  // Writes EscapeText(text) without building it first: the text of a run goes this way.
  virtual void WriteText(std::string_view text);
  // Hands everything written so far to the stream.
  virtual void Flush();

  std::ostream& Stream() const { return stream_; }

  // For formats whose writing state does not change from one line of the text to the
  // next: an exporter that writes to `stream` what this one would write next, so that
  // pieces of the text can be formatted side by side. It keeps what it writes until
  // Flush, and may format several pieces one after the other. Null for other formats.
  virtual bool CanFork() const { return false; }
  virtual std::unique_ptr<TCodeExporter> Fork(std::ostream& /*stream*/) const { return nullptr; }
  // Goes on from where `fork`, made by Fork, stopped.
  virtual void Continue(const TCodeExporter& /*fork*/) {}

protected:
  // Appends `text` to `out`, escaped for this format.
  virtual void AppendEscaped(std::string& out, std::string_view text) const = 0;
  // Output waiting for the stream; writers append to it and then call Written().
  std::string& Pending() { return pending_; }
  void Written() {
    if (pending_.size() >= kFlushSize && !holdOutput_) Flush();
  }
  // Output is kept until Flush is called.
  void SetHoldOutput(bool on) { holdOutput_ = on; }

private:
  static constexpr size_t kFlushSize = 1 << 16;

  std::ostream& stream_;
  std::string pending_;
  bool holdOutput_ = false;
  int spaceBefore_ = 0;
  int spaceAfter_ = 0;
};

} // namespace marlo
