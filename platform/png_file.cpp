// PNG reading and writing with libpng's simplified interface. A negative row
// stride makes libpng walk the rows from the last one in memory, so the
// bottom-first rows of a TImage meet the file's top-first rows without a copy.

#include "platform/png_file.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "platform/file_path.h"

namespace {
png_int_32 BottomFirstStride(const TImage& image) { return -(image.Width * image.BytesPerPixel); }

// Files opened by OpenFile, so every path's letters reach the system.
struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;
}  // namespace

bool WritePng(const std::string& path, const TImage& image, std::string& error) {
  if ((image.BytesPerPixel != 3 && image.BytesPerPixel != 4) || image.Width <= 0 || image.Height <= 0 ||
      image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height * image.BytesPerPixel) {
    error = "WritePng: malformed image for " + path;
    return false;
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.Width);
  png.height = static_cast<png_uint_32>(image.Height);
  png.format = image.BytesPerPixel == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  File file(OpenFile(path, "wb"));
  if (!file) {
    error = "WritePng: cannot write " + path;
    return false;
  }
  if (!png_image_write_to_stdio(&png, file.get(), 0, image.Pixels.data(), BottomFirstStride(image), nullptr) ||
      std::fclose(file.release()) != 0) {
    error = "WritePng: cannot write " + path + ": " + (png.message[0] != '\0' ? png.message : "a write failed");
    file.reset();
    std::remove(path.c_str());  // no half-written picture stays behind
    return false;
  }
  return true;
}

bool ReadPng(const std::string& path, TImage& image, std::string& error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  const File file(OpenFile(path, "rb"));
  if (!file) {
    error = "ReadPng: cannot read " + path;
    return false;
  }
  if (!png_image_begin_read_from_stdio(&png, file.get())) {
    error = "ReadPng: cannot read " + path + ": " + png.message;
    return false;
  }
  const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  image.Width = static_cast<int32_t>(png.width);
  image.Height = static_cast<int32_t>(png.height);
  image.BytesPerPixel = alpha ? 4 : 3;
  image.Pixels.assign(PNG_IMAGE_SIZE(png), 0);
  if (!png_image_finish_read(&png, nullptr, image.Pixels.data(), BottomFirstStride(image), nullptr)) {
    error = "ReadPng: cannot decode " + path + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}
