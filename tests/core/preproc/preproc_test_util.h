#pragma once
// The keys of the preprocessor's texts; a language whose preprocessor texts are their own
// keys, so that tests read which text a status line or an error used; and helpers that run
// the passes on short sources, whole and split in halves.
#include "core/preproc/preprocessor.h"
#include "core/preproc/replace_halves.h"
#include "core/shell/language_table.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace marlo::test {

using Lines = std::vector<std::string>;

// The keys of the preprocessor's texts in the language file.
inline constexpr const char* kPreprocKeys =
    "PreCheckTypes PreReplaceTypes PreError PreNoneFound PreCheckDefines preReplacingDefines "
    "PreCheckGlobals preReplacingGlobals preDone PreAdding PreFound PreReplaced "
    "PreReplacedDefinition PreWith PreWidth PreAtLine PreExpects PreParameters "
    "PreErrorRedeclare PreErrorVarExpected PreErrorIllegalChar PreErrorFoundBeforeEnd "
    "PreErrorParamCount PreErrorParenExpected PreErrorCommaAfterList PreErrorCommaExpected "
    "PreErrorIdentExpected PreErrorDefExpected PreErrorParamsExpected PreErrorUnbalancedParen "
    "PreErrorUnknownParam PreErrorDimensionExpected PreErrorBlank PreErrorFourDims "
    "PreErrorBadParen PreErrorNoTypeName PreErrorNoElementsDeclared PreErrorEndTypeExpected "
    "PreErrorElementExpected";

// The words of `text` between blanks.
inline std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

inline TLanguageTable KeyLanguage(bool truthValues = true) {
  std::string text;
  for (const std::string& key : Words(kPreprocKeys)) text += key + "=" + key + "\r\n";
  if (truthValues) text += "preGlobalTrue=TRUE\r\npreGlobalFalse=FALSE\r\n";
  TLanguageTable table;
  table.LoadFromBytes(text);
  return table;
}

struct TRun {
  Lines Output;
  Lines Status;
  bool Failed = false;
  std::string ErrorText; // " #: N. M"
  // The last output line, or the error.
  std::string Last() const { return Failed ? ErrorText : Output.empty() ? "" : Output.back(); }
};

// Runs `source` through `passes`. A second run without status lines, whose replacing steps
// split in two halves side by side, must say the same.
inline TRun Preprocess(const Lines& source, const preproc::TPreprocOptions& passes,
                       const TLanguageTable& language = KeyLanguage()) {
  preproc::TPreprocessor p(language), split(language);
  p.Run(source, passes);
  const size_t threshold = preproc::TReplaceHalves::Threshold;
  preproc::TReplaceHalves::Threshold = 2;
  split.KeepStatus(false);
  split.Run(source, passes);
  preproc::TReplaceHalves::Threshold = threshold;
  EXPECT_EQ(split.ErrorText(), p.ErrorText()) << "split in halves";
  EXPECT_TRUE(p.Failed() || split.Output() == p.Output()) << "split in halves";
  return {p.Output(), p.Status().Lines(), p.Failed(), p.ErrorText()};
}

inline const auto Structs = [](const Lines& s) { return Preprocess(s, {true, false, false}); };
inline const auto Defines = [](const Lines& s) { return Preprocess(s, {false, true, false}); };
inline const auto Globals = [](const Lines& s) { return Preprocess(s, {false, false, true}); };

// A source that must stop at an error, the error's message and its line (0-based).
struct TErrorCase {
  Lines Source;
  std::string Message;
  int Line;
};

// Checks that each source stops at its error, with the error status line last.
inline void ExpectFailures(const std::vector<TErrorCase>& cases, TRun (*pass)(const Lines&)) {
  for (const TErrorCase& c : cases) {
    SCOPED_TRACE(c.Source.back());
    const TRun run = pass(c.Source);
    ASSERT_TRUE(run.Failed);
    EXPECT_EQ(run.ErrorText, " #: " + std::to_string(c.Line + 1) + ". " + c.Message);
    EXPECT_EQ(run.Status.empty() ? "" : run.Status.back(), "PreError");
  }
}

} // namespace marlo::test
