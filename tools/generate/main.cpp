// veloria-data [--detail N] OUTDIR: writes every file the show loads
// (pictures, models, music, sync track) below OUTDIR, the pictures at every
// detail up to N (1, 2 or 4; 4 unless given: 1 makes only the designed
// pictures, for a small data folder). veloria-data --icon FILE.png: writes
// the program's desktop icon. Deterministic: the same bytes every run.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "tools/generate/icon.h"
#include "tools/generate/models.h"
#include "tools/generate/music_writer.h"
#include "tools/generate/picture_art.h"

namespace fs = std::filesystem;

namespace {

// One writer per kind of data; each creates the files of its kind below the
// output directory and throws std::runtime_error when it cannot. They share
// nothing, so they may run at once.
struct DataWriter {
  const char* name;
  void (*write)(const fs::path& outDir, int largestDetail);
};

const std::vector<DataWriter> kWriters = {
    {"pictures", WritePictures},
    {"music", [](const fs::path& outDir, int) { WriteMusic(outDir); }},
    {"models", [](const fs::path& outDir, int) { WriteModels(outDir); }},
};

// The detail N of "--detail N", or 0 when it is no detail pictures are made at.
int DetailArgument(const std::string& text) {
  for (const int detail : PictureDetails()) {
    if (text == std::to_string(detail)) return detail;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool icon = argc == 3 && std::string(argv[1]) == "--icon";
  const bool detailed = argc == 4 && std::string(argv[1]) == "--detail";
  const int largestDetail = detailed ? DetailArgument(argv[2]) : kLargestDetail;
  if ((argc != 2 && !icon && !detailed) || largestDetail == 0) {
    std::fprintf(stderr,
                 "usage: veloria-data [--detail 1|2|4] OUTDIR\n       veloria-data --icon FILE.png\n");
    return 2;
  }
  const fs::path outDir = argv[argc - 1];
  try {
    if (icon) {
      WriteIcon(argv[2]);
      return 0;
    }
    fs::create_directories(outDir);
    // The writers run side by side (the pictures on every core besides), so
    // the music's synthesis hides behind the detailed pictures.
    std::vector<std::future<void>> running;
    for (const DataWriter& writer : kWriters) {
      running.push_back(std::async(std::launch::async, writer.write, outDir, largestDetail));
    }
    for (std::future<void>& writer : running) writer.get();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veloria-data: %s\n", e.what());
    return 1;
  }
  return 0;
}
