#pragma once
// The global pass: GLOBAL lines declare names that become one-element arrays, and every use
// of a declared name, before or after its GLOBAL line, becomes the element name(1). Every
// input line gives exactly one output line.
#include "core/preproc/name_pass.h"

#include <string>
#include <string_view>

namespace marlo::preproc {

class TGlobalPass : public TNamePass {
public:
  // Runs both steps over `work`, writing `output`, the status lines and, on failure, the
  // error. False when it stopped at an error.
  // `work` must stay alive and unchanged until it returns, and be another list than
  // `output`.
  bool Run(TLineSpan work, TLineBlock& output, TPreprocContext& context);

private:
  std::string Declare(std::string_view s, int line, TPreprocContext& context);
  void AddName(std::string_view name, int line, std::string& declaration, TPreprocContext& context);
  void ReplaceLine(std::string_view line, int index, std::string& out, bool& inRemarkBlock,
                   TPreprocContext& context) const;
};

} // namespace marlo::preproc
