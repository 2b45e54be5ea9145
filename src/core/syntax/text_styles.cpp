#include "core/syntax/text_styles.h"

#include <algorithm>
#include <cstdlib>

namespace marlo {

namespace {

// Multiplies and divides with rounding half away from zero, as the platform did.
int MulDiv(int number, int numerator, int denominator) {
  long long product = static_cast<long long>(number) * numerator;
  long long half = std::llabs(denominator) / 2;
  long long q = (product >= 0) == (denominator >= 0)
                    ? (std::llabs(product) + half) / std::llabs(denominator)
                    : -((std::llabs(product) + half) / std::llabs(denominator));
  return static_cast<int>(q);
}

} // namespace

int TTextFont::Size() const {
  return -MulDiv(Height, 72, kPixelsPerInch);
}

void TTextFont::SetSize(int points) {
  Height = -MulDiv(points, kPixelsPerInch, 72);
}

void TTextStyle::SetName(const std::string& name) {
  name_ = name;
  Changed();
}

void TTextStyle::SetColor(TColor color) {
  color_ = color;
  useMemoColor_ = false;
  PushColorsToMemo();
  Changed();
}

void TTextStyle::SetFont(const TTextFont& font) {
  font_ = font;
  useMemoFont_ = false;
  PushColorsToMemo();
  Changed();
}

void TTextStyle::SetUseMemoColor(bool on) {
  if (on && updateMemoColors_ != mcNone) return;
  useMemoColor_ = on;
  if (on) {
    TMemoColors* memo = owner_ ? owner_->Memo() : nullptr;
    color_ = memo ? memo->Color : clWindow;
  }
  Changed();
}

void TTextStyle::SetUseMemoFont(bool on) {
  if (on && updateMemoColors_ != mcNone) return;
  useMemoFont_ = on;
  if (on) {
    if (TMemoColors* memo = owner_ ? owner_->Memo() : nullptr) font_ = memo->Font;
  }
  Changed();
}

void TTextStyle::SetUpperCase(bool on) {
  upperCase_ = on;
  Changed(true);
}

void TTextStyle::SetUpdateMemoColors(TUpdateMemoColors value) {
  updateMemoColors_ = value;
  PushColorsToMemo();
  Changed();
}

void TTextStyle::PushColorsToMemo() {
  TMemoColors* memo = owner_ ? owner_->Memo() : nullptr;
  if (!memo) return;
  switch (updateMemoColors_) {
  case mcNone:
    break;
  case mcText:
    memo->Font.Color = font_.Color;
    memo->Color = color_;
    break;
  case mcSelection:
    memo->SelColor = font_.Color;
    memo->SelBackColor = color_;
    break;
  case mcSearchMatch:
    memo->MatchColor = font_.Color;
    memo->MatchBackColor = color_;
    break;
  }
}

void TTextStyle::Changed(bool dropLineColors) {
  if (owner_) owner_->Notify(dropLineColors);
}

TTextStyle* TTextStyles::Find(int index) {
  return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

const TTextStyle* TTextStyles::Find(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

TTextStyle& TTextStyles::Add(const std::string& name) {
  items_.push_back(std::unique_ptr<TTextStyle>(new TTextStyle(this, name)));
  Notify(false);
  return *items_.back();
}

void TTextStyles::Clear() {
  items_.clear();
  Notify(false);
}

int TTextStyles::MaxCharWidth(TFontMetrics& metrics) const {
  int result = 0;
  for (const auto& s : items_) result = std::max(result, metrics.CharWidth(s->Font()));
  return result;
}

int TTextStyles::MaxCharHeight(TFontMetrics& metrics) const {
  int result = 0;
  for (const auto& s : items_) result = std::max(result, metrics.CharHeight(s->Font()));
  return result;
}

void TTextStyles::SyncWithMemoFont() {
  if (!memo_) return;
  for (auto& s : items_) {
    if (s->useMemoColor_) s->color_ = memo_->Color;
    if (s->useMemoFont_) s->font_ = memo_->Font;
    s->font_.Name = memo_->Font.Name;
    s->font_.Height = memo_->Font.Height;
  }
  Notify(false);
}

void TTextStyles::LoadBuiltIn() {
  static const char* const kNames[] = {"Whitespace",
                                       "String",
                                       "Comment",
                                       "Identifier",
                                       "Integer",
                                       "Float",
                                       "Reserved words",
                                       "Delimiters",
                                       "Defines",
                                       "Assembler",
                                       "Html tags",
                                       "Html params",
                                       "Url",
                                       "BreakPoint",
                                       "Error line",
                                       "Marked Block",
                                       "Search Match",
                                       "Emphasis",
                                       "System Variable",
                                       "Script Whitespace",
                                       "Script Delimiters",
                                       "Script Comment",
                                       "Script String",
                                       "Script Number",
                                       "Script ResWord"};
  items_.clear();
  for (const char* name : kNames)
    items_.push_back(std::unique_ptr<TTextStyle>(new TTextStyle(this, name)));
  Notify(true);
}

void TTextStyles::LoadDocumentStyles() {
  struct TSeed {
    const char* Name;
    TColor Color;
    TFontStyles Style;
  };
  static const TSeed kSeeds[] = {
      {"Whitespace", clBlack, {}},
      {"String", clPurple, {fsItalic}},
      {"Comment", clGreen, {fsItalic}},
      {"Identifier", clBlack, {}},
      {"Integer", clBlue, {}},
      {"Float", clBlue, {}},
      {"Reserved words", clMaroon, {fsBold}},
      {"Delimiters", clBlack, {}},
  };
  items_.clear();
  for (const TSeed& seed : kSeeds) {
    auto style = std::unique_ptr<TTextStyle>(new TTextStyle(this, seed.Name));
    style->font_.Color = seed.Color;
    style->font_.Style = seed.Style;
    style->color_ = clWhite;
    items_.push_back(std::move(style));
  }
  Notify(true);
}

int TTextStyles::AddChangeHandler(TChangeHandler handler) {
  handlers_.emplace_back(nextHandlerId_, std::move(handler));
  return nextHandlerId_++;
}

void TTextStyles::RemoveChangeHandler(int id) {
  std::erase_if(handlers_, [id](const auto& h) { return h.first == id; });
}

void TTextStyles::Notify(bool dropLineColors) {
  auto handlers = handlers_;
  for (auto& h : handlers) h.second(dropLineColors);
}

} // namespace marlo
