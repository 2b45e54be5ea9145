// What a document's save adds to the atomic writer (tests/core/platform/file_system_test.cpp
// holds the writer's own checks: bytes, permissions, links, failed replaces): the backup of
// the previous contents and its name, and saves and loads that fail without harming the file
// already there or the text.
#include "core/error.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TEST(Files, BackupNames) {
  const std::pair<const char*, const char*> cases[] = {{"dir/prog.zba", "dir/prog.~zb"},
                                                       {"prog.bas", "prog.~ba"},
                                                       {"/a/README", "/a/README.~"},
                                                       {"a.b", "a.~b"},
                                                       {"x.zbasic", "x.~zb"},
                                                       {"my.dir/file", "my.dir/file.~"},
                                                       {"v1.2/notes.txt", "v1.2/notes.~tx"}};
  for (const auto& [name, backup] : cases) EXPECT_EQ(TCustomMemoSource::BackupName(name), backup);
}

TEST(Files, BackupsKeepThePreviousContents) {
  TempDir d;
  auto m = DocModel({"new"});
  m->SetOption(soCreateBackups, false);
  WriteFile(d / "off.zba", "old");
  m->SaveToFile(d / "off.zba");
  m->SetOption(soCreateBackups, true);
  m->SaveToFile(d / "fresh.bas"); // no earlier file: no backup

  WriteFile(d / "prog.zba", "old");
  m->SaveToFile(d / "prog.zba");
  EXPECT_EQ(ReadFile(d / "prog.zba"), "new");
  EXPECT_EQ(ReadFile(d / "prog.~zb"), "old");
  // The next save replaces the backup with what was saved before.
  m->Lines().Put(0, "newer");
  m->SaveToFile(d / "prog.zba");
  EXPECT_EQ(ReadFile(d / "prog.zba"), "newer");
  EXPECT_EQ(ReadFile(d / "prog.~zb"), "new");
  EXPECT_TRUE(m->Modified()); // clearing it is the caller's part

  WriteFile(d / "README", "plain");
  m->SaveToFile(d / "README");
  EXPECT_EQ(ReadFile(d / "README.~"), "plain");
  EXPECT_EQ(d.Names(),
            (Names{"README", "README.~", "fresh.bas", "off.zba", "prog.zba", "prog.~zb"}));

  // The handler may choose another name.
  std::string proposed;
  m->OnGetBackupName = [&](const std::string& target, std::string& backup) {
    EXPECT_EQ(target, d / "prog.zba");
    proposed = backup;
    backup = d / "saved.bak";
  };
  m->SaveToFile(d / "prog.zba");
  EXPECT_EQ(proposed, d / "prog.~zb");
  EXPECT_EQ(ReadFile(d / "saved.bak"), "newer");
  EXPECT_EQ(ReadFile(d / "prog.~zb"), "new");
}

// A backup must not change what the writer's replacement keeps: the mode, and a link with
// the real file behind it replaced.
TEST(Files, SavingWithBackupsKeepsPermissionsAndWritesThroughLinks) {
  TempDir d;
  auto m = DocModel({"new"});
  for (unsigned mode : {0750u, 0600u}) {
    WriteFile(d / "p.zba", "old");
    ASSERT_EQ(::chmod((d / "p.zba").c_str(), mode), 0);
    m->SaveToFile(d / "p.zba");
    EXPECT_EQ(Mode(d / "p.zba"), mode);
    EXPECT_EQ(ReadFile(d / "p.zba"), "new");
  }

  fs::create_directory(d / "real");
  WriteFile(d / "real/prog.zba", "old");
  ASSERT_EQ(::symlink("real/prog.zba", (d / "link.zba").c_str()), 0);
  m->SaveToFile(d / "link.zba");
  EXPECT_TRUE(IsSymlink(d / "link.zba"));
  EXPECT_EQ(ReadFile(d / "real/prog.zba"), "new");
  EXPECT_EQ(ReadFile(d / "real/prog.~zb"), "old"); // beside the file that was replaced
  EXPECT_EQ(d.Names("real"), (Names{"prog.zba", "prog.~zb"}));
  EXPECT_EQ(d.Names(), (Names{"link.zba", "p.zba", "p.~zb", "real"}));
}

// A save that must fail raises marlo::Error and keeps the document modified; the file
// already there stays as it was.
void ExpectFailedSave(TCustomMemoSource& m, const std::string& path) {
  EXPECT_THROW(m.SaveToFile(path), Error) << path;
  EXPECT_TRUE(m.Modified());
}

TEST(Files, AFailedSaveRaisesAndLeavesTheOldFileWhole) {
  for (bool backups : {false, true}) {
    TempDir d;
    auto m = DocModel({"new"});
    m->SetOption(soCreateBackups, backups);
    m->TypeChar('!');
    ExpectFailedSave(*m, d / "missing/p.zba");
    WriteFile(d / "file.txt", "a file");
    ExpectFailedSave(*m, d / "file.txt/p.zba");
    EXPECT_EQ(ReadFile(d / "file.txt"), "a file");
    EXPECT_EQ(d.Names(), (Names{"file.txt"}));
  }

  // The backup cannot be made: its name is taken by a folder that cannot be deleted, or
  // the chosen name lies in a folder that does not exist.
  for (bool folder : {true, false}) {
    TempDir d;
    auto m = DocModel({"new"});
    m->TypeChar('!');
    WriteFile(d / "p.zba", "old");
    if (folder) {
      fs::create_directory(d / "p.~zb");
      WriteFile(d / "p.~zb/keep", "x");
    } else {
      m->OnGetBackupName = [&](const std::string&, std::string& backup) {
        backup = d / "nowhere/p.bak";
      };
    }
    ExpectFailedSave(*m, d / "p.zba");
    EXPECT_EQ(ReadFile(d / "p.zba"), "old");
    EXPECT_EQ(d.Names(), (folder ? Names{"p.zba", "p.~zb"} : Names{"p.zba"}));
    EXPECT_EQ(ReadFile(d / "p.~zb/keep"), folder ? "x" : "");
  }
}

TEST(Files, LoadingAFileThatCannotBeReadKeepsTheText) {
  TempDir d;
  auto m = BaseModel({"keep"});
  m->TypeChar('x');
  EXPECT_THROW(m->LoadFromFile(d / "missing.zba"), Error);
  EXPECT_THROW(m->LoadFromFile(d.Path()), Error);
  EXPECT_THROW(m->Lines().LoadFromFile(d / "missing.zba"), Error);
  EXPECT_EQ(StoredLines(*m), (Lines{"xkeep"}));
  EXPECT_TRUE(m->Modified() && m->CanUndo());
}

} // namespace
} // namespace marlo::test
