// PNG encoding of a decoded picture, for inspection and screenshots.
#pragma once

#include <cstdint>
#include <vector>

#include "textures/image_decode.h"

// The PNG file of `image` (rows bottom-up in memory, written top row first),
// 8-bit RGB or RGBA after its bytes per pixel. Empty when libpng fails.
std::vector<uint8_t> EncodePNG(const TImage& image);
