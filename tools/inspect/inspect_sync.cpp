// veloria-tool sync FILE: prints a sync track's section ends and the events of
// each channel as the show reads them, and what is odd about the file, in the
// lines the show prints when it loads it.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "core/sync_file.h"
#include "platform/stream_errors.h"
#include "tools/inspect/commands.h"

namespace {

constexpr int kTimesPerLine = 8;

void PrintTimes(const std::vector<float>& times) {
  for (size_t i = 0; i < times.size(); ++i) {
    std::printf("%s%9.3f", i % kTimesPerLine == 0 ? "    " : " ", static_cast<double>(times[i]));
    if (i % kTimesPerLine == kTimesPerLine - 1 || i + 1 == times.size()) std::printf("\n");
  }
}

}  // namespace

int RunSyncCommand(int argc, char** argv) {
  if (argc != 1) {
    std::fprintf(stderr, "usage: veloria-tool sync FILE\n");
    return 2;
  }
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadFileBytes(argv[0]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veloria-tool sync: %s\n", e.what());
    return 1;
  }
  SyncLists lists;
  const std::vector<std::string> findings = DecodeSyncFile(bytes, lists);

  std::printf("%s: %zu bytes\n", argv[0], bytes.size());
  std::printf("section ends (%zu):\n", lists.sectionEnds.size());
  float start = 0.0f;
  for (size_t s = 0; s < lists.sectionEnds.size(); ++s) {
    std::printf("    section %zu: %9.3f .. %9.3f s (%.3f s)\n", s, static_cast<double>(start),
                static_cast<double>(lists.sectionEnds[s]), static_cast<double>(lists.sectionEnds[s] - start));
    start = lists.sectionEnds[s];
  }
  for (int c = 0; c < 3; ++c) {
    std::printf("channel %d (%zu events):\n", c + 1, lists.channels[c].size());
    PrintTimes(lists.channels[c]);
  }
  // The show plays a track with findings too; the status tells a script that
  // it may not play as meant.
  for (const std::string& finding : findings) std::fprintf(stderr, "%s: %s\n", argv[0], finding.c_str());
  if (!findings.empty()) return 1;
  std::printf("valid\n");
  return 0;
}
