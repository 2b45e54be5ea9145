#include "core/shell/font_caption.h"

#include <algorithm>
#include <cmath>

namespace marlo {

int WholePoints(double points, int pixels) {
  double whole =
      points > 0 ? points : std::fabs(static_cast<double>(pixels)) * 72.0 / kPixelsPerInch;
  if (!std::isfinite(whole) || whole > 1e6) whole = 1e6;
  return std::max(1, static_cast<int>(std::lround(whole)));
}

int FontPoints(const TTextFont& font) {
  // A negative height is the character height in pixels; a positive one, the whole cell,
  // is read the same way (without a screen there is no leading to take off).
  return WholePoints(0, font.Height);
}

std::string FontCaption(const TTextFont& font) {
  return std::to_string(FontPoints(font)) + " pt. " + font.Name;
}

} // namespace marlo
