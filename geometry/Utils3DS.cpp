// Bounds-checked reading of 3DS chunk data.

#include "geometry/Utils3DS.h"

#include <cstdio>

#include "platform/byte_order.h"

namespace {

constexpr uint32_t kMaxStringLength = 255;  // names are kept in 256 bytes with the zero

}  // namespace

void Throw3DSFormatError(uint16_t tag, uint32_t position, const std::string& what) {
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "chunk 0x%04X at offset %u: ", tag, position);
  throw E3DSError(prefix + what);
}

ChunkCursor::ChunkCursor(const std::vector<uint8_t>& bytes, uint16_t tag, uint32_t position,
                         uint32_t begin, uint32_t end)
    : bytes_(bytes), tag_(tag), position_(position), offset_(begin), end_(end < begin ? begin : end) {}

void ChunkCursor::Require(uint32_t size, const char* what) const {
  if (size > Remaining()) {
    Throw3DSFormatError(tag_, position_,
                        std::string(what) + " at offset " + std::to_string(offset_) +
                            " does not fit in the chunk");
  }
}

void ChunkCursor::RequireArray(uint32_t count, uint32_t size, const char* what) const {
  const uint64_t needed = static_cast<uint64_t>(count) * size;
  if (needed > Remaining()) {
    Throw3DSFormatError(tag_, position_,
                        std::string(what) + " " + std::to_string(count) + " needs " +
                            std::to_string(needed) + " bytes but only " +
                            std::to_string(Remaining()) + " remain in the chunk");
  }
}

uint8_t ChunkCursor::ReadU8(const char* what) {
  Require(1, what);
  return bytes_[offset_++];
}

uint16_t ChunkCursor::ReadU16(const char* what) {
  Require(2, what);
  const uint16_t value = ReadU16LE(bytes_.data() + offset_);
  offset_ += 2;
  return value;
}

uint32_t ChunkCursor::ReadU32(const char* what) {
  Require(4, what);
  const uint32_t value = ReadU32LE(bytes_.data() + offset_);
  offset_ += 4;
  return value;
}

float ChunkCursor::ReadF32(const char* what) {
  Require(4, what);
  const float value = ReadF32LE(bytes_.data() + offset_);
  offset_ += 4;
  return value;
}

std::string ChunkCursor::ReadString(const char* what) {
  const uint32_t start = offset_;
  SkipString(what);
  return std::string(reinterpret_cast<const char*>(bytes_.data()) + start, offset_ - start - 1);
}

void ChunkCursor::SkipString(const char* what) {
  const uint32_t start = offset_;
  uint32_t length = 0;
  while (true) {
    if (length >= end_ - offset_) {
      Throw3DSFormatError(tag_, position_,
                          std::string(what) + " string at offset " + std::to_string(start) +
                              " is cut off by the end of the chunk");
    }
    if (bytes_[offset_ + length] == 0) break;
    if (++length > kMaxStringLength) {
      Throw3DSFormatError(tag_, position_,
                          std::string(what) + " string at offset " + std::to_string(start) +
                              " is longer than 255 bytes");
    }
  }
  offset_ += length + 1;
}

std::vector<uint8_t> ChunkCursor::ReadBytes(uint32_t count, const char* what) {
  Require(count, what);
  std::vector<uint8_t> out(bytes_.begin() + offset_, bytes_.begin() + offset_ + count);
  offset_ += count;
  return out;
}
