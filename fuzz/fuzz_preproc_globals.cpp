// Runs the global pass alone on arbitrary lines: no crash, no sanitizer report, a well-formed error
// or a well-formed output, and the same result from a second run.
#include "preproc_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marlo;
  if (size == 0) return 0;
  const bool truthValues = (data[0] & 1) == 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  fuzz::CheckRun("fuzz_preproc_globals", fuzz::CutLines(bytes), {false, false, true}, truthValues);
  return 0;
}
