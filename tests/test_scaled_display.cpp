// The scaled modes and the window on a real X server. --desktop and
// --windowed draw the very frames of the plain run into their offscreen
// frame, and show them scaled into the centre of the screen or the window
// between black bars; the default full-screen request falls back to the
// window on a display without 800x600; one close gives one quit message.

#include <SDL.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "core/sync_file.h"
#include "platform/png_file.h"
#include "runtime/OrvikGL2.h"
#include "runtime/letterbox.h"
#include "tests/message_capture.h"
#include "tests/program_run.h"
#include "tests/x_server.h"

namespace {

namespace fs = std::filesystem;

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// The generated pictures and models with a short sync track, sections k =
// 0..7 ending at 0.3 (k + 1) s, so a few frames reach the feedback effects of
// sections 4 and 6. No music: it takes long to decode and draws nothing.
fs::path MakeShortShowDir(const char* name) {
  const fs::path dir = TempDir(name);
  fs::create_directories(dir / "data" / "music");
  for (const char* folder : {"gfx", "mod"}) {
    fs::create_directory_symlink(fs::path(VELORIA_DATA_DIR) / folder, dir / "data" / folder);
  }
  SyncLists lists;
  for (int k = 0; k < 8; ++k) lists.sectionEnds.push_back(0.3f * (k + 1));
  WriteSyncTrack(dir / "data", lists);
  return dir;
}

TImage ReadShot(const fs::path& path) {
  TImage image;
  std::string error;
  EXPECT_TRUE(ReadPng(path.string(), image, error)) << error;
  return image;
}

// How far a screen picture is from a shot scaled into `rect` of it.
struct Match {
  double meanDifference = 1e9;  // per channel, inside the rectangle
  int brightestBar = 255;       // the largest channel value outside it
};

// Compares against the shot magnified with linear filtering, as the scaled
// present does it; `rect` is in GL's bottom-up window pixels.
Match CompareLetterboxed(const TImage& screen, const TImage& shot, const PixelRect& rect) {
  Match match;
  if (screen.Width <= 0 || rect.width <= 0) return match;
  // Rows counted from the top here; both pictures hold theirs bottom-up.
  const int top = screen.Height - (rect.y + rect.height);
  const auto shotAt = [&shot](int x, int y, int c) {
    x = std::clamp(x, 0, shot.Width - 1);
    y = std::clamp(y, 0, shot.Height - 1);
    return static_cast<double>(shot.Pixels[(static_cast<size_t>(shot.Height - 1 - y) * shot.Width + x) * 3 + c]);
  };
  double sum = 0.0;
  long count = 0;
  match.brightestBar = 0;
  for (int y = 0; y < screen.Height; ++y) {
    for (int x = 0; x < screen.Width; ++x) {
      const uint8_t* pixel = screen.Pixels.data() + (static_cast<size_t>(screen.Height - 1 - y) * screen.Width + x) * 3;
      const bool inside = x >= rect.x && x < rect.x + rect.width && y >= top && y < top + rect.height;
      if (!inside) {
        match.brightestBar = std::max({match.brightestBar, int{pixel[0]}, int{pixel[1]}, int{pixel[2]}});
        continue;
      }
      // Every fourth pixel each way is plenty and keeps the test quick.
      if (x % 4 != 0 || y % 4 != 0) continue;
      const double u = (x - rect.x + 0.5) * shot.Width / rect.width - 0.5;
      const double v = (y - top + 0.5) * shot.Height / rect.height - 0.5;
      const int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
      const double fu = u - u0, fv = v - v0;
      for (int c = 0; c < 3; ++c) {
        const double expected =
            (shotAt(u0, v0, c) * (1 - fu) + shotAt(u0 + 1, v0, c) * fu) * (1 - fv) +
            (shotAt(u0, v0 + 1, c) * (1 - fu) + shotAt(u0 + 1, v0 + 1, c) * fu) * fv;
        sum += std::fabs(expected - pixel[c]);
        ++count;
      }
    }
  }
  match.meanDifference = sum / static_cast<double>(count);
  return match;
}

// The largest minus the smallest channel value: a shot that is one flat
// colour could not tell a scaled picture from a misplaced one.
int Contrast(const TImage& image) {
  const auto [low, high] = std::minmax_element(image.Pixels.begin(), image.Pixels.end());
  return int{*high} - int{*low};
}

TEST(ScaledFrameTest, DesktopAndWindowDrawTheFramesOfThePlainRun) {
  const fs::path dir = MakeShortShowDir("veloria_scaled_");
  // Section 1, the metaballs' and the dame's feedback copies. Not the loading
  // screen: its fade blends over the frame's first contents, which the GL
  // leaves undefined (a new window's buffer is zeros here only because fresh
  // memory is; the sanitizer's allocator fills it), while the offscreen frame
  // starts cleared.
  const std::string shots = "--shots 0.45,1.35,1.95 --fps 20 --out ";
  ASSERT_EQ(RunVeloria(dir, shots + "plain"), 0) << ReadText(dir / "stderr.txt");
  ASSERT_EQ(RunVeloria(dir, "--desktop " + shots + "desktop"), 0) << ReadText(dir / "stderr.txt");
  EXPECT_EQ(ReadText(dir / "stderr.txt").find("framebuffer"), std::string::npos);
  // Without framebuffer objects the window says so and shows the frame unscaled.
  ASSERT_EQ(RunVeloria(dir, "--windowed " + shots + "nofbo",
                       "MESA_GL_VERSION_OVERRIDE=2.1 MESA_EXTENSION_OVERRIDE=-GL_ARB_framebuffer_object"),
            0)
      << ReadText(dir / "stderr.txt");
  EXPECT_NE(ReadText(dir / "stderr.txt")
                .find("Error: No framebuffer objects in this OpenGL: the show plays unscaled in a "
                      "800x600 window\n"),
            std::string::npos)
      << ReadText(dir / "stderr.txt");
  for (const char* name : {"shot-0.45.png", "shot-1.35.png", "shot-1.95.png"}) {
    const TImage plain = ReadShot(dir / "plain" / name);
    EXPECT_EQ(plain.Width, 800);
    EXPECT_EQ(plain.Height, 600);
    EXPECT_EQ(ReadShot(dir / "desktop" / name).Pixels, plain.Pixels) << name;
    EXPECT_EQ(ReadShot(dir / "nofbo" / name).Pixels, plain.Pixels) << name;
  }
  fs::remove_all(dir);
}

// A private Xvfb of 1920 x 1080, which has no 800 x 600 mode.
class XDisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new XServer(kScreenWidth, kScreenHeight); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!XServer::Installed()) {
      GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs the xvfb package)";
    }
    ASSERT_TRUE(server->Running()) << "Xvfb did not start";
  }
  // Points this process's SDL at the server; false (the test skips) when SDL
  // already runs here on another driver.
  bool UseServerInProcess() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return false;
    for (Saved& saved : savedVariables) {
      const char* value = std::getenv(saved.name);
      saved.value = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("DISPLAY", server->Display().c_str(), 1);
    environmentChanged = true;
    return true;
  }
  void TearDown() override {
    if (!environmentChanged) return;
    for (const Saved& saved : savedVariables) {
      if (saved.value) {
        setenv(saved.name, saved.value->c_str(), 1);
      } else {
        unsetenv(saved.name);
      }
    }
  }
  std::string ShowEnvironment() const {
    return "SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy DISPLAY=" + server->Display() +
           " VELORIA_HOLD_FILE=hold";
  }

  static XServer* server;
  struct Saved {
    const char* name;
    std::optional<std::string> value;
  };
  Saved savedVariables[2] = {{"SDL_VIDEODRIVER", {}}, {"DISPLAY", {}}};
  bool environmentChanged = false;
};

XServer* XDisplayTest::server = nullptr;

#define SKIP_UNLESS_IN_PROCESS()                                                              \
  if (!UseServerInProcess()) {                                                                \
    GTEST_SKIP() << "SDL's video already runs in this process on another driver; run this " \
                    "test in a process of its own, as ctest does";                            \
  }

TEST_F(XDisplayTest, FullScreenWithoutTheModeFallsBackToTheWindow) {
  SKIP_UNLESS_IN_PROCESS();
  MessageCapture capture;
  BindOpenGL();
  ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
  std::string modes;
  for (int i = 0; i < SDL_GetNumDisplayModes(0); ++i) {
    SDL_DisplayMode mode{};
    SDL_GetDisplayMode(0, i, &mode);
    modes += std::to_string(mode.w) + "x" + std::to_string(mode.h) + " ";
    ASSERT_FALSE(mode.w == 800 && mode.h == 600) << "this Xvfb offers 800x600";
  }
  const TGLWindow window = OpenGLWindow(800, 600, 32, "Test", /*FullScreen=*/true);
  EXPECT_EQ(capture.messages, (std::vector<ShownMessage>{{"Error", "Unable to switch to fullscreen!"}}))
      << "modes: " << modes;
  ASSERT_NE(window.Wnd, nullptr);
  ASSERT_NE(window.RC, nullptr);
  EXPECT_TRUE(FullScreenMode);  // the request, as made
  SDL_Window* sdlWindow = static_cast<SDL_Window*>(window.Wnd);
  EXPECT_EQ(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_FULLSCREEN, 0u);
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(sdlWindow, &width, &height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  SDL_DisplayMode desktop{};
  ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &desktop), 0);
  EXPECT_EQ(desktop.w, kScreenWidth);
  EXPECT_EQ(desktop.h, kScreenHeight);
  for (int frame = 0; frame < 3; ++frame) PresentFrame(window);
  KillGLWindow(window);
  UnbindOpenGL();
  EXPECT_EQ(capture.messages.size(), 1u);
}

TEST_F(XDisplayTest, OneCloseGivesOneQuitMessage) {
  SKIP_UNLESS_IN_PROCESS();
  BindOpenGL();
  const TGLWindow window = OpenGLWindow(800, 600, 32, "Test", /*FullScreen=*/false);
  ASSERT_NE(window.RC, nullptr);
  XClient client(server->Display());
  ASSERT_TRUE(client.Connected());
  unsigned long xWindow = 0;
  for (int i = 0; i < 200 && xWindow == 0; ++i) {
    PresentFrame(window);
    xWindow = client.FindWindow("Test");
  }
  ASSERT_NE(xWindow, 0u);
  client.RequestClose(xWindow);
  // Messages are drained one per frame; 100 frames over half a second drain them all.
  int quits = 0;
  for (int frame = 0; frame < 100; ++frame) {
    if (PresentFrame(window)) ++quits;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(quits, 1);
  KillGLWindow(window);
  UnbindOpenGL();
}

// The show held at a shot's time on the X server: the screen, or the window
// named "Test" after `prepare`, shows that shot scaled into `rect`.
class HeldShow {
 public:
  HeldShow(const fs::path& dir, const std::string& environment, const std::string& args)
      : dir_(dir), run_(dir, args, environment) {}
  bool Holding() { return run_.WaitForFile(dir_ / "hold", 120); }
  int End() {
    fs::remove(dir_ / "hold");
    return run_.Wait(30);
  }

 private:
  fs::path dir_;
  BackgroundRun run_;
};

// Grabs `window` (0: the screen) until it shows `shot` in `rect`, for up to
// ten seconds; the last grab is written to `grabPath` to look at.
Match WaitForPicture(XClient& client, unsigned long window, const TImage& shot, const PixelRect& rect,
                     int width, int height, const fs::path& grabPath) {
  Match match;
  TImage screen;
  for (int attempt = 0; attempt < 50; ++attempt) {
    screen = client.Grab(window);
    if (screen.Width == width && screen.Height == height) {
      match = CompareLetterboxed(screen, shot, rect);
      if (match.meanDifference < 2.0 && match.brightestBar == 0) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  std::string error;
  if (screen.Width > 0) WritePng(grabPath.string(), screen, error);
  return match;
}

// The designed frame stretched into the centre of the screen, and with
// --scale native a frame of the centre's own size shown one to one: the
// headless run's picture at that scale, pixel for pixel.
TEST_F(XDisplayTest, DesktopShowsTheFrameScaledIntoTheCentre) {
  const PixelRect rect = LetterboxRect(kScreenWidth, kScreenHeight, 800, 600);
  EXPECT_EQ(rect, (PixelRect{240, 0, 1440, 1080}));
  for (const auto& [scale, shotWidth, closeness] : {std::tuple{"", 800, 2.0}, {"--scale native ", 1440, 0.01}}) {
    SCOPED_TRACE(scale);
    const fs::path dir = MakeShortShowDir("veloria_x_desktop_");
    const std::string shots = std::string(scale) + "--shots 1.35 --fps 20 --out ";
    HeldShow show(dir, ShowEnvironment(), "--desktop " + shots + "shots");
    ASSERT_TRUE(show.Holding()) << ReadText(dir / "stderr.txt");
    const TImage shot = ReadShot(dir / "shots" / "shot-1.35.png");
    ASSERT_GT(Contrast(shot), 100);
    EXPECT_EQ(shot.Width, shotWidth);
    XClient client(server->Display());
    ASSERT_TRUE(client.Connected());
    const Match match =
        WaitForPicture(client, 0, shot, rect, kScreenWidth, kScreenHeight, dir / "screen.png");
    EXPECT_LT(match.meanDifference, closeness) << "the screen is in " << (dir / "screen.png");
    EXPECT_EQ(match.brightestBar, 0);
    EXPECT_EQ(show.End(), 0) << ReadText(dir / "stderr.txt");
    if (shotWidth == 1440) {
      EXPECT_NE(ReadText(dir / "stderr.txt").find("veloria: drawing 1440x1080 (scale 1.80)\n"), std::string::npos);
      ASSERT_EQ(RunVeloria(dir, "--scale 1.8 --shots 1.35 --fps 20 --out plain"), 0);
      EXPECT_TRUE(ReadShot(dir / "plain" / "shot-1.35.png").Pixels == shot.Pixels);
    }
    if (!HasFailure()) fs::remove_all(dir);
  }
}

// A window whose frame follows it (--scale native): at 1000 x 500 the frame
// stays the designed one (the scale never goes below 1), reduced into the
// middle; at 1600 x 1000 a frame of 1333 x 1000 is drawn, shown one to one.
TEST_F(XDisplayTest, ResizedWindowShowsTheFrameLetterboxed) {
  const fs::path dir = MakeShortShowDir("veloria_x_window_");
  HeldShow show(dir, ShowEnvironment(), "--windowed --scale native --shots 1.35 --fps 20 --out shots");
  ASSERT_TRUE(show.Holding()) << ReadText(dir / "stderr.txt");
  const TImage shot = ReadShot(dir / "shots" / "shot-1.35.png");
  XClient client(server->Display());
  ASSERT_TRUE(client.Connected());
  const unsigned long window = client.FindWindow("Test");
  ASSERT_NE(window, 0u);
  // First as opened: the frame one to one.
  Match match = WaitForPicture(client, window, shot, {0, 0, 800, 600}, 800, 600, dir / "window.png");
  EXPECT_LT(match.meanDifference, 0.01);
  client.Resize(window, 1000, 500);
  const PixelRect rect = LetterboxRect(1000, 500, 800, 600);
  EXPECT_EQ(rect, (PixelRect{166, 0, 667, 500}));
  match = WaitForPicture(client, window, shot, rect, 1000, 500, dir / "resized.png");
  EXPECT_LT(match.meanDifference, 2.0) << "the window is in " << (dir / "resized.png");
  EXPECT_EQ(match.brightestBar, 0);
  // The held frame is made anew from the old one's picture, magnified as
  // the stretch would have it.
  client.Resize(window, 1600, 1000);
  match = WaitForPicture(client, window, shot, {133, 0, 1333, 1000}, 1600, 1000, dir / "larger.png");
  EXPECT_LT(match.meanDifference, 2.0) << "the window is in " << (dir / "larger.png");
  EXPECT_EQ(show.End(), 0) << ReadText(dir / "stderr.txt");
  EXPECT_EQ(ReadText(dir / "stderr.txt"),
            "veloria: drawing 800x600 (scale 1.00)\nveloria: drawing 1333x1000 (scale 1.67)\n");
  if (!HasFailure()) fs::remove_all(dir);
}

// A window resized while its capture runs: the video keeps the frame it
// started with, and every frame is the show's own picture at its time (a
// frame of another size would shear all that follow).
TEST_F(XDisplayTest, AResizeDuringAWindowedCaptureKeepsTheVideosFrame) {
  const fs::path dir = MakeShortShowDir("veloria_x_capture_");
  SyncLists lists;
  for (int k = 0; k < 8; ++k) lists.sectionEnds.push_back(k + 1.0f);
  WriteSyncTrack(dir / "data", lists);
  BackgroundRun run(dir, "--windowed --scale native --capture show.mkv --video-quality master --fps 20",
                    "SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy DISPLAY=" + server->Display());
  XClient client(server->Display());
  for (int i = 0; i < 600 && ReadText(dir / "stderr.txt").find("capture [") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  client.Resize(client.FindWindow("Test"), 1600, 1000);
  ASSERT_EQ(run.Wait(120), 0) << ReadText(dir / "stderr.txt");
  EXPECT_NE(ReadText(dir / "stderr.txt").find("veloria: the frame stays 800x600 in this run"), std::string::npos);
  ASSERT_EQ(RunVeloria(dir, "--shots 8 --fps 20 --out shots"), 0) << ReadText(dir / "stderr.txt");
  ASSERT_EQ(std::system(("ffmpeg -loglevel error -sseof -0.05 -i '" + (dir / "show.mkv").string() +
                         "' -frames:v 1 -pix_fmt rgb24 '" + (dir / "last.png").string() + "'").c_str()), 0);
  EXPECT_TRUE(ReadShot(dir / "last.png").Pixels == ReadShot(dir / "shots" / "shot-8.png").Pixels);
  if (!HasFailure()) fs::remove_all(dir);
}

TEST_F(XDisplayTest, AltEnterSwitchesBetweenTheWindowAndTheDesktop) {
  const fs::path dir = MakeShortShowDir("veloria_x_toggle_");
  HeldShow show(dir, ShowEnvironment(), "--windowed --shots 1.35 --fps 20 --out shots");
  ASSERT_TRUE(show.Holding()) << ReadText(dir / "stderr.txt");
  const TImage shot = ReadShot(dir / "shots" / "shot-1.35.png");
  XClient client(server->Display());
  ASSERT_TRUE(client.Connected());
  const unsigned long window = client.FindWindow("Test");
  ASSERT_NE(window, 0u);
  client.PressKeys(window, {"Alt_L", "Return"});
  Match match = WaitForPicture(client, window, shot, LetterboxRect(kScreenWidth, kScreenHeight, 800, 600),
                               kScreenWidth, kScreenHeight, dir / "desktop.png");
  EXPECT_LT(match.meanDifference, 2.0) << "the window is in " << (dir / "desktop.png");
  EXPECT_EQ(match.brightestBar, 0);
  // And back to the window's own size.
  client.PressKeys(window, {"Alt_L", "Return"});
  match = WaitForPicture(client, window, shot, {0, 0, 800, 600}, 800, 600, dir / "window.png");
  EXPECT_LT(match.meanDifference, 0.01) << "the window is in " << (dir / "window.png");
  EXPECT_EQ(show.End(), 0) << ReadText(dir / "stderr.txt");
  if (!HasFailure()) fs::remove_all(dir);
}

}  // namespace
