#include "core/preproc/preprocessor.h"

#include "core/shell/language_table.h"

#include <charconv>
#include <string_view>

namespace marlo::preproc {

TPreprocessor::TPreprocessor(const TLanguageTable& language) {
  context_.Texts = TPreprocTexts::FromLanguage(language);
}

void TPreprocessor::SetUp(const TLines& source) {
  SetUp(TLineBlock(source));
}

void TPreprocessor::SetUp(TLineBlock&& source) {
  work_ = std::move(source);
  borrows_ = false;
  Arm();
}

void TPreprocessor::SetUp(std::span<const std::string_view> source) {
  work_.Clear();
  borrowed_ = source;
  borrows_ = true;
  Arm();
}

void TPreprocessor::Arm() {
  output_.Clear();
  outputLines_.clear();
  outputLinesMade_ = false;
  firstActivation_ = true;
  ran_ = false;
}

bool TPreprocessor::Activate(const TPreprocOptions& options) {
  if (!firstActivation_) return false;
  firstActivation_ = false;
  RunPasses(options);
  ran_ = true;
  return true;
}

void TPreprocessor::Run(const TLines& source, const TPreprocOptions& options) {
  SetUp(source);
  Activate(options);
}

void TPreprocessor::SetUp(TLines&& source) {
  const TLines lines = std::move(source); // freed as soon as they are copied
  SetUp(lines);
}

void TPreprocessor::Run(TLines&& source, const TPreprocOptions& options) {
  SetUp(std::move(source));
  Activate(options);
}

void TPreprocessor::Run(TLineBlock&& source, const TPreprocOptions& options) {
  SetUp(std::move(source));
  Activate(options);
}

void TPreprocessor::Run(std::span<const std::string_view> source, const TPreprocOptions& options) {
  SetUp(source);
  Activate(options);
}

const TLines& TPreprocessor::Output() const {
  if (!outputLinesMade_) {
    outputLines_ = output_.Lines();
    outputLinesMade_ = true;
  }
  return outputLines_;
}

void TPreprocessor::RunPasses(const TPreprocOptions& options) {
  context_.Status.Clear();
  context_.ClearError();
  errorText_.clear();
  structLines_ = false;

  // Each pass writes output_; a later pass reads it from work_ and writes into the buffer
  // that work_ held, so two buffers serve all passes.
  TLineSpan work = borrows_ ? TLineSpan(borrowed_) : TLineSpan(work_);
  sourceCount_ = work.Count();
  if (options.StructEnabled) {
    const bool ok = structs_.Run(work, output_, context_);
    structLines_ = structs_.Collected() && structs_.TypeCount() > 0;
    if (!ok) return ReportError();
    // A later pass reads these lines and rewrites the output; the last one leaves them.
    if (structs_.TypeCount() > 0 && (options.DefineEnabled || options.GlobalEnabled)) {
      work_.Swap(output_);
      work = work_;
    }
  }
  if (options.DefineEnabled) {
    if (!defines_.Run(work, output_, context_)) return ReportError();
    if (options.GlobalEnabled) {
      work_.Swap(output_);
      work = work_;
    }
  }
  if (options.GlobalEnabled) {
    if (!globals_.Run(work, output_, context_)) return ReportError();
  }
}

void TPreprocessor::ReportError() {
  context_.Status.Add(context_.Texts.Error);
  errorText_ = " #: " + std::to_string(context_.ErrorLine + 1) + ". " + context_.ErrorMessage;
}

int TPreprocessor::ErrorOrigin() const {
  const int line = context_.ErrorLine;
  if (!Failed()) return -1;
  if (line < 0 || !structLines_) return line;
  if (static_cast<size_t>(line) < structs_.OriginCount())
    return structs_.Origin(static_cast<size_t>(line));
  return static_cast<int>(sourceCount_);
}

std::vector<TPreprocResult> TPreprocessor::Results() const {
  if (!ran_) return {TPreprocResult::Cancel};
  if (Failed()) return {TPreprocResult::GotoError, TPreprocResult::Cancel};
  return {TPreprocResult::ReplaceSource, TPreprocResult::EditModified, TPreprocResult::Continue,
          TPreprocResult::Cancel};
}

bool TPreprocessor::Offers(TPreprocResult result) const {
  for (TPreprocResult r : Results())
    if (r == result) return true;
  return false;
}

int TPreprocessor::ErrorTextLine(const std::string& errorText) {
  const std::string_view prefix = " #: ";
  if (errorText.compare(0, prefix.size(), prefix) != 0) return 0;
  int line = 0;
  const char* begin = errorText.data() + prefix.size();
  const auto [end, ec] = std::from_chars(begin, errorText.data() + errorText.size(), line);
  return (ec == std::errc() && end != begin) ? line : 0;
}

} // namespace marlo::preproc
