// A real GL context for tests: the show's own window, opened once per test
// process on SDL's offscreen driver (Mesa's software renderer) and kept.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Opens the 800 x 600 window with its context unless it is already open.
void EnsureGLContext();

// Reads the RGBA pixel at (x, y), y counted from the bottom, from the buffer
// that is being drawn.
struct Pixel {
  uint8_t r, g, b, a;
};
Pixel ReadPixel(int x, int y);
// The whole 800 x 600 RGBA buffer being drawn, bottom row first.
std::vector<uint8_t> ReadFrame();
// The whole 800 x 600 stencil buffer, one byte a pixel, bottom row first.
std::vector<uint8_t> ReadStencil();

// Base for tests that draw: the context is open and no GL error is pending.
class GLTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Asserts (non-fatally) that no GL error was raised since SetUp.
  void TearDown() override;
};
