// The journal's files: listing with states, locks, unreadable and newer journals kept,
// state records, the bytes Save writes, a journal deleted or a disk full under the writer.
#include "../core/scoped_env.h"
#include "../core/temp_dir.h"
#include "core/error.h"
#include "core/platform/atomic_file_writer.h"
#include "core/text/memo_source.h"
#include "ui/recovery/journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

namespace marlo::test {
namespace {

using namespace recovery;

std::unique_ptr<TMemoSource> Model(std::string_view bytes) {
  auto m = std::make_unique<TMemoSource>();
  m->SetOverwrite(false);
  m->LoadFromBytes(bytes);
  return m;
}

TJournalState Named(const std::string& caption) {
  TJournalState s;
  s.Caption = caption;
  return s;
}

TEST(JournalFiles, ListsLiveOkAndUnreadableAndKeepsThem) {
  TempDir dir;
  EXPECT_TRUE(ListJournals(dir / "missing").empty());
  auto a = Model("one\ntwo\n"), b = Model("x\n");
  std::string pathA, pathB;
  {
    TJournalWriter first(dir.Path(), *a, Named("/src/a.zba"));
    TJournalWriter second(dir.Path(), *b, Named("Untitled1"));
    pathA = first.Path();
    pathB = second.Path();
    EXPECT_NE(first.Id(), second.Id());
    EXPECT_EQ(dir / (first.Id() + ".journal"), pathA);
    a->TypeChar('z');
    first.Flush();
    // Our own writers hold their locks: live to anyone who looks.
    std::vector<TJournalEntry> live = ListJournals(dir.Path());
    ASSERT_EQ(live.size(), 2u);
    for (const TJournalEntry& e : live) EXPECT_EQ(e.Status, TJournalStatus::Live);
    EXPECT_FALSE(DiscardJournal(pathA));
    second.Remove();
    EXPECT_FALSE(std::filesystem::exists(pathB));
  }
  // A journal from a newer program, and bytes that are no journal at all.
  std::string newer = ReadFile(pathA);
  newer[8] = 2;
  WriteFile(dir / "newer.journal", newer);
  WriteFile(dir / "foreign.journal", "PK\3\4 not a journal");
  WriteFile(dir / "empty.journal", "");
  WriteFile(dir / "ignored.txt", "x");

  std::vector<TJournalEntry> list = ListJournals(dir.Path());
  ASSERT_EQ(list.size(), 4u);
  std::map<std::string, TJournalEntry> byId;
  for (const TJournalEntry& e : list) byId[e.Id] = e;
  TJournalEntry mine;
  for (const TJournalEntry& e : list)
    if (e.Path == pathA) mine = e;
  EXPECT_EQ(mine.Status, TJournalStatus::Ok);
  EXPECT_EQ(mine.Caption, "/src/a.zba");
  EXPECT_EQ(mine.Lines, 2);
  EXPECT_GT(mine.LastChangeMs, 0);
  EXPECT_EQ(byId["newer"].Status, TJournalStatus::Unreadable);
  EXPECT_NE(byId["newer"].Reason.find("newer version"), std::string::npos);
  EXPECT_EQ(byId["foreign"].Status, TJournalStatus::Unreadable);
  EXPECT_EQ(byId["empty"].Status, TJournalStatus::Unreadable);
  EXPECT_GT(byId["empty"].LastChangeMs, 0); // the file's time
  EXPECT_THROW(ReadJournal(dir / "newer.journal"), Error);
  for (size_t i = 1; i < list.size(); ++i)
    EXPECT_LE(list[i - 1].LastChangeMs, list[i].LastChangeMs);

  // Unreadable journals stay until discarded.
  EXPECT_TRUE(std::filesystem::exists(dir / "newer.journal"));
  EXPECT_TRUE(DiscardJournal(dir / "newer.journal"));
  EXPECT_TRUE(DiscardJournal(pathA));
  EXPECT_FALSE(std::filesystem::exists(pathA));
  EXPECT_FALSE(std::filesystem::exists(dir / (mine.Id + ".lock")));
  EXPECT_FALSE(DiscardJournal(pathA));
}

TEST(JournalFiles, StateTextAndSavedBytes) {
  TempDir dir;
  auto m = Model("first\r\n second\r\n");
  TJournalState state = Named("/home/u/game.zba");
  state.CharSet = 204;
  state.OutFormat = ofUnix;
  state.CaretLine = 1;
  state.CaretColumn = 7;
  state.Bookmarks = {{1, 0, 2}, {9, 1, 0}};
  state.DiskFile.Exists = true;
  state.DiskFile.Inode = 42;
  state.DiskFile.Hash = 0xABCDEF;
  TJournalWriter writer(dir.Path(), *m, Named("old"));
  writer.SetState(state);
  m->SetCaret(0, 1);
  m->TypeChar('>');
  writer.Flush();
  TRecoveredText back = ReadJournal(writer.Path());
  EXPECT_EQ(back.State, state);
  EXPECT_EQ(back.Lines, (std::vector<std::string>{"first", "> second"}));

  const struct {
    int Format;
    bool Exclude;
    const char* Bytes;
  } cases[] = {{ofWindows, false, "first\r\n> second"},
               {ofWindows, true, "first\r\n> second\r\n"},
               {ofUnix, false, "first\n> second\n"},
               {ofMac, false, "first\r> second\r"}};
  for (const auto& c : cases) {
    back.State.OutFormat = c.Format;
    back.State.ExcludeReadOnlyLines = c.Exclude;
    EXPECT_EQ(SavedBytes(back), c.Bytes) << c.Format;
  }
  // The same bytes as a save of the model itself.
  back.State.OutFormat = ofWindows;
  back.State.ExcludeReadOnlyLines = false;
  EXPECT_EQ(SavedBytes(back), m->SaveToBytes());
  writer.Remove();
}

TEST(JournalFiles, FoldersAndNames) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  auto m = Model("a\n");
  EXPECT_THROW(TJournalWriter(dir / "file/recovery", *m, {}), Error);
  {
    // A missing folder is made, with its parents, for the owner only.
    TJournalWriter writer(dir / "state/marlo/recovery", *m, {});
    EXPECT_EQ(Mode(dir / "state/marlo/recovery"), 0700u);
  }
  EXPECT_EQ(ListJournals(dir / "state/marlo/recovery").size(), 1u);

  {
    ScopedEnv own("MARLO_RECOVERY_DIR", "/tmp/r"), xdg("XDG_STATE_HOME", "/x"), home("HOME", "/h");
    EXPECT_EQ(RecoveryFolder(), "/tmp/r");
    ScopedEnv empty("MARLO_RECOVERY_DIR", "");
    EXPECT_EQ(RecoveryFolder(), "/x/marlo/recovery");
    ScopedEnv noXdg("XDG_STATE_HOME", std::nullopt);
    EXPECT_EQ(RecoveryFolder(), "/h/.local/state/marlo/recovery");
  }
  for (const char* bad : {"", ".", "..", "a/b", "../x", "x..y"})
    EXPECT_EQ(JournalPath("/f", bad), "") << bad;
  EXPECT_EQ(JournalPath("/f", "20261207-031245-7-0"), "/f/20261207-031245-7-0.journal");
}

TEST(JournalFiles, CompactsAndSurvivesDeletionAndAFullDisk) {
  TempDir dir;
  auto m = Model("start\n");
  m->MoveCaretToLineEnd();
  const size_t slack = TJournalWriter::CompactionSlack;
  TJournalWriter::CompactionSlack = 100;
  TJournalWriter writer(dir.Path(), *m, Named("c"));
  for (int i = 0; i < 200; ++i) {
    m->TypeChar('a');
    writer.Flush();
  }
  TJournalWriter::CompactionSlack = slack;
  // Compacted: far smaller than 200 frames.
  EXPECT_LT(std::filesystem::file_size(writer.Path()), 3000u);
  EXPECT_EQ(ReadJournal(writer.Path()).Lines[0], "start" + std::string(200, 'a'));

  // Deleted under the writer: written again from the writer's own bytes at the next sync.
  std::filesystem::remove(writer.Path());
  m->TypeChar('b');
  writer.Flush(true);
  EXPECT_EQ(ReadJournal(writer.Path()).Lines[0], "start" + std::string(200, 'a') + "b");
  EXPECT_EQ(writer.TakeError(), "");

  // A file size limit stands for a full disk: the error is told once, editing goes on, and
  // everything reaches the file once there is room again.
  platform::IgnoreFileSizeSignal();
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit tight = old;
  tight.rlim_cur = std::filesystem::file_size(writer.Path()) + 8;
  ::setrlimit(RLIMIT_FSIZE, &tight);
  for (char c : std::string("xyz")) {
    m->TypeChar(c);
    writer.Flush();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::string error = writer.TakeError();
  EXPECT_NE(error.find("Can't write the recovery journal"), std::string::npos) << error;
  EXPECT_EQ(writer.TakeError(), "");
  m->TypeChar('!');
  writer.Flush();
  EXPECT_EQ(ReadJournal(writer.Path()).Lines[0], "start" + std::string(200, 'a') + "bxyz!");
  EXPECT_FALSE(ReadJournal(writer.Path()).TornTail);
}

TEST(JournalFiles, BadBytesNeverCrash) {
  // Records whose checksums hold but whose content does not fit the text stop the reading.
  TempDir dir;
  auto m = Model("a\nb\n");
  std::string bytes;
  {
    TJournalWriter writer(dir.Path(), *m, {});
    writer.Flush();
    bytes = ReadFile(writer.Path());
    writer.Remove();
  }
  for (const std::string& bad : {std::string(), std::string("MARLOJNL"), bytes.substr(0, 16),
                                 bytes.substr(0, bytes.size() / 2)})
    EXPECT_THROW(ParseJournal(bad), Error);
  EXPECT_EQ(ParseJournal(bytes + std::string(100, '\0')).Lines.size(), 2u);
  EXPECT_TRUE(ParseJournal(bytes + std::string(3, '\xff')).TornTail);
}

} // namespace
} // namespace marlo::test
