// PNG encoding through libpng into memory.

#include "textures/png_encode.h"

#include <png.h>

std::vector<uint8_t> EncodePNG(const TImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.Width);
  png.height = static_cast<png_uint_32>(image.Height);
  png.format = image.BytesPerPixel == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const png_int_32 rowBytes = image.Width * image.BytesPerPixel;
  // A negative stride walks the bottom-up rows from the last, so the file
  // starts with the top row.
  const png_int_32 stride = -rowBytes;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.Pixels.data(), stride, nullptr)) return {};
  std::vector<uint8_t> bytes(size);
  if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.Pixels.data(), stride, nullptr)) return {};
  bytes.resize(size);
  return bytes;
}
