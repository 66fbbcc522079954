// The driver's whole run, in-process and headless on the fixed-step clock,
// against a short sync track written here: every phase, the timeline's end
// tests, the clock restart, the beat counter, and a missing sync file.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "app/frame_grab.h"
#include "core/shared_state.h"
#include "core/sync.h"
#include "core/sync_file.h"
#include "platform/data_directory.h"
#include "platform/stream_errors.h"
#include "runtime/DirectInput8.h"
#include "runtime/OINKeyboard.h"
#include "runtime/ORV2Base.h"
#include "runtime/OrvikBASS.h"
#include "runtime/offscreen_frame.h"
#include "tests/message_capture.h"
#include "tests/program_run.h"

namespace {

namespace fs = std::filesystem;

// A data directory with the models and a sync track; sections k = 0..7 end at 0.25 (k + 1) s.
class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::current_path();
    dir = fs::temp_directory_path() / ("veloria_driver_" + std::to_string(::getpid()));
    MakeShowDataDir(dir / "data");
    fs::current_path(dir);
    options.headless = true;
    SetKeySource([this](uint8_t (&state)[256]) {
      std::memset(state, 0, sizeof state);
      if (keys) keys(state);
    });
    AddFrameObserver([this](const DemoFrame& frame) {
      frames.push_back(frame);
      return true;
    });
  }
  void TearDown() override {
    ClearFrameObservers();
    SetKeySource({});
    fs::current_path(home);
    fs::remove_all(dir);
  }
  void WriteSync(const SyncLists& lists) {
    WriteSyncTrack(dir / "data", lists);
  }
  static SyncLists ShortShow() {
    SyncLists lists;
    for (int k = 0; k < 8; ++k) lists.sectionEnds.push_back(0.25f * (k + 1));
    return lists;
  }
  std::vector<DemoFrame> Phase(DemoPhase phase) const {
    std::vector<DemoFrame> out;
    for (const DemoFrame& f : frames) {
      if (f.phase == phase) out.push_back(f);
    }
    return out;
  }

  fs::path home, dir;
  RunMode options;
  std::vector<DemoFrame> frames;
  // Presses keys for the poll at the end of each timeline frame.
  std::function<void(uint8_t (&)[256])> keys;
};

TEST_F(DriverTest, WholeRunFromStartUpToSectionEight) {
  SyncLists lists = ShortShow();
  // Channel 3: nine frames with events (two events share the first frame).
  lists.channels[2] = {0.1f, 0.101f, 0.3f, 0.5f, 0.7f, 0.9f, 1.1f, 1.3f, 1.5f, 1.7f};
  WriteSync(lists);
  ASSERT_EQ(RunDemo(options), 0);

  // The progress picture fades in for 2 s of the 60 steps/s clock.
  EXPECT_EQ(Phase(DemoPhase::ProgressFade).size(), 120u);
  // Nine bar values of 11 frames each, in order.
  const std::vector<DemoFrame> loading = Phase(DemoPhase::Loading);
  ASSERT_EQ(loading.size(), 99u);
  const float bars[] = {0.1f, 0.15f, 0.18f, 0.2f, 0.4f, 0.5f, 0.55f, 0.6f, 0.8f};
  for (size_t i = 0; i < loading.size(); ++i) EXPECT_EQ(loading[i].loadingBar, bars[i / 11]) << i;
  // The pre-show fade: full bars until a second has passed, 11 frames a pass.
  const std::vector<DemoFrame> fade = Phase(DemoPhase::PreShowFade);
  EXPECT_EQ(fade.size(), 66u);
  for (const DemoFrame& f : fade) EXPECT_EQ(f.loadingBar, 1.0f);
  EXPECT_NEAR(fade.back().loadingTime, (120 + 99 + 65) / 60.0, 1e-4);

  // The timeline starts at the music's start and visits every section in order.
  const std::vector<DemoFrame> timeline = Phase(DemoPhase::Timeline);
  ASSERT_FALSE(timeline.empty());
  EXPECT_EQ(timeline.front().showTime, 0.0f);
  EXPECT_EQ(timeline.front().section, 0);
  std::vector<bool> seen(9, false);
  for (size_t i = 0; i < timeline.size(); ++i) {
    EXPECT_FLOAT_EQ(timeline[i].showTime, static_cast<float>(i / 60.0));
    if (i > 0) {
      EXPECT_GE(timeline[i].section, timeline[i - 1].section);
    }
    seen[static_cast<size_t>(timeline[i].section)] = true;
  }
  for (int s = 0; s < 8; ++s) EXPECT_TRUE(seen[static_cast<size_t>(s)]) << s;
  // The section passes 8 between the loop test and the drawing of the frame
  // that first reads a time past the show's end; the next loop test ends it.
  EXPECT_EQ(timeline.back().section, 8);
  EXPECT_GT(timeline.back().showTime, 2.0f);
  EXPECT_LT(timeline.back().showTime, 2.0f + 1.5f / 60);

  // Nine event frames: 1 -> 2 ... 8 -> 1 -> 2.
  EXPECT_EQ(BeatIndex, 2);
  // Sections 3 and 4 each lasted a quarter second; none reached its late part.
  EXPECT_NEAR(SectionTime3, 0.25f, 1e-4);
  EXPECT_NEAR(SectionTime4, 0.25f, 1e-4);
  EXPECT_NEAR(SectionTime5, 0.25f, 1e-4);
  EXPECT_NEAR(SectionTime7, 0.25f, 1e-4);
  EXPECT_FALSE(LateFlag3);
  EXPECT_FALSE(LateFlag4);
  // Shutdown closed the keyboard; the music never loaded.
  EXPECT_EQ(KeyboardDevice, nullptr);
  EXPECT_EQ(MusicSample, -1);
}

TEST_F(DriverTest, EscapeHeldFromTheStartEndsAfterOneTimelineFrame) {
  WriteSync(ShortShow());
  keys = [](uint8_t (&state)[256]) { state[DIK_ESCAPE] = kKeyPressed; };
  ASSERT_EQ(RunDemo(options), 0);
  const std::vector<DemoFrame> timeline = Phase(DemoPhase::Timeline);
  ASSERT_EQ(timeline.size(), 1u);
  EXPECT_EQ(timeline[0].section, 0);
  // The loading screen ran in full: keys are first read after a timeline frame.
  EXPECT_EQ(Phase(DemoPhase::Loading).size(), 99u);
}

TEST_F(DriverTest, SpaceRestartsTheClockButNotTheSection) {
  SyncLists lists = ShortShow();
  lists.sectionEnds[3] = 1.5f;  // section 3: 0.75 .. 1.5 s
  for (int k = 4; k < 8; ++k) lists.sectionEnds[static_cast<size_t>(k)] = 1.5f + 0.25f * (k - 3);
  WriteSync(lists);
  bool pressed = false;
  keys = [&](uint8_t (&state)[256]) {
    if (!pressed && DemoTime >= 1.0f) {
      state[DIK_SPACE] = kKeyPressed;
      pressed = true;
    }
  };
  ASSERT_EQ(RunDemo(options), 0);
  const std::vector<DemoFrame> timeline = Phase(DemoPhase::Timeline);
  size_t restart = 0;
  for (size_t i = 1; i < timeline.size(); ++i) {
    EXPECT_GE(timeline[i].section, timeline[i - 1].section);
    if (timeline[i].showTime < timeline[i - 1].showTime) {
      EXPECT_EQ(restart, 0u) << "the clock restarted twice";
      restart = i;
    }
  }
  ASSERT_GT(restart, 0u);
  // The frame that saw Space still shows the old time; the next starts over.
  EXPECT_GE(timeline[restart - 1].showTime, 1.0f);
  EXPECT_NEAR(timeline[restart].showTime, 1.0f / 60, 1e-6);
  EXPECT_EQ(timeline[restart].section, 3);
  // Section 3 lasts until the restarted clock passes 1.5 s again.
  EXPECT_NEAR(SectionTime3, 0.25f + 1.5f + 1.0f / 60, 2.0f / 60);
  EXPECT_EQ(timeline.back().section, 8);
}

TEST_F(DriverTest, MissingSyncFileEndsTheRunWithItsName) {
  try {
    RunDemo(options);
    FAIL() << "the run went on without a sync track";
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file music\\sync.snc");
  }
  // Everything opened before the error was released again.
  EXPECT_EQ(KeyboardDevice, nullptr);
  EXPECT_TRUE(Phase(DemoPhase::Timeline).empty());
  EXPECT_EQ(Phase(DemoPhase::Loading).size(), 99u);
}

TEST_F(DriverTest, ObserverCanEndTheRunEarly) {
  WriteSync(ShortShow());
  AddFrameObserver([](const DemoFrame& frame) { return frame.number < 10; });
  ASSERT_EQ(RunDemo(options), 0);
  // The frame that asked to stop was the last one presented.
  EXPECT_EQ(frames.size(), 11u);
  EXPECT_EQ(frames.back().phase, DemoPhase::ProgressFade);
}

TEST_F(DriverTest, LoadingWorkLeavesOutTheBarFrames) {
  WriteSync(ShortShow());
  // 99 bar frames at 20 ms each: about 2 s of loading screen that is not
  // work; the load steps themselves (models included) take a fraction of that.
  AddFrameObserver([](const DemoFrame& frame) {
    if (frame.phase == DemoPhase::Loading) ::usleep(20000);
    return true;
  });
  ASSERT_EQ(RunDemo(options), 0);
  EXPECT_GT(LoadingWorkSeconds(), 0.0);
  EXPECT_LT(LoadingWorkSeconds(), 1.0);
}

// FNV-1a of a frame's pixels.
uint64_t FrameHash(const TImage& frame) {
  uint64_t hash = 14695981039346656037ull;
  for (uint8_t byte : frame.Pixels) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

TEST_F(DriverTest, LoopPlaysEveryPassLikeTheFirstUntilEscape) {
  // The real pictures, a minute of music, and a show of 82.4 s at 5 frames a
  // second that reaches what a pass changes: the opening's smeared logo and
  // author picture (section 0 past 9 s), heart kicks on channel-1 beats, the
  // late flags (27.9 s into sections 3 and 4), the greetings' blur and the
  // heart after 7 s of section 5, the end picture's blur after 5 s of section 7.
  // The author picture is missing: one message, at loading only. The
  // greetings picture changes on disk once loaded: the passes never show it.
  const fs::path gfx = dir / "data" / "gfx";
  fs::copy(fs::path(VELORIA_DATA_DIR) / "gfx", gfx, fs::copy_options::recursive);
  fs::remove(gfx / "author.jpg");
  MessageCapture shown;
  const fs::path music = dir / "data" / "music" / "test01.mp3";
  ASSERT_EQ(std::system(("ffmpeg -loglevel error -f lavfi -i sine=frequency=440:duration=60 -c:a libmp3lame '" +
                         music.string() + "'").c_str()),
            0);
  SyncLists lists;
  lists.sectionEnds = {9.6f, 10.4f, 11.2f, 39.4f, 67.6f, 76.0f, 76.8f, 82.4f};
  for (float t = 0.5f; t < 82.0f; t += 0.7f) lists.channels[0].push_back(t);
  for (float t = 0.3f; t < 82.0f; t += 1.1f) lists.channels[2].push_back(t);
  WriteSync(lists);
  options.fps = {5, 1};
  options.loop = true;

  // Per pass: each timeline frame's show time and picture; the music's playbacks at its first frame.
  std::vector<std::vector<std::pair<float, uint64_t>>> passes;
  std::vector<int32_t> playbacksAtStart;
  AddFrameObserver([&](const DemoFrame& frame) {
    if (frame.phase != DemoPhase::Timeline) return true;
    if (static_cast<size_t>(frame.pass) == passes.size()) {
      passes.emplace_back();
      playbacksAtStart.push_back(SamplePlaybacks(MusicSample));
      fs::copy_file(gfx / "end.jpg", gfx / "greets.jpg", fs::copy_options::overwrite_existing);
    }
    passes.back().emplace_back(frame.showTime, FrameHash(GrabFrame(800, 600)));
    return true;
  });
  keys = [&](uint8_t (&state)[256]) {
    if (passes.size() == 3) state[DIK_ESCAPE] = kKeyPressed;
  };
  ASSERT_EQ(RunDemo(options), 0);

  // Escape read after the third pass's first frame ended the run.
  ASSERT_EQ(passes.size(), 3u);
  EXPECT_EQ(passes[2].size(), 1u);
  ASSERT_GT(passes[0].size(), 300u);
  ASSERT_EQ(passes[1].size(), passes[0].size());
  size_t differing = 0;
  for (size_t i = 0; i < passes[0].size(); ++i) {
    EXPECT_EQ(passes[1][i].first, passes[0][i].first) << i;
    if (passes[1][i].second != passes[0][i].second && differing++ < 5) {
      ADD_FAILURE() << "frame " << i << " at " << passes[0][i].first << " s differs in the second pass";
    }
  }
  EXPECT_EQ(differing, 0u);
  EXPECT_EQ(passes[2][0], passes[0][0]);
  // Each pass starts the music over instead of adding a second playback.
  ASSERT_GE(MusicSample, 0);
  EXPECT_EQ(playbacksAtStart, (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(shown.messages, (std::vector<ShownMessage>{{"BMP Unit", "Couldn't load JPG - \"gfx\\author.jpg\""}}));
}

// K = 8 asks for 6400 x 4800; a GL whose frames end at 2048 pixels (an
// injected limit) draws the largest that fits, 2048 x 1536, in the headless
// window and in a scaled window's offscreen frame alike.
TEST_F(DriverTest, AGLLimitGivesTheLargestFrameThatFits) {
  WriteSync(ShortShow());
  LimitFrameSize(2048);
  options.fps = {4, 1};
  options.scale = {ScaleChoice::Fixed, 8.0};
  for (const bool windowed : {false, true}) {
    options.windowed = windowed;
    ASSERT_EQ(RunDemo(options), 0);
    EXPECT_EQ((FrameSize{ActiveFrame.Width, ActiveFrame.Height}), (FrameSize{2048, 1536})) << windowed;
  }
  LimitFrameSize(0);
}

TEST(DataDirectoryTest, FallsBackToDataBesideTheProgram) {
  const fs::path home = fs::current_path();
  const fs::path beside = fs::read_symlink("/proc/self/exe").parent_path() / "data";
  const bool made = fs::create_directories(beside);
  const fs::path empty = fs::temp_directory_path() / ("veloria_nodata_" + std::to_string(::getpid()));
  fs::create_directories(empty);
  fs::current_path(empty);
  EXPECT_TRUE(EnterDataDirectory());
  EXPECT_EQ(fs::current_path(), fs::canonical(beside));
  // ./data wins when it exists.
  fs::create_directories(empty / "data");
  fs::current_path(empty);
  EXPECT_TRUE(EnterDataDirectory());
  EXPECT_EQ(fs::current_path(), fs::canonical(empty / "data"));
  fs::current_path(home);
  fs::remove_all(empty);
  if (made) fs::remove(beside);
}

}  // namespace
