// The sync track file: encoding, reading back with its findings, and the
// veloria-tool sync command on good and odd files.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "core/sync.h"
#include "core/sync_file.h"

namespace {

SyncLists ShowLikeLists() {
  SyncLists lists;
  for (int s = 1; s <= 8; ++s) lists.sectionEnds.push_back(1.5f * s);
  lists.channels[0] = {0.25f, 0.5f, 0.75f};
  lists.channels[2] = {1.0f};
  return lists;
}

void PutFloat(std::vector<uint8_t>& bytes, int list, int entry, float value) {
  std::memcpy(bytes.data() + (list * kSyncListLength + entry) * sizeof(float), &value, sizeof value);
}

// The one finding DecodeSyncFile reports for `bytes`, else how many there are.
std::string OnlyProblem(const std::vector<uint8_t>& bytes) {
  SyncLists lists;
  const std::vector<std::string> problems = DecodeSyncFile(bytes, lists);
  if (problems.size() == 1) return problems[0];
  return std::to_string(problems.size()) + " problems";
}

struct ToolResult {
  int status;
  std::string output;
};

ToolResult RunTool(const std::string& args) {
  ToolResult result{-1, ""};
  FILE* pipe = popen((std::string(VELORIA_TOOL) + " " + args + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) result.output += buffer.data();
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(SyncFile, EncodesListsAtTheirOffsetsWithTerminators) {
  const std::vector<uint8_t> bytes = EncodeSyncFile(ShowLikeLists());
  ASSERT_EQ(bytes.size(), 16016u);
  float value;
  std::memcpy(&value, bytes.data() + 4004 + 4, sizeof value);  // channel 1, entry 1
  EXPECT_EQ(value, 0.5f);
  std::memcpy(&value, bytes.data() + 4004 + 12, sizeof value);  // its terminator
  EXPECT_EQ(value, 0.0f);
  std::memcpy(&value, bytes.data() + 8008, sizeof value);  // channel 2 is empty
  EXPECT_EQ(value, 0.0f);

  SyncLists back;
  EXPECT_TRUE(DecodeSyncFile(bytes, back).empty());
  EXPECT_EQ(back.sectionEnds, ShowLikeLists().sectionEnds);
  EXPECT_EQ(back.channels[0], ShowLikeLists().channels[0]);
  EXPECT_TRUE(back.channels[1].empty());
}

TEST(SyncFile, EncoderRefusesListsTheShowWouldMisread) {
  SyncLists zero = ShowLikeLists();
  zero.channels[0][1] = 0.0f;  // would end the list early
  EXPECT_THROW(EncodeSyncFile(zero), std::invalid_argument);
  SyncLists unordered = ShowLikeLists();
  std::swap(unordered.channels[0][0], unordered.channels[0][2]);
  EXPECT_THROW(EncodeSyncFile(unordered), std::invalid_argument);
  SyncLists repeated = ShowLikeLists();
  repeated.channels[0][1] = repeated.channels[0][0];
  EXPECT_THROW(EncodeSyncFile(repeated), std::invalid_argument);
  SyncLists notFinite = ShowLikeLists();
  notFinite.channels[2][0] = std::numeric_limits<float>::infinity();
  EXPECT_THROW(EncodeSyncFile(notFinite), std::invalid_argument);
  SyncLists tooLong = ShowLikeLists();
  for (int i = 0; i < 1002; ++i) tooLong.channels[1].push_back(1.0f + i);
  EXPECT_THROW(EncodeSyncFile(tooLong), std::invalid_argument);
  // Exactly 1001 entries fill the list and need no terminator.
  tooLong.channels[1].resize(1001);
  const std::vector<uint8_t> bytes = EncodeSyncFile(tooLong);
  SyncLists back;
  EXPECT_TRUE(DecodeSyncFile(bytes, back).empty());
  EXPECT_EQ(back.channels[1].size(), 1001u);
}

TEST(SyncFile, FindingsNameTheListTheEntryAndWhatTheShowDoes) {
  const std::vector<uint8_t> good = EncodeSyncFile(ShowLikeLists());

  std::vector<uint8_t> shortFile(good.begin(), good.begin() + 4004 + 8);
  SyncLists partial;
  EXPECT_EQ(DecodeSyncFile(shortFile, partial),
            (std::vector<std::string>{"4012 bytes, expected 16016; the lists past byte 4012 are empty"}));
  EXPECT_EQ(partial.channels[0], (std::vector<float>{0.25f, 0.5f}));  // read up to where it ends
  // A float cut by the end keeps the bytes the file has: here a tiny third event.
  shortFile.push_back(0x01);
  DecodeSyncFile(shortFile, partial);
  ASSERT_EQ(partial.channels[0].size(), 3u);
  EXPECT_GT(partial.channels[0][2], 0.0f);

  std::vector<uint8_t> oneMore = good;
  oneMore.push_back(0);
  EXPECT_EQ(OnlyProblem(oneMore), "16017 bytes, expected 16016; the 1 byte past byte 16016 is ignored");

  std::vector<uint8_t> descending = good;
  PutFloat(descending, 1, 2, 0.4f);
  EXPECT_EQ(OnlyProblem(descending),
            "channel 1: entry 2 (0.4 s) is not later than entry 1 (0.5 s), so it passes with it");

  std::vector<uint8_t> minusInfinity = good;
  PutFloat(minusInfinity, 3, 0, -INFINITY);
  EXPECT_EQ(OnlyProblem(minusInfinity),
            "channel 3: entry 0 is -inf, before the music starts; it passes as soon as it is reached");

  // Only the first entry no time passes matters: the cursor never gets further.
  std::vector<uint8_t> twoStops = good;
  PutFloat(twoStops, 1, 0, INFINITY);
  PutFloat(twoStops, 1, 2, NAN);
  SyncLists lists;
  EXPECT_EQ(DecodeSyncFile(twoStops, lists),
            (std::vector<std::string>{
                "channel 1: entry 0 is inf, which no time passes; no later event of channel 1 passes",
                "channel 1: 2 entries after entry 0 are never reached"}));

  std::vector<uint8_t> afterEnd = good;
  PutFloat(afterEnd, 2, 5, 3.0f);
  PutFloat(afterEnd, 2, 1000, 4.0f);
  EXPECT_EQ(OnlyProblem(afterEnd), "channel 2: 2 non-zero entries after the terminating 0 at entry 0 are never read");

  std::vector<uint8_t> fewSections = good;
  PutFloat(fewSections, 0, 7, 0.0f);
  EXPECT_EQ(OnlyProblem(fewSections), "section ends: 7 entries; the show stays in section 7 until Escape");

  std::vector<uint8_t> garbage = good;
  for (int i = 0; i < 100; ++i) PutFloat(garbage, 1, i, 100.0f - i);
  const std::vector<std::string> many = DecodeSyncFile(garbage, lists);
  ASSERT_EQ(many.size(), 6u);
  EXPECT_EQ(many.back(), "channel 1: 94 more odd entries");
}

TEST(SyncFile, ToolPrintsTheGeneratedTrack) {
  const ToolResult result = RunTool("sync " + std::string(VELORIA_DATA_DIR) + "/music/sync.snc");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("section ends (8):"), std::string::npos);
  EXPECT_NE(result.output.find("section 7:   184.320 ..   199.680 s"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("channel 3 (48 events):"), std::string::npos);
  EXPECT_NE(result.output.find("valid"), std::string::npos);
}

TEST(SyncFile, ToolPrintsTheFindingsTheShowPrints) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "veloria_sync_tool_test";
  std::filesystem::create_directories(dir);
  std::vector<uint8_t> bytes = EncodeSyncFile(ShowLikeLists());
  PutFloat(bytes, 1, 1, 0.1f);
  bytes.resize(9000);
  const std::string odd = (dir / "odd.snc").string();
  std::ofstream(odd, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  // The show's loader, then the tool, on the same file.
  TSync track;
  std::string expected;
  for (const std::string& finding : track.LoadFromFile(odd)) expected += odd + ": " + finding + "\n";
  EXPECT_NE(expected.find(odd + ": 9000 bytes, expected 16016; the lists past byte 9000 are empty\n"),
            std::string::npos);
  EXPECT_NE(expected.find("channel 1: entry 1 (0.1 s) is not later than entry 0 (0.25 s)"), std::string::npos);
  const ToolResult result = RunTool("sync " + odd + " 2>&1 >/dev/null | cat");  // stderr only
  EXPECT_EQ(RunTool("sync " + odd).status, 1);
  EXPECT_EQ(result.output, expected);
  // The lists are printed as they read.
  EXPECT_NE(RunTool("sync " + odd).output.find("channel 1 (3 events):"), std::string::npos);

  const ToolResult missing = RunTool("sync " + (dir / "missing.snc").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("Cannot open file"), std::string::npos) << missing.output;
  EXPECT_EQ(RunTool("sync").status, 2);
  std::filesystem::remove_all(dir);
}

}  // namespace
