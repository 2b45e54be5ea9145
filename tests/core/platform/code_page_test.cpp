// The 8-bit code pages: the page a character set selects, and that no byte is lost.
#include "core/platform/code_page.h"

#include <gtest/gtest.h>

#include <tuple>

namespace marlo::platform {

TEST(CodePage, EachCharSetShowsTheLettersOfItsPageAndNoByteIsLost) {
  const std::tuple<int, unsigned char, char16_t> cases[] = {
      {0, 0x80, u'\u20AC'},   {0, 0x9F, u'\u0178'},   {238, 0xB3, u'\u0142'},
      {204, 0xC0, u'\u0410'}, {161, 0xC1, u'\u0391'}, {162, 0xF0, u'\u011F'},
      {186, 0xE0, u'\u0105'}, {222, 0xA1, u'\u0E01'}, {77, 0xE9, u'\u00E9'}, // unknown: 1252
  };
  for (const auto& [charSet, byte, unicode] : cases) {
    const TCodePage& page = TCodePage::ForCharSet(charSet);
    EXPECT_EQ(page.ToUnicode(byte), unicode) << charSet << " byte " << int(byte);
    unsigned char back = 0;
    EXPECT_TRUE(page.FromUnicode(unicode, back) && back == byte) << charSet;
  }
  EXPECT_EQ(TCodePage::Get(99999).Number(), 1252);

  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  for (int number : {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874}) {
    const TCodePage& page = TCodePage::Get(number);
    EXPECT_EQ(page.Number(), number);
    EXPECT_EQ(page.Encode(page.Decode(all)), all) << number;
  }
  // Characters a page lacks become the replacement.
  EXPECT_EQ(TCodePage::Get(1252).Encode(u"a\u0416b"), "a?b");
}

} // namespace marlo::platform
