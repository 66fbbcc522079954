// The music's prefetch: what libmpg123 decodes on the worker must be the
// bytes SDL_mixer's Mix_LoadWAV gives for the same file, and every file or
// device it cannot serve must load, or fail, exactly as without a prefetch.

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/show.h"
#include "platform/audio.h"
#include "platform/sound_decode.h"
#include "platform/sound_prefetch.h"
#include "runtime/OrvikBASS.h"
#include "tests/program_run.h"
#include "tools/generate/mp3_encoder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = VELORIA_DATA_DIR;

// `seconds` of a 440 Hz tone, stereo, through the data generator's encoder.
std::vector<uint8_t> EncodedTone(double seconds) {
  std::vector<int16_t> samples(2 * static_cast<size_t>(seconds * kMusicSampleRate));
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i / 2) / kMusicSampleRate));
  }
  return EncodeMp3(samples);
}

// An ID3v2.3 tag of padding only, as tag editors leave in front of the audio.
std::vector<uint8_t> WithId3v2(std::vector<uint8_t> mp3) {
  std::vector<uint8_t> tag = {'I', 'D', '3', 3, 0, 0, 0, 0, 1, 0};  // 128 bytes (sync-safe)
  tag.resize(tag.size() + 128, 0);
  mp3.insert(mp3.begin(), tag.begin(), tag.end());
  return mp3;
}

std::vector<uint8_t> WithId3v1(std::vector<uint8_t> mp3) {
  std::vector<uint8_t> tag(128, ' ');
  tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
  mp3.insert(mp3.end(), tag.begin(), tag.end());
  return mp3;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A tone encoded by ffmpeg's LAME with `options` (e.g. "-ac 1").
fs::path FfmpegTone(const fs::path& dir, const std::string& name, const std::string& options) {
  const fs::path path = dir / name;
  const std::string command = "ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=0.5 " + options +
                              " -c:a libmp3lame '" + path.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return path;
}

std::vector<uint8_t> ChunkBytes(const void* sound) {
  if (sound == nullptr) return {};
  const auto* chunk = static_cast<const Mix_Chunk*>(sound);
  return std::vector<uint8_t>(chunk->abuf, chunk->abuf + chunk->alen);
}

// What SDL_mixer itself makes of the file on the open device; empty when it
// cannot load it.
std::vector<uint8_t> MixLoadWavBytes(const fs::path& path) {
  Mix_Chunk* chunk = Mix_LoadWAV(path.string().c_str());
  std::vector<uint8_t> bytes = ChunkBytes(chunk);
  if (chunk != nullptr) Mix_FreeChunk(chunk);
  return bytes;
}

class SoundPrefetchTest : public ::testing::Test {
 protected:
  void SetUp() override { dir = TempDir("veloria_sound_prefetch"); }
  void TearDown() override {
    ShutdownMusic();
    fs::remove_all(dir);
  }
  fs::path dir;
};

// Every file is loaded through a prefetch and compared with Mix_LoadWAV; the
// files SDL_mixer hands to libmpg123 unchanged are decoded on the worker,
// the others are declined and load through SDL_mixer.
TEST_F(SoundPrefetchTest, PrefetchedLoadsEqualMixLoadWav) {
  WriteFile(dir / "tone.mp3", EncodedTone(0.3));
  WriteFile(dir / "id3v2.mp3", WithId3v2(EncodedTone(0.3)));
  WriteFile(dir / "id3v1.mp3", WithId3v1(EncodedTone(0.3)));
  struct Case {
    const char* what;
    fs::path file;
    SoundDecodeStatus status;
  };
  const Case cases[] = {
      {"the show's music", kData / "music" / "test01.mp3", SoundDecodeStatus::Decoded},
      {"a short tone", dir / "tone.mp3", SoundDecodeStatus::Decoded},
      {"an ID3v2 tag in front", dir / "id3v2.mp3", SoundDecodeStatus::Decoded},
      {"ffmpeg's own tags", FfmpegTone(dir, "ffmpeg.mp3", "-ac 2"), SoundDecodeStatus::Decoded},
      {"an ID3v1 tag at the end", dir / "id3v1.mp3", SoundDecodeStatus::Declined},
      {"mono", FfmpegTone(dir, "mono.mp3", "-ac 1"), SoundDecodeStatus::Declined},
      {"48 kHz", FfmpegTone(dir, "48k.mp3", "-ac 2 -ar 48000"), SoundDecodeStatus::Declined},
  };
  ASSERT_TRUE(InitMusic(nullptr));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<uint8_t> expected = MixLoadWavBytes(c.file);
    ASSERT_FALSE(expected.empty());

    const std::atomic<bool> noCancel{false};
    const DecodedSound decoded = DecodeMp3(ReadBytes(c.file), kMusicSampleRate, noCancel);
    EXPECT_EQ(decoded.status, c.status) << decoded.reason;
    if (decoded.status == SoundDecodeStatus::Decoded) {
      EXPECT_TRUE(decoded.pcm == expected);
    }

    PrefetchSample(c.file.string());
    const int32_t index = LoadSample(c.file.string());
    ASSERT_GE(index, 0);
    EXPECT_TRUE(ChunkBytes(SampleTable.handles[index]) == expected);
    FreeSample(index);
  }
}

// Whatever goes wrong, LoadSample gives with a prefetch what it gives
// without: the same index and the same samples.
TEST_F(SoundPrefetchTest, FailuresLoadAsWithoutAPrefetch) {
  const std::vector<uint8_t> music = ReadBytes(kData / "music" / "test01.mp3");
  WriteFile(dir / "text.mp3", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'm', 'p', '3'});
  WriteFile(dir / "header-only.mp3", std::vector<uint8_t>(music.begin(), music.begin() + 300));
  WriteFile(dir / "half.mp3", std::vector<uint8_t>(music.begin(), music.begin() + static_cast<long>(music.size() / 2)));
  WriteFile(dir / "tone.mp3", EncodedTone(0.3));
  WriteFile(dir / "other.mp3", EncodedTone(0.2));
  struct Case {
    const char* what;
    std::string prefetched;  // empty: no prefetch
    std::string loaded;
    int32_t index;           // today's result
  };
  const std::string d = dir.string() + "/";
  const Case cases[] = {
      {"a missing file", d + "missing.mp3", d + "missing.mp3", -1},
      {"text", d + "text.mp3", d + "text.mp3", -1},
      {"a first frame and nothing else", d + "header-only.mp3", d + "header-only.mp3", -1},
      {"the first half of the music", d + "half.mp3", d + "half.mp3", 0},
      {"a prefetch of another file", d + "other.mp3", d + "tone.mp3", 0},
      {"a prefetch of a missing file, then another", d + "missing.mp3", d + "tone.mp3", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(InitMusic(nullptr));
    const int32_t plainIndex = LoadSample(c.loaded);
    const std::vector<uint8_t> plain = plainIndex >= 0 ? ChunkBytes(SampleTable.handles[plainIndex]) : std::vector<uint8_t>{};
    ShutdownMusic();

    PrefetchSample(c.prefetched);
    ASSERT_TRUE(InitMusic(nullptr));
    const int32_t index = LoadSample(c.loaded);
    EXPECT_EQ(plainIndex, c.index);
    EXPECT_EQ(index, c.index);
    if (index >= 0) {
      EXPECT_TRUE(ChunkBytes(SampleTable.handles[index]) == plain);
    }
    ShutdownMusic();
  }
}

// A load of another name, or on a device of another rate, gets what it gets
// without the prefetch, which it ends.
TEST_F(SoundPrefetchTest, OnlyTheSameNameAndRateTakeThePrefetch) {
  WriteFile(dir / "tone.mp3", EncodedTone(0.3));
  WriteFile(dir / "other.mp3", EncodedTone(0.2));
  const std::string tone = (dir / "tone.mp3").string(), other = (dir / "other.mp3").string();
  ASSERT_TRUE(InitMusic(nullptr));
  const std::vector<uint8_t> toneBytes = MixLoadWavBytes(tone), otherBytes = MixLoadWavBytes(other);
  ASSERT_FALSE(toneBytes.empty());
  ASSERT_FALSE(otherBytes.empty());

  PrefetchSample(tone);
  const int32_t first = LoadSample(other);
  const int32_t second = LoadSample(tone);
  EXPECT_TRUE(ChunkBytes(SampleTable.handles[first]) == otherBytes);
  EXPECT_TRUE(ChunkBytes(SampleTable.handles[second]) == toneBytes);

  // Decoded for a 22050 Hz device, loaded on a 44100 Hz one: SDL_mixer's
  // own load, which a wrong rate would show as other bytes.
  PrefetchSound(tone, 22050);
  const SoundHandle sound = LoadSound(tone);
  EXPECT_TRUE(ChunkBytes(sound) == toneBytes);
  FreeSound(sound);
}

// A prefetch that no load can use any more is dropped at once rather than
// left decoding: one for another device rate, or passed by a load of another
// file. A device of its own rate keeps it.
TEST_F(SoundPrefetchTest, AnUnusablePrefetchIsDropped) {
  SoundPrefetch prefetch;  // of a missing file: a failed decode is handed over as well
  for (int deviceRate : {kMusicSampleRate, 48000, 0}) {
    prefetch.Start("none.mp3", kMusicSampleRate);
    prefetch.DropUnlessFor(deviceRate);
    EXPECT_EQ(prefetch.Take("none.mp3", kMusicSampleRate).has_value(), deviceRate == kMusicSampleRate) << deviceRate;
  }
  prefetch.Start("none.mp3", kMusicSampleRate);
  EXPECT_FALSE(prefetch.Take("other.mp3", kMusicSampleRate));
  EXPECT_FALSE(prefetch.Take("none.mp3", kMusicSampleRate));
}

// No device: -1 as today, and the prefetch's worker is still ended by
// ShutdownMusic (the sanitizer build's leak check sees it otherwise).
TEST_F(SoundPrefetchTest, NoAudioDeviceGivesMinusOne) {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = driver != nullptr ? driver : "";
  setenv("SDL_AUDIODRIVER", "no-such-device", 1);
  PrefetchSample((kData / "music" / "test01.mp3").string());
  EXPECT_FALSE(InitMusic(nullptr));
  EXPECT_EQ(LoadSample((kData / "music" / "test01.mp3").string()), -1);
  ShutdownMusic();
  if (driver != nullptr) {
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  } else {
    unsetenv("SDL_AUDIODRIVER");
  }
}

// A header that claims hours of sound is refused before anything is
// allocated for it, through the prefetch and through SDL_mixer's loader (a
// tag at the end sends the file there) alike.
TEST_F(SoundPrefetchTest, AFileThatClaimsTooLongASoundIsRefused) {
  std::vector<uint8_t> mp3 = EncodedTone(0.3);
  const auto tag = std::search(mp3.begin(), mp3.begin() + 200, std::begin("Info"), std::end("Info") - 1);
  ASSERT_NE(tag, mp3.begin() + 200) << "no LAME tag";
  std::fill(tag + 9, tag + 12, 0xFF);  // its frame count, big-endian: 16.7 million frames
  EXPECT_EQ(DecodeMp3(mp3, kMusicSampleRate, std::atomic<bool>{false}).status, SoundDecodeStatus::TooLong);
  ASSERT_TRUE(InitMusic(nullptr));
  for (const auto& [name, bytes] : {std::pair{"claims.mp3", mp3}, {"claims-tagged.mp3", WithId3v1(mp3)}}) {
    WriteFile(dir / name, bytes);
    PrefetchSound((dir / name).string(), kMusicSampleRate);
    EXPECT_EQ(LoadSound((dir / name).string()), nullptr) << name;
  }
}

// A cancelled decode stops with nothing decoded, however far it got.
TEST(SoundDecode, CancelledDecodeFails) {
  const std::atomic<bool> cancel{true};
  const DecodedSound sound = DecodeMp3(EncodedTone(0.3), kMusicSampleRate, cancel);
  EXPECT_EQ(sound.status, SoundDecodeStatus::Failed);
  EXPECT_TRUE(sound.pcm.empty());
}

}  // namespace
