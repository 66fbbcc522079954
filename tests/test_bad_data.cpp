// The bad-data catalogue (README, "When a data file is bad"): the real
// program on a copy of the generated data set with one file missing, empty,
// cut short or corrupt, and what the viewer gets; plus the models as the
// show's loader reads them, and runs without an audio device or a display.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/ORV2_3ds.h"
#include "platform/png_file.h"
#include "runtime/ORV2Base.h"
#include "runtime/OrvikGL2.h"
#include "app/frame_grab.h"
#include "core/shared_state.h"
#include "platform/stream_errors.h"
#include "core/sync.h"
#include "tests/program_run.h"

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

// A run that takes longer than this is hung: a broken file ends or skips its
// load step, it never stalls it (a normal run here takes about a second).
constexpr int kRunLimitSeconds = 60;

// What became of a run, for failure messages: a crash or hang shows as such.
std::string Outcome(int status, const std::string& err) {
  if (status == kRunTimedOut) return "stopped after " + std::to_string(kRunLimitSeconds) + " s; stderr: " + err;
  if (status > 128) return "killed by signal " + std::to_string(status - 128) + "; stderr: " + err;
  return "status " + std::to_string(status) + "; stderr: " + err;
}

// A run directory holding a fresh copy of the generated data set.
class BadDataRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    std::replace(name.begin(), name.end(), '/', '_');  // parameterized names hold a slash
    dir = fs::temp_directory_path() / ("veloria_bad_" + std::to_string(::getpid()) + "_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(VELORIA_DATA_DIR, dir / "data", fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the program with `args` (and --out shots) after the shell words of
  // `environment`; fills `err` with its stderr.
  int Run(const std::string& args, const std::string& environment = "") {
    fs::remove_all(dir / "shots");
    const int status = RunVeloria(dir, args + " --out shots", environment, kRunLimitSeconds);
    err = ReadText(dir / "stderr.txt");
    return status;
  }
  // A screenshot early in the show.
  int RunEarlyShot(const std::string& environment = "") { return Run("--shots 0.5", environment); }
  bool ShotWritten() const { return fs::exists(dir / "shots" / "shot-0.5.png"); }
  // The first frame of the show at one step a second: the shortest run that
  // loads every file (about 100 frames of the loading screen, then one).
  int RunToShowStart() { return Run("--shots 0 --fps 1"); }
  // Whether that frame was written as a whole 800x600 picture.
  bool ShowStartShotComplete() const {
    PngImage image;
    std::string error;
    return ReadPng((dir / "shots" / "shot-0.png").string(), image, error) && image.width == 800 &&
           image.height == 600;
  }
  // Whether the run left any file where its screenshots go.
  bool AnyShotFile() const { return fs::exists(dir / "shots") && !fs::is_empty(dir / "shots"); }

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
  RunMode options;
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

// A file name as a test name: letters and digits kept, the rest '_'.
std::string TestNameOf(std::string name) {
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

// The show-level model rows: every scene's model is loaded before the show,
// so each damage ends the program there with the reader's message as its
// one line of stderr and status 1, and no frame of the show is shot.
class BadModelRun : public BadDataRun, public ::testing::WithParamInterface<std::string> {};

TEST_P(BadModelRun, EveryDamageEndsTheProgramWithTheReadersMessage) {
  const std::string model = GetParam();
  const fs::path file = dir / "data" / "mod" / model;
  const fs::path good = dir / "model.good";
  fs::copy_file(file, good);
  const std::string size = std::to_string(fs::file_size(good));
  const std::string cutSize = std::to_string(fs::file_size(good) / 3);
  for (Damage damage : kDamages) {
    SCOPED_TRACE(model + " " + DamageName(damage));
    fs::copy_file(good, file, fs::copy_options::overwrite_existing);
    Break(file, damage);
    const int status = RunToShowStart();
    EXPECT_EQ(status, 1) << Outcome(status, err);
    EXPECT_FALSE(AnyShotFile());
    std::string expected;
    switch (damage) {
      case Damage::Missing:
        expected = "Cannot open file mod\\" + model;
        break;
      case Damage::Empty:
        expected = "Stream read error";
        break;
      case Damage::Truncated:
        // The root chunk claims the whole file, so the cut is found there first.
        expected = "chunk 0x4D4D at offset 0: length " + size + " reaches past the end of the file (" + cutSize +
                   " bytes)";
        break;
      case Damage::Corrupt:
        // Noise is no 3DS database: the model has no meshes, and the scene asks for its first.
        expected = "List index out of bounds (0)";
        break;
    }
    EXPECT_EQ(err, "Error: " + expected + "\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Models, BadModelRun,
                         ::testing::Values("heart.3ds", "geo.3ds", "invertgeo.3ds", "dame.3ds"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return TestNameOf(info.param); });

// Every picture of the generated data set, named as the show names it (gfx\love\1.jpg).
std::vector<std::string> DataSetPictures() {
  const fs::path root = VELORIA_DATA_DIR;
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / "gfx")) {
    if (!entry.is_regular_file()) continue;
    std::string name = entry.path().lexically_relative(root).generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Where a data name lies under a run directory.
fs::path DataFile(const fs::path& dir, std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return dir / "data" / name;
}

// The line a headless run prints ("caption: text", where an interactive run
// shows a dialog) when picture `name`, whose intact bytes are in `intact`, is
// broken by `damage`; empty when the reader keeps what it could read.
std::string PictureMessage(const std::string& name, Damage damage, const fs::path& intact) {
  // The JPEG reader has one message for every failure.
  if (name.ends_with(".jpg")) return "BMP Unit: Couldn't load JPG - \"" + name + "\"";
  if (!name.ends_with(".tga")) {
    ADD_FAILURE() << "no catalogue row for " << name;
    return "";
  }
  std::ifstream in(intact, std::ios::binary);
  in.seekg(2);
  const bool runLength = in.get() == 10;  // the image type byte
  switch (damage) {
    case Damage::Missing:
      return "TGA Texture: File not found  - " + name;
    case Damage::Truncated:
      // A cut-off run-length picture keeps the pixels it reached.
      if (runLength) return "";
      [[fallthrough]];
    case Damage::Empty:
      return "TGA File Error: Couldn't read file \"" + name + "\".";
    case Damage::Corrupt:
      // The noise's image type byte is neither raw (2) nor run-length (10).
      return "TGA File Error: Couldn't load \"" + name + "\". Only 24 and 32bit TGA supported.";
  }
  return "";
}

// The show-level picture rows: a broken picture is reported with its
// reader's message (once for each scene that loads it, and nothing else is
// said), the show goes on without it and shoots its first frame.
class BadPictureRun : public BadDataRun, public ::testing::WithParamInterface<std::string> {
 protected:
  // Without the music: it loads after every picture, so it cannot change
  // what a picture's load does, and decoding it is half of each short run.
  // (A show without music plays silently and says nothing; its own row.)
  void SetUp() override {
    BadDataRun::SetUp();
    fs::remove(dir / "data" / "music" / "test01.mp3");
  }
};

TEST_P(BadPictureRun, EveryDamageIsReportedAndTheShowGoesOn) {
  const std::string name = GetParam();
  const fs::path file = DataFile(dir, name);
  const fs::path good = dir / "picture.good";
  fs::copy_file(file, good);
  for (Damage damage : kDamages) {
    SCOPED_TRACE(name + " " + DamageName(damage));
    fs::copy_file(good, file, fs::copy_options::overwrite_existing);
    Break(file, damage);
    const int status = RunToShowStart();
    EXPECT_EQ(status, 0) << Outcome(status, err);
    EXPECT_TRUE(ShowStartShotComplete());
    const std::string message = PictureMessage(name, damage, good);
    if (message.empty()) {
      EXPECT_EQ(err, "");
      continue;
    }
    std::istringstream lines(err);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) EXPECT_EQ(line, message);
    EXPECT_GE(count, 1) << "no message: " << err;
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, BadPictureRun, ::testing::ValuesIn(DataSetPictures()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return TestNameOf(info.param); });

// With every picture gone each scene still draws its shapes (untextured) on
// every frame of the whole show, without an OpenGL error.
TEST_F(BadDataRun, ShowWithoutItsPicturesDrawsEverySceneWithoutGlErrors) {
  for (const std::string& name : DataSetPictures()) fs::remove(DataFile(dir, name));
  const fs::path home = fs::current_path();
  fs::current_path(dir);
  RunMode options;
  options.headless = true;
  options.fps = 1;  // the whole show in about 200 frames
  int glErrors = 0;
  std::map<int32_t, int> litPixels;  // per section, in its middle frame
  AddFrameObserver([&](const DemoFrame& frame) {
    if (glGetError() != GL_NO_ERROR) ++glErrors;
    if (frame.phase != DemoPhase::Timeline || litPixels.count(frame.section)) return true;
    const int32_t s = frame.section;
    const float start = s > 0 ? SyncTrack->SectionEnds[s - 1] : 0.0f;
    if (frame.showTime < (start + SyncTrack->SectionEnds[s]) / 2.0f) return true;
    const PngImage image = GrabFrame(ActiveWindow.Width, ActiveWindow.Height);
    int lit = 0;
    for (size_t i = 0; i + 2 < image.pixels.size(); i += 3) {
      lit += image.pixels[i] + image.pixels[i + 1] + image.pixels[i + 2] > 48;
    }
    litPixels[s] = lit;
    return true;
  });
  const int status = RunDemo(options);
  ClearFrameObservers();
  fs::current_path(home);

  EXPECT_EQ(status, 0);
  EXPECT_EQ(glErrors, 0);
  for (int32_t s = 0; s < 8; ++s) {
    EXPECT_GT(litPixels[s], 0) << "section " << s << " drew a black frame";
  }
}

}  // namespace
