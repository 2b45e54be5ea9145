// The banner decoder on random bytes: a picture or the decoder's error, never a crash or
// a sanitizer report, and a picture's pixels always fill its rows.
#include "core/error.h"
#include "picture/jpeg_decoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    marlo::TRgbPicture picture = marlo::DecodeJpeg(data, size);
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.Rgb.size() != size_t(3) * size_t(picture.Width) * size_t(picture.Height))
      std::abort();
  } catch (const marlo::Error&) {
  }
  return 0;
}
