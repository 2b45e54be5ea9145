// Runs the passes the first byte enables over a source loaded as a document window loads
// it, the way a build does: no crash, no sanitizer report, a well-formed error or output.
#include "core/text/memo_source.h"
#include "preproc_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marlo;
  if (size == 0) return 0;
  const preproc::TPreprocOptions options{(data[0] & 1) != 0, (data[0] & 2) != 0,
                                         (data[0] & 4) != 0};
  const bool truthValues = (data[0] & 8) == 0;
  TMemoSource source;
  source.ConfigureAsDocument();
  source.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::vector<std::string> lines;
  for (int i = 0; i < source.Lines().Count(); ++i) lines.push_back(source.Lines().Get(i));
  fuzz::CheckRun("fuzz_preproc_driver", lines, options, truthValues);
  return 0;
}
