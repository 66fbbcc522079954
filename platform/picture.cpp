// Turning a picture's rows between OpenGL's bottom-first order and the
// top-first order of files.

#include "platform/picture.h"

#include <algorithm>
#include <cstddef>

void FlipRows(TImage& image) {
  const size_t rowBytes = static_cast<size_t>(image.Width) * image.BytesPerPixel;
  if (rowBytes == 0 || image.Height < 2) return;
  uint8_t* top = image.Pixels.data();
  uint8_t* bottom = image.Pixels.data() + rowBytes * (image.Height - 1);
  for (; top < bottom; top += rowBytes, bottom -= rowBytes) std::swap_ranges(top, top + rowBytes, bottom);
}
