// Turning a picture's rows between OpenGL's bottom-first order and the
// top-first order of files.

#include "platform/picture.h"

#include <algorithm>
#include <cstddef>

namespace {
size_t RowBytes(const TImage& image) { return static_cast<size_t>(image.Width) * image.BytesPerPixel; }
}  // namespace

void FlipRows(TImage& image) {
  const size_t rowBytes = RowBytes(image);
  if (rowBytes == 0 || image.Height < 2) return;
  uint8_t* top = image.Pixels.data();
  uint8_t* bottom = image.Pixels.data() + rowBytes * (image.Height - 1);
  for (; top < bottom; top += rowBytes, bottom -= rowBytes) std::swap_ranges(top, top + rowBytes, bottom);
}

void CopyRowsTopFirst(const TImage& image, std::vector<uint8_t>& out) {
  const size_t rowBytes = RowBytes(image);
  out.resize(rowBytes * image.Height);
  for (int32_t row = 0; row < image.Height; ++row) {
    const uint8_t* source = image.Pixels.data() + rowBytes * (image.Height - 1 - row);
    std::copy(source, source + rowBytes, out.data() + rowBytes * row);
  }
}
