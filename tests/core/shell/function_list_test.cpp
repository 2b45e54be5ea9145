// The function and label pop-ups' entries, and what Go to Line Number accepts.
#include "../text/model_test_util.h"
#include "core/shell/function_list.h"
#include "core/shell/goto_line.h"

#include <gtest/gtest.h>

#include <string>

namespace marlo::test {
namespace {

std::string Listed(const std::vector<TListEntry>& entries) {
  std::string out;
  for (const TListEntry& e : entries) out += e.Text() + ";";
  return out;
}

TEST(FunctionList, HeadersAndLabels) {
  auto m = BaseModel(LinesOf("  function Draw|FUNCTIONarea(w, h) : x|FUNCTION|FUNCTIO|"
                             "function foo ` [docs]|main:|x = 1 : y = 2|my label:|  :|"
                             "\tloop_2:  |a.b:"));
  EXPECT_EQ(Listed(ScanFunctions(*m, "FUNCTION")),
            "Draw   [1];area(w, h)   [2];   [3];foo ` [docs]   [5];");
  EXPECT_EQ(Listed(ScanFunctions(*m, "")), Listed(ScanFunctions(*m, "FUNCTION")));
  EXPECT_EQ(ScanFunctions(*m, "FUNCTION")[3].Line, 4); // the jump keeps the line, not the text
  EXPECT_EQ(Listed(ScanFunctions(*m, "FUNKTION")), "");
  EXPECT_EQ(Listed(ScanLabels(*m)), "main:   [6];loop_2:   [10];");
  EXPECT_EQ(Listed(ScanLabels(*BaseModel())), "");
}

TEST(GotoLine, NumbersAreClampedAndOtherTextRefused) {
  // {text, the line of a 100-line text, or -1 when refused}
  const std::pair<const char*, int> cases[] = {
      {"5", 4},
      {" 5 ", 4},
      {"+5", 4},
      {"0", 0},
      {"-5", 0},
      {"100000", 99},
      {"-2147483648", 0},
      {"99999999999", 99},
      {"999999999999999999999999999999", 99},
      {"abc", -1},
      {"", -1},
      {"5a", -1},
      {"-", -1},
      {"1 2", -1},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    int line = -1;
    bool ok = ParseGotoLine(text, 100, line);
    EXPECT_EQ(ok ? line : -1, expected);
  }
}

} // namespace
} // namespace marlo::test
