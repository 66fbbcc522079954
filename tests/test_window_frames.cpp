// The show's frame where the window or the GL sets bounds: the GL's largest
// frame (an injected limit), a drawable of no size, a minimized window, and
// the plain window without framebuffer objects on a high-density display.
// Whole runs in this process on SDL's offscreen driver, through a window
// system that passes every call to SDL's but for what a test scripts.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <optional>
#include <tuple>
#include <vector>

#include "core/gl_window.h"
#include "runtime/DirectInput8.h"
#include "runtime/OINKeyboard.h"
#include "runtime/ORV2Base.h"
#include "runtime/offscreen_frame.h"
#include "tests/message_capture.h"
#include "tests/program_run.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// SDL's window system with a drawable size, a time of being minimized (the
// drawable empty, as Windows has it) and queued messages of the test's own,
// and a count of Alt+Enter's switches.
class ScriptedVideo : public VideoSystem {
 public:
  ScriptedVideo() : sdl_(ActiveVideo()) { SetVideoSystem(this); }
  ~ScriptedVideo() override { SetVideoSystem(nullptr); }

  std::optional<std::pair<int, int>> drawable;  // none: SDL's own
  Clock::time_point minimizedUntil;  // Minimized and of no size until then
  std::deque<WindowEvent> events;
  int fullScreenSwitches = 0;

  bool LoadGLLibrary(std::string& error) override { return sdl_.LoadGLLibrary(error); }
  void UnloadGLLibrary() override { sdl_.UnloadGLLibrary(); }
  WindowHandle CreateFullScreenWindow(const char* t, int w, int h, int b) override { return sdl_.CreateFullScreenWindow(t, w, h, b); }
  WindowHandle CreateWindow(const char* t, int w, int h, bool d) override { return sdl_.CreateWindow(t, w, h, d); }
  void DestroyWindow(WindowHandle w) override { sdl_.DestroyWindow(w); }
  void LeaveFullScreen(WindowHandle w) override { sdl_.LeaveFullScreen(w); }
  bool SetDesktopFullScreen(WindowHandle w, bool f) override {
    ++fullScreenSwitches;
    return sdl_.SetDesktopFullScreen(w, f);
  }
  bool IsFullScreen(WindowHandle w) override { return sdl_.IsFullScreen(w); }
  bool Minimized(WindowHandle w) override { return Clock::now() < minimizedUntil || sdl_.Minimized(w); }
  void SetWindowSize(WindowHandle w, int width, int height) override { sdl_.SetWindowSize(w, width, height); }
  void SetCursorVisible(bool v) override { sdl_.SetCursorVisible(v); }
  void RaiseAndFocus(WindowHandle w) override { sdl_.RaiseAndFocus(w); }
  void DrawableSize(WindowHandle w, int& width, int& height) override {
    sdl_.DrawableSize(w, width, height);
    if (drawable) std::tie(width, height) = *drawable;
    if (Clock::now() < minimizedUntil) width = height = 0;
  }
  int RefreshRate(WindowHandle w) override { return sdl_.RefreshRate(w); }
  ContextHandle CreateGLContext(WindowHandle w) override { return sdl_.CreateGLContext(w); }
  bool MakeContextCurrent(WindowHandle w, ContextHandle c) override { return sdl_.MakeContextCurrent(w, c); }
  void DeleteGLContext(ContextHandle c) override { sdl_.DeleteGLContext(c); }
  void SetSwapSync(bool v) override { sdl_.SetSwapSync(v); }
  void SwapWindowBuffers(WindowHandle w) override { sdl_.SwapWindowBuffers(w); }
  bool PollWindowEvent(WindowEvent& event) override {
    if (events.empty()) return sdl_.PollWindowEvent(event);
    event = events.front();
    events.pop_front();
    return true;
  }
  void PostQuitMessage() override { sdl_.PostQuitMessage(); }

 private:
  VideoSystem& sdl_;
};

// A data folder with the pictures and models and a show of 0.25 s sections.
class WindowFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::current_path();
    dir = TempDir("veloria_window_frames_");
    MakeShowDataDir(dir / "data");
    fs::create_directory_symlink(fs::path(VELORIA_DATA_DIR) / "gfx", dir / "data" / "gfx");
    SyncLists lists;
    for (int k = 0; k < 8; ++k) lists.sectionEnds.push_back(0.25f * (k + 1));
    WriteSyncTrack(dir / "data", lists);
    fs::current_path(dir);
    SetKeySource([](uint8_t (&state)[256]) { std::memset(state, 0, sizeof state); });
    mode.fps = {20, 1};
    mode.headless = true;
  }
  void TearDown() override {
    LimitFrameSize(0);
    SetKeySource({});
    fs::current_path(home);
    fs::remove_all(dir);
  }
  // Plays the show; `observe` sees every timeline frame and may end the run.
  void Play(const std::function<bool(const DemoFrame&)>& observe) {
    ASSERT_EQ(RunDemoObserved(mode, [&](const DemoFrame& frame) {
                return frame.phase != DemoPhase::Timeline || observe(frame);
              }),
              0);
  }
  fs::path home, dir;
  RunMode mode;
  ScriptedVideo video;
};

// K = 8 asks for 6400 x 4800; a GL whose frames end at 2048 pixels gets the
// largest K that fits, 2.56 (2048 x 1536), both in the headless window whose
// drawable is the frame and in a scaled window's offscreen frame.
TEST_F(WindowFrameTest, AGLLimitGivesTheLargestFrameThatFits) {
  LimitFrameSize(2048);
  mode.scale = {ScaleChoice::Fixed, 8.0};
  for (const bool windowed : {false, true}) {
    mode.windowed = windowed;
    TFramePixels drawn;
    GLint viewport[4] = {};
    Play([&](const DemoFrame&) {
      drawn = ActiveFrame;
      glGetIntegerv(GL_VIEWPORT, viewport);
      return false;
    });
    EXPECT_EQ(drawn.Width, 2048) << windowed;
    EXPECT_EQ(drawn.Height, 1536) << windowed;
    EXPECT_EQ(drawn.Scale, 2.56) << windowed;
    EXPECT_EQ(viewport[2], 2048) << windowed;
  }
}

// A minimized window (on Windows a resize to 0 x 0) keeps its frame of
// 1440 x 1080, and draws nothing until it is back: the clock goes on, so
// the next frame is 0.4 s later, with no frame between.
TEST_F(WindowFrameTest, AMinimizedWindowKeepsItsFrameAndDrawsNothing) {
  mode.windowed = true;
  mode.headless = false;
  mode.scale = {ScaleChoice::Native, 1.0};
  video.drawable = {{1920, 1080}};
  std::vector<std::tuple<int64_t, float, int>> frames;  // number, show time, frame width
  Play([&](const DemoFrame& frame) {
    frames.emplace_back(frame.number, frame.showTime, ActiveFrame.Width);
    if (frames.size() == 2) {
      video.minimizedUntil = Clock::now() + std::chrono::milliseconds(400);
      video.events.push_back({WindowEventKind::Resized, 0, 0});
    }
    return frames.size() < 4;
  });
  ASSERT_EQ(frames.size(), 4u);
  for (const auto& [number, time, width] : frames) EXPECT_EQ(width, 1440) << number;
  const auto& [before, beforeTime, w1] = frames[1];
  const auto& [after, afterTime, w2] = frames[2];
  EXPECT_EQ(after, before + 1);
  EXPECT_GE(afterTime - beforeTime, 0.4f);
}

// Without framebuffer objects the frame is the plain window's drawable: on a
// display of twice the density, 1600 x 1200 pixels for a window of 800 x 600
// units. Alt+Enter switches to full screen there too.
TEST_F(WindowFrameTest, ThePlainWindowDrawsInItsDrawablesPixels) {
  setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
  setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_framebuffer_object", 1);
  MessageCapture shown;
  mode.windowed = true;
  video.drawable = {{1600, 1200}};
  TFramePixels drawn;
  GLint viewport[4] = {};
  bool toggled = false;
  Play([&](const DemoFrame&) {
    if (!toggled) {
      toggled = true;
      drawn = ActiveFrame;
      glGetIntegerv(GL_VIEWPORT, viewport);
      video.events.push_back({WindowEventKind::ToggleFullScreen, 0, 0});
      return true;
    }
    return false;
  });
  unsetenv("MESA_GL_VERSION_OVERRIDE");
  unsetenv("MESA_EXTENSION_OVERRIDE");
  if (shown.messages.empty()) GTEST_SKIP() << "this process's GL was made before the override; run the test alone";
  EXPECT_EQ(shown.messages[0].text.find("No framebuffer objects in this OpenGL"), 0u);
  EXPECT_EQ(drawn.Width, 1600);
  EXPECT_EQ(drawn.Height, 1200);
  EXPECT_EQ(viewport[2], 1600);
  EXPECT_EQ(video.fullScreenSwitches, 1);
}

}  // namespace
