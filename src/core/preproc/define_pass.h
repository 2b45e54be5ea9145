#pragma once
// The define pass: DEFINE lines name replacement texts with up to nine numbered parameters,
// and every use of a name, before or after its DEFINE line, is replaced. Every input line
// gives exactly one output line.
#include "core/preproc/name_pass.h"

#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

class TDefinePass : public TNamePass {
public:
  // Runs both steps over `work`, writing `output`, the status lines and, on failure, the
  // error. False when it stopped at an error.
  // `work` must stay alive and unchanged until it returns, and be another list than
  // `output`.
  bool Run(TLineSpan work, TLineBlock& output, TPreprocContext& context);

  const std::string& Text(int i) const { return texts_[static_cast<size_t>(i)]; }
  int ParameterCount(int i) const { return counts_[static_cast<size_t>(i)]; }

private:
  void Reset(const TPreprocTexts& texts);
  void Add(std::string_view name, std::string_view text, int count);
  std::string Define(std::string_view s, int line, TPreprocContext& context);
  void ReplaceLine(std::string_view line, int index, std::string& out, bool& inRemarkBlock,
                   TPreprocContext& context) const;
  size_t Expand(std::string_view s, size_t open, std::string_view word, int define, int index,
                std::string& out, const TPreprocTexts& texts) const;

  std::vector<std::string> texts_;
  std::vector<int> counts_;
};

} // namespace marlo::preproc
