// BMP decoder: uncompressed 24-bit pictures with a 14-byte file header and an
// information header of 40 bytes or more.


#include "platform/byte_order.h"
#include "textures/image_decode.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

TDecodeResult Fail(TDecodeStatus status) { return {status, {}}; }

}  // namespace

TDecodeResult DecodeBMP(const uint8_t* data, size_t size) {
  if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') {
    return Fail(TDecodeStatus::BmpBadPixelData);
  }
  const uint8_t* info = data + kFileHeaderSize;
  const uint32_t dataOffset = ReadU32LE(data + 10);
  const int32_t width = static_cast<int32_t>(ReadU32LE(info + 4));
  const int32_t height = static_cast<int32_t>(ReadU32LE(info + 8));
  const uint16_t bitCount = ReadU16LE(info + 14);
  const uint32_t compression = ReadU32LE(info + 16);
  const uint32_t imageSize = ReadU32LE(info + 20);
  const uint32_t colorsUsed = ReadU32LE(info + 32);

  // The palette block follows the headers; a 24-bit picture does not use it,
  // but a file that promises one and ends inside it is broken.
  const size_t paletteEnd = kFileHeaderSize + kInfoHeaderSize + static_cast<size_t>(colorsUsed);
  if (paletteEnd > size) return Fail(TDecodeStatus::BmpShortPalette);

  // Only uncompressed 24-bit pixels are understood; anything else would be
  // misread as 3-byte pixels.
  if (bitCount != 24 || compression != 0 || width <= 0 || height == 0 || height == INT32_MIN) {
    return Fail(TDecodeStatus::BmpBadPixelData);
  }
  const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
  const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};  // rows pad to 4 bytes
  const uint64_t needed = stride * rows;
  // A declared image size too small for the padded rows is refused too: the
  // colour swap would otherwise run past the data.
  if (imageSize != 0 && imageSize < needed) return Fail(TDecodeStatus::BmpBadPixelData);
  // Writers with larger information headers (V4, V5) put the pixels where the
  // file header's offset says; older files may leave that offset 0.
  const uint64_t start = dataOffset >= kFileHeaderSize + kInfoHeaderSize ? dataOffset : paletteEnd;
  if (start > size || size - start < needed) return Fail(TDecodeStatus::BmpBadPixelData);

  TDecodeResult result;
  TImage& image = result.Image;
  image.Width = width;
  image.Height = static_cast<int32_t>(rows);
  image.BytesPerPixel = 3;
  image.Pixels.resize(static_cast<size_t>(width) * 3 * rows);
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  for (uint64_t r = 0; r < rows; ++r) {
    // File rows run bottom-up unless the height is negative.
    const uint8_t* src = data + start + stride * r;
    const uint64_t outRow = height > 0 ? r : rows - 1 - r;
    uint8_t* dst = image.Pixels.data() + rowBytes * outRow;
    for (int32_t x = 0; x < width; ++x) {  // B, G, R -> R, G, B
      dst[3 * x + 0] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x + 0];
    }
  }
  return result;
}
