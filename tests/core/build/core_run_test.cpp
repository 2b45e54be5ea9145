// What starts the core and what its log says: Core Path as a program whole or as a command
// line, the switch split alike, the arguments in their order; the first line of a log and
// the number after its "LINE ".
#include "../temp_dir.h"
#include "core/build/core_command.h"
#include "core/build/core_log.h"
#include "core/shell/document_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>

namespace marlo::test {
namespace {

using Words = std::vector<std::string>;

TEST(CoreCommand, SplitsLikeACommandLine) {
  const std::pair<const char*, Words> cases[] = {
      {"", {}},
      {" \t ", {}},
      {"-c", {"-c"}},
      {"  a  b\tc ", {"a", "b", "c"}},
      {"wine \"/opt/z/ZB.exe\"", {"wine", "/opt/z/ZB.exe"}},
      {"\"/my folder/zb\" -q", {"/my folder/zb", "-q"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"a\"b c\"d e", {"ab cd", "e"}},
      {"\"\" x", {"", "x"}}, // an empty group is an empty word
      {"\"\"\"\"", {"\""}},
      {"\"open to the end", {"open to the end"}},
      {"x\"\"y", {"xy"}},
  };
  for (const auto& [text, words] : cases) EXPECT_EQ(build::SplitCommandLine(text), words) << text;
}

TEST(CoreCommand, CorePathSwitchExecutableAndTemporaryFile) {
  TempDir dir;
  const std::string spaced = dir / "my core";
  WriteFile(spaced, "");
  std::filesystem::create_directory(dir / "a folder");
  const std::string cwd = CurrentFolder();
  struct TCase {
    std::string CorePath, Switch, Exe;
    std::string Program;
    Words Arguments;
  };
  const TCase cases[] = {
      {"/opt/zbcheck", "-c", "", "/opt/zbcheck", {"-c", "demo.TMP"}},
      {"  " + spaced + "  ", "-x", "", spaced, {"-x", "demo.TMP"}}, // an existing file, whole
      {spaced + " -v", "-x", "", dir / "my", {"core", "-v", "-x", "demo.TMP"}},
      {"wine \"/opt/z/ZB.exe\"",
       "-b",
       "/games/demo.EXE",
       "wine",
       {"/opt/z/ZB.exe", "-b", "/games/demo.EXE", "demo.TMP"}},
      {"zb", "-f  \"a b\"", "out/demo.EXE", "zb", {"-f", "a b", cwd + "/out/demo.EXE", "demo.TMP"}},
      {"zb", "", "", "zb", {"demo.TMP"}},
      {"\"" + (dir / "a folder") + "\" x", "-c", "", dir / "a folder", {"x", "-c", "demo.TMP"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.CorePath);
    build::TCoreCommand command;
    ASSERT_TRUE(build::MakeCoreCommand(c.CorePath, c.Switch, c.Exe, "demo.TMP", command));
    EXPECT_EQ(command.Program, c.Program);
    EXPECT_EQ(command.Arguments, c.Arguments);
  }
  for (const char* none : {"", "   ", "\"\""}) {
    build::TCoreCommand command{"kept", {"kept"}};
    EXPECT_FALSE(build::MakeCoreCommand(none, "-c", "", "demo.TMP", command)) << none;
    EXPECT_EQ(command.Program, "kept");
  }
}

TEST(CoreLog, FirstLineAndItsNumber) {
  const std::optional<std::uint64_t> none;
  const std::tuple<std::string, bool, std::string, std::optional<std::uint64_t>> cases[] = {
      {"Syntax error at line 12: missing ENDIF\r\nmore", true,
       "Syntax error at line 12: missing ENDIF", 12},
      {"error LINE12 here", true, "error LINE12 here", none}, // no blank after the word
      {"at line x5", true, "at line x5", none},
      {"line 3 then LINE 4", true, "line 3 then LINE 4", 3},
      {"liNe 7", true, "liNe 7", 7},
      {"line  8", true, "line  8", none},
      {"LINE 0", true, "LINE 0", 0},
      {"LINE 999999999999", true, "LINE 999999999999", 999999999999},   // 12 digits
      {"LINE 1234567890123", true, "LINE 1234567890123", 123456789012}, // the 13th is cut
      {"LINE 000000000000042", true, "LINE 000000000000042", 0},
      {"LINE 9a", true, "LINE 9a", 9},
      {"LINE ", true, "LINE ", none},
      {"first\rsecond line 2", true, "first", none},
      {"first\nLINE 2", true, "first", none},
      {"LINE 5\r\n", true, "LINE 5", 5},
      {"x\n\rLINE 2", true, "x", none},
      {"", false, "", none},
      {"\r\n", false, "", none},
      {"\r", false, "", none},
      {"\n", false, "", none},
      {" \t \r\nLINE 3", false, "", none}, // a blank first line shows nothing
      {"\xe9rreur \xe0 la LINE 6 \xff", true, "\xe9rreur \xe0 la LINE 6 \xff", 6},
      {"\xc4LINE 4", true, "\xc4LINE 4", 4},
      {std::string("ab\0LINE 3", 9), true, "ab", none}, // a NUL ends the text
  };
  for (const auto& [bytes, show, text, line] : cases) {
    SCOPED_TRACE(bytes);
    const build::TCoreReport report = build::ReadCoreLog(bytes);
    EXPECT_EQ(report.Show, show);
    EXPECT_EQ(report.Text, text);
    EXPECT_EQ(report.Line, line);
  }
}

} // namespace
} // namespace marlo::test
