// veloria-tool image FILE [--png OUT]: decodes a picture with the show's own
// decoders and prints its size and format, or the reader's message.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "textures/ORV2Textures.h"
#include "textures/image_decode.h"
#include "tools/inspect/commands.h"

namespace {

std::string UpperExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

int RunImageCommand(int argc, char** argv) {
  // Setup: arguments.
  if (argc != 1 && !(argc == 3 && std::strcmp(argv[1], "--png") == 0)) {
    std::fprintf(stderr, "usage: veloria-tool image FILE [--png OUT]\n");
    return 2;
  }
  const std::string name = argv[0];
  const std::string ext = UpperExtension(name);
  TDecodeResult (*decode)(const std::vector<uint8_t>&) = nullptr;
  if (ext == ".BMP") decode = DecodeBMP;
  if (ext == ".JPG" || ext == ".JPEG") decode = DecodeJPEG;
  if (ext == ".TGA") decode = DecodeTGA;
  if (!decode) {
    std::fprintf(stderr, "veloria-tool: %s: not a .bmp, .jpg or .tga picture\n", name.c_str());
    return 2;
  }

  // Decode with the readers' own rules and messages.
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    const TReaderMessage message = OpenFailureMessage(ext, name);
    std::fprintf(stderr, "%s: %s\n", message.Caption.c_str(), message.Text.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const TDecodeResult decoded = decode(bytes);
  if (decoded.Status != TDecodeStatus::Ok) {
    const TReaderMessage message = DecodeFailureMessage(decoded.Status, name);
    std::fprintf(stderr, "%s: %s\n", message.Caption.c_str(), message.Text.c_str());
    return 1;
  }
  const TImage& image = decoded.Image;
  std::printf("width %d\nheight %d\nformat %s\nbytes per pixel %d\n", image.Width, image.Height,
              image.BytesPerPixel == 4 ? "RGBA" : "RGB", image.BytesPerPixel);

  // Optional PNG of the decoded pixels.
  if (argc == 3) {
    // Decoded rows are bottom-up; the PNG starts with the top row.
    PngImage png{image.Width, image.Height, image.BytesPerPixel, {}};
    const size_t rowBytes = static_cast<size_t>(image.Width) * image.BytesPerPixel;
    png.pixels.reserve(image.Pixels.size());
    for (int32_t row = image.Height - 1; row >= 0; --row) {
      png.pixels.insert(png.pixels.end(), image.Pixels.begin() + rowBytes * row,
                        image.Pixels.begin() + rowBytes * (row + 1));
    }
    std::string error;
    if (!WritePng(argv[2], png, error)) {
      std::fprintf(stderr, "veloria-tool: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
