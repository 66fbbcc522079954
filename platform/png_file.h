// PNG files through libpng: 8-bit RGB or RGBA pictures, rows top first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
  int width = 0;
  int height = 0;
  int channels = 0;             // 3 (RGB) or 4 (RGBA)
  std::vector<uint8_t> pixels;  // width * height * channels bytes, top row first
};

// Writes `image` to `path`. False with `error` filled (naming the file and
// the reason) when the image is malformed or the file cannot be written.
bool WritePng(const std::string& path, const PngImage& image, std::string& error);
// Reads an 8-bit RGB or RGBA PNG (other formats are converted to those).
// False with `error` filled when the file cannot be read or decoded.
bool ReadPng(const std::string& path, PngImage& image, std::string& error);
