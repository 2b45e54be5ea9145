// Loading and saving documents on disk: backups, permissions, symbolic links, and saves
// that fail without harming the file already there.
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

TEST(Files, SaveWritesTheTextAndLoadReadsItBack) {
  TempDir d;
  const Lines text{"10 PRINT \"hi\"", "", "20 END"};
  auto m = DocModel(text);
  m->SetOption(soCreateBackups, false);
  WriteFile(d / "prog.zba", std::string(1000, 'z')); // nothing of a longer old file remains
  m->SaveToFile(d / "prog.zba");
  EXPECT_EQ(ReadFile(d / "prog.zba"), "10 PRINT \"hi\"\r\n\r\n20 END");
  EXPECT_EQ(d.Names(), (Names{"prog.zba"})); // no backup asked for, no temporary file left

  auto l = BaseModel({"x"});
  l->TypeChar('y');
  l->LoadFromFile(d / "prog.zba");
  EXPECT_EQ(StoredLines(*l), text);
  EXPECT_FALSE(l->Modified());
  EXPECT_FALSE(l->CanUndo());

  m->SetOutFormat(ofUnix);
  m->Lines().SaveToFile(d / "unix.txt");
  EXPECT_EQ(ReadFile(d / "unix.txt"), "10 PRINT \"hi\"\n\n20 END\n");
  l->Lines().LoadFromFile(d / "unix.txt");
  EXPECT_EQ(StoredLines(*l), text);

  // Saving leaves the modified flag to the caller.
  m->TypeChar('x');
  m->SaveToFile(d / "prog.zba");
  EXPECT_TRUE(m->Modified());
}

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
  ASSERT_TRUE(m->Has(soCreateBackups));
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

  WriteFile(d / "README", "plain");
  m->SaveToFile(d / "README");
  EXPECT_EQ(ReadFile(d / "README.~"), "plain");
  EXPECT_EQ(d.Names(), (Names{"README", "README.~", "fresh.bas", "prog.zba", "prog.~zb"}));

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

// Without backups a save is the atomic writer's replacement, tested with it; a backup
// must not change what the replacement keeps.
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
  bool besideTarget = fs::exists(d / "real/prog.~zb") && ReadFile(d / "real/prog.~zb") == "old";
  bool besideLink = fs::exists(d / "link.~zb") && ReadFile(d / "link.~zb") == "old";
  EXPECT_TRUE(besideTarget || besideLink) << "the old contents are kept as a backup";
  // No temporary files are left in either folder.
  for (const std::string sub : {"", "real"})
    for (const auto& name : d.Names(sub))
      EXPECT_TRUE(name.find(".zba.") == std::string::npos) << name;
}

// Runs a save that must fail: it raises marlo::Error, leaves the old file as it was and
// keeps the document modified.
void ExpectFailedSave(TCustomMemoSource& m, const std::string& path) {
  bool wasModified = m.Modified();
  EXPECT_THROW(m.SaveToFile(path), Error) << path;
  EXPECT_EQ(m.Modified(), wasModified);
}

TEST(Files, AFailedSaveRaisesAndLeavesTheOldFileWhole) {
  for (bool backups : {false, true}) {
    SCOPED_TRACE(backups ? "with backups" : "without backups");
    TempDir d;
    auto m = DocModel({"new"});
    m->SetOption(soCreateBackups, backups);
    m->TypeChar('!');
    ExpectFailedSave(*m, d / "missing/p.zba");
    WriteFile(d / "file.txt", "a file");
    ExpectFailedSave(*m, d / "file.txt/p.zba");
    if (!backups) {
      fs::create_directory(d / "sub");
      WriteFile(d / "sub/inside", "x");
      ExpectFailedSave(*m, d / "sub");
      EXPECT_TRUE(fs::is_directory(d / "sub"));
    }
    EXPECT_EQ(ReadFile(d / "file.txt"), "a file");
    EXPECT_FALSE(fs::exists(d / "missing"));
  }

  // The backup cannot be made: its name is taken by a folder that cannot be deleted, or
  // the chosen name lies in a folder that does not exist.
  for (bool folder : {true, false}) {
    TempDir d;
    auto m = DocModel({"new"});
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
    if (folder) {
      EXPECT_EQ(ReadFile(d / "p.~zb/keep"), "x");
    }
  }
}

TEST(Files, ASaveWithBackupsIntoAReadOnlyFolderFails) {
  TempDir d;
  ASSERT_EQ(::chmod(d.Path().c_str(), 0755), 0);
  fs::create_directory(d / "ro");
  WriteFile(d / "ro/p.zba", "old");
  ASSERT_EQ(::chmod((d / "ro/p.zba").c_str(), 0666), 0);
  ASSERT_EQ(::chmod((d / "ro").c_str(), 0555), 0);

  auto m = DocModel({"new"});
  m->TypeChar('!');
  std::string target = d / "ro/p.zba";
  // 0: raised marlo::Error and stayed modified, 1: no error, 2: another exception.
  int outcome = RunUnprivileged([&] {
    try {
      m->SaveToFile(target);
    } catch (const Error&) {
      return m->Modified() ? 0 : 3;
    } catch (...) {
      return 2;
    }
    return 1;
  });
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(d.Names("ro"), (Names{"p.zba"}));
}

TEST(Files, LoadingAFileThatCannotBeReadKeepsTheText) {
  TempDir d;
  auto m = BaseModel({"keep"});
  m->TypeChar('x');
  EXPECT_THROW(m->LoadFromFile(d / "missing.zba"), Error);
  EXPECT_THROW(m->LoadFromFile(d.Path()), Error);
  EXPECT_THROW(m->Lines().LoadFromFile(d / "missing.zba"), Error);
  EXPECT_EQ(StoredLines(*m), (Lines{"xkeep"}));
  EXPECT_TRUE(m->Modified());
  EXPECT_TRUE(m->CanUndo());
}

} // namespace
} // namespace marlo::test
