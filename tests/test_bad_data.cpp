// The bad-data catalogue (README, "When a data file is bad"): the real
// program on a copy of the generated data set with one file missing, empty,
// cut short or corrupt, and what the viewer gets; plus the models as the
// show's loader reads them, and runs without an audio device or a display.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/ORV2_3ds.h"
#include "runtime/ORV2Base.h"
#include "runtime/stream_errors.h"

namespace {

namespace fs = std::filesystem;

enum class Damage { Missing, Empty, Truncated, Corrupt };
const Damage kDamages[] = {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::Corrupt};

const char* DamageName(Damage damage) {
  switch (damage) {
    case Damage::Missing: return "missing";
    case Damage::Empty: return "empty";
    case Damage::Truncated: return "truncated";
    case Damage::Corrupt: return "corrupt";
  }
  return "?";
}

// Damages `file`: gone, 0 bytes, its first third, or its bytes replaced by
// noise from a fixed seed (same size, nothing left of its format).
void Break(const fs::path& file, Damage damage) {
  switch (damage) {
    case Damage::Missing:
      fs::remove(file);
      return;
    case Damage::Empty:
      fs::resize_file(file, 0);
      return;
    case Damage::Truncated:
      fs::resize_file(file, fs::file_size(file) / 3);
      return;
    case Damage::Corrupt: {
      std::vector<char> noise(fs::file_size(file));
      uint32_t state = 0x9E3779B9u;
      for (char& c : noise) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state >> 24);
      }
      std::ofstream(file, std::ios::binary | std::ios::trunc).write(noise.data(), static_cast<std::streamsize>(noise.size()));
      return;
    }
  }
}

std::string ReadText(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A run directory holding a fresh copy of the generated data set.
class BadDataRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          ("veloria_bad_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(VELORIA_DATA_DIR, dir / "data", fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the program for a screenshot early in the show, with extra
  // environment settings; fills `err` with its stderr.
  int RunEarlyShot(const std::string& environment = "") {
    fs::remove_all(dir / "shots");
    const std::string command = "cd '" + dir.string() + "' && " + environment + " '" VELORIA_BINARY
                                "' --shots 0.5 --out shots >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    err = ReadText(dir / "stderr.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool ShotWritten() const { return fs::exists(dir / "shots" / "shot-0.5.png"); }

  fs::path dir;
  std::string err;
};

// The sync track is needed to play at all: every damage ends the program
// before the show with one line naming the file, and a failure status.
TEST_F(BadDataRun, SyncTrackDamageIsFatalWithItsMessage) {
  const fs::path sync = dir / "data" / "music" / "sync.snc";
  const fs::path good = dir / "sync.good";
  fs::copy_file(sync, good);
  for (Damage damage : kDamages) {
    fs::copy_file(good, sync, fs::copy_options::overwrite_existing);
    Break(sync, damage);
    EXPECT_EQ(RunEarlyShot(), 1) << DamageName(damage);
    EXPECT_FALSE(ShotWritten()) << DamageName(damage);
    const std::string expected = damage == Damage::Missing ? "Error: Cannot open file music\\sync.snc\n"
                                                          : "Error: Damaged sync track music\\sync.snc: ";
    EXPECT_EQ(err.substr(0, expected.size()), expected) << DamageName(damage) << ": " << err;
    // One line: the message, and no report of a crash after it.
    EXPECT_EQ(err.find('\n'), err.size() - 1) << DamageName(damage) << ": " << err;
    // Noise has hundreds of bad entries; the message stays readable.
    EXPECT_LT(err.size(), 800u) << DamageName(damage);
  }
}

TEST_F(BadDataRun, SyncTrackWithNonZeroEntriesPastItsEndIsRefusedByName) {
  const fs::path sync = dir / "data" / "music" / "sync.snc";
  std::fstream file(sync, std::ios::binary | std::ios::in | std::ios::out);
  const float stray = 5.0f;
  file.seekp(1000 * sizeof(float));  // the last section-end entry, past its terminator
  file.write(reinterpret_cast<const char*>(&stray), sizeof stray);
  file.close();
  EXPECT_EQ(RunEarlyShot(), 1);
  EXPECT_NE(err.find("Damaged sync track music\\sync.snc: section ends: "), std::string::npos) << err;
}

// Music that cannot be played leaves a silent show: it runs and writes its
// screenshot with no message of ours (the MP3 decoder may still warn).
TEST_F(BadDataRun, MusicDamageGivesASilentShow) {
  const fs::path music = dir / "data" / "music" / "test01.mp3";
  const fs::path good = dir / "music.good";
  fs::copy_file(music, good);
  for (Damage damage : kDamages) {
    fs::copy_file(good, music, fs::copy_options::overwrite_existing);
    Break(music, damage);
    EXPECT_EQ(RunEarlyShot(), 0) << DamageName(damage) << ": " << err;
    EXPECT_TRUE(ShotWritten()) << DamageName(damage);
    EXPECT_EQ(err.find("Error"), std::string::npos) << DamageName(damage) << ": " << err;
  }
}

TEST_F(BadDataRun, NoAudioDeviceGivesASilentShow) {
  EXPECT_EQ(RunEarlyShot("SDL_AUDIODRIVER=no-such-device"), 0) << err;
  EXPECT_TRUE(ShotWritten());
}

TEST_F(BadDataRun, NoDisplayIsAClearErrorAndAFailureStatus) {
  EXPECT_EQ(RunEarlyShot("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11"), 1);
  EXPECT_FALSE(ShotWritten());
  EXPECT_EQ(err.rfind("Error: Error ", 0), 0u) << err;
  EXPECT_NE(err.find("initializing OpenGL: "), std::string::npos) << err;
}

// In-process: a show whose music is gone keeps the timing of the show with
// music, frame for frame (the fixed-step clock, not the sound, drives it).
TEST_F(BadDataRun, SilentShowKeepsTheTimeline) {
  const fs::path home = fs::current_path();
  fs::current_path(dir);
  RunOptions options;
  options.headless = true;
  std::vector<DemoFrame> frames;
  AddFrameObserver([&](const DemoFrame& frame) {
    if (frame.phase == DemoPhase::Timeline) frames.push_back(frame);
    return frame.phase != DemoPhase::Timeline || frame.showTime < 1.0f;
  });
  EXPECT_EQ(RunDemo(options), 0);
  const int32_t withMusic = MusicSample;
  const std::vector<DemoFrame> heard = frames;
  frames.clear();
  Break(dir / "data" / "music" / "test01.mp3", Damage::Corrupt);
  EXPECT_EQ(RunDemo(options), 0);
  const int32_t silent = MusicSample;
  ClearFrameObservers();
  fs::current_path(home);

  EXPECT_GE(withMusic, 0);
  EXPECT_EQ(silent, -1);
  ASSERT_GT(heard.size(), 50u);
  ASSERT_EQ(frames.size(), heard.size());
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].number, heard[i].number) << i;
    EXPECT_EQ(frames[i].showTime, heard[i].showTime) << i;
    EXPECT_EQ(frames[i].section, heard[i].section) << i;
  }
}

// The four models as a scene loads them (every mesh, and at least mesh 0):
// every damage is refused with the reader's message, which ends the program
// when a scene loads the model; never a crash or a half-built mesh.
TEST(BadModelTest, EveryDamageOfEveryModelIsRefusedWithTheReadersMessage) {
  const fs::path dir = fs::temp_directory_path() / ("veloria_bad_models_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const char* model : {"heart.3ds", "geo.3ds", "invertgeo.3ds", "dame.3ds"}) {
    for (Damage damage : kDamages) {
      const fs::path file = dir / model;
      fs::copy_file(fs::path(VELORIA_DATA_DIR) / "mod" / model, file, fs::copy_options::overwrite_existing);
      Break(file, damage);
      T3DSLoader loader;
      std::string message;
      try {
        loader.OpenFile(file.string());
        for (int32_t i = 0; i < std::max(loader.MeshCount, 1); ++i) loader.GetMesh(i);
      } catch (const std::exception& e) {
        message = e.what();
      }
      const std::string where = std::string(model) + " " + DamageName(damage);
      switch (damage) {
        case Damage::Missing:
          EXPECT_EQ(message, "Cannot open file " + file.string()) << where;
          break;
        case Damage::Empty:
          EXPECT_EQ(message, "Stream read error") << where;
          break;
        case Damage::Truncated:
          EXPECT_NE(message.find("reaches past the end of the file"), std::string::npos) << where << ": " << message;
          break;
        case Damage::Corrupt:
          // Not a 3DS database at all: a file without meshes, so the scene's first mesh is refused.
          EXPECT_EQ(message, "List index out of bounds (0)") << where;
          break;
      }
    }
  }
  fs::remove_all(dir);
}

}  // namespace
