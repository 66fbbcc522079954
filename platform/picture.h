// A picture in memory, as every part of the program holds one: 8-bit RGB or
// RGBA pixels in tightly packed rows, the bottom row first. That is OpenGL's
// order, in which textures are uploaded and frames are read back; files that
// store the top row first (PNG, most TGA files, a video's frames) are turned
// where they are read or written.
#pragma once

#include <cstdint>
#include <vector>

struct TImage {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BytesPerPixel = 0;  // 3 = R, G, B; 4 = R, G, B, A
  std::vector<uint8_t> Pixels;  // Width * Height * BytesPerPixel bytes, bottom row first
};

// Reverses the order of the rows in place: a picture decoded top row first
// becomes a TImage.
void FlipRows(TImage& image);
