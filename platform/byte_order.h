// Little-endian fields of the show's file formats (3DS, BMP, TGA, the sync
// track), read from bytes the caller has checked are there.
#pragma once

#include <cstdint>
#include <cstring>

inline uint16_t ReadU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t ReadU32LE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// An IEEE single stored as the little-endian bits of a ReadU32LE.
inline float ReadF32LE(const uint8_t* p) {
  const uint32_t bits = ReadU32LE(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
