// The build list and its line map: break lines of a step-through, the preprocessor's output
// mapped back through the structure pass's origins, the temporary file's bytes, and a line
// of the temporary file traced to the document.
#include "../preproc/preproc_test_util.h"
#include "../temp_dir.h"
#include "core/build/build_list.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace marlo::test {
namespace {

build::TBuildList Broken(const Lines& source, std::string_view command) {
  build::TBuildList list = build::MakeBuildList(source);
  build::InsertBreakLines(list, command);
  return list;
}

void ExpectSoundMap(const build::TBuildList& list) {
  ASSERT_EQ(list.LineMap.size(), list.Lines.Count());
  EXPECT_TRUE(std::is_sorted(list.LineMap.begin(), list.LineMap.end()));
}

TEST(BreakLines, WhereTheyGoAndWhatTheySay) {
  struct TCase {
    Lines Source;
    const char* Command;
    Lines Built;
    std::vector<int> Map;
  };
  const TCase cases[] = {
      {{"PRINT 1", "REMSTART", "x", "REMEND"},
       "BREAK #",
       {"PRINT 1", "BREAK 1", "REMSTART", "x", "REMEND"},
       {0, 0, 1, 2, 3}},
      // Empty, blank, REM-led and "`" lines take none; a REM word later on does not matter.
      {{"", " \t ", "  rem hello", "REMARK = 1", "`c", "\tx = 1 ` c", "y = 2 REM z"},
       "B #",
       {"", " \t ", "  rem hello", "REMARK = 1", "`c", "\tx = 1 ` c", "B 6", "y = 2 REM z", "B 7"},
       {0, 1, 2, 3, 4, 5, 5, 6, 6}},
      // One line with both words opens a block; REMSTART inside a string counts too.
      {{"a REMSTART b REMEND", "PRINT 2", "remend", "PRINT \"remstart\"", "PRINT 3"},
       "#",
       {"a REMSTART b REMEND", "PRINT 2", "remend", "PRINT \"remstart\"", "PRINT 3"},
       {0, 1, 2, 3, 4}},
      {{"a", "b"}, "STOP", {"a", "STOP", "b", "STOP"}, {0, 0, 1, 1}}, // no "#"
      {{"a", "b"}, "#x, #", {"a", "1x, 1", "b", "2x, 2"}, {0, 0, 1, 1}},
      {{"a", "b"}, "", {"a", "", "b", ""}, {0, 0, 1, 1}},
      {{}, "BREAK #", {}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Command);
    const build::TBuildList list = Broken(c.Source, c.Command);
    EXPECT_EQ(list.Lines.Lines(), c.Built);
    EXPECT_EQ(list.LineMap, c.Map);
    ExpectSoundMap(list);
  }
}

// A source with a structure block, an instance of two fields and a define.
const Lines kTyped = {"TYPE vec",       "x y", "ENDTYPE",   "DEFINE two, 2",
                      "DIMTYPE vec, a", "",    "a.y = two", "PRINT a.x"};

TEST(BuildList, PreprocessorOutputMapsToTheDocument) {
  preproc::TPreprocessor p(KeyLanguage());
  build::TBuildList list = build::MakeBuildList(kTyped);
  p.Run(list.Lines.Lines(), {true, false, true});
  ASSERT_FALSE(p.Failed());
  build::TakePreprocessorOutput(list, p);
  EXPECT_EQ(list.Lines.Lines(),
            (Lines{"REM Removed by Marlo - TYPE found \"TYPE vec\" ", "DEFINE two, 2 ",
                   "` Marlo DIMs for instance a", "DIM a_x(1,1) ", "DIM a_y(1,1) ", "",
                   "a_y(1,1) = two ", "PRINT a_x(1,1) "}));
  EXPECT_EQ(list.LineMap, (std::vector<int>{0, 3, 4, 4, 4, 5, 6, 7}));

  // The breaks count the processed lines, and map where the line they follow maps.
  build::InsertBreakLines(list, "BREAK #");
  EXPECT_EQ(list.Lines[2], "BREAK 2");
  EXPECT_EQ(list.Lines[7], "BREAK 5");
  EXPECT_EQ(list.Lines[list.Lines.Count() - 1], "BREAK 8");
  EXPECT_EQ(list.LineMap, (std::vector<int>{0, 3, 3, 4, 4, 4, 4, 4, 5, 6, 6, 7, 7}));
  ExpectSoundMap(list);

  // The output is mapped through the list's own map, whatever it was.
  build::TBuildList shifted = build::MakeBuildList(kTyped);
  shifted.LineMap = {2, 2, 2, 3, 9, 10, 11, 40};
  p.Run(shifted.Lines.Lines(), {true, true, false});
  build::TakePreprocessorOutput(shifted, p);
  EXPECT_EQ(shifted.LineMap, (std::vector<int>{2, 3, 9, 9, 9, 10, 11, 40}));

  // Without types, or with the structure pass off, every line is its own.
  for (const preproc::TPreprocOptions options :
       {preproc::TPreprocOptions{true, true, true}, preproc::TPreprocOptions{false, true, true}}) {
    build::TBuildList plain = build::MakeBuildList(Lines{"DEFINE a, 1", "", "x = a"});
    p.Run(plain.Lines.Lines(), options);
    build::TakePreprocessorOutput(plain, p);
    EXPECT_EQ(plain.LineMap, (std::vector<int>{0, 1, 2}));
  }
}

TEST(BuildList, PreprocessorErrorsTraceToTheDocument) {
  // The source line each error names, after the structure pass's lines are traced back.
  const std::pair<Lines, int> cases[] = {
      {{"TYPE t", "a", "b"}, 3},                                     // collecting: end
      {{"TYPE t", "a", "ENDTYPE", "DIMTYPE t, p, q", "PRINT p"}, 4}, // replacing step
      {{"TYPE t", "a", "ENDTYPE", "DIMTYPE t, p", "DEFINE x(1"}, 4}, // the define pass
      {{"x", "DEFINE x(1"}, 1},                                      // no structure lines
  };
  for (const auto& [source, line] : cases) {
    preproc::TPreprocessor p(KeyLanguage());
    p.Run(source, {true, true, false});
    ASSERT_TRUE(p.Failed()) << source.back();
    EXPECT_EQ(p.ErrorOrigin(), line) << source.back();
  }
}

TEST(BuildList, DocumentLinesAndTheTemporaryFile) {
  TMemoSource document;
  document.ConfigureAsDocument();
  document.LoadFromBytes("a\tb\r\n\r\nlast");
  build::TBuildList list = build::MakeBuildList(document);
  EXPECT_EQ(list.Lines.Lines(), (Lines{document.LineText(0), "", "last"}));
  EXPECT_EQ(list.LineMap, (std::vector<int>{0, 1, 2}));

  // 0 and numbers past the end are clamped; an empty list maps everything to 0.
  list.LineMap = {4, 6, 9};
  const std::pair<std::uint64_t, int> lines[] = {
      {0, 4}, {1, 4}, {2, 6}, {3, 9}, {4, 9}, {999999999999, 9}, {UINT64_MAX, 9}};
  for (const auto& [temp, doc] : lines) EXPECT_EQ(build::DocumentLine(list, temp), doc) << temp;
  EXPECT_EQ(build::DocumentLine(build::TBuildList{}, 7), 0);

  TempDir dir;
  std::string error;
  ASSERT_TRUE(build::WriteBuildFile(dir / "demo.TMP", list, error)) << error;
  const std::string bytes = "a" + document.LineText(0).substr(1) + "\r\n\r\nlast\r\n";
  EXPECT_EQ(ReadFile(dir / "demo.TMP"), bytes);
  std::ostringstream text;
  build::WriteBuildText(list, text);
  EXPECT_EQ(text.str(), bytes);
  ASSERT_TRUE(build::WriteBuildFile(dir / "demo.TMP", build::TBuildList{}, error));
  EXPECT_EQ(ReadFile(dir / "demo.TMP"), ""); // replaced

  // A file that cannot be written is told, and an existing one stays whole.
  EXPECT_FALSE(build::WriteBuildFile(dir / "none/demo.TMP", list, error));
  EXPECT_NE(error.find("none/demo.TMP"), std::string::npos) << error;
  std::filesystem::create_directory(dir / "ro");
  WriteFile(dir / "ro/keep.TMP", "old");
  const int written = RunInReadOnlyFolder(dir, "ro", [&] {
    std::string message;
    return build::WriteBuildFile(dir / "ro/keep.TMP", list, message) ? 1 : 0;
  });
  if (written >= 0) {
    EXPECT_EQ(written, 0);
  }
  EXPECT_EQ(ReadFile(dir / "ro/keep.TMP"), "old");
}

} // namespace
} // namespace marlo::test
