// The recent-files list: order, the limit of five, letter case, and its registry values.
#include "../temp_dir.h"
#include "core/platform/registry_store.h"
#include "core/shell/mru_file_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

using Names = std::vector<std::string>;

TEST(MRUFileList, AddKeepsFiveMostRecentFirstAndMovesRepeatsUp) {
  TMRUFileList mru;
  for (const char* f : {"/a.zba", "/b.zba", "/c.zba", "/d.zba", "/e.zba"}) mru.Add(f);
  EXPECT_EQ(mru.Items(), (Names{"/e.zba", "/d.zba", "/c.zba", "/b.zba", "/a.zba"}));
  mru.Add("/f.zba"); // a sixth drops the oldest
  EXPECT_EQ(mru.Items(), (Names{"/f.zba", "/e.zba", "/d.zba", "/c.zba", "/b.zba"}));
  mru.Add("/c.zba"); // a known one moves up without growing the list
  EXPECT_EQ(mru.Items(), (Names{"/c.zba", "/f.zba", "/e.zba", "/d.zba", "/b.zba"}));
  // Names that differ in letter case are different files here.
  mru.Add("/C.zba");
  EXPECT_EQ(mru.Items(), (Names{"/C.zba", "/c.zba", "/f.zba", "/e.zba", "/d.zba"}));
  mru.Add("");
  EXPECT_EQ(mru.Items().size(), 5u);
}

TEST(MRUFileList, RegistryValuesAreF0ToF4AndLoadBack) {
  TempDir d;
  {
    platform::TRegistry reg(d / "r.reg");
    // Stale entries of an earlier run are erased, not merged.
    reg.OpenKey(kMRUKey, true);
    reg.WriteString("F7", "/old.zba");
    reg.CloseKey();
    TMRUFileList mru;
    for (const char* f : {"/1.zba", "/2 & 3.zba", "/4.zba"}) mru.Add(f);
    mru.SaveToRegistry(reg);
  }
  platform::TRegistry reg(d / "r.reg");
  ASSERT_TRUE(reg.OpenKey(kMRUKey, false));
  EXPECT_EQ(reg.GetValueNames(), (Names{"F0", "F1", "F2"}));
  EXPECT_EQ(reg.ReadString("F0"), "/4.zba");
  EXPECT_EQ(reg.ReadString("F2"), "/1.zba");
  // Values that are not strings, empty or repeated are passed over.
  reg.WriteInteger("F3", 5);
  reg.WriteString("F4", "");
  reg.WriteString("F5", "/4.zba");
  reg.WriteString("F6", "/5.zba");
  reg.CloseKey();

  TMRUFileList loaded;
  loaded.LoadFromRegistry(reg);
  EXPECT_EQ(loaded.Items(), (Names{"/4.zba", "/2 & 3.zba", "/1.zba", "/5.zba"}));

  TMRUFileList none;
  platform::TRegistry empty(d / "none.reg");
  none.LoadFromRegistry(empty);
  EXPECT_TRUE(none.Items().empty());
}

TEST(MRUFileList, CaptionsNumberTheEntriesAndShowAmpersands) {
  EXPECT_EQ(TMRUFileList::Caption(0, "/src/game.zba"), "&1 /src/game.zba");
  EXPECT_EQ(TMRUFileList::Caption(9, "x"), "&0 x");
  EXPECT_EQ(TMRUFileList::Caption(10, "x"), "&A x");
  EXPECT_EQ(TMRUFileList::Caption(1, "/tom & jerry.zba"), "&2 /tom && jerry.zba");
}

} // namespace
} // namespace marlo::test
