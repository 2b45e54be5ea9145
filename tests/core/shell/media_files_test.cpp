// The media browser's and previews' rules without a window: kinds, listing, the inserted
// name, the preview decision, the external viewer's command and the name at the caret
// looked up on disk.
#include "../temp_dir.h"
#include "core/shell/media_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

using Names = std::vector<std::string>;

void Touch(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "x";
}

TEST(MediaFiles, KindsByExtensionInAnyCase) {
  const struct {
    const char* Name;
    TMediaKind Kind;
    bool Previewable;
  } cases[] = {
      {"ship.bmp", TMediaKind::Bitmap, true},
      {"SHIP.BMP", TMediaKind::Bitmap, true},
      {"intro.Avi", TMediaKind::Video, true},
      {"tune.mid", TMediaKind::Midi, true},
      {"boom.WAV", TMediaKind::Wave, true},
      {"tank.3ds", TMediaKind::Model3DS, false},
      {"tank.X", TMediaKind::X, false},
      {"a.b/tank", TMediaKind::None, false},
      {"ship.bmp.txt", TMediaKind::None, false},
      {"x", TMediaKind::None, false},
      {".x", TMediaKind::X, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(MediaKindOf(c.Name), c.Kind);
    EXPECT_EQ(BrowserCanPreview(c.Name), c.Previewable);
  }
}

TEST(MediaFiles, JoinedWithOneSeparator) {
  EXPECT_EQ(JoinMediaPath("/a/b", "x.bmp"), "/a/b/x.bmp");
  EXPECT_EQ(JoinMediaPath("/a/b/", "x.bmp"), "/a/b/x.bmp");
  EXPECT_EQ(JoinMediaPath("//a//b///", "x.bmp"), "/a/b/x.bmp");
  EXPECT_EQ(JoinMediaPath("", "x.bmp"), "/x.bmp");
}

TEST(MediaFiles, InsertedNameRelativeOnlyUnderTheDocumentsFolder) {
  const std::string doc = "/a/game/main.zba";
  const std::string longName = "/a/game/" + std::string(1990, 'n') + ".bmp";
  const struct {
    const char* What;
    std::string Path, Document;
    bool Absolute;
    std::string Expected;
  } cases[] = {
      {"same folder", "/a/game/x.bmp", doc, false, "x.bmp"},
      {"subfolder", "/a/game/pics/x.bmp", doc, false, "pics/x.bmp"},
      {"elsewhere", "/b/x.bmp", doc, false, "/b/x.bmp"},
      {"case-only difference", "/a/Game/x.bmp", doc, false, "/a/Game/x.bmp"},
      {"a sibling sharing the prefix", "/a/gamepics/x.bmp", doc, false, "/a/gamepics/x.bmp"},
      {"absolute asked", "/a/game/x.bmp", doc, true, "/a/game/x.bmp"},
      {"untitled", "/a/game/x.bmp", "", false, "/a/game/x.bmp"},
      {"no cut of long names", longName, doc, false, longName.substr(8)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(InsertedMediaName(c.Path, c.Document, c.Absolute), c.Expected);
  }
}

TEST(MediaFiles, PreviewDecisionFromTheSettings) {
  TSettings all;
  all.BMPPath = "gimp";
  all.MIDPath = "timidity";
  all.WAVPath = "aplay";
  all.AVIPath = "mpv";
  TSettings external = all;
  external.InternalBMP = external.InternalMID = external.InternalWAV = external.InternalAVI = false;
  TSettings models = all;
  models.XPath = "xview";
  models.Path3DS = "3dsview";
  models.InternalX = models.Internal3DS = true; // never consulted
  using A = TPreviewAction;
  const struct {
    const char* Name;
    const TSettings& Settings;
    A::TKind Kind;
    std::string Viewer;
  } cases[] = {
      {"s.BMP", all, A::Bitmap, ""},         {"s.bmp", external, A::External, "gimp"},
      {"m.mid", all, A::Player, ""},         {"m.MID", external, A::External, "timidity"},
      {"w.wav", all, A::Player, ""},         {"w.wav", external, A::External, "aplay"},
      {"v.avi", all, A::Player, ""},         {"v.avi", external, A::External, "mpv"},
      {"t.x", all, A::Nothing, ""},          {"t.x", models, A::External, "xview"},
      {"t.3DS", all, A::Nothing, ""},        {"t.3ds", models, A::External, "3dsview"},
      {"notes.txt", models, A::Nothing, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const A a = DecidePreview(c.Name, c.Settings);
    EXPECT_EQ(a.Kind, c.Kind);
    EXPECT_EQ(a.Viewer, c.Viewer);
  }
}

TEST(MediaFiles, ViewerGetsTheFileAsOneArgument) {
  TempDir dir;
  const std::string viewer = dir / "my viewer";
  Touch(viewer);
  const std::string file = "/m/space ship.bmp";
  const struct {
    std::string Setting, Program;
    Names Arguments;
  } cases[] = {
      {viewer, viewer, {file}},
      {"  " + viewer + " ", viewer, {file}},
      {"wine \"/opt/v/View.exe\" -q", "wine", {"/opt/v/View.exe", "-q", file}},
      {"", "", {}},
      {"   ", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Setting);
    const TViewerCommand v = MakeViewerCommand(c.Setting, file);
    EXPECT_EQ(v.Program, c.Program);
    EXPECT_EQ(v.Arguments, c.Arguments);
  }
}

TEST(MediaFiles, ListingHoldsMediaFilesOnlySortedRegardlessOfCase) {
  TempDir dir;
  for (const char* name : {"zed.x", "SHIP.BMP", "b.txt", "a.wav", "Intro.avi", "m.MID", "c.3DS",
                           "noext", "sub.bmp/inner.bmp"})
    Touch(dir / name);
  std::filesystem::create_directory(dir / "empty");
  TMediaListing l = ListMediaFiles(dir.Path());
  EXPECT_TRUE(l.FolderFound);
  EXPECT_EQ(l.Names, (Names{"a.wav", "c.3DS", "Intro.avi", "m.MID", "SHIP.BMP", "zed.x"}));
  EXPECT_EQ(ListMediaFiles(dir.Path() + "/").Names.size(), 6u);

  l = ListMediaFiles(dir / "empty");
  EXPECT_TRUE(l.FolderFound);
  EXPECT_TRUE(l.Names.empty());
  for (const std::string& missing : {dir / "none", dir / "b.txt", std::string()}) {
    SCOPED_TRACE(missing);
    l = ListMediaFiles(missing);
    EXPECT_FALSE(l.FolderFound);
    EXPECT_TRUE(l.Names.empty());
  }
}

TEST(MediaFiles, NameAtCaretFoundPartByPartRegardlessOfCase) {
  TempDir dir;
  Touch(dir / "game/Pics/Ship.BMP");
  Touch(dir / "game/boom.wav");
  Touch(dir / "other/tune.mid");
  const std::string doc = dir / "game/main.zba";
  const struct {
    const char* Name;
    std::string Document, Expected;
  } cases[] = {
      {"boom.wav", doc, dir / "game/boom.wav"},
      {"Pics/Ship.BMP", doc, dir / "game/Pics/Ship.BMP"},
      {"pics\\ship.bmp", doc, dir / "game/Pics/Ship.BMP"},
      {"PICS//SHIP.bmp", doc, dir / "game/Pics/Ship.BMP"},
      {"../OTHER/Tune.MID", doc, dir / "game/../other/tune.mid"},
      {"pics/missing.bmp", doc, ""},
      {"Pics", doc, ""},                                      // a folder is no file
      {"game/pics/ship.bmp", "", dir / "game/Pics/Ship.BMP"}, // untitled: current folder
      {"", doc, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ResolveMediaFile(c.Name, c.Document, dir.Path()), c.Expected);
  }
  const std::string absolute = dir / "GAME/boom.WAV";
  EXPECT_EQ(ResolveMediaFile(absolute, doc, "/"), dir / "game/boom.wav");
}

} // namespace
} // namespace marlo::test
