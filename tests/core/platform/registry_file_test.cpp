// The registry file's text: what it reads, what it refuses, and what it writes.
#include "core/platform/registry_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

using namespace marlo::platform;

TEST(RegistryFile, ReadsAnExportAsWritten) {
  const std::string text = "\xEF\xBB\xBFREGEDIT4\r\n"
                           "\r\n"
                           "; made by hand\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Zorbic]\r\n"
                           "\"Core Path\"=\"C:\\\\Zorbic\\\\ZB.exe\"\r\n"
                           "\"Hand Made\"=\"C:\\Games\"  \r\n"
                           "  \"Font Size\" = dword:0000000A\r\n"
                           "\"Top\"=dword:ffffffff\r\n"
                           "@=\"default\"\r\n"
                           "\"Blob\"=hex(2):41,00,\\\r\n"
                           "  42,00\r\n"
                           "[hkey_current_user\\software\\zorbic]\r\n"
                           "\"core path\"=\"again\"\r\n";
  TRegistryFile file = TRegistryFile::Parse(text);
  ASSERT_EQ(file.Keys().size(), 2u); // the parent below the root gets its own section
  EXPECT_EQ(file.Keys()[0].Path, "HKEY_CURRENT_USER\\Software");
  const TRegKey* key = file.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\ZORBIC");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->Path, "HKEY_CURRENT_USER\\Software\\Zorbic");
  std::vector<TRegValue> expected = {
      {"Core Path", rdString, "again", 0}, {"Hand Made", rdString, "C:\\Games", 0},
      {"Font Size", rdInteger, "", 10},    {"Top", rdInteger, "", -1},
      {"", rdString, "default", 0},        {"Blob", rdUnknown, "hex(2):41,00,\\\n  42,00", 0},
  };
  EXPECT_EQ(key->Values, expected);

  EXPECT_EQ(file.Format(), "REGEDIT4\n\n"
                           "[HKEY_CURRENT_USER\\Software]\n\n"
                           "[HKEY_CURRENT_USER\\Software\\Zorbic]\n"
                           "\"Core Path\"=\"again\"\n"
                           "\"Hand Made\"=\"C:\\\\Games\"\n"
                           "\"Font Size\"=dword:0000000a\n"
                           "\"Top\"=dword:ffffffff\n"
                           "@=\"default\"\n"
                           "\"Blob\"=hex(2):41,00,\\\n  42,00\n\n");
  EXPECT_EQ(TRegistryFile::Parse(file.Format()), file);

  EXPECT_TRUE(TRegistryFile::Parse(" \r\n\n").Keys().empty());
}

TEST(RegistryFile, EscapesWhatCannotStandInALine) {
  TRegistryFile file;
  const char raw[] = "back\\slash \"quoted\"\r\nnext\0end\\";
  const std::string tricky(raw, sizeof raw - 1);
  file.CreateKey("HKEY_CURRENT_USER\\K").SetValue({"a\"b\\c", rdString, tricky, 0});
  const std::string text = file.Format();
  EXPECT_EQ(text, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n"
                  "\"a\\\"b\\\\c\"=\"back\\\\slash \\\"quoted\\\"\\r\\nnext\\0end\\\\\"\n\n");
  TRegistryFile back = TRegistryFile::Parse(text);
  EXPECT_EQ(back, file);
  EXPECT_EQ(back.FindKey("hkey_current_user\\k")->FindValue("A\"B\\C")->Text, tricky);
}

TEST(RegistryFile, RefusesTextThatIsNoRegistryFile) {
  const char* const badFiles[] = {
      "hello",
      "REGEDIT5\n",
      "REGEDIT4\n\"a\"=\"value before a key\"\n",
      "REGEDIT4\n[HKEY_CURRENT_USER\\K\n",
      "REGEDIT4\n[]\n",
      "REGEDIT4\n[Software\\Zorbic]\n",
      "REGEDIT4\n[HKEY_CURRENT_USER\\\\K]\n",
      "REGEDIT4\n[HKEY_CURRENT_USER\\K\\]\n",
      "REGEDIT4\n[-HKEY_CURRENT_USER\\K]\n",
  };
  for (const char* text : badFiles)
    EXPECT_THROW(TRegistryFile::Parse(text), ERegistryFileError) << text;
  const char* const badValues[] = {
      "\"a\"=\"open",          "\"a\"=\"x\" tail",  "\"a\"",           "\"a=\"x\"",
      "\"a\"=dword:123456789", "\"a\"=dword:",      "\"a\"=dword:12g", "\"a\"=-",
      "\"a\"=hex:00,\\",       "\"a\"=hex:00,\\\n", "\"a\"=hex:zz",    "stray text",
  };
  for (const char* line : badValues) {
    const std::string text = std::string("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n") + line + "\n";
    EXPECT_THROW(TRegistryFile::Parse(text), ERegistryFileError) << line;
  }
  try {
    TRegistryFile::Parse("REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"a\"=dword:x\n");
    ADD_FAILURE() << "no error";
  } catch (const ERegistryFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("line 4: ", 0), 0u) << e.what();
  }
}

} // namespace
} // namespace marlo::test
