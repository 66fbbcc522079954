// The generated music as the show plays it: decoded by SDL2_mixer (through
// libmpg123), it must put a kick on every channel-1 time of the generated
// sync track and nowhere else, last the show's length, never clip and never
// fall silent before the final fade. Regenerating gives the same bytes.

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "core/sync_file.h"
#include "tools/generate/music_writer.h"

namespace {

constexpr int kRate = 44100;
const std::filesystem::path kData = VELORIA_DATA_DIR;

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The music decoded the way the show loads it, mixed to mono, -1..1.
std::vector<float> DecodeAsTheShowDoes(const std::filesystem::path& mp3, int16_t& peak) {
  std::vector<float> mono;
  // Headless, as in every test run: decoding needs no sound card.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_AUDIO) != 0) return mono;
  if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, 1024) == 0) {
    if (Mix_Chunk* chunk = Mix_LoadWAV(mp3.string().c_str())) {
      const auto* pcm = reinterpret_cast<const int16_t*>(chunk->abuf);
      const size_t frames = chunk->alen / 4;
      mono.resize(frames);
      peak = 0;
      for (size_t i = 0; i < frames; ++i) {
        peak = std::max({peak, static_cast<int16_t>(std::abs(pcm[2 * i])), static_cast<int16_t>(std::abs(pcm[2 * i + 1]))});
        mono[i] = (static_cast<float>(pcm[2 * i]) + static_cast<float>(pcm[2 * i + 1])) / 65536.0f;
      }
      Mix_FreeChunk(chunk);
    }
    Mix_CloseAudio();
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return mono;
}

// Zero-phase low-pass: a 2-pole Butterworth run forwards then backwards, so
// the band's envelope is not shifted in time.
std::vector<float> LowBand(const std::vector<float>& x, double cutoffHz) {
  const double w = 2.0 * std::numbers::pi * cutoffHz / kRate, alpha = std::sin(w) / (2.0 * M_SQRT1_2), c = std::cos(w);
  const double a0 = 1.0 + alpha;
  const double b0 = (1.0 - c) / 2.0 / a0, b1 = (1.0 - c) / a0, a1 = -2.0 * c / a0, a2 = (1.0 - alpha) / a0;
  std::vector<double> y(x.begin(), x.end());
  const auto pass = [&](auto begin, auto end) {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (auto it = begin; it != end; ++it) {
      const double in = *it, out = b0 * in + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
      x2 = x1, x1 = in, y2 = y1, y1 = out;
      *it = out;
    }
  };
  pass(y.begin(), y.end());
  pass(y.rbegin(), y.rend());
  return std::vector<float>(y.begin(), y.end());
}

// Kick onsets (s): where the low band's magnitude rises above `threshold`
// after at least 40 ms below it.
std::vector<double> Onsets(const std::vector<float>& low, float threshold) {
  std::vector<double> onsets;
  const size_t quiet = kRate / 25;
  size_t lastAbove = 0;
  bool seen = false;
  for (size_t i = 0; i < low.size(); ++i) {
    if (std::fabs(low[i]) <= threshold) continue;
    if (!seen || i - lastAbove > quiet) onsets.push_back(static_cast<double>(i) / kRate);
    seen = true;
    lastAbove = i;
  }
  return onsets;
}

double Nearest(const std::vector<double>& sorted, double t) {
  const auto it = std::lower_bound(sorted.begin(), sorted.end(), t);
  double best = 1e9;
  if (it != sorted.end()) best = *it - t;
  if (it != sorted.begin() && t - *(it - 1) < std::fabs(best)) best = *(it - 1) - t;
  return best;
}

class MusicFile : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    mono_ = DecodeAsTheShowDoes(kData / "music" / "test01.mp3", peak_);
    const std::vector<std::string> problems = DecodeSyncFile(ReadAll(kData / "music" / "sync.snc"), lists_);
    syncValid_ = problems.empty();
  }
  static std::vector<float> mono_;
  static int16_t peak_;
  static SyncLists lists_;
  static bool syncValid_;
};

std::vector<float> MusicFile::mono_;
int16_t MusicFile::peak_ = 0;
SyncLists MusicFile::lists_;
bool MusicFile::syncValid_ = false;

TEST_F(MusicFile, LastsTheShowAndNeverClips) {
  ASSERT_TRUE(syncValid_);
  ASSERT_FALSE(mono_.empty()) << "SDL2_mixer could not load the music: " << Mix_GetError();
  const double seconds = static_cast<double>(mono_.size()) / kRate;
  EXPECT_GE(seconds, 199.68 - 1e-6);  // the decoder trims the encoder's delay ...
  EXPECT_LT(seconds, 201.0);          // ... and its padding
  EXPECT_LT(peak_, 32000);            // headroom left after the limiter and the codec
  EXPECT_GT(peak_, 16000);
}

TEST_F(MusicFile, NoSilenceBeforeTheFinalFade) {
  ASSERT_FALSE(mono_.empty());
  for (size_t second = 0; second + 1 < 197; ++second) {
    double energy = 0.0;
    for (size_t i = second * kRate; i < (second + 1) * kRate; ++i) energy += static_cast<double>(mono_[i]) * mono_[i];
    EXPECT_GT(10.0 * std::log10(energy / kRate), -40.0) << "second " << second;
  }
  double tail = 0.0;
  for (size_t i = mono_.size() - kRate / 10; i < mono_.size(); ++i) tail = std::max(tail, std::fabs(double{mono_[i]}));
  EXPECT_LT(tail, 0.01);  // faded out at the end
}

TEST_F(MusicFile, KickOnsetsLandOnChannelOneTimes) {
  ASSERT_TRUE(syncValid_);
  ASSERT_FALSE(mono_.empty());
  const std::vector<float> low = LowBand(mono_, 200.0);
  const std::vector<float>& events = lists_.channels[0];
  ASSERT_GT(events.size(), 100u);
  // A kick's strength: the low band's peak over its first 45 ms.
  std::vector<float> strengths;
  for (float t : events) {
    const size_t at = static_cast<size_t>(t * kRate);
    float peak = 0.0f;
    for (size_t i = at; i < std::min(low.size(), at + kRate * 45 / 1000); ++i) peak = std::max(peak, std::fabs(low[i]));
    strengths.push_back(peak);
  }
  std::vector<float> sorted = strengths;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  const float typical = sorted[sorted.size() / 2];
  ASSERT_GT(typical, 0.1f) << "kicks should be the loudest thing in the low band";

  const std::vector<double> onsets = Onsets(low, 0.6f * typical);
  std::vector<double> times(events.begin(), events.end());
  for (double t : times) EXPECT_LT(std::fabs(Nearest(onsets, t)), 0.002) << "no kick heard at " << t << " s";
  for (double t : onsets) EXPECT_LT(std::fabs(Nearest(times, t)), 0.002) << "a kick at " << t << " s has no event";
  EXPECT_EQ(onsets.size(), times.size());
}

TEST(MusicGeneration, IsByteIdenticalEveryRun) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "veloria_music_regen";
  std::filesystem::remove_all(dir);
  WriteMusic(dir);
  EXPECT_TRUE(ReadAll(dir / "music" / "test01.mp3") == ReadAll(kData / "music" / "test01.mp3"));
  EXPECT_TRUE(ReadAll(dir / "music" / "sync.snc") == ReadAll(kData / "music" / "sync.snc"));
  std::filesystem::remove_all(dir);
}

}  // namespace
