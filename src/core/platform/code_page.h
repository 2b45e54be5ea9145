#pragma once
// The 8-bit code pages through which document text is shown and typed. Document bytes
// are never converted; only what reaches the screen or comes from the keyboard and the
// clipboard goes through a code page.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::platform {

// The code page a language table's character-set number selects, or 0 when the number
// names none we know (the caller then falls back to Windows-1252).
int CodePageOfCharSet(int charSet);

class TCodePage {
public:
  static constexpr int kDefault = 1252;

  // The code page of a character-set number; an unknown number gives Windows-1252 and a
  // warning on stderr (once per number).
  static const TCodePage& ForCharSet(int charSet);
  // A Windows code page by number; one that cannot be built here gives Windows-1252 and a
  // warning on stderr (once per number).
  static const TCodePage& Get(int codePage);

  int Number() const { return number_; }
  char16_t ToUnicode(unsigned char byte) const { return toUnicode_[byte]; }
  // The byte that shows `ch`; false when the page has no such character.
  bool FromUnicode(char16_t ch, unsigned char& byte) const;

  std::u16string Decode(std::string_view bytes) const;
  // Characters the page lacks become `replacement`.
  std::string Encode(std::u16string_view text, char replacement = '?') const;

private:
  explicit TCodePage(int number);
  bool LoadFromIconv(int number);
  void LoadWindows1252();
  void BuildReverse();

  int number_ = kDefault;
  std::array<char16_t, 256> toUnicode_{};
  // Unicode character to byte + 1; 0 where the page has no byte for it.
  std::vector<uint16_t> fromUnicode_;
};

} // namespace marlo::platform
