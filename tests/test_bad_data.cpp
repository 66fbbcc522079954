// The bad-data catalogue (README, "When a data file is bad"): the real
// program on a copy of the generated data set with one file missing, empty,
// cut short or corrupt, and what the viewer gets; plus the models as the
// show's loader reads them, and runs without an audio device or a display.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame_grab.h"
#include "core/shared_state.h"
#include "core/sync.h"
#include "geometry/ORV2_3ds.h"
#include "platform/png_file.h"
#include "platform/stream_errors.h"
#include "runtime/ORV2Base.h"
#include "runtime/OrvikGL2.h"
#include "tests/program_run.h"
#include "tests/test_random.h"
#include "textures/picture_detail.h"

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
      const std::vector<uint8_t> noise = TestRandom{0x9E3779B9u}.Bytes(fs::file_size(file));
      std::ofstream(file, std::ios::binary | std::ios::trunc)
          .write(reinterpret_cast<const char*>(noise.data()), static_cast<std::streamsize>(noise.size()));
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
    TImage image;
    std::string error;
    return ReadPng((dir / "shots" / "shot-0.png").string(), image, error) && image.Width == 800 &&
           image.Height == 600;
  }
  // Whether the run left any file where its screenshots go.
  bool AnyShotFile() const { return fs::exists(dir / "shots") && !fs::is_empty(dir / "shots"); }

  fs::path dir;
  std::string err;
};

// Only a missing sync track ends the program (status 1, one line). Whatever
// bytes are there play as they read: the show runs and shoots its frame,
// after one stderr line per finding and nothing else.
TEST_F(BadDataRun, OnlyAMissingSyncTrackIsFatal) {
  const fs::path sync = dir / "data" / "music" / "sync.snc";
  const fs::path good = dir / "sync.good";
  fs::copy_file(sync, good);
  const std::string cutSize = std::to_string(fs::file_size(good) / 3);
  for (Damage damage : kDamages) {
    SCOPED_TRACE(DamageName(damage));
    fs::copy_file(good, sync, fs::copy_options::overwrite_existing);
    Break(sync, damage);
    const int status = RunEarlyShot();
    if (damage == Damage::Missing) {
      EXPECT_EQ(status, 1) << Outcome(status, err);
      EXPECT_FALSE(ShotWritten());
      EXPECT_EQ(err, "Error: Cannot open file music\\sync.snc\n");
      continue;
    }
    EXPECT_EQ(status, 0) << Outcome(status, err);
    EXPECT_TRUE(ShotWritten());
    std::istringstream lines(err);
    std::vector<std::string> findings;
    for (std::string line; std::getline(lines, line);) {
      EXPECT_EQ(line.rfind("music\\sync.snc: ", 0), 0u) << line;
      findings.push_back(line);
    }
    ASSERT_FALSE(findings.empty()) << err;
    // Noise has hundreds of odd entries; at most five a list are named.
    EXPECT_LE(findings.size(), 4u * 8u) << err;
    if (damage == Damage::Empty) {
      EXPECT_EQ(err,
                "music\\sync.snc: 0 bytes, expected 16016; the lists past byte 0 are empty\n"
                "music\\sync.snc: section ends: no entries; the show stays in section 0 until Escape\n");
    }
    if (damage == Damage::Truncated) {
      EXPECT_EQ(findings[0], "music\\sync.snc: " + cutSize + " bytes, expected 16016; the lists past byte " +
                                 cutSize + " are empty");
    }
  }
}

// The sync tracks the show plays although they are odd, through the show
// itself: the sections it reaches, in order, whether it ends by itself, and
// what it says once while loading.
TEST_F(BadDataRun, OddSyncTracksPlayTheSectionsTheyRead) {
  // Sections ending at 1, 2, ... 8 s, so a short run sees every one.
  std::vector<uint8_t> eight(16016, 0);
  auto put = [](std::vector<uint8_t>& bytes, int entry, float value) {
    std::memcpy(bytes.data() + entry * sizeof(float), &value, sizeof value);
  };
  for (int s = 0; s < 8; ++s) put(eight, s, 1.0f + s);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<int32_t> sections;  // in the order the show draws them (8: the end's one blank frame)
    bool endsByItself;
    std::string err;
  };
  std::vector<Case> cases;
  cases.push_back({"all section ends 0", std::vector<uint8_t>(16016, 0), {0}, false,
                   "music\\sync.snc: section ends: no entries; the show stays in section 0 until Escape\n"});
  std::vector<uint8_t> cut(eight.begin(), eight.begin() + 12);
  cases.push_back({"cut after three section ends", cut, {0, 1, 2, 3}, false,
                   "music\\sync.snc: 12 bytes, expected 16016; the lists past byte 12 are empty\n"
                   "music\\sync.snc: section ends: 3 entries; the show stays in section 3 until Escape\n"});
  std::vector<uint8_t> nan = eight;
  put(nan, 4, NAN);
  cases.push_back({"not a number at entry 4", nan, {0, 1, 2, 3, 4}, false,
                   "music\\sync.snc: section ends: entry 4 is nan, which no time passes; the show stays in "
                   "section 4 until Escape\n"
                   "music\\sync.snc: section ends: 3 entries after entry 4 are never reached\n"});
  std::vector<uint8_t> oddOrder = eight;
  put(oddOrder, 0, -1.0f);
  put(oddOrder, 2, 2.0f);
  cases.push_back({"negative and equal neighbours", oddOrder, {1, 3, 4, 5, 6, 7, 8}, true,
                   "music\\sync.snc: section ends: entry 0 is -1 s, before the music starts; it passes as soon "
                   "as it is reached\n"
                   "music\\sync.snc: section ends: entry 2 (2 s) is not later than entry 1 (2 s), so it passes "
                   "with it\n"});
  std::vector<uint8_t> longer = eight;
  longer.resize(16016 + 100, 0xFF);
  cases.push_back({"longer", longer, {0, 1, 2, 3, 4, 5, 6, 7, 8}, true,
                   "music\\sync.snc: 16116 bytes, expected 16016; the 100 bytes past byte 16016 are ignored\n"});

  fs::remove(dir / "data" / "music" / "test01.mp3");  // a silent show says nothing, and loads sooner
  const fs::path home = fs::current_path();
  fs::current_path(dir);
  RunMode options;
  options.headless = true;
  options.fps = {4, 1};
  constexpr float kLongEnough = 10.0f;  // seconds of show: past every end time above
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(dir / "data" / "music" / "sync.snc", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
    std::vector<int32_t> sections;
    float lastTime = 0.0f;
    ::testing::internal::CaptureStderr();
    const int status = RunDemoObserved(options, [&](const DemoFrame& frame) {
      if (frame.phase != DemoPhase::Timeline) return true;
      if (sections.empty() || sections.back() != frame.section) sections.push_back(frame.section);
      lastTime = frame.showTime;
      return frame.showTime < kLongEnough;
    });
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.err);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(sections, c.sections);
    EXPECT_EQ(lastTime < kLongEnough, c.endsByItself) << "last frame at " << lastTime << " s";
  }
  fs::current_path(home);
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
    // Detailed pictures are read only above scale 1, and a bad one quietly
    // gives way to the designed one (tests/test_picture_detail.cpp).
    if (DetailOfPictureFile(name) == kDesignedDetail) names.push_back(name);
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

// The rows of something other than a readable regular file at a file's name:
// a directory, a FIFO, a link to a device, and one whose reads fail (root
// reads files without read permission, but nobody reads address 0 of their
// own memory: the open succeeds, the first read fails with EIO). Each reads
// as a missing file, with that row's answer; none hangs the load.
TEST_F(BadDataRun, OddFilesReadAsMissingOnes) {
  const struct { const char* name; int status; const char* message; } rows[] = {
      {"music\\sync.snc", 1, "Error: Cannot open file music\\sync.snc\n"},
      {"mod\\heart.3ds", 1, "Error: Cannot open file mod\\heart.3ds\n"},
      {"gfx\\overlay.tga", 0, "TGA Texture: File not found  - gfx\\overlay.tga\n"},
      {"gfx\\map.jpg", 0, "BMP Unit: Couldn't load JPG - \"gfx\\map.jpg\"\n"},
      {"music\\test01.mp3", 0, ""},
  };
  for (const auto& [name, status, message] : rows) {
    const fs::path file = DataFile(dir, name);
    fs::rename(file, dir / "intact");
    for (const std::string odd : {"directory", "FIFO", "/dev/zero", "/proc/self/mem"}) {
      if (odd == "directory") fs::create_directory(file);
      ASSERT_TRUE(odd != "FIFO" || ::mkfifo(file.c_str(), 0644) == 0);
      if (odd[0] == '/') fs::create_symlink(odd, file);
      EXPECT_EQ(RunToShowStart(), status) << name << " as " << odd << ": " << err;
      EXPECT_EQ(err, message) << name << " as " << odd;
      fs::remove(file);
    }
    fs::rename(dir / "intact", file);
  }
}

// With every picture gone each scene still draws its shapes (untextured) on
// every frame of the whole show, without an OpenGL error.
TEST_F(BadDataRun, ShowWithoutItsPicturesDrawsEverySceneWithoutGlErrors) {
  for (const std::string& name : DataSetPictures()) fs::remove(DataFile(dir, name));
  const fs::path home = fs::current_path();
  fs::current_path(dir);
  RunMode options;
  options.headless = true;
  options.fps = {1, 1};  // the whole show in about 200 frames
  int glErrors = 0;
  std::map<int32_t, int> litPixels;  // per section, in its middle frame
  AddFrameObserver([&](const DemoFrame& frame) {
    if (glGetError() != GL_NO_ERROR) ++glErrors;
    if (frame.phase != DemoPhase::Timeline || litPixels.count(frame.section)) return true;
    const int32_t s = frame.section;
    const float start = s > 0 ? SyncTrack->SectionEnds[s - 1] : 0.0f;
    if (frame.showTime < (start + SyncTrack->SectionEnds[s]) / 2.0f) return true;
    const TImage image = GrabFrame(ActiveWindow.Width, ActiveWindow.Height);
    int lit = 0;
    for (size_t i = 0; i + 2 < image.Pixels.size(); i += 3) {
      lit += image.Pixels[i] + image.Pixels[i + 1] + image.Pixels[i + 2] > 48;
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
