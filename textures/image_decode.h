// Picture decoders: file bytes in, 8-bit RGB or RGBA pixels out, or the reason
// the bytes were refused. Pure code (no GL, no SDL), shared by the texture
// loaders and by veloria-tool.
//
// Pictures come back as TImage: rows bottom-up, as OpenGL takes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/picture.h"

// Why a decoder refused its input. Each maps to one loader message.
enum class TDecodeStatus {
  Ok,
  BmpShortPalette,     // the palette block ends early
  BmpBadPixelData,     // headers or pixel data short, or not uncompressed 24-bit
  JpegUnreadable,      // not a JPEG, broken beyond what libjpeg reads past, or cut off
  TgaBadImageType,     // image type neither 2 (raw) nor 10 (run-length)
  TgaColorMapped,      // a colour map is present
  TgaBadDepth,         // pixel depth other than 24 or 32 bits
  TgaShortData,        // header or pixel data short, or a zero side
};

struct TDecodeResult {
  TDecodeStatus Status = TDecodeStatus::Ok;
  TImage Image;  // filled only when Status is Ok
};

// Uncompressed 24-bit BMP (rows bottom-up or, with a negative height, top-down).
TDecodeResult DecodeBMP(const uint8_t* data, size_t size);
// Any baseline or progressive JPEG, always as RGBA with alpha 255. Never ends
// the process: libjpeg's errors, and data cut short (the file ends before its
// end marker, or a scan stops early at a marker), come back as
// JpegUnreadable; data libjpeg only warns about and reads past (stray bytes,
// a damaged APP segment, a bad entropy code) is decoded as libjpeg decodes it.
TDecodeResult DecodeJPEG(const uint8_t* data, size_t size);
// True-colour TGA of type 2 or 10 at 24 or 32 bits (RGB or RGBA), turned
// to bottom-up, left-to-right rows whatever corner the descriptor's origin
// bits name. A run-length stream that ends early or overruns the picture is
// cut off there; pixels never reached stay black (and transparent).
TDecodeResult DecodeTGA(const uint8_t* data, size_t size);

inline TDecodeResult DecodeBMP(const std::vector<uint8_t>& b) { return DecodeBMP(b.data(), b.size()); }
inline TDecodeResult DecodeJPEG(const std::vector<uint8_t>& b) { return DecodeJPEG(b.data(), b.size()); }
inline TDecodeResult DecodeTGA(const std::vector<uint8_t>& b) { return DecodeTGA(b.data(), b.size()); }
