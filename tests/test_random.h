// The tests' own seeded generator: noise that is the same on every run and
// every machine, for pictures, mutated files and random shapes. (The show's
// generator is core/random.h; this one never touches its sequence.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A linear congruential generator, seed := seed * 1664525 + 1013904223 mod 2^32.
struct TestRandom {
  uint32_t seed;
  uint32_t Next() { return seed = seed * 1664525u + 1013904223u; }
  // The high byte of the next seed: its best-mixed bits.
  uint8_t Byte() { return static_cast<uint8_t>(Next() >> 24); }
  // A whole number in 0 .. range - 1.
  int Below(int range) { return static_cast<int>((Next() >> 8) % static_cast<uint32_t>(range)); }
  // `count` bytes of noise.
  std::vector<uint8_t> Bytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) byte = Byte();
    return bytes;
  }
};
