// PNG files through libpng: 8-bit RGB or RGBA pictures. The file stores the
// top row first; the TImage in memory holds the bottom row first.
#pragma once

#include <string>

#include "platform/picture.h"

// Writes `image` to `path`. False with `error` filled (naming the file and
// the reason) when the image is malformed or the file cannot be written.
bool WritePng(const std::string& path, const TImage& image, std::string& error);
// Reads an 8-bit RGB or RGBA PNG (other formats are converted to those).
// False with `error` filled when the file cannot be read or decoded.
bool ReadPng(const std::string& path, TImage& image, std::string& error);
