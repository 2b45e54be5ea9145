#pragma once
// The global pass: GLOBAL lines declare names that become one-element arrays, and every use
// of a declared name, before or after its GLOBAL line, becomes the element name(1). Every
// input line gives exactly one output line.
#include "core/preproc/line_block.h"
#include "core/preproc/line_span.h"
#include "core/preproc/name_table.h"
#include "core/preproc/pass_lines.h"
#include "core/preproc/preproc_context.h"
#include "core/preproc/preproc_text.h"
#include "core/preproc/replace_halves.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

class TGlobalPass {
public:
  // Runs both steps over `work`, writing `output`, the status lines and, on failure, the
  // error. False when it stopped at an error.
  // `work` must stay alive and unchanged until it returns, and be another list than
  // `output`.
  bool Run(TLineSpan work, TLineBlock& output, TPreprocContext& context);

  int Count() const { return names_.Count(); }
  const std::string& Name(int i) const { return names_.Name(i); }

private:
  bool Collect(TLineSpan work, TPreprocContext& context);
  std::string Declare(std::string_view t, int line, TPreprocContext& context);
  void AddName(std::string_view name, int line, std::string& declaration, TPreprocContext& context);
  void Replace(TLineBlock& output, TPreprocContext& context);
  void ReplaceLine(std::string_view line, int index, std::string& out, bool& inRemarkBlock,
                   TPreprocContext& context) const;

  TNameTable names_;
  TPassLines pass_; // the collected lines
};

} // namespace marlo::preproc
