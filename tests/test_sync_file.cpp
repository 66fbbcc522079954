// The sync track file: encoding, reading back with its checks, and the
// veloria-tool sync command on good and corrupt files.

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

// The one problem DecodeSyncFile reports for `bytes` ("" when none or several).
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

TEST(SyncFile, DecoderNamesWhatIsWrong) {
  const std::vector<uint8_t> good = EncodeSyncFile(ShowLikeLists());

  std::vector<uint8_t> shortFile(good.begin(), good.begin() + 4004 + 8);
  SyncLists partial;
  const std::vector<std::string> shortProblems = DecodeSyncFile(shortFile, partial);
  ASSERT_EQ(shortProblems.size(), 1u);
  EXPECT_NE(shortProblems[0].find("size is 4012 bytes"), std::string::npos) << shortProblems[0];
  EXPECT_EQ(partial.channels[0], (std::vector<float>{0.25f, 0.5f}));  // read up to where it ends

  std::vector<uint8_t> longFile = good;
  longFile.push_back(0);
  EXPECT_NE(OnlyProblem(longFile).find("size is 16017 bytes"), std::string::npos);

  std::vector<uint8_t> descending = good;
  PutFloat(descending, 1, 2, 0.4f);
  EXPECT_EQ(OnlyProblem(descending),
            "channel 1: entry 2 (0.4 s) is not later than entry 1 (0.5 s): the list must ascend");

  std::vector<uint8_t> negative = good;
  PutFloat(negative, 3, 0, -2.0f);
  EXPECT_NE(OnlyProblem(negative).find("channel 3: entry 0 is -2 s"), std::string::npos);

  std::vector<uint8_t> nan = good;
  PutFloat(nan, 0, 3, std::numeric_limits<float>::quiet_NaN());
  EXPECT_NE(OnlyProblem(nan).find("section ends: entry 3 is nan"), std::string::npos) << OnlyProblem(nan);

  std::vector<uint8_t> afterEnd = good;
  PutFloat(afterEnd, 2, 5, 3.0f);
  PutFloat(afterEnd, 2, 1000, 4.0f);
  EXPECT_EQ(OnlyProblem(afterEnd),
            "channel 2: 2 non-zero entries after the terminating 0.0 at entry 0 are never read");

  std::vector<uint8_t> fewSections = good;
  PutFloat(fewSections, 0, 7, 0.0f);
  EXPECT_NE(OnlyProblem(fewSections).find("section ends: 7 entries"), std::string::npos);

  SyncLists empty;
  EXPECT_EQ(DecodeSyncFile({}, empty).size(), 2u);  // size, and no sections

  std::vector<uint8_t> garbage = good;
  for (int i = 0; i < 100; ++i) PutFloat(garbage, 1, i, 100.0f - i);
  SyncLists lists;
  const std::vector<std::string> many = DecodeSyncFile(garbage, lists);
  ASSERT_EQ(many.size(), 6u);
  EXPECT_EQ(many.back(), "channel 1: 94 more bad entries");
}

TEST(SyncFile, ToolPrintsTheGeneratedTrack) {
  const ToolResult result = RunTool("sync " + std::string(VELORIA_DATA_DIR) + "/music/sync.snc");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("section ends (8):"), std::string::npos);
  EXPECT_NE(result.output.find("section 7:   184.320 ..   199.680 s"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("channel 3 (48 events):"), std::string::npos);
  EXPECT_NE(result.output.find("valid"), std::string::npos);
}

TEST(SyncFile, ToolRejectsCorruptFiles) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "veloria_sync_tool_test";
  std::filesystem::create_directories(dir);
  std::vector<uint8_t> bytes = EncodeSyncFile(ShowLikeLists());
  PutFloat(bytes, 1, 1, 0.1f);
  bytes.resize(9000);
  const std::filesystem::path corrupt = dir / "corrupt.snc";
  std::ofstream(corrupt, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  const ToolResult bad = RunTool("sync " + corrupt.string());
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find("size is 9000 bytes"), std::string::npos) << bad.output;
  EXPECT_NE(bad.output.find("channel 1: entry 1 (0.1 s) is not later than entry 0 (0.25 s)"), std::string::npos);

  const ToolResult missing = RunTool("sync " + (dir / "missing.snc").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("Cannot open file"), std::string::npos) << missing.output;
  EXPECT_EQ(RunTool("sync").status, 2);
  std::filesystem::remove_all(dir);
}

}  // namespace
