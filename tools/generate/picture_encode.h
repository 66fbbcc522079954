// File encoders for generated pictures: JPEG through libjpeg-turbo and TGA
// (raw or run-length). Both take a TImage (rows bottom-up) and return the
// file's bytes; the same image always gives the same bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "textures/image_decode.h"

// Baseline JPEG, 4:2:0, of an RGB or RGBA image (alpha is dropped).
// `quality` 1..100. Throws std::runtime_error if libjpeg fails.
std::vector<uint8_t> EncodeJPEG(const TImage& image, int quality);

// True-colour TGA with a lower-left origin: type 10 (run-length) when
// `runLength`, else type 2; 24 or 32 bits after the image's bytes per pixel.
std::vector<uint8_t> EncodeTGA(const TImage& image, bool runLength);
