// Replays the fuzzers' seeds and every file a fuzzer once broke a reader with
// through the fuzz entry points: each must be read, refused or warned about
// as its name says, and never crash.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "platform/stream_errors.h"

namespace {

namespace fs = std::filesystem;

// Replays every file of `dir`/<target>; returns how many it read.
int Replay(const fs::path& dir, const std::string& target) {
  const FuzzEntry entry = FindFuzzEntry(target);
  EXPECT_NE(entry, nullptr) << target;
  if (!entry || !fs::is_directory(dir / target)) return 0;
  int replayed = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(dir / target)) {
    const std::string name = file.path().filename().string();
    const std::pair<const char*, FuzzVerdict> answers[] = {
        {"decoded-", FuzzVerdict::Decoded}, {"refused-", FuzzVerdict::Refused}, {"warned-", FuzzVerdict::Warned}};
    const auto named = std::find_if(std::begin(answers), std::end(answers),
                                    [&](const auto& answer) { return name.rfind(answer.first, 0) == 0; });
    const std::vector<uint8_t> bytes = ReadFileBytes(file.path().string());
    const FuzzVerdict verdict = entry(bytes.data(), bytes.size());
    if (named == std::end(answers)) {
      ADD_FAILURE() << file.path() << ": name must start with decoded-, refused- or warned-";
    } else {
      EXPECT_EQ(verdict, named->second) << file.path();
    }
    ++replayed;
  }
  return replayed;
}

class FuzzReplay : public ::testing::TestWithParam<const char*> {};

TEST_P(FuzzReplay, SeedsAndRegressionsGiveTheirNamedAnswer) {
  const int seeds = Replay(VELORIA_FUZZ_CORPUS, GetParam());
  // Every reader keeps hand-made seeds with both answers among them.
  EXPECT_GE(seeds, 2);
  Replay(fs::path(VELORIA_TEST_FILES) / "regressions", GetParam());
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzReplay, ::testing::Values("model", "tga", "bmp", "jpeg", "sync"));

TEST(FuzzEntries, EmptyInputIsRefusedByEveryReaderButTheSyncTrack) {
  const uint8_t none = 0;
  for (const char* target : {"model", "tga", "bmp", "jpeg"}) {
    EXPECT_EQ(FindFuzzEntry(target)(&none, 0), FuzzVerdict::Refused) << target;
  }
  // An empty sync file plays, in section 0 until Escape, with a warning.
  EXPECT_EQ(FindFuzzEntry("sync")(&none, 0), FuzzVerdict::Warned);
  EXPECT_EQ(FindFuzzEntry("wav"), nullptr);
}

}  // namespace
