// The per-user registry over its file: typed values, keys, batching of writes into one
// atomic replacement, and what becomes of a file that cannot be read.
#include "../scoped_env.h"
#include "../temp_dir.h"
#include "core/platform/file_system.h"
#include "core/platform/registry_store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

using namespace marlo::platform;
namespace pf = marlo::platform;
using Names = std::vector<std::string>;

std::string ErrorText(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ERegistryException& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(RegistryStore, TypesSurviveARoundTrip) {
  TempDir d;
  const std::string file = d / "registry.reg";
  {
    TRegistry reg(file);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Zorbic\\", true));
    EXPECT_EQ(reg.CurrentPath(), "\\Software\\Zorbic");
    reg.WriteString("Core Path", "/opt/zb/ZB");
    reg.WriteString("Empty", "");
    reg.WriteInteger("Font Size", 10);
    reg.WriteInteger("Left", -8);
    reg.WriteInteger("Color", static_cast<int32_t>(0x80000005u));
    reg.WriteBool("Show Gutter", true);
    EXPECT_FALSE(pf::FileExists(file)) << "written before the key was closed";
    reg.CloseKey();
  }
  EXPECT_EQ(ReadFile(file), "REGEDIT4\n\n"
                            "[HKEY_CURRENT_USER\\Software]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Zorbic]\n"
                            "\"Core Path\"=\"/opt/zb/ZB\"\n"
                            "\"Empty\"=\"\"\n"
                            "\"Font Size\"=dword:0000000a\n"
                            "\"Left\"=dword:fffffff8\n"
                            "\"Color\"=dword:80000005\n"
                            "\"Show Gutter\"=dword:00000001\n\n");

  TRegistry reg(file);
  ASSERT_TRUE(reg.OpenKey("\\software\\ZORBIC", false));
  EXPECT_EQ(reg.ReadString("core path"), "/opt/zb/ZB");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_EQ(reg.ReadInteger("Font Size"), 10);
  EXPECT_EQ(reg.ReadInteger("Left"), -8);
  EXPECT_EQ(static_cast<uint32_t>(reg.ReadInteger("Color")), 0x80000005u);
  EXPECT_TRUE(reg.ReadBool("Show Gutter"));
  EXPECT_EQ(reg.GetDataType("Core Path"), rdString);
  EXPECT_EQ(reg.GetDataType("Font Size"), rdInteger);
  EXPECT_EQ(reg.GetDataType("Missing"), rdUnknown);

  // The data-type error names the value as it was asked for.
  EXPECT_EQ(ErrorText([&] { reg.ReadInteger("Core Path"); }), "Invalid data type for 'Core Path'");
  EXPECT_EQ(ErrorText([&] { reg.ReadString("Font Size"); }), "Invalid data type for 'Font Size'");
  EXPECT_EQ(ErrorText([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_FALSE(reg.HasPendingChanges());
}

TEST(RegistryStore, EscapesBackslashesAndQuotes) {
  TempDir d;
  const std::string file = d / "r.reg";
  const std::string text = "C:\\Program Files\\\"Zorbic\"\\\r\nline two";
  {
    TRegistry reg(file);
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("Odd \"Name\"", text);
    reg.CloseKey();
  }
  EXPECT_NE(ReadFile(file).find("\"Odd \\\"Name\\\"\"=\"C:\\\\Program Files\\\\\\\"Zorbic\\\"\\\\"
                                "\\r\\nline two\"\n"),
            std::string::npos)
      << ReadFile(file);
  TRegistry reg(file);
  reg.OpenKey("\\Software\\Zorbic", false);
  EXPECT_EQ(reg.ReadString("odd \"name\""), text);
}

TEST(RegistryStore, KeysSubkeysAndValueOrder) {
  TempDir d;
  TRegistry reg(d / "r.reg");
  EXPECT_FALSE(reg.KeyExists("\\Software\\Zorbic"));
  EXPECT_FALSE(reg.OpenKey("\\Software\\Zorbic", false));
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_TRUE(reg.KeyExists("\\")); // the root always exists

  ASSERT_TRUE(reg.OpenKey("\\Software\\Zorbic\\", true));
  reg.WriteString("Core Path", "x");
  reg.WriteString("Width", "wrong type at first");
  // A relative path opens below the open key.
  ASSERT_TRUE(reg.OpenKey("MRU Items", true));
  EXPECT_EQ(reg.CurrentPath(), "\\Software\\Zorbic\\MRU Items");
  for (const char* name : {"F2", "F0", "F1"}) reg.WriteString(name, std::string("file ") + name);
  reg.CloseKey();

  TRegistry again(d / "r.reg");
  ASSERT_TRUE(again.OpenKey("\\Software\\Zorbic\\MRU Items", false));
  EXPECT_EQ(again.GetValueNames(), (Names{"F2", "F0", "F1"}));
  ASSERT_TRUE(again.OpenKey("\\Software\\Zorbic", false));
  EXPECT_EQ(again.GetKeyNames(), (Names{"MRU Items"}));
  // Rewriting a value keeps its place and its spelling, whatever its type was.
  again.WriteInteger("WIDTH", 800);
  again.WriteString("Added", "y");
  EXPECT_EQ(again.GetValueNames(), (Names{"Core Path", "Width", "Added"}));
  EXPECT_EQ(again.ReadInteger("Width"), 800);
  EXPECT_TRUE(again.DeleteValue("core path"));
  EXPECT_FALSE(again.DeleteValue("core path"));
  EXPECT_EQ(again.GetValueNames(), (Names{"Width", "Added"}));

  // Deleting a key takes its values and subkeys with it; it can then be made anew.
  EXPECT_TRUE(again.DeleteKey("MRU Items"));
  EXPECT_FALSE(again.KeyExists("\\Software\\Zorbic\\MRU Items"));
  EXPECT_FALSE(again.DeleteKey("MRU Items"));
  EXPECT_FALSE(again.DeleteKey("\\"));
  ASSERT_TRUE(again.OpenKey("\\Software\\Zorbic\\MRU Items", true));
  EXPECT_TRUE(again.GetValueNames().empty());
  again.WriteString("F0", "new");
  again.CloseKey();

  TRegistry third(d / "r.reg");
  ASSERT_TRUE(third.OpenKey("\\Software\\Zorbic\\MRU Items", false));
  EXPECT_EQ(third.GetValueNames(), (Names{"F0"}));
  EXPECT_TRUE(third.DeleteKey("\\Software"));
  third.CloseKey();
  EXPECT_EQ(ReadFile(d / "r.reg"), "REGEDIT4\n\n");

  EXPECT_THROW(third.OpenKey("bad\nname", true), ERegistryException);
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

  TRegistry check(file);
  check.OpenKey("\\Software\\Zorbic", false);
  EXPECT_EQ(check.ReadString("Core Path"), "a");
  EXPECT_EQ(check.ReadInteger("Top"), 5);
  check.OpenKey("MRU Items", false);
  EXPECT_EQ(check.ReadString("F0"), "b");

  // A store that only reads never writes; one destroyed with changes writes them.
  const std::string before = ReadFile(file);
  { TRegistry reader(file, raReadOnly); }
  {
    TRegistry writer(file);
    writer.OpenKey("\\Software\\Zorbic", false);
    writer.WriteString("Late", "kept");
  }
  check.OpenKey("\\Software\\Zorbic", false);
  EXPECT_NE(ReadFile(file), before);
  EXPECT_EQ(TRegistry(file, raReadOnly).OpenKey("\\Software\\Zorbic", false), true);

  TRegistry reader(file, raReadOnly);
  EXPECT_FALSE(reader.OpenKey("\\Software\\New", true));
  reader.OpenKey("\\Software\\Zorbic", false);
  EXPECT_EQ(reader.ReadString("Late"), "kept");
  EXPECT_THROW(reader.WriteString("x", "y"), ERegistryException);
}

TEST(RegistryStore, MakesTheFolderAndFollowsTheEnvironment) {
  TempDir d;
  const std::string file = d / "config/Zorbic/registry.reg";
  TRegistry reg(file);
  reg.OpenKey("\\Software\\Zorbic", true);
  reg.WriteString("a", "b");
  reg.CloseKey();
  EXPECT_TRUE(pf::FileExists(file));

  {
    ScopedEnv registry("MARLO_REGISTRY", file);
    EXPECT_EQ(DefaultRegistryPath(), file);
  }
  ScopedEnv noRegistry("MARLO_REGISTRY", std::nullopt);
  {
    ScopedEnv config("XDG_CONFIG_HOME", d / "config");
    EXPECT_EQ(DefaultRegistryPath(), file);
  }
  ScopedEnv config("XDG_CONFIG_HOME", "relative");
  ScopedEnv home("HOME", d.Path());
  EXPECT_EQ(DefaultRegistryPath(), d / ".config/Zorbic/registry.reg");
}

TEST(RegistryStore, AFailedWriteLeavesTheOldFileWhole) {
  TempDir d;
  const std::string file = d / "store/r.reg";
  {
    TRegistry reg(file);
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("Core Path", "old");
    reg.CloseKey();
  }
  const std::string before = ReadFile(file);
  ::chmod(d.Path().c_str(), 0755);
  ::chmod((d / "store").c_str(), 0555);
  int result = RunUnprivileged([&] {
    int told = 0;
    {
      TRegistry reg(file, raReadWrite, [&](const std::string&) { ++told; });
      reg.OpenKey("\\Software\\Zorbic", false);
      reg.WriteString("Core Path", "new");
      try {
        reg.CloseKey();
        return 1;
      } catch (const Error&) {
      }
      if (!reg.HasPendingChanges()) return 2; // the changes wait for a later try
    }
    if (told != 0) return 3; // the destructor's try does not tell what was raised already
    {
      TRegistry gone(file, raReadWrite, [&](const std::string&) { ++told; });
      gone.OpenKey("\\Software\\Zorbic", false);
      gone.WriteString("Core Path", "lost");
    }
    return told == 1 ? 0 : 4; // a write that fails at the end is told, not swallowed
  });
  ::chmod((d / "store").c_str(), 0755);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(d.Names("store"), (Names{"r.reg"}));
}

TEST(RegistryStore, AFileThatCannotBeParsedIsKeptAside) {
  TempDir d;
  const std::string file = d / "registry.reg";
  const std::string garbage = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Zorbic]\nnot a value\n";
  WriteFile(file, garbage);
  std::vector<std::string> told;
  auto tell = [&](const std::string& m) { told.push_back(m); };

  // Reading only: the file stays where it is, and the user is told once.
  {
    TRegistry reader(file, raReadOnly, tell);
    EXPECT_FALSE(reader.KeyExists("\\Software\\Zorbic"));
    EXPECT_FALSE(reader.OpenKey("\\Software\\Zorbic", false));
    EXPECT_EQ(reader.ReadString("x"), "");
  }
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("line 3"), std::string::npos) << told[0];
  EXPECT_EQ(ReadFile(file), garbage);

  told.clear();
  {
    TRegistry reg(file, raReadWrite, tell);
    EXPECT_FALSE(reg.KeyExists("\\Software\\Zorbic"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(file + ".bad"), std::string::npos) << told[0];
    EXPECT_EQ(ReadFile(file + ".bad"), garbage);
    EXPECT_FALSE(pf::FileExists(file));
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("Core Path", "fresh");
    reg.CloseKey();
  }
  EXPECT_EQ(told.size(), 1u);
  EXPECT_NE(ReadFile(file).find("fresh"), std::string::npos);

  // A second bad file does not replace the first one kept aside.
  WriteFile(file, "garbage again");
  TRegistry reg(file, raReadWrite, tell);
  reg.KeyExists("\\Software");
  EXPECT_EQ(told.size(), 2u);
  EXPECT_EQ(ReadFile(file + ".bad"), garbage);
  EXPECT_EQ(ReadFile(file + ".bad.2"), "garbage again");
}

TEST(RegistryStore, ABadFileThatCannotBeMovedIsNeverOverwritten) {
  TempDir d;
  const std::string file = d / "store/r.reg";
  ::chmod(d.Path().c_str(), 0755);
  ::mkdir((d / "store").c_str(), 0755);
  WriteFile(file, "garbage");
  ::chmod((d / "store").c_str(), 0555);
  int result = RunUnprivileged([&] {
    int told = 0;
    TRegistry reg(file, raReadWrite, [&](const std::string&) { ++told; });
    if (reg.OpenKey("\\Software\\Zorbic", false)) return 1;
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("a", "b");
    try {
      reg.CloseKey();
      return 2;
    } catch (const ERegistryException&) {
    }
    return told == 1 ? 0 : 3;
  });
  ::chmod((d / "store").c_str(), 0755);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(file), "garbage");
}

} // namespace
} // namespace marlo::test
