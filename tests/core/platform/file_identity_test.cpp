// What tells an outside change of a file from none: equal bytes after a touch are no
// change, a changed byte or a rename over the file is one, and a missing file is told apart.
#include "../temp_dir.h"
#include "core/platform/file_identity.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdio>
#include <functional>
#include <string>

namespace marlo::test {
namespace {

namespace pf = marlo::platform;

void Touch(const std::string& path, long seconds) {
  struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

TEST(FileIdentity, ChangeIsInTheBytesNotTheStat) {
  struct Case {
    const char* Name;
    std::function<void(const std::string& file, const std::string& other)> Act;
    bool Changed;
    bool SameInode;
  };
  const Case cases[] = {
      {"untouched", [](const std::string&, const std::string&) {}, false, true},
      {"touch, same bytes", [](const std::string& f, const std::string&) { Touch(f, 1000); }, false,
       true},
      {"one byte other",
       [](const std::string& f, const std::string&) {
         WriteFile(f, "print 2\r\n"), Touch(f, 2000);
       },
       true, true},
      {"renamed over, same bytes",
       [](const std::string& f, const std::string& o) {
         WriteFile(o, "print 1\r\n");
         ASSERT_EQ(std::rename(o.c_str(), f.c_str()), 0);
       },
       false, false},
      {"renamed over, other bytes",
       [](const std::string& f, const std::string& o) {
         WriteFile(o, "print 1\r\nend\r\n");
         ASSERT_EQ(std::rename(o.c_str(), f.c_str()), 0);
       },
       true, false},
      {"deleted", [](const std::string& f, const std::string&) { std::remove(f.c_str()); }, true,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TempDir d;
    const std::string file = d / "game.zba";
    WriteFile(file, "print 1\r\n");
    const pf::TFileIdentity known = pf::ReadFileIdentity(file);
    ASSERT_TRUE(known.Exists);
    EXPECT_EQ(known.Size, 9);
    EXPECT_EQ(known.Hash, pf::HashBytes("print 1\r\n"));

    c.Act(file, d / "game.tmp");
    pf::TFileIdentity now;
    EXPECT_EQ(pf::FileChangedSince(file, known, &now), c.Changed);
    EXPECT_EQ(now.Exists && now.Inode == known.Inode, c.SameInode);
    EXPECT_EQ(now.Exists, c.Name != std::string("deleted"));
    // What was read is what a second look finds: no change after it.
    if (now.Exists) {
      EXPECT_FALSE(pf::FileChangedSince(file, now));
    }
  }
}

TEST(FileIdentity, MissingFileAndHashOfBigFiles) {
  TempDir d;
  const pf::TFileIdentity missing = pf::ReadFileIdentity(d / "none");
  EXPECT_FALSE(missing.Exists);
  EXPECT_FALSE(pf::StatFileIdentity(d / "none").Exists);
  EXPECT_FALSE(pf::FileChangedSince(d / "none", missing)); // still missing: no change
  WriteFile(d / "none", "");
  EXPECT_TRUE(pf::FileChangedSince(d / "none", missing)); // it came

  // Files longer than one piece of reading: a byte near the end still counts.
  std::string big(3 << 20, 'x');
  WriteFile(d / "big", big);
  const pf::TFileIdentity a = pf::ReadFileIdentity(d / "big");
  big[big.size() - 5] = 'y';
  WriteFile(d / "big", big);
  Touch(d / "big", 3000);
  EXPECT_NE(pf::ReadFileIdentity(d / "big").Hash, a.Hash);
  EXPECT_TRUE(pf::FileChangedSince(d / "big", a));
}

} // namespace
} // namespace marlo::test
