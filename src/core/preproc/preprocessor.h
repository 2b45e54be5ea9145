#pragma once
// The preprocessor driver: runs the enabled passes (structures, defines, globals, in that
// order) over a copy of the lines to be built, and keeps what the status dialog shows: the
// status lines, the error text, the output lines and the results a user may close it with.
#include "core/preproc/define_pass.h"
#include "core/preproc/global_pass.h"
#include "core/preproc/line_block.h"
#include "core/preproc/line_span.h"
#include "core/preproc/preproc_context.h"
#include "core/preproc/preproc_text.h"
#include "core/preproc/struct_pass.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {
class TLanguageTable;
}

namespace marlo::preproc {

struct TPreprocOptions {
  bool StructEnabled = false;
  bool DefineEnabled = false;
  bool GlobalEnabled = false;
};

// The dialog's modal results.
enum class TPreprocResult {
  Continue = 1,
  Cancel = 2,
  ReplaceSource = 15001,
  EditModified = 15002,
  GotoError = 15003,
};

class TPreprocessor {
public:
  explicit TPreprocessor(const TLanguageTable& language);

  // Takes a copy of the lines to be built and arms the run for the next activation.
  void SetUp(const TLines& source);
  void SetUp(TLines&& source);
  void SetUp(TLineBlock&& source);
  // Borrows the lines instead of copying them: they must stay alive and unchanged until the
  // run is over.
  void SetUp(std::span<const std::string_view> source);
  // Runs the passes at the first activation after SetUp; later activations do nothing.
  // True when this call ran them.
  bool Activate(const TPreprocOptions& options);
  // SetUp and Activate in one.
  void Run(const TLines& source, const TPreprocOptions& options);
  void Run(TLines&& source, const TPreprocOptions& options);
  void Run(TLineBlock&& source, const TPreprocOptions& options);
  void Run(std::span<const std::string_view> source, const TPreprocOptions& options);

  // Whether the run keeps its status lines (the default); a caller that never shows them
  // saves their making.
  void KeepStatus(bool keep) { context_.Status.Keep(keep); }

  const TStatusLog& Status() const { return context_.Status; }
  bool Failed() const { return context_.Failed(); }
  // Empty, or " #: " + the error line plus one + ". " + the message.
  const std::string& ErrorText() const { return errorText_; }
  int ErrorLine() const { return context_.ErrorLine; }
  const std::string& ErrorMessage() const { return context_.ErrorMessage; }
  // The output of the last pass that ran; unusable after an error.
  const TLineBlock& OutputBlock() const { return output_; }
  const TLines& Output() const;
  // The 0-based source line that output line `outputLine` came from: itself, unless the
  // structure pass found types, which turn a block into one line and a DIMTYPE line into
  // several (see TStructPass::Origin). Defines and globals keep one line for each.
  int LineOrigin(size_t outputLine) const {
    return structLines_ ? structs_.Origin(outputLine) : static_cast<int>(outputLine);
  }
  // The 0-based source line of the error, ErrorLine() traced back the same way (an error
  // at the end of the source names the line after the last one); -1 without an error.
  int ErrorOrigin() const;

  // The results whose buttons are enabled, in the dialog's button order.
  std::vector<TPreprocResult> Results() const;
  bool Offers(TPreprocResult result) const;

  // Reads the 1-based line number out of an error text; 0 when it holds none.
  static int ErrorTextLine(const std::string& errorText);

  const TStructPass& StructPass() const { return structs_; }
  const TDefinePass& DefinePass() const { return defines_; }
  const TGlobalPass& GlobalPass() const { return globals_; }

private:
  void Arm();
  void RunPasses(const TPreprocOptions& options);
  void ReportError();

  TPreprocContext context_;
  TLineBlock work_, output_;
  std::span<const std::string_view> borrowed_; // what the first pass reads, when not work_
  bool borrows_ = false;
  mutable TLines outputLines_; // Output() as strings, made when first asked for
  mutable bool outputLinesMade_ = false;
  std::string errorText_;
  bool firstActivation_ = false;
  bool ran_ = false;
  // Whether the output, and an error after the structure pass, count the structure pass's
  // lines rather than the source's.
  bool structLines_ = false;
  size_t sourceCount_ = 0;
  TStructPass structs_;
  TDefinePass defines_;
  TGlobalPass globals_;
};

} // namespace marlo::preproc
