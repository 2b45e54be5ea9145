#include "core/platform/code_page.h"

#include <gtest/gtest.h>

namespace marlo::platform {

TEST(CodePage, CharSetsSelectTheirPages) {
  EXPECT_EQ(CodePageOfCharSet(0), 1252);
  EXPECT_EQ(CodePageOfCharSet(1), 1252);
  EXPECT_EQ(CodePageOfCharSet(238), 1250);
  EXPECT_EQ(CodePageOfCharSet(204), 1251);
  EXPECT_EQ(CodePageOfCharSet(161), 1253);
  EXPECT_EQ(CodePageOfCharSet(162), 1254);
  EXPECT_EQ(CodePageOfCharSet(186), 1257);
  EXPECT_EQ(CodePageOfCharSet(222), 874);
  EXPECT_EQ(CodePageOfCharSet(77), 0);
  // An unknown set falls back to Windows-1252.
  EXPECT_EQ(TCodePage::ForCharSet(77).Number(), 1252);
  EXPECT_EQ(TCodePage::Get(99999).Number(), 1252);
}

TEST(CodePage, LettersOfEachPage) {
  struct Case {
    int Page;
    unsigned char Byte;
    char16_t Unicode;
  };
  const Case cases[] = {
      {1252, 0x80, u'\u20AC'}, {1252, 0xE9, u'\u00E9'}, {1252, 0x9F, u'\u0178'},
      {1250, 0xB3, u'\u0142'}, {1250, 0x8A, u'\u0160'}, {1251, 0xC0, u'\u0410'},
      {1251, 0xFF, u'\u044F'}, {1253, 0xC1, u'\u0391'}, {1254, 0xF0, u'\u011F'},
      {1257, 0xE0, u'\u0105'}, {874, 0xA1, u'\u0E01'},  {874, 0x80, u'\u20AC'},
  };
  for (const Case& c : cases) {
    const TCodePage& page = TCodePage::Get(c.Page);
    ASSERT_EQ(page.Number(), c.Page);
    EXPECT_EQ(page.ToUnicode(c.Byte), c.Unicode) << c.Page << " byte " << int(c.Byte);
    unsigned char back = 0;
    ASSERT_TRUE(page.FromUnicode(c.Unicode, back)) << c.Page;
    EXPECT_EQ(back, c.Byte) << c.Page;
  }
}

TEST(CodePage, EveryByteSurvivesARoundTrip) {
  for (int number : {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874}) {
    const TCodePage& page = TCodePage::Get(number);
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(page.Encode(page.Decode(all)), all) << number;
  }
  // Characters a page lacks become the replacement.
  EXPECT_EQ(TCodePage::Get(1252).Encode(u"a\u0416b"), "a?b");
  EXPECT_EQ(TCodePage::Get(1251).Encode(u"\u0416"), "\xC6");
}

} // namespace marlo::platform
