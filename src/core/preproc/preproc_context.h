#pragma once
// What the passes of one preprocessor run share: the language texts, the status lines and
// the error state (the first error's message and the 0-based index of the line, in the list
// the failing step was reading).
#include "core/error.h"
#include "core/preproc/preproc_texts.h"
#include "core/preproc/status_log.h"

#include <string>

namespace marlo::preproc {

struct TPreprocContext {
  TPreprocTexts Texts;
  TStatusLog Status;
  // An error is its own flag, not an empty message: a language file without the error's
  // text must still stop the run.
  bool HasError = false;
  std::string ErrorMessage;
  int ErrorLine = -1;

  bool Failed() const { return HasError; }
  void ClearError() {
    HasError = false;
    ErrorMessage.clear();
    ErrorLine = -1;
  }
  void SetError(const std::string& message, int line) {
    HasError = true;
    ErrorMessage = message;
    ErrorLine = line;
  }
};

// Raised inside a step to end it; the step records it in the context.
class EPreprocFailure : public Error {
public:
  EPreprocFailure(const std::string& message, int line) : Error(message), Line(line) {}
  int Line;
};

[[noreturn]] inline void Fail(const std::string& message, int line) {
  throw EPreprocFailure(message, line);
}

} // namespace marlo::preproc
