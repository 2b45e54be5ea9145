#pragma once
// JPEG pictures decoded with libjpeg into plain RGB rows: the about box's banner. Kept
// apart from the window code so that the decoder can be fuzzed without a display.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace marlo {

struct TRgbPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Rgb; // Height rows of Width red, green, blue triples
};

// Pictures above this many pixels are refused rather than allocated.
inline constexpr long long kMaxPicturePixels = 64LL * 1024 * 1024;

// Decodes the bytes of a JPEG file. Raises Error with libjpeg's reason when they are not a
// picture it can decode, or when the picture is larger than kMaxPicturePixels.
TRgbPicture DecodeJpeg(const uint8_t* data, size_t size);

} // namespace marlo
