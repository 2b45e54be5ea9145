#pragma once
// What the preprocessor fuzz targets share: lines cut from the input bytes, a language with
// short texts, and the checks every run must pass.
#include "core/preproc/preprocessor.h"
#include "core/preproc/replace_halves.h"
#include "core/shell/language_table.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::fuzz {

inline void Require(bool ok, const char* target, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s: %s\n", target, what);
    std::abort();
  }
}

// The lines of `bytes` cut at LF only, so that CR, tabs and NUL reach the passes too.
inline std::vector<std::string> CutLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i == bytes.size() || bytes[i] == '\n') {
      if (i > start || i < bytes.size()) lines.emplace_back(bytes.substr(start, i - start));
      start = i + 1;
    }
  }
  return lines;
}

// Short texts; without truth values when asked, as a language file without them would be.
inline const TLanguageTable& FuzzLanguage(bool truthValues) {
  static const TLanguageTable with = [] {
    TLanguageTable t;
    t.LoadFromBytes("preGlobalTrue=TRUE\npreGlobalFalse=FALSE\nPreErrorRedeclare=R\n"
                    "PreAdding=A\nPreReplaced=P\nPreWith=W\nPreWidth=D\nPreAtLine=L\n");
    return t;
  }();
  static const TLanguageTable without;
  return truthValues ? with : without;
}

// Runs the preprocessor twice on the same lines and checks what every run must give.
inline void CheckRun(const char* target, const std::vector<std::string>& lines,
                     const preproc::TPreprocOptions& options, bool truthValues) {
  preproc::TPreprocessor p(FuzzLanguage(truthValues));
  p.Run(lines, options);
  const bool failed = p.Failed();
  const std::vector<std::string> output = p.Output();
  const std::string error = p.ErrorText();
  if (failed) {
    Require(error.rfind(" #: ", 0) == 0, target, "an error text without its \" #: \"");
    Require(preproc::TPreprocessor::ErrorTextLine(error) == p.ErrorLine() + 1, target,
            "the error text names another line");
    Require(p.ErrorLine() >= 0, target, "an error without a line");
    Require(p.Offers(preproc::TPreprocResult::GotoError) &&
                !p.Offers(preproc::TPreprocResult::Continue),
            target, "an error offers the wrong buttons");
  } else {
    Require(error.empty(), target, "an error text without an error");
    Require(p.Offers(preproc::TPreprocResult::Continue), target, "success offers no Continue");
    // Defines and globals keep one output line per input line; so does the structure pass
    // when it finds no types.
    if ((options.DefineEnabled || options.GlobalEnabled) &&
        (!options.StructEnabled || p.StructPass().TypeCount() == 0))
      Require(output.size() == lines.size(), target, "the line count changed");
    for (const std::string& line : output)
      Require(line.find('\n') == std::string::npos, target, "an output line holds a line feed");
  }
  // Every run starts from empty tables, so a second run gives the same.
  p.Run(lines, options);
  Require(p.Failed() == failed && p.Output() == output && p.ErrorText() == error, target,
          "a second run differs");

  // A run without status lines may replace in two halves side by side; split at every
  // size, it must still say the same.
  const size_t threshold = preproc::TReplaceHalves::Threshold;
  preproc::TReplaceHalves::Threshold = 2;
  preproc::TPreprocessor split(FuzzLanguage(truthValues));
  split.KeepStatus(false);
  split.Run(lines, options);
  preproc::TReplaceHalves::Threshold = threshold;
  Require(split.Failed() == failed && split.ErrorText() == error &&
              (failed || split.Output() == output),
          target, "a run in halves differs");
}

// The input of a target that runs one pass alone: the lowest bit of the first byte leaves out
// the truth values when set, and the other bytes are the lines.
inline int CheckPass(const char* target, const uint8_t* data, size_t size,
                     const preproc::TPreprocOptions& options) {
  if (size == 0) return 0;
  const bool truthValues = (data[0] & 1) == 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckRun(target, CutLines(bytes), options, truthValues);
  return 0;
}

} // namespace marlo::fuzz
