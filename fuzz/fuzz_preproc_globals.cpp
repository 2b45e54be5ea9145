// Runs the global pass alone on arbitrary lines: no crash, no sanitizer report, a well-formed error
// or a well-formed output, and the same result from a second run.
#include "preproc_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return marlo::fuzz::CheckPass("fuzz_preproc_globals", data, size, {false, false, true});
}
