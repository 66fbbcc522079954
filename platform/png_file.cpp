// PNG reading and writing with libpng's simplified interface.

#include "platform/png_file.h"

#include <png.h>

bool WritePng(const std::string& path, const PngImage& image, std::string& error) {
  if ((image.channels != 3 && image.channels != 4) || image.width <= 0 || image.height <= 0 ||
      image.pixels.size() !=
          static_cast<size_t>(image.width) * image.height * image.channels) {
    error = "WritePng: malformed image for " + path;
    return false;
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = image.channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr)) {
    error = "WritePng: cannot write " + path + ": " + png.message;
    return false;
  }
  return true;
}

bool ReadPng(const std::string& path, PngImage& image, std::string& error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    error = "ReadPng: cannot read " + path + ": " + png.message;
    return false;
  }
  const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.channels = alpha ? 4 : 3;
  image.pixels.assign(PNG_IMAGE_SIZE(png), 0);
  if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
    error = "ReadPng: cannot decode " + path + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}
