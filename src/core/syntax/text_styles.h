#pragma once
// How each token kind looks. The token kind a highlighter writes for a character is the
// index of the style that paints it. Styles are plain values here; the editor control
// turns them into fonts and colours of its toolkit.
#include "core/text/text_types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace marlo {

// A colour as the settings store keeps it: red in the lowest byte, then green, then blue.
using TColor = uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;
// The system's window background, resolved to what it is here.
inline constexpr TColor clWindow = clWhite;

inline constexpr uint8_t ColorRed(TColor c) {
  return static_cast<uint8_t>(c);
}
inline constexpr uint8_t ColorGreen(TColor c) {
  return static_cast<uint8_t>(c >> 8);
}
inline constexpr uint8_t ColorBlue(TColor c) {
  return static_cast<uint8_t>(c >> 16);
}

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = EnumSet<TFontStyle>;

inline constexpr int kDefaultCharSet = 1;
// Screen resolution in which font heights are given.
inline constexpr int kPixelsPerInch = 96;

struct TTextFont {
  std::string Name = "Courier New";
  int CharSet = kDefaultCharSet;
  // Negative: the character height in pixels without the internal leading.
  int Height = -13;
  TColor Color = clBlack;
  TFontStyles Style;

  // The size in points, rounded as the platform rounds it.
  int Size() const;
  void SetSize(int points);
  bool operator==(const TTextFont&) const = default;
};

// Answers how large a font's characters are; the user interface fills it in.
class TFontMetrics {
public:
  virtual ~TFontMetrics() = default;
  virtual int CharWidth(const TTextFont& font) = 0;
  virtual int CharHeight(const TTextFont& font) = 0;
};

enum TUpdateMemoColors : uint8_t { mcNone, mcText, mcSelection, mcSearchMatch };

// The editor control's own colours as styles see them.
struct TMemoColors {
  TTextFont Font;
  TColor Color = clWindow;
  TColor SelColor = clWhite;
  TColor SelBackColor = clNavy;
  TColor MatchColor = clWhite;
  TColor MatchBackColor = clBlack;
};

class TTextStyles;

class TTextStyle {
public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Background of text in this style.
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  const TTextFont& Font() const { return font_; }
  void SetFont(const TTextFont& font);
  bool UseMemoColor() const { return useMemoColor_; }
  void SetUseMemoColor(bool on);
  bool UseMemoFont() const { return useMemoFont_; }
  void SetUseMemoFont(bool on);
  bool UpperCase() const { return upperCase_; }
  void SetUpperCase(bool on);
  TUpdateMemoColors UpdateMemoColors() const { return updateMemoColors_; }
  void SetUpdateMemoColors(TUpdateMemoColors value);

private:
  friend class TTextStyles;
  TTextStyle(TTextStyles* owner, std::string name) : owner_(owner), name_(std::move(name)) {}
  void PushColorsToMemo();
  void Changed(bool dropLineColors = false);

  TTextStyles* owner_;
  std::string name_;
  TColor color_ = clWindow;
  TTextFont font_;
  bool useMemoColor_ = false;
  bool useMemoFont_ = false;
  bool upperCase_ = false;
  TUpdateMemoColors updateMemoColors_ = mcNone;
};

// The ordered, named styles of one editor control.
class TTextStyles {
public:
  // `memo` is the control's colours (nullptr for styles that belong to no control);
  // styles that push their colours write into it.
  explicit TTextStyles(TMemoColors* memo = nullptr) : memo_(memo) {}
  TTextStyles(const TTextStyles&) = delete;
  TTextStyles& operator=(const TTextStyles&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // The style for a token kind, or nullptr when the index has none (the control then
  // uses its own font and colour).
  TTextStyle* Find(int index);
  const TTextStyle* Find(int index) const;
  TTextStyle& operator[](int index) { return *items_.at(static_cast<size_t>(index)); }
  const TTextStyle& operator[](int index) const { return *items_.at(static_cast<size_t>(index)); }
  TTextStyle& Add(const std::string& name);
  void Clear();

  // The largest character width and height over the fonts of all styles.
  int MaxCharWidth(TFontMetrics& metrics) const;
  int MaxCharHeight(TFontMetrics& metrics) const;

  // Follows a replaced control font: backgrounds and fonts that follow the control take
  // its values, and every style takes its font name and size.
  void SyncWithMemoFont();

  // The 25 styles a control starts with.
  void LoadBuiltIn();
  // The eight styles of a document window.
  void LoadDocumentStyles();

  // Told after any change of a style; `dropLineColors` when the width of text may have
  // changed, so that cached line colours and measures must go.
  using TChangeHandler = std::function<void(bool dropLineColors)>;
  int AddChangeHandler(TChangeHandler handler);
  void RemoveChangeHandler(int id);

  TMemoColors* Memo() const { return memo_; }

private:
  friend class TTextStyle;
  void Notify(bool dropLineColors);

  TMemoColors* memo_;
  std::vector<std::unique_ptr<TTextStyle>> items_;
  std::vector<std::pair<int, TChangeHandler>> handlers_;
  int nextHandlerId_ = 1;
};

// Style indexes of a document window, which are the token kinds of the highlighter.
enum TTokenKind : uint8_t {
  tkWhitespace,
  tkString,
  tkComment,
  tkIdentifier,
  tkInteger,
  tkFloat,
  tkReservedWord,
  tkDelimiter,
};

} // namespace marlo
