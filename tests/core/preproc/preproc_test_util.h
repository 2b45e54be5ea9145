#pragma once
// The keys of the preprocessor's texts; a language whose preprocessor texts are their own
// keys, so that tests read which text a status line or an error used; and helpers that run
// the passes on short sources.
#include "core/preproc/preprocessor.h"
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
  std::vector<std::string> Output;
  std::vector<std::string> Status;
  bool Failed = false;
  std::string ErrorText; // " #: N. M"
};

inline TRun Preprocess(const std::vector<std::string>& source, bool structs, bool defines,
                       bool globals, const TLanguageTable& language = KeyLanguage()) {
  preproc::TPreprocessor p(language);
  p.Run(source, {structs, defines, globals});
  return {p.Output(), p.Status().Lines(), p.Failed(), p.ErrorText()};
}

// Checks that `run` stopped at an error on line `line` (0-based) with `message`.
inline void ExpectFailure(const TRun& run, const std::string& message, int line) {
  ASSERT_TRUE(run.Failed);
  EXPECT_EQ(run.ErrorText, " #: " + std::to_string(line + 1) + ". " + message);
  ASSERT_FALSE(run.Status.empty());
  EXPECT_EQ(run.Status.back(), "PreError");
}

inline TRun Structs(const Lines& s) {
  return Preprocess(s, true, false, false);
}
inline TRun Defines(const Lines& s) {
  return Preprocess(s, false, true, false);
}
inline TRun Globals(const Lines& s) {
  return Preprocess(s, false, false, true);
}

// A source that must stop at an error, the error's message and its line (0-based).
struct TErrorCase {
  Lines Source;
  std::string Message;
  int Line;
};

inline void ExpectFailures(const std::vector<TErrorCase>& cases, TRun (*pass)(const Lines&)) {
  for (const TErrorCase& c : cases) {
    SCOPED_TRACE(c.Source.back());
    ExpectFailure(pass(c.Source), c.Message, c.Line);
  }
}

} // namespace marlo::test
