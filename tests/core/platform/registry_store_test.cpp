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

TEST(RegistryStore, TypesSurviveARoundTripAndAWrongTypeIsRefused) {
  TempDir d;
  const std::string file = d / "registry.reg";
  {
    TRegistry reg(file);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Zorbic\\", true));
    reg.WriteString("Core Path", "/opt/zb/ZB");
    reg.WriteString("Empty", "");
    reg.WriteInteger("Left", -8);
    reg.WriteInteger("Color", static_cast<int32_t>(0x80000005u));
    reg.WriteBool("Show Gutter", true);
    EXPECT_FALSE(pf::FileExists(file)) << "written before the key was closed";
    reg.CloseKey();
  }
  TRegistry reg(file);
  ASSERT_TRUE(reg.OpenKey("\\software\\ZORBIC", false));
  EXPECT_EQ(reg.ReadString("core path"), "/opt/zb/ZB");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_EQ(reg.ReadInteger("Left"), -8);
  EXPECT_EQ(static_cast<uint32_t>(reg.ReadInteger("Color")), 0x80000005u);
  EXPECT_TRUE(reg.ReadBool("Show Gutter"));
  EXPECT_EQ(reg.GetDataType("Missing"), rdUnknown);
  // The data-type error names the value as it was asked for.
  EXPECT_EQ(ErrorText([&] { reg.ReadInteger("Core Path"); }), "Invalid data type for 'Core Path'");
  EXPECT_EQ(ErrorText([&] { reg.ReadString("left"); }), "Invalid data type for 'left'");
  EXPECT_EQ(ErrorText([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
  EXPECT_EQ(reg.ReadString("Missing"), "");
}

TEST(RegistryStore, KeysSubkeysAndValueOrder) {
  TempDir d;
  TRegistry reg(d / "r.reg");
  EXPECT_FALSE(reg.OpenKey("\\Software\\Zorbic", false));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Zorbic\\", true));
  reg.WriteString("Core Path", "x");
  reg.WriteString("Width", "wrong type at first");
  ASSERT_TRUE(reg.OpenKey("MRU Items", true)); // relative to the open key
  for (const char* name : {"F2", "F0", "F1"}) reg.WriteString(name, name);
  reg.CloseKey();

  TRegistry again(d / "r.reg");
  ASSERT_TRUE(again.OpenKey("\\Software\\Zorbic\\MRU Items", false));
  EXPECT_EQ(again.GetValueNames(), (Names{"F2", "F0", "F1"}));
  ASSERT_TRUE(again.OpenKey("\\Software\\Zorbic", false));
  EXPECT_EQ(again.GetKeyNames(), (Names{"MRU Items"}));
  // Rewriting a value keeps its place and its spelling, whatever its type was.
  again.WriteInteger("WIDTH", 800);
  again.WriteString("Added", "y");
  EXPECT_TRUE(again.DeleteValue("core path"));
  EXPECT_EQ(again.GetValueNames(), (Names{"Width", "Added"}));
  EXPECT_EQ(again.ReadInteger("Width"), 800);
  // Deleting a key takes its values and subkeys with it.
  EXPECT_TRUE(again.DeleteKey("MRU Items"));
  EXPECT_FALSE(again.KeyExists("\\Software\\Zorbic\\MRU Items"));
  EXPECT_FALSE(again.DeleteKey("\\"));
  EXPECT_TRUE(again.DeleteKey("\\Software"));
  again.CloseKey();
  EXPECT_EQ(ReadFile(d / "r.reg"), "REGEDIT4\n\n");
  EXPECT_THROW(again.OpenKey("bad\nname", true), ERegistryException);
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
  {
    TRegistry writer(file); // destroyed with changes: it writes them
    writer.OpenKey("\\Software\\Zorbic", false);
    writer.WriteString("Late", "kept");
  }

  TRegistry reader(file, raReadOnly);
  reader.OpenKey("\\Software\\Zorbic", false);
  EXPECT_EQ(reader.ReadString("Core Path"), "a");
  EXPECT_EQ(reader.ReadInteger("Top"), 5);
  EXPECT_EQ(reader.ReadString("Late"), "kept");
  EXPECT_THROW(reader.WriteString("x", "y"), ERegistryException);
  EXPECT_FALSE(reader.OpenKey("\\Software\\New", true));
  reader.OpenKey("MRU Items", false);
  EXPECT_EQ(reader.ReadString("F0"), "b");
}

TEST(RegistryStore, MakesTheFolderAndFollowsTheEnvironment) {
  TempDir d;
  const std::string file = d / "config/Zorbic/registry.reg";
  {
    TRegistry reg(file);
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("a", "b");
  }
  EXPECT_TRUE(pf::FileExists(file));
  {
    ScopedEnv registry("MARLO_REGISTRY", "/elsewhere.reg");
    EXPECT_EQ(DefaultRegistryPath(), "/elsewhere.reg");
  }
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
  ::chmod(d.Path().c_str(), 0755); // for the unprivileged user to pass through
  ::chmod((d / "store").c_str(), 0555);
  const int result = RunUnprivileged([&] {
    int told = 0;
    auto tell = [&](const std::string&) { ++told; };
    {
      TRegistry reg(good, raReadWrite, tell);
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
      TRegistry gone(good, raReadWrite, tell);
      gone.OpenKey("\\Software\\Zorbic", false);
      gone.WriteString("Core Path", "lost");
    }
    if (told != 1) return 4; // a write that fails at the end is told, not swallowed
    TRegistry reg(bad, raReadWrite, tell);
    if (reg.OpenKey("\\Software\\Zorbic", false) || told != 2) return 5;
    reg.OpenKey("\\Software\\Zorbic", true);
    reg.WriteString("a", "b");
    try {
      reg.CloseKey();
      return 6;
    } catch (const ERegistryException&) {
    }
    return 0;
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

  // Reading only leaves the file where it is (tests/cli/settings_test.sh); a store that
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

} // namespace
} // namespace marlo::test
