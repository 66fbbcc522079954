// Textures and pictures of known content for the drawing tests.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// A size x size RGBA texture whose texel (x, y) (y from the bottom) is
// `texel(x, y)`; created like a loaded picture (mipmapped, repeating).
int32_t PatternTexture(int32_t size, const std::function<uint32_t(int x, int y)>& texel);
// An opaque texture of one colour 0xRRGGBB.
int32_t SolidColorTexture(uint32_t rgb);
// Level 0 of `texture` as RGBA, size x size, bottom row first.
std::vector<uint8_t> ReadTextureLevel0(int32_t texture, int32_t size);
// The bound picture over the whole 800 x 600 screen, repeated s x t times, in
// the current state; the show's perspective is back in place afterwards.
void FullScreenPicture(float s, float t);
// Fills the screen, unblended, with a picture holding every byte value, so a
// layer that touched the frame at all would show. Leaves lighting, depth test
// and blending off, texturing on with that picture bound, white.
void DrawBusyBackground();
