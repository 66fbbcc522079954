// Letterbox arithmetic in 64-bit integers, so no size overflows or rounds twice.

#include "runtime/letterbox.h"

#include <algorithm>
#include <cstdint>

namespace {

// round(numerator / denominator) for positive values, halves rounded up.
int64_t RoundedQuotient(int64_t numerator, int64_t denominator) {
  return (2 * numerator + denominator) / (2 * denominator);
}

}  // namespace

PixelRect LetterboxRect(int windowWidth, int windowHeight, int frameWidth, int frameHeight) {
  if (windowWidth < 1 || windowHeight < 1 || frameWidth < 1 || frameHeight < 1) return {};
  const int64_t w = windowWidth, h = windowHeight;
  PixelRect rect;
  if (w * frameHeight >= h * frameWidth) {
    // Wider than the frame: full height, bars left and right.
    rect.height = windowHeight;
    rect.width = static_cast<int>(std::clamp<int64_t>(RoundedQuotient(h * frameWidth, frameHeight), 1, w));
  } else {
    // Taller: full width, bars above and below.
    rect.width = windowWidth;
    rect.height = static_cast<int>(std::clamp<int64_t>(RoundedQuotient(w * frameHeight, frameWidth), 1, h));
  }
  rect.x = (windowWidth - rect.width) / 2;
  rect.y = (windowHeight - rect.height) / 2;
  return rect;
}
