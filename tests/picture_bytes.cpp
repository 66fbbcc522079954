// Hand-made picture files for the reader tests.

#include "tests/picture_bytes.h"

#include <unistd.h>

#include <fstream>

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = v & 0xFF;
  out[at + 1] = (v >> 8) & 0xFF;
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> MakeBmp(const BmpSpec& spec) {
  std::vector<uint8_t> out(54 + spec.colorsUsed, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 10, 0);  // no data offset: the pixels follow the palette block
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(spec.width));
  Put32(out, 22, static_cast<uint32_t>(spec.height));
  Put16(out, 26, 1);
  Put16(out, 28, spec.bitCount);
  Put32(out, 34, spec.imageSize);
  Put32(out, 46, spec.colorsUsed);
  const int32_t rows = spec.height < 0 ? -spec.height : spec.height;
  const size_t stride = (static_cast<size_t>(spec.width) * 3 + 3) & ~size_t{3};
  for (int32_t y = 0; y < rows; ++y) {
    size_t rowStart = out.size();
    for (int32_t x = 0; x < spec.width; ++x) {
      const size_t k = (static_cast<size_t>(y) * spec.width + x) * 3;
      if (k + 2 < spec.rgb.size()) {
        out.push_back(spec.rgb[k + 2]);
        out.push_back(spec.rgb[k + 1]);
        out.push_back(spec.rgb[k]);
      }
    }
    out.resize(rowStart + stride, 0);
  }
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<uint8_t> MakeTga(uint8_t imageType, uint16_t width, uint16_t height, uint8_t depth,
                             const std::vector<uint8_t>& body, uint8_t colorMapType, uint8_t descriptor) {
  // Reserved up front: GCC 12 warns falsely about the insert below growing an
  // 18-byte vector.
  std::vector<uint8_t> out(18, 0);
  out.reserve(18 + body.size());
  out[1] = colorMapType;
  out[2] = imageType;
  Put16(out, 12, width);
  Put16(out, 14, height);
  out[16] = depth;
  out[17] = descriptor;
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::string WriteTempFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("veloria_tests_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path path = dir / fileName;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}
