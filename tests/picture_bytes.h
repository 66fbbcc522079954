// Hand-made picture files for the reader tests: small BMP and TGA files built
// byte by byte, so every header field can be set to an edge value.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A 24-bit BMP with a 40-byte information header. Pixels are given as
// R, G, B, rows bottom-up; rows are padded to 4 bytes in the file.
struct BmpSpec {
  int32_t width = 2;
  int32_t height = 2;
  uint16_t bitCount = 24;
  uint32_t imageSize = 0;   // 0: the field is left 0
  uint32_t colorsUsed = 0;  // palette block bytes placed before the pixels
  std::vector<uint8_t> rgb;  // width * |height| * 3 bytes
};
std::vector<uint8_t> MakeBmp(const BmpSpec& spec);

// An 18-byte TGA header followed by `body` (raw pixels or packets).
std::vector<uint8_t> MakeTga(uint8_t imageType, uint16_t width, uint16_t height, uint8_t depth,
                             const std::vector<uint8_t>& body, uint8_t colorMapType = 0,
                             uint8_t descriptor = 0);

// Writes `bytes` to a fresh file below the test's temporary folder and
// returns its path as a data name (forward slashes work as names too).
std::string WriteTempFile(const std::string& fileName, const std::vector<uint8_t>& bytes);
