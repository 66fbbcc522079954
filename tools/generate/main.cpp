// veloria-data OUTDIR: writes every file the show loads (pictures, models,
// music, sync track) below OUTDIR. veloria-data --icon FILE.png: writes the
// program's desktop icon. Deterministic: the same bytes every run.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/generate/icon.h"
#include "tools/generate/models.h"
#include "tools/generate/music_writer.h"
#include "tools/generate/picture_art.h"

namespace fs = std::filesystem;

namespace {

// One writer per kind of data; each creates the files of its kind below the
// output directory and throws std::runtime_error when it cannot.
struct DataWriter {
  const char* name;
  void (*write)(const fs::path& outDir);
};

const std::vector<DataWriter> kWriters = {
    {"pictures", WritePictures},
    {"music", WriteMusic},
    {"models", WriteModels},
};

}  // namespace

int main(int argc, char** argv) {
  const bool icon = argc == 3 && std::string(argv[1]) == "--icon";
  if (argc != 2 && !icon) {
    std::fprintf(stderr, "usage: veloria-data OUTDIR\n       veloria-data --icon FILE.png\n");
    return 2;
  }
  const fs::path outDir = argv[1];
  try {
    if (icon) {
      WriteIcon(argv[2]);
      return 0;
    }
    fs::create_directories(outDir);
    for (const DataWriter& writer : kWriters) {
      writer.write(outDir);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veloria-data: %s\n", e.what());
    return 1;
  }
  return 0;
}
