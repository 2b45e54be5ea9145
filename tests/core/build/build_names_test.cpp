// The names of a build: the temporary file beside the source or in the Source Path folder,
// the working folder and log, the executable the dialog proposes, the logs found and
// deleted in any letter case, and the mode switch with its step-through marker.
#include "../scoped_env.h"
#include "../temp_dir.h"
#include "core/build/build_names.h"
#include "core/build/build_switch.h"
#include "core/shell/document_files.h"
#include "core/shell/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace marlo::test {
namespace {

TEST(BuildNames, TemporaryFileFolderAndLog) {
  TempDir home;
  ScopedEnv env("HOME", home.Path());
  const std::string cwd = CurrentFolder();
  struct TCase {
    const char* Caption;
    bool Untitled;
    const char* SourcePath;
    std::string Temp;
  };
  const TCase cases[] = {
      {"/games/demo.zba", false, "/ignored", "/games/demo.TMP"},
      {"/games/demo", false, "", "/games/demo.TMP"},
      {"/a/proj.v2/demo", false, "", "/a/proj.v2/demo.TMP"}, // the folder's dot is no extension
      {"/a/b.c/d.e.f", false, "", "/a/b.c/d.e.TMP"},
      {"/a/notes.tmp", false, "", "/a/notes.tmp.TMP"}, // never the source itself
      {"/a/NOTES.Tmp", false, "", "/a/NOTES.Tmp.TMP"},
      {"/a/x.TMP", false, "", "/a/x.TMP.TMP"},
      {"/a/x.tmpl", false, "", "/a/x.TMP"},
      {"/a//b/./my demo.zba", false, "", "/a/b/my demo.TMP"},
      {"rel/demo.zba", false, "", cwd + "/rel/demo.TMP"},
      {"/x/y.zba", true, "/home/u/My Documents", "/home/u/My Documents/MARLO.TMP"},
      {"", true, "/home/u/src/", "/home/u/src/MARLO.TMP"},
      {"", true, "//home//u//src//", "/home/u/src/MARLO.TMP"},
      {"", true, "/", "/MARLO.TMP"},
      {"", true, "", home.Path() + "/MARLO.TMP"},
      {"", true, "rel/./src", cwd + "/rel/src/MARLO.TMP"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Caption) + " | " + c.SourcePath);
    const build::TBuildNames names = build::MakeBuildNames(c.Caption, c.Untitled, c.SourcePath);
    EXPECT_EQ(names.TempPath, c.Temp);
    ASSERT_FALSE(names.Folder.empty());
    EXPECT_EQ(names.Folder.back(), '/');
    EXPECT_EQ(names.Folder + names.TempName, names.TempPath);
    EXPECT_EQ(names.TempName.find('/'), std::string::npos);
    EXPECT_EQ(names.LogPath, names.Folder + "ZBCOMPILE.LOG");
  }
}

TEST(BuildNames, ExecutableProposal) {
  TempDir home;
  ScopedEnv env("HOME", home.Path());
  struct TCase {
    const char* Caption;
    bool Untitled;
    const char* SourcePath;
    std::string Folder, Name;
  };
  const TCase cases[] = {
      {"/games/demo.zba", false, "/src", "/games/", "demo.EXE"},
      {"/a/proj.v2/demo", false, "", "/a/proj.v2/", "demo.EXE"},
      {"/a/prog.exe", false, "", "/a/", "prog.exe.EXE"},
      {"/a/prog.Exe", false, "", "/a/", "prog.Exe.EXE"},
      {"/a/prog.tmp", false, "", "/a/", "prog.EXE"},
      {"/x/y.zba", true, "/src//", "/src/", ""},
      {"", true, "", home.Path() + "/", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Caption);
    const build::TExeProposal p = build::ProposeExe(c.Caption, c.Untitled, c.SourcePath);
    EXPECT_EQ(p.Folder, c.Folder);
    EXPECT_EQ(p.Name, c.Name);
  }
}

TEST(BuildNames, LogsInAnyLetterCase) {
  TempDir dir;
  const std::string folder = dir.Path() + "/";
  EXPECT_EQ(build::FindLogFile(folder), "");
  std::filesystem::create_directory(dir / "ZBCOMPILE.LOG"); // a folder is no log
  EXPECT_EQ(build::FindLogFile(folder), "");
  WriteFile(dir / "zbcompile.log", "a");
  WriteFile(dir / "ZbCompile.Log", "b");
  EXPECT_EQ(build::FindLogFile(dir.Path()), folder + "ZbCompile.Log"); // first in byte order
  std::filesystem::remove(dir / "ZBCOMPILE.LOG");
  WriteFile(dir / "ZBCOMPILE.LOG", "c");
  EXPECT_EQ(build::FindLogFile(folder), folder + "ZBCOMPILE.LOG"); // the exact name first

  WriteFile(dir / "ZBCOMPILE.LOG.bak", "keep");
  std::filesystem::create_directory(dir / "zbcompile.LOG");
  build::DeleteLogFiles(folder);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"ZBCOMPILE.LOG.bak", "zbcompile.LOG"}));
  EXPECT_EQ(build::FindLogFile(folder), "");
  build::DeleteLogFiles(dir / "missing"); // nothing to do, nothing raised
}

TEST(BuildSwitch, StepMarkerAndExecutableBuilds) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"-x!DE", "-x", true},   {"-c", "-c", false}, {"!DE-x!DE", "-x", true}, {"!de", "!de", false},
      {"!D!DEE", "!DE", true}, {"", "", false},     {"-x !DE", "-x ", true},  {"!DE", "", true},
  };
  for (const auto& [text, rest, step] : cases) {
    const build::TBuildSwitch s = build::ParseSwitch(text);
    EXPECT_EQ(s.Switch, rest) << text;
    EXPECT_EQ(s.Step, step) << text;
  }

  TSettings settings;
  EXPECT_TRUE(build::RunsWithoutExe("-c", settings));
  EXPECT_TRUE(build::RunsWithoutExe("-x", settings));
  EXPECT_FALSE(build::RunsWithoutExe("-b", settings));
  EXPECT_FALSE(build::RunsWithoutExe("-f", settings));
  EXPECT_FALSE(build::RunsWithoutExe("-C", settings)); // case matters
  EXPECT_FALSE(build::RunsWithoutExe("-c ", settings));
  // An EXE Switch equal to the Check Switch makes Make EXE a syntax check.
  settings.EXESwitch = settings.CheckSwitch;
  EXPECT_TRUE(build::RunsWithoutExe(settings.EXESwitch, settings));
}

} // namespace
} // namespace marlo::test
