// Bounds-checked little-endian reading inside one 3DS chunk. Every read that
// would leave the chunk raises E3DSError naming the chunk and the offset, so
// no malformed file can make the reader touch memory outside its buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/Types3DS.h"

// "chunk 0x4110 at offset 1234: <what>", the reader's malformed-file message.
[[noreturn]] void Throw3DSFormatError(uint16_t tag, uint32_t position, const std::string& what);

class ChunkCursor {
 public:
  // Reads bytes [begin, end) of `bytes` for chunk `tag` at `position`; the
  // caller guarantees end <= bytes.size().
  ChunkCursor(const std::vector<uint8_t>& bytes, uint16_t tag, uint32_t position, uint32_t begin,
              uint32_t end);

  uint32_t Offset() const { return offset_; }
  uint32_t Remaining() const { return end_ - offset_; }
  uint8_t ReadU8(const char* what);
  uint16_t ReadU16(const char* what);
  uint32_t ReadU32(const char* what);
  float ReadF32(const char* what);
  // An ASCIIZ string of at most 255 characters ended inside the chunk.
  std::string ReadString(const char* what);
  // Skips an ASCIIZ string under the same rules.
  void SkipString(const char* what);
  std::vector<uint8_t> ReadBytes(uint32_t count, const char* what);
  // Checks that `count` elements of `size` bytes fit in the rest of the chunk
  // before an array is allocated; `what` names the count.
  void RequireArray(uint32_t count, uint32_t size, const char* what) const;

 private:
  void Require(uint32_t size, const char* what) const;

  const std::vector<uint8_t>& bytes_;
  uint16_t tag_;
  uint32_t position_;
  uint32_t offset_;
  uint32_t end_;
};
