// Music playback on SDL's dummy audio driver: the sample table's index rules,
// the playback limit per sample, and the volume and pan mapping.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "core/show.h"
#include "runtime/OrvikBASS.h"

namespace {

namespace fs = std::filesystem;

// A silent 16-bit stereo 44.1 kHz WAV of `seconds`.
void WriteSilentWav(const fs::path& path, double seconds) {
  const uint32_t frames = static_cast<uint32_t>(seconds * kMusicSampleRate);
  const uint32_t dataBytes = frames * 4;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) {
    for (int b = 0; b < 4; ++b) out.put(static_cast<char>(v >> (8 * b)));
  };
  auto u16 = [&](uint16_t v) {
    out.put(static_cast<char>(v));
    out.put(static_cast<char>(v >> 8));
  };
  out.write("RIFF", 4);
  u32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(2);
  u32(kMusicSampleRate);
  u32(kMusicSampleRate * 4);
  u16(4);
  u16(16);
  out.write("data", 4);
  u32(dataBytes);
  for (uint32_t i = 0; i < dataBytes; ++i) out.put(0);
}

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("veloria_music_" + std::to_string(::getpid()));
    fs::create_directories(dir / "music");
    WriteSilentWav(dir / "music" / "long.wav", 3.0);
    WriteSilentWav(dir / "music" / "short.wav", 0.01);
  }
  void TearDown() override {
    ShutdownMusic();
    fs::remove_all(dir);
  }
  std::string Name(const char* file) const { return (dir / "music").string() + "\\" + file; }
  fs::path dir;
};

TEST_F(MusicTest, FailedLoadsGiveMinusOneAndLeaveTheirSlot) {
  EXPECT_EQ(LoadSample(Name("long.wav")), -1);  // no device yet
  ASSERT_TRUE(InitMusic(nullptr));
  EXPECT_EQ(LoadSample(Name("long.wav")), 0);
  EXPECT_EQ(LoadSample(Name("missing.mp3")), -1);
  EXPECT_EQ(SampleTable.count, 1);
  EXPECT_EQ(LoadSample(Name("short.wav")), 1);  // the failed load's slot
  EXPECT_EQ(SampleTable.count, 2);
}

TEST_F(MusicTest, AtMostThreePlaybacksPerSample) {
  ASSERT_TRUE(InitMusic(nullptr));
  const int32_t first = LoadSample(Name("long.wav"));
  const int32_t second = LoadSample(Name("long.wav"));
  for (int i = 0; i < 4; ++i) PlaySample(first, 100, 0);
  EXPECT_EQ(SamplePlaybacks(first), kPlaybacksPerSample);
  EXPECT_EQ(SamplePlaybacks(second), 0);  // the fourth start replaced one of first's own
  PlaySample(second, 50, -100);
  EXPECT_EQ(SamplePlaybacks(second), 1);

  FreeSample(first);
  EXPECT_EQ(SamplePlaybacks(first), 0);
  EXPECT_EQ(SampleTable.handles[first], nullptr);
  // A freed slot, -1 and indexes outside the table do nothing.
  PlaySample(first, 100, 0);
  FreeSample(first);
  PlaySample(-1, 100, 0);
  FreeSample(-1);
  PlaySample(kMaxSamples, 100, 0);
  EXPECT_EQ(SamplePlaybacks(first), 0);
  EXPECT_EQ(SamplePlaybacks(second), 1);
  // Shutdown frees what is left once and empties the table.
  ShutdownMusic();
  EXPECT_EQ(SampleTable.count, 0);
  EXPECT_EQ(LoadSample(Name("short.wav")), -1);  // the device is closed
}

TEST_F(MusicTest, TableHoldsOneHundredTwentyEightSamples) {
  ASSERT_TRUE(InitMusic(nullptr));
  for (int32_t i = 0; i < kMaxSamples; ++i) ASSERT_EQ(LoadSample(Name("short.wav")), i);
  EXPECT_EQ(LoadSample(Name("short.wav")), -1);
  EXPECT_EQ(SampleTable.count, kMaxSamples);
  PlaySample(kMaxSamples - 1, 100, 0);
  EXPECT_EQ(SamplePlaybacks(kMaxSamples - 1), 1);
}

TEST(MusicMappingTest, VolumeAndPanKeepTheCentreAtFullVolume) {
  EXPECT_EQ(MixerVolume(100), 128);
  EXPECT_EQ(MixerVolume(50), 64);
  EXPECT_EQ(MixerVolume(0), 0);
  EXPECT_EQ(MixerVolume(250), 128);
  EXPECT_EQ(MixerVolume(-3), 0);
  uint8_t left = 0, right = 0;
  PanLevels(0, left, right);
  EXPECT_EQ(left, 255);
  EXPECT_EQ(right, 255);
  PanLevels(100, left, right);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 255);
  PanLevels(-50, left, right);
  EXPECT_EQ(left, 255);
  EXPECT_EQ(right, 127);
  PanLevels(-400, left, right);
  EXPECT_EQ(right, 0);
}

}  // namespace
