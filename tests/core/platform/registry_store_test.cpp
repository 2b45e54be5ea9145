// The registry file's text (what it reads, refuses and writes; fuzz/fuzz_registry_file.cpp
// reads back what it writes), and the per-user registry over it: typed values, keys,
// batching of writes into one atomic replacement, and what becomes of a file that cannot
// be read.
#include "../scoped_env.h"
#include "../temp_dir.h"
#include "core/platform/file_system.h"
#include "core/platform/registry_file.h"
#include "core/platform/registry_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

using namespace marlo::platform;
namespace pf = marlo::platform;
using Names = std::vector<std::string>;

TEST(RegistryFile, ReadsAnExportAsWrittenAndWritesItBack) {
  const std::string text =
      "\xEF\xBB\xBFREGEDIT4\r\n\r\n; made by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Zorbic]\r\n"
      "\"Core Path\"=\"C:\\\\Zorbic\\\\ZB.exe\"\r\n\"Hand Made\"=\"C:\\Games\"  \r\n"
      "  \"Font Size\" = dword:0000000A\r\n\"Top\"=dword:ffffffff\r\n"
      "@=\"default\"\r\n\"Blob\"=hex(2):41,00,\\\r\n  42,00\r\n"
      "[hkey_current_user\\software\\zorbic]\r\n\"core path\"=\"again\"\r\n";
  // The parent below the root gets its own section; the first spelling of a key stays.
  const TRegistryFile file = TRegistryFile::Parse(text);
  EXPECT_EQ(file.Format(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n"
                           "[HKEY_CURRENT_USER\\Software\\Zorbic]\n\"Core Path\"=\"again\"\n"
                           "\"Hand Made\"=\"C:\\\\Games\"\n\"Font Size\"=dword:0000000a\n"
                           "\"Top\"=dword:ffffffff\n@=\"default\"\n"
                           "\"Blob\"=hex(2):41,00,\\\n  42,00\n\n");
  EXPECT_TRUE(TRegistryFile::Parse(" \r\n\n").Keys().empty());

  // What cannot stand in a line is escaped.
  const char raw[] = "back\\slash \"quoted\"\r\nnext\0end\\";
  TRegistryFile escaped;
  escaped.CreateKey("HKEY_CURRENT_USER\\K")
      .SetValue({"a\"b\\c", rdString, {raw, sizeof raw - 1}, 0});
  EXPECT_EQ(escaped.Format(),
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n"
            "\"a\\\"b\\\\c\"=\"back\\\\slash \\\"quoted\\\"\\r\\nnext\\0end\\\\\"\n\n");
  EXPECT_EQ(TRegistryFile::Parse(escaped.Format()), escaped);
}

TEST(RegistryFile, RefusesTextThatIsNoRegistryFile) {
  for (const char* text : {"hello", "REGEDIT5\n", "REGEDIT4\n\"a\"=\"value before a key\"\n"})
    EXPECT_THROW(TRegistryFile::Parse(text), ERegistryFileError) << text;
  const char* const badKeys[] = {
      "[HKEY_CURRENT_USER\\K",    "[]",
      "[Software\\Zorbic]",       "[HKEY_CURRENT_USER\\\\K]",
      "[HKEY_CURRENT_USER\\K\\]", "[-HKEY_CURRENT_USER\\K]",
  };
  const char* const badValues[] = {
      "\"a\"=\"open",          "\"a\"=\"x\" tail",  "\"a\"",           "\"a=\"x\"",
      "\"a\"=dword:123456789", "\"a\"=dword:",      "\"a\"=dword:12g", "\"a\"=-",
      "\"a\"=hex:00,\\",       "\"a\"=hex:00,\\\n", "\"a\"=hex:zz",    "stray text",
  };
  const std::string head = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n"; // then each line alone
  for (const char* line : badKeys)
    EXPECT_THROW(TRegistryFile::Parse(head + line + "\n"), ERegistryFileError) << line;
  for (const char* line : badValues)
    EXPECT_THROW(TRegistryFile::Parse(head + line + "\n"), ERegistryFileError) << line;
}

TEST(RegistryStore, TypedValuesKeysAndTheirOrderSurviveTheFile) {
  TempDir d;
  const std::string file = d / "registry.reg";
  {
    TRegistry reg(file);
    EXPECT_FALSE(reg.OpenKey("\\Software\\Zorbic", false));
    ASSERT_TRUE(reg.OpenKey("\\Software\\Zorbic\\", true));
    reg.WriteString("Core Path", "/opt/zb/ZB");
    reg.WriteInteger("Left", -8);
    reg.WriteString("Width", "wrong type at first");
    ASSERT_TRUE(reg.OpenKey("MRU Items", true)); // relative to the open key
    for (const char* name : {"F2", "F0", "F1"}) reg.WriteString(name, name);
    EXPECT_FALSE(pf::FileExists(file)) << "written before the key was closed";
    reg.CloseKey();
  }
  TRegistry reg(file);
  ASSERT_TRUE(reg.OpenKey("\\software\\ZORBIC\\mru items", false));
  EXPECT_EQ(reg.GetValueNames(), (Names{"F2", "F0", "F1"}));
  ASSERT_TRUE(reg.OpenKey("\\software\\ZORBIC", false));
  EXPECT_EQ(reg.GetKeyNames(), (Names{"MRU Items"}));
  EXPECT_EQ(reg.ReadString("core path"), "/opt/zb/ZB");
  EXPECT_EQ(reg.ReadInteger("Left"), -8);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  // The data-type error names the value as it was asked for.
  auto raised = [](const std::function<void()>& fn) { return Raised<ERegistryException>(fn); };
  EXPECT_EQ(raised([&] { reg.ReadInteger("Core Path"); }), "Invalid data type for 'Core Path'");
  EXPECT_EQ(raised([&] { reg.ReadString("left"); }), "Invalid data type for 'left'");
  EXPECT_EQ(raised([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");

  // Rewriting a value keeps its place and its spelling, whatever its type was.
  reg.WriteInteger("WIDTH", 800);
  reg.WriteString("Added", "y");
  EXPECT_TRUE(reg.DeleteValue("core path"));
  EXPECT_EQ(reg.GetValueNames(), (Names{"Left", "Width", "Added"}));
  EXPECT_EQ(reg.ReadInteger("Width"), 800);
  // Deleting a key takes its values and subkeys with it.
  EXPECT_TRUE(reg.DeleteKey("MRU Items"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Zorbic\\MRU Items"));
  EXPECT_FALSE(reg.DeleteKey("\\"));
  EXPECT_TRUE(reg.DeleteKey("\\Software"));
  reg.CloseKey();
  EXPECT_EQ(ReadFile(file), "REGEDIT4\n\n");
  EXPECT_THROW(reg.OpenKey("bad\nname", true), ERegistryException);
}

TEST(RegistryStore, WritesOnceAndKeepsWhatOthersWrote) {
  TempDir d;
  const std::string file = d / "r.reg";
  TRegistry first(file);
  TRegistry second(file);
  first.OpenKey("\\Software\\Zorbic", true);
  second.OpenKey("\\Software\\Zorbic\\MRU Items", true);
  first.WriteString("Core Path", "a");
  second.WriteString("F0", "b");
  second.CloseKey();
  first.WriteInteger("Top", 5);
  first.CloseKey(); // reads what the second one wrote before writing its own

  TRegistry reader(file, raReadOnly);
  reader.OpenKey("\\Software\\Zorbic", false);
  EXPECT_EQ(reader.ReadString("Core Path"), "a");
  EXPECT_EQ(reader.ReadInteger("Top"), 5);
  EXPECT_THROW(reader.WriteString("x", "y"), ERegistryException);
  EXPECT_FALSE(reader.OpenKey("\\Software\\New", true));
  reader.OpenKey("MRU Items", false);
  EXPECT_EQ(reader.ReadString("F0"), "b");
}

// $MARLO_REGISTRY comes first (every run of tests/cli/cli_test.sh reads the store it
// names); then the configuration folder, made on the first write.
TEST(RegistryStore, MakesTheFolderAndFollowsTheEnvironment) {
  TempDir d;
  const std::string file = d / "config/Zorbic/registry.reg";
  TRegistry(file).OpenKey("\\Software\\Zorbic", true);
  EXPECT_TRUE(pf::FileExists(file));
  ScopedEnv noRegistry("MARLO_REGISTRY", std::nullopt);
  {
    ScopedEnv config("XDG_CONFIG_HOME", d / "config");
    EXPECT_EQ(DefaultRegistryPath(), file);
  }
  ScopedEnv config("XDG_CONFIG_HOME", "relative"); // ignored, as a relative folder is
  ScopedEnv home("HOME", d.Path());
  EXPECT_EQ(DefaultRegistryPath(), d / ".config/Zorbic/registry.reg");
}

// In a folder the user may not write into: a failed write is raised (or told, from the
// destructor) and the old file stays whole; a bad file that cannot be kept aside is never
// overwritten.
TEST(RegistryStore, AFailedWriteLeavesTheOldFileWhole) {
  TempDir d;
  const std::string good = d / "store/good.reg", bad = d / "store/bad.reg";
  {
    TRegistry reg(good);
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("Core Path", "old");
  }
  const std::string before = ReadFile(good);
  WriteFile(bad, "garbage");
  const int result = RunInReadOnlyFolder(d, "store", [&] {
    int told = 0;
    auto tell = [&](const std::string&) { ++told; };
    {
      TRegistry reg(good, raReadWrite, tell);
      reg.OpenKey("\\Software\\Zorbic", false);
      reg.WriteString("Core Path", "new");
      if (!Raised<Error>([&] { reg.CloseKey(); })) return 1;
      if (!reg.HasPendingChanges()) return 2; // the changes wait for a later try
    }
    if (told != 0) return 3; // the destructor's try does not tell what was raised already
    {
      TRegistry gone(good, raReadWrite, tell);
      gone.OpenKey("\\Software\\Zorbic", false);
      gone.WriteString("Core Path", "lost");
    }
    if (told != 1) return 4; // a write that fails at the end is told, not swallowed
    TRegistry reg(bad, raReadWrite, tell);
    if (reg.OpenKey("\\Software\\Zorbic", false) || told != 2) return 5;
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("a", "b");
    return Raised<ERegistryException>([&] { reg.CloseKey(); }) ? 0 : 6;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(good), before);
  EXPECT_EQ(ReadFile(bad), "garbage");
  EXPECT_EQ(d.Names("store"), (Names{"bad.reg", "good.reg"}));
}

TEST(RegistryStore, AFileThatCannotBeParsedIsKeptAside) {
  TempDir d;
  const std::string file = d / "registry.reg";
  const std::string garbage = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Zorbic]\nnot a value\n";
  WriteFile(file, garbage);
  std::vector<std::string> told;
  auto tell = [&](const std::string& m) { told.push_back(m); };

  // Reading only leaves the file where it is (tests/cli/cli_test.sh); a store that
  // writes keeps it aside as .bad, tells once, and starts afresh.
  {
    TRegistry reg(file, raReadWrite, tell);
    EXPECT_FALSE(reg.KeyExists("\\Software\\Zorbic"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(file + ".bad"), std::string::npos) << told[0];
    EXPECT_EQ(ReadFile(file + ".bad"), garbage);
    EXPECT_FALSE(pf::FileExists(file));
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("Core Path", "fresh");
  }
  EXPECT_EQ(told.size(), 1u);
  EXPECT_NE(ReadFile(file).find("fresh"), std::string::npos);

  // A second bad file does not replace the first one kept aside.
  WriteFile(file, "garbage again");
  TRegistry(file, raReadWrite, tell).KeyExists("\\Software");
  EXPECT_EQ(told.size(), 2u);
  EXPECT_EQ(ReadFile(file + ".bad"), garbage);
  EXPECT_EQ(ReadFile(file + ".bad.2"), "garbage again");
}

} // namespace
} // namespace marlo::test
