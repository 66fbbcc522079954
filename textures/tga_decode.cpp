// TGA decoder: true-colour pictures, raw (type 2) or run-length encoded
// (type 10), 24 or 32 bits per pixel.

#include "platform/byte_order.h"
#include "textures/image_decode.h"

#include <algorithm>

namespace {

constexpr size_t kHeaderSize = 18;
// A run-length file can claim 65535 x 65535 pixels in a few bytes; pictures
// beyond this many pixels are refused instead of allocated.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

TDecodeResult Fail(TDecodeStatus status) { return {status, {}}; }

// Copies one file pixel (B, G, R[, A]) to the output as R, G, B[, A].
void CopyPixel(const uint8_t* src, uint8_t* dst, size_t bpp) {
  dst[0] = src[2];
  dst[1] = src[1];
  dst[2] = src[0];
  if (bpp == 4) dst[3] = src[3];
}

// Decodes the packet stream [p, end) into `count` pixels of `out`. Stops when
// the picture is full (a packet running past it is cut short) or when the
// stream ends (the rest of the picture stays zero).
void DecodeRunLength(const uint8_t* p, const uint8_t* end, size_t bpp, size_t count, uint8_t* out) {
  size_t written = 0;
  while (written < count && p < end) {
    const uint8_t header = *p++;
    const size_t length = (header & 0x7F) + 1u;
    if (header >= 128) {  // run packet: one pixel, repeated
      if (static_cast<size_t>(end - p) < bpp) return;
      for (size_t k = 0; k < length && written < count; ++k, ++written) CopyPixel(p, out + written * bpp, bpp);
      p += bpp;
    } else {  // raw packet: `length` pixels in a row
      for (size_t k = 0; k < length && written < count; ++k, ++written) {
        if (static_cast<size_t>(end - p) < bpp) return;
        CopyPixel(p, out + written * bpp, bpp);
        p += bpp;
      }
    }
  }
}

}  // namespace

TDecodeResult DecodeTGA(const uint8_t* data, size_t size) {
  if (size < kHeaderSize) return Fail(TDecodeStatus::TgaShortData);
  const uint8_t idLength = data[0];
  const uint8_t colorMapType = data[1];
  const uint8_t imageType = data[2];
  const uint32_t width = ReadU16LE(data + 12);
  const uint32_t height = ReadU16LE(data + 14);
  const uint8_t depth = data[16];
  // The descriptor's origin bits: bit 5, the first row is the top; bit 4,
  // each row runs from right to left.
  const bool topDown = (data[17] & 0x20) != 0;
  const bool rightToLeft = (data[17] & 0x10) != 0;

  if (imageType != 2 && imageType != 10) return Fail(TDecodeStatus::TgaBadImageType);
  if (colorMapType != 0) return Fail(TDecodeStatus::TgaColorMapped);
  if (depth != 24 && depth != 32) return Fail(TDecodeStatus::TgaBadDepth);
  const uint64_t count = uint64_t{width} * height;
  if (count == 0 || count > kMaxPixels) return Fail(TDecodeStatus::TgaShortData);

  // The identification field sits between the header and the pixels.
  const size_t start = kHeaderSize + idLength;
  if (start > size) return Fail(TDecodeStatus::TgaShortData);
  const size_t bpp = depth / 8u;
  // A raw picture must be all there; refuse a short one before allocating it.
  if (imageType == 2 && size - start < count * bpp) return Fail(TDecodeStatus::TgaShortData);

  TDecodeResult result;
  TImage& image = result.Image;
  image.Width = static_cast<int32_t>(width);
  image.Height = static_cast<int32_t>(height);
  image.BytesPerPixel = static_cast<int32_t>(bpp);
  image.Pixels.assign(count * bpp, 0);
  if (imageType == 2) {
    for (size_t k = 0; k < count; ++k) CopyPixel(data + start + k * bpp, image.Pixels.data() + k * bpp, bpp);
  } else {
    DecodeRunLength(data + start, data + size, bpp, count, image.Pixels.data());
  }
  if (topDown) FlipRows(image);
  if (rightToLeft) {
    const size_t rowBytes = width * bpp;
    for (size_t row = 0; row < height; ++row) {
      uint8_t* const first = image.Pixels.data() + row * rowBytes;
      for (size_t left = 0, right = width - 1; left < right; ++left, --right) {
        std::swap_ranges(first + left * bpp, first + (left + 1) * bpp, first + right * bpp);
      }
    }
  }
  return result;
}
