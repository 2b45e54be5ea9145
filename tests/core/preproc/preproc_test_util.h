#pragma once
// A language whose preprocessor texts are their own keys, so that tests read which text a
// status line or an error used; and helpers that run the passes on short sources.
#include "core/preproc/preprocessor.h"
#include "core/shell/language_table.h"
#include "preproc_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {

inline TLanguageTable KeyLanguage(bool truthValues = true) {
  std::string text;
  for (const char* key : kPreprocKeys) text.append(key).append("=").append(key).append("\r\n");
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
  std::string Message;
  int Line = -1;
};

inline TRun Preprocess(const std::vector<std::string>& source, bool structs, bool defines,
                       bool globals, const TLanguageTable& language = KeyLanguage()) {
  preproc::TPreprocessor p(language);
  p.Run(source, {structs, defines, globals});
  TRun r;
  r.Output = p.Output();
  r.Status = p.Status().Lines();
  r.Failed = p.Failed();
  r.ErrorText = p.ErrorText();
  r.Message = p.ErrorMessage();
  r.Line = p.ErrorLine();
  return r;
}

// Checks that `run` stopped at an error on line `line` (0-based) with `message`.
inline void ExpectFailure(const TRun& run, const std::string& message, int line) {
  ASSERT_TRUE(run.Failed);
  EXPECT_EQ(run.Message, message);
  EXPECT_EQ(run.Line, line);
  EXPECT_EQ(run.ErrorText, " #: " + std::to_string(line + 1) + ". " + message);
  ASSERT_FALSE(run.Status.empty());
  EXPECT_EQ(run.Status.back(), "PreError");
}

inline TRun Structs(const std::vector<std::string>& s) {
  return Preprocess(s, true, false, false);
}
inline TRun Defines(const std::vector<std::string>& s) {
  return Preprocess(s, false, true, false);
}
inline TRun Globals(const std::vector<std::string>& s) {
  return Preprocess(s, false, false, true);
}

} // namespace marlo::test
