// The window module on a real offscreen context (buffers, projection, initial
// state), its set-up failures on a stand-in window system, and the letterbox.

#include <GL/gl.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "runtime/OrvikGL2.h"
#include "runtime/fill_rounds.h"
#include "runtime/letterbox.h"
#include "runtime/offscreen_frame.h"
#include "tests/gl_test_context.h"
#include "tests/message_capture.h"

namespace {

using WindowTest = GLTest;

TEST_F(WindowTest, ContextHasTheRequestedBuffers) {
  GLint depth = 0, stencil = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  EXPECT_GE(depth, 24);
  EXPECT_GE(stencil, 1);
  EXPECT_EQ(ActiveWindow.Width, 800);
  EXPECT_EQ(ActiveWindow.Height, 600);
}

TEST_F(WindowTest, ResizeWithZeroHeightUsesOnePixel) {
  ResizeViewport(640, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 1);
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  // gluPerspective puts f / aspect in [0] and f in [5]: their ratio is the aspect.
  EXPECT_NEAR(projection[5] / projection[0], 640.0, 1e-2);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  ResizeViewport(800, 600);
}

TEST_F(WindowTest, InitGLSetsTheDocumentedState) {
  InitGL();
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 0.2f);
  EXPECT_FLOAT_EQ(clear[2], 0.4f);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_LEQUAL);
  GLint genMode = 0;
  glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &genMode);
  EXPECT_EQ(genMode, GL_SPHERE_MAP);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
}

TEST_F(WindowTest, SetTwoSidedSwitchesCulling) {
  SetTwoSided(false);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  SetTwoSided(true);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

// An error that earlier work left pending does not void the fill probe's
// times, and is said, not lost, when a frame is made.
TEST_F(WindowTest, ErrorsPendingBeforeAreNeitherTheProbesNorTheFrames) {
  glEnable(GL_LINE);  // GL_INVALID_ENUM
  EXPECT_FALSE(TimeFillRounds({64, 48, 1, 1}).texturedMs.empty());
  glEnable(GL_LINE);
  OffscreenFrame frame;
  unsigned status = 0;
  testing::internal::CaptureStderr();
  CreateOffscreenFrame(64, 48, frame, status);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "veloria: OpenGL error 0x0500 (invalid enumerant) before a frame was made\n");
  DeleteOffscreenFrame(frame);
}

// A window system on paper: numbered handles, the set-up step it is told to
// fail, and a note of every call that names a handle not open at the time.
class PaperVideo : public VideoSystem {
 public:
  enum Step : unsigned { kNone = 0, kFullScreen = 1, kWindow = 2, kContext = 4, kActivation = 8 };
  explicit PaperVideo(unsigned failing) : failing_(failing) {}

  bool LoadGLLibrary(std::string&) override { return true; }
  void UnloadGLLibrary() override {}
  WindowHandle CreateFullScreenWindow(const char*, int, int, int) override {
    if (failing_ & kFullScreen) return nullptr;
    WindowHandle window = NewHandle();
    windows.insert(window);
    fullScreen.insert(window);
    return window;
  }
  WindowHandle CreateWindow(const char*, int, int, bool) override {
    if (failing_ & kWindow) return nullptr;
    WindowHandle window = NewHandle();
    windows.insert(window);
    return window;
  }
  void DestroyWindow(WindowHandle window) override {
    Check(window, "DestroyWindow");
    windows.erase(window);
    fullScreen.erase(window);
  }
  void LeaveFullScreen(WindowHandle window) override {
    if (window != nullptr) Check(window, "LeaveFullScreen");
    fullScreen.erase(window);
  }
  bool SetDesktopFullScreen(WindowHandle window, bool) override {
    Check(window, "SetDesktopFullScreen");
    return true;
  }
  bool IsFullScreen(WindowHandle window) override { return fullScreen.count(window) != 0; }
  bool Minimized(WindowHandle) override { return false; }
  void SetWindowSize(WindowHandle window, int, int) override { Check(window, "SetWindowSize"); }
  void SetCursorVisible(bool) override {}
  void RaiseAndFocus(WindowHandle window) override { Check(window, "RaiseAndFocus"); }
  void DrawableSize(WindowHandle window, int& width, int& height) override {
    Check(window, "DrawableSize");
    width = 800;
    height = 600;
  }
  int RefreshRate(WindowHandle window) override {
    Check(window, "RefreshRate");
    return 0;
  }
  ContextHandle CreateGLContext(WindowHandle window) override {
    Check(window, "CreateGLContext");
    if (failing_ & kContext) return nullptr;
    ContextHandle context = NewHandle();
    contexts.insert(context);
    return context;
  }
  bool MakeContextCurrent(WindowHandle window, ContextHandle context) override {
    // Releasing the current context needs no window, as under SDL.
    if (window != nullptr || context != nullptr) Check(window, "MakeContextCurrent");
    if (context == nullptr) return true;
    if (contexts.count(context) == 0) misuse.push_back("MakeContextCurrent on a closed context");
    return (failing_ & kActivation) == 0;
  }
  void DeleteGLContext(ContextHandle context) override {
    if (contexts.erase(context) == 0) misuse.push_back("DeleteGLContext on a closed context");
  }
  void SetSwapSync(bool) override {}
  void SwapWindowBuffers(WindowHandle window) override {
    // A null window is refused by SDL; a freed one would be read.
    if (window != nullptr) Check(window, "SwapWindowBuffers");
    ++swaps;
  }
  bool PollWindowEvent(WindowEvent&) override { return false; }
  void PostQuitMessage() override {}

  std::set<WindowHandle> windows, fullScreen;  // open now
  std::set<ContextHandle> contexts;
  std::vector<std::string> misuse;
  int swaps = 0;

 private:
  WindowHandle NewHandle() { return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(0x1000 * ++made_)); }
  void Check(WindowHandle window, const char* call) {
    if (windows.count(window) == 0) misuse.push_back(std::string(call) + " on a window not open");
  }
  unsigned failing_;
  int made_ = 0;
};

// Each set-up step's failure: its messages in order, a record with no freed
// handle, frames presented and a shutdown that touch nothing freed.
TEST(WindowSetUpTest, EveryFailureLeavesNoFreedHandle) {
  const std::string releaseRC = "Release of rendering context failed!";
  const std::string noFullScreen = "Unable to switch to fullscreen!";
  struct Case {
    const char* name;
    bool fullScreen;
    unsigned failing;
    std::vector<std::string> setUpMessages;
    bool opened;  // a window and its context are left open for the show
  };
  const std::vector<Case> cases = {
      {"window", false, PaperVideo::kWindow, {releaseRC, "Unable to create window!"}, false},
      {"context", false, PaperVideo::kContext,
       {releaseRC, "Unable to create an OpenGL rendering context"}, false},
      {"activation", false, PaperVideo::kActivation, {"Unable to activate OpenGL rendering context"}, false},
      {"full screen", true, PaperVideo::kFullScreen, {noFullScreen}, true},
      {"full screen, then window", true, PaperVideo::kFullScreen | PaperVideo::kWindow,
       {noFullScreen, releaseRC, "Unable to create window!"}, false},
      {"full screen, then context", true, PaperVideo::kFullScreen | PaperVideo::kContext,
       {noFullScreen, releaseRC, "Unable to create an OpenGL rendering context"}, false},
      {"nothing", true, PaperVideo::kNone, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PaperVideo video(c.failing);
    SetVideoSystem(&video);
    MessageCapture capture;
    BindOpenGL();
    const TGLWindow window = OpenGLWindow(800, 600, 32, "Test", c.fullScreen);
    std::vector<std::string> texts;
    for (const ShownMessage& m : capture.messages) {
      EXPECT_EQ(m.caption, "Error");
      texts.push_back(m.text);
    }
    EXPECT_EQ(texts, c.setUpMessages);
    EXPECT_EQ(FullScreenMode, c.fullScreen);
    // What the record holds is open, or null.
    EXPECT_EQ(window.Wnd != nullptr, c.opened);
    EXPECT_EQ(window.RC != nullptr, c.opened);
    EXPECT_EQ(ActiveWindow.Wnd, window.Wnd);
    EXPECT_EQ(ActiveWindow.DC, window.DC);
    EXPECT_EQ(ActiveWindow.RC, window.RC);
    EXPECT_EQ(video.windows.size(), c.opened ? 1u : 0u);
    EXPECT_EQ(video.contexts.size(), c.opened ? 1u : 0u);
    // A fallback window is not full screen.
    EXPECT_TRUE(video.fullScreen.empty() || c.failing == PaperVideo::kNone);

    for (int frame = 0; frame < 3; ++frame) EXPECT_FALSE(PresentFrame(window));
    EXPECT_EQ(video.swaps, 3);
    capture.messages.clear();
    KillGLWindow(window);
    UnbindOpenGL();
    // The driver's shutdown of a record without a context says so once more.
    EXPECT_EQ(capture.messages.size(), c.opened ? 0u : 1u);
    EXPECT_TRUE(video.windows.empty());
    EXPECT_TRUE(video.contexts.empty());
    EXPECT_EQ(video.misuse, std::vector<std::string>{});
    SetVideoSystem(nullptr);
  }
}

TEST(LetterboxTest, LargestCentredRectangleOfTheFramesShape) {
  struct Case {
    int windowWidth, windowHeight;
    PixelRect expected;
  };
  const std::vector<Case> cases = {
      {800, 600, {0, 0, 800, 600}},       // the frame's own size: a plain copy
      {1920, 1080, {240, 0, 1440, 1080}},  // wide screen: bars left and right
      {1000, 500, {166, 0, 667, 500}},     // 666.67 rounds up; the odd pixel goes right
      {3840, 2160, {480, 0, 2880, 2160}},
      {1280, 1024, {0, 32, 1280, 960}},    // taller than 4:3: bars above and below
      {801, 601, {0, 0, 801, 601}},        // 600.75 rounds to 601
      {1001, 333, {278, 0, 444, 333}},
      {333, 1001, {0, 375, 333, 250}},     // 249.75 rounds to 250
      {1, 1, {0, 0, 1, 1}},                // 0.75 rounds to 1
      {2, 1, {0, 0, 1, 1}},
      {1, 1000, {0, 499, 1, 1}},
      {4, 3, {0, 0, 4, 3}},
      {0, 600, {}},                        // a window with no pixels gets no picture
      {800, -1, {}},
  };
  for (const Case& c : cases) {
    const PixelRect r = LetterboxRect(c.windowWidth, c.windowHeight, 800, 600);
    EXPECT_EQ(r, c.expected) << c.windowWidth << "x" << c.windowHeight << " gave " << r.x << "," << r.y
                             << " " << r.width << "x" << r.height;
    if (r.width > 0) {
      EXPECT_LE(r.x + r.width, c.windowWidth);
      EXPECT_LE(r.y + r.height, c.windowHeight);
    }
  }
  // An extreme frame shape still gives at least one pixel.
  EXPECT_EQ(LetterboxRect(1, 1, 100000, 1), (PixelRect{0, 0, 1, 1}));
}

TEST(OffscreenFrameTest, FramebufferObjectsFromVersionOrExtension) {
  EXPECT_TRUE(OffersFramebufferObjects("3.0 Mesa", ""));
  EXPECT_TRUE(OffersFramebufferObjects("4.5 (Compatibility Profile) Mesa 22.3.6", nullptr));
  EXPECT_TRUE(OffersFramebufferObjects("2.1", "GL_ARB_multitexture GL_ARB_framebuffer_object"));
  EXPECT_TRUE(OffersFramebufferObjects("2.1", "GL_ARB_framebuffer_object GL_EXT_blend_minmax"));
  EXPECT_FALSE(OffersFramebufferObjects("2.1", "GL_ARB_framebuffer_object_sRGB GL_EXT_framebuffer_object"));
  EXPECT_FALSE(OffersFramebufferObjects("1.4", "XGL_ARB_framebuffer_object"));
  EXPECT_FALSE(OffersFramebufferObjects(nullptr, nullptr));
}

}  // namespace
