// User templates from the Templates folder.
#include "../temp_dir.h"
#include "core/shell/user_templates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

TEST(UserTemplates, ZbaFilesInAnyCaseBecomeTemplates) {
  TempDir d;
  WriteFile(d / "loop.zba", "do\n   |\nloop\n");
  WriteFile(d / "a.b.ZBA", "x\r\ny");
  WriteFile(d / "notes.txt", "not a template");
  std::filesystem::create_directory(d / "dir.zba");
  std::vector<std::string> errors;
  auto t = LoadUserTemplates(d.Path(), [&](const std::string& e) { errors.push_back(e); });
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].Name, "a");
  EXPECT_EQ(t[0].Code, "x\r\ny\r\n");
  EXPECT_EQ(t[1].Name, "loop");
  EXPECT_EQ(t[1].Description, "User Defined");
  EXPECT_EQ(t[1].Code, "do\r\n   |\r\nloop\r\n");
  // The folder named like a template cannot be read; it is told, not fatal.
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("dir.zba"), std::string::npos);

  EXPECT_TRUE(LoadUserTemplates(d / "missing").empty());
}

} // namespace
} // namespace marlo::test
