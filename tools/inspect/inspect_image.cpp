// veloria-tool image FILE [--png OUT]: decodes a picture with the show's own
// decoders and prints its size and format, or the reader's message.

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_path.h"
#include "platform/png_file.h"
#include "textures/ORV2Textures.h"
#include "textures/image_decode.h"
#include "tools/inspect/commands.h"

int RunImageCommand(int argc, char** argv) {
  // Setup: arguments.
  if (argc != 1 && !(argc == 3 && std::strcmp(argv[1], "--png") == 0)) {
    std::fprintf(stderr, "usage: veloria-tool image FILE [--png OUT]\n");
    return 2;
  }
  const std::string name = argv[0];
  // The decoder the show's dispatcher would pick for this name.
  const TPictureKind kind = PictureKindOf(name);
  const TPictureDecoder decode = DecoderOf(kind);
  if (!decode) {
    std::fprintf(stderr, "veloria-tool: %s: not a .bmp, .jpg or .tga picture\n", name.c_str());
    return 2;
  }

  // Decode with the readers' own rules and messages.
  const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(name);
  if (!bytes) {
    const TReaderMessage message = OpenFailureMessage(kind, name);
    std::fprintf(stderr, "%s: %s\n", message.Caption.c_str(), message.Text.c_str());
    return 1;
  }
  const TDecodeResult decoded = decode(*bytes);
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
    std::string error;
    if (!WritePng(argv[2], image, error)) {
      std::fprintf(stderr, "veloria-tool: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
