// The window and its OpenGL context on SDL, keeping the Windows set-up and
// release order with its messages. Steps that SDL has no counterpart for stay
// in place as named steps that cannot fail.

#include "runtime/OrvikGL2.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/frame_scale.h"
#include "core/show.h"
#include "platform/floating_point.h"
#include "platform/counter.h"
#include "platform/message_box.h"
#include "runtime/fill_rounds.h"
#include "runtime/letterbox.h"
#include "runtime/offscreen_frame.h"
#include "textures/draw_state.h"

bool FullScreenMode = false;

namespace {

const char* const kErrorCaption = "Error";

void ShowSetupError(const std::string& text) { ShowErrorMessage(kErrorCaption, text); }

// SDL has no window classes: registering and unregistering "OpenGL" cannot
// fail, but the steps keep their place in the set-up and release order.
bool RegisterWindowClass() { return true; }
bool UnregisterWindowClass() { return true; }

// SDL draws straight to the window, so its "device context" is the window.
WindowHandle GetDeviceContext(WindowHandle window) { return window; }
bool ReleaseDeviceContext(WindowHandle, WindowHandle) { return true; }

// The pixel format is fixed by the GL attributes the window was created
// with; choosing and setting it are checks that the window is GL-capable.
bool ChoosePixelFormat(WindowHandle dc) { return dc != nullptr; }
bool SetPixelFormat(WindowHandle dc) { return dc != nullptr; }

// How the set-up shows the frame.
enum class WindowMode {
  Window,         // unscaled, Width x Height
  FullScreen,     // the display switched to Width x Height; the window as fallback
  ScaledWindow,   // resizable, the offscreen frame scaled into it
  ScaledDesktop,  // the same, full screen at the desktop's mode
};

// The `auto` scale's measurement at window opening: a few short rounds of
// layers, at most this long (a GPU is done far sooner; a software renderer's
// first round already tells that the designed frame is all it can keep up with).
constexpr int kAutoProbeRounds = 5;
constexpr int kAutoProbeLayersPerRound = 8;
constexpr double kAutoProbeBudgetMs = 50.0;

// The frame of a scaled window; empty while the show draws to the back buffer.
OffscreenFrame offscreenFrame;
// At scales other than 1, the buffer of the designed frame's size that
// ActiveFrame.DesignedFramebuffer names.
OffscreenFrame designedFrame;
// What a scaled window's frame follows.
FrameScaleRequest frameRequest;
// Whether the window shows the frame scaled (--windowed, --desktop), with or
// without an offscreen frame to scale.
bool scaledMode = false;
// The frame keeps the size it was first given, whatever the window does.
bool keepFrameSize = false;
// Said once per window: the GL's largest frame, a size the frame keeps.
bool limitSaid = false;
bool keptSizeSaid = false;
// `auto`: one full-screen textured layer's time per frame pixel; 0 when unknown.
double msPerLayerPixel = 0.0;

bool Scaled() { return offscreenFrame.framebuffer != 0; }

void AnnounceFrame() { std::fprintf(stderr, "veloria: drawing %s\n", DescribeFrame(ActiveFrame.Scale).c_str()); }

// The largest K up to `scale` whose frame is within `largest`; when that is
// less than `scale`, the viewer is told once.
double AllowedScale(double scale, FrameLimit largest) {
  const double allowed = ScaleWithin(scale, largest.width, largest.height);
  if (allowed < scale && !limitSaid) {
    limitSaid = true;
    std::fprintf(stderr, "veloria: this OpenGL draws frames of at most %dx%d, not %s\n", largest.width,
                 largest.height, DescribeFrame(scale).c_str());
  }
  return allowed;
}

// LargestFrame for a window whose drawable is its frame, and so has to be
// sized before its context exists: asked in a small hidden window and
// context of their own. No limit when they cannot be made.
FrameLimit ProbeLargestFrame() {
  VideoSystem& video = ActiveVideo();
  FrameLimit largest{INT_MAX, INT_MAX};
  WindowHandle window = video.CreateWindow("veloria", 64, 48, /*highDpi=*/false);
  if (window == nullptr) return largest;
  if (ContextHandle context = video.CreateGLContext(window)) {
    if (video.MakeContextCurrent(window, context)) {
      largest = LargestFrame();
      video.MakeContextCurrent(window, nullptr);
    }
    video.DeleteGLContext(context);
  }
  video.DestroyWindow(window);
  return largest;
}

// The show's frame is now drawn at `scale`, in offscreenFrame when there is one.
void UseFrameScale(double scale) {
  // Making or deleting the designed buffer leaves another framebuffer bound.
  bool rebind = offscreenFrame.framebuffer != 0;
  unsigned status = 0;
  if (scale != 1.0 && designedFrame.framebuffer == 0) {
    // Without it the corner work is drawn in the frame itself, a rounding apart.
    rebind = CreateOffscreenFrame(kShowWidth, kShowHeight, designedFrame, status) == OffscreenFrameResult::Made ||
             rebind;
  } else if (scale == 1.0 && designedFrame.framebuffer != 0) {
    DeleteOffscreenFrame(designedFrame);
    rebind = true;
  }
  const FrameSize size = FrameSizeAt(scale);
  ActiveFrame = TFramePixels{size.width, size.height, scale, offscreenFrame.framebuffer, designedFrame.framebuffer};
  if (rebind) glBindFramebuffer(GL_FRAMEBUFFER, ActiveFrame.Framebuffer);
  FitStateToFrame();
}

// Times layers of the native frame for the window's drawable in a frame of
// their own, so nothing of the show's is touched, and keeps their cost per pixel.
void MeasureLayerCost(WindowHandle window) {
  int width = 0, height = 0;
  ActiveVideo().DrawableSize(window, width, height);
  const FrameSize native = FrameSizeAt(NativeScale(width, height));
  OffscreenFrame probeFrame;
  unsigned status = 0;
  msPerLayerPixel = 0.0;
  if (CreateOffscreenFrame(native.width, native.height, probeFrame, status) != OffscreenFrameResult::Made) return;
  FillRoundPlan plan;
  plan.width = native.width;
  plan.height = native.height;
  plan.rounds = kAutoProbeRounds;
  plan.layersPerRound = kAutoProbeLayersPerRound;
  plan.budgetMs = kAutoProbeBudgetMs;
  const FillRoundTimes times = TimeFillRounds(plan);
  DeleteOffscreenFrame(probeFrame);
  msPerLayerPixel = MedianMsPerLayer(times.texturedMs, kAutoProbeLayersPerRound) /
                    (static_cast<double>(native.width) * native.height);
}

// The scale a frame that follows the window takes for its drawable now;
// none when it keeps its own (see FollowingScale).
std::optional<double> FollowedScale(WindowHandle window) {
  VideoSystem& video = ActiveVideo();
  int width = 0, height = 0;
  video.DrawableSize(window, width, height);
  return FollowingScale(frameRequest, width, height, msPerLayerPixel, video.RefreshRate(window));
}

// What the viewer is told when a frame of `size` cannot be made.
std::string FrameRefusal(OffscreenFrameResult result, unsigned status, FrameSize size) {
  if (result == OffscreenFrameResult::NoFramebufferObjects) return "No framebuffer objects in this OpenGL";
  char text[160];
  if (result == OffscreenFrameResult::GLError) {
    std::snprintf(text, sizeof text, "The OpenGL refused a %dx%d frame (error %s)", static_cast<int>(size.width),
                  static_cast<int>(size.height), DescribeGLError(status).c_str());
    return text;
  }
  std::snprintf(text, sizeof text, "The OpenGL refused a %dx%d frame (framebuffer status 0x%04X)",
                static_cast<int>(size.width), static_cast<int>(size.height), status);
  return text;
}

// A scaled window's drawable changed: a frame that follows it is made anew
// at the scale chosen for it, starting from the old frame's picture (the
// loading screen blends onto it), between two frames.
void RefitFrame(WindowHandle window) {
  const std::optional<double> followed = FollowedScale(window);
  if (!followed) return;
  const double scale = AllowedScale(*followed, LargestFrame());
  const FrameSize size = FrameSizeAt(scale);
  if (size.width == offscreenFrame.width && size.height == offscreenFrame.height) return;
  if (keepFrameSize) {
    if (!keptSizeSaid) {
      keptSizeSaid = true;
      std::fprintf(stderr, "veloria: the frame stays %dx%d in this run; the window shows it scaled\n",
                   offscreenFrame.width, offscreenFrame.height);
    }
    return;
  }
  OffscreenFrame resized;
  unsigned status = 0;
  const OffscreenFrameResult result = CreateOffscreenFrame(size.width, size.height, resized, status);
  if (result != OffscreenFrameResult::Made) {
    std::fprintf(stderr, "veloria: %s; the frame stays %dx%d\n", FrameRefusal(result, status, size).c_str(),
                 offscreenFrame.width, offscreenFrame.height);
    glBindFramebuffer(GL_FRAMEBUFFER, offscreenFrame.framebuffer);
    return;
  }
  CopyOffscreenFrame(offscreenFrame, resized);
  DeleteOffscreenFrame(offscreenFrame);
  offscreenFrame = std::move(resized);
  UseFrameScale(scale);
  AnnounceFrame();
}

// KillGLWindow's release order on `window` itself: each handle is nulled
// once released (or once its release failed), so no caller keeps a freed one.
void ReleaseWindow(TGLWindow& window) {
  VideoSystem& video = ActiveVideo();
  // The frames exist only while their context is current.
  if (Scaled()) DeleteOffscreenFrame(offscreenFrame);
  if (designedFrame.framebuffer != 0) DeleteOffscreenFrame(designedFrame);
  if (FullScreenMode) {
    video.LeaveFullScreen(window.Wnd);
    video.SetCursorVisible(true);
  }
  if (!video.MakeContextCurrent(window.DC, nullptr)) ShowSetupError("Release of DC and RC failed!");
  if (window.RC == nullptr) {
    ShowSetupError("Release of rendering context failed!");
  } else {
    video.DeleteGLContext(window.RC);
    window.RC = nullptr;
  }
  if (window.DC != nullptr) {
    if (!ReleaseDeviceContext(window.Wnd, window.DC)) ShowSetupError("Release of device context failed!");
    window.DC = nullptr;
  }
  if (window.Wnd != nullptr) {
    video.DestroyWindow(window.Wnd);
    window.Wnd = nullptr;
  }
  if (!UnregisterWindowClass()) ShowSetupError("Unable to unregister window class!");
}

// The scaled modes' last step: vsync and the offscreen frame at the scale
// chosen for the drawable, or the largest below it that the GL can make; when
// it can make none, the plain window of the requested size, with the viewer
// told once the screen is a window again.
void SetUpScaling(TGLWindow& window, WindowMode mode, bool vsync) {
  VideoSystem& video = ActiveVideo();
  video.SetSwapSync(vsync);
  if (frameRequest.choice == ScaleChoice::Auto) MeasureLayerCost(window.Wnd);
  double scale = AllowedScale(FollowedScale(window.Wnd).value_or(frameRequest.factor), LargestFrame());
  for (;;) {
    const FrameSize size = FrameSizeAt(scale);
    unsigned status = 0;
    const OffscreenFrameResult result = CreateOffscreenFrame(size.width, size.height, offscreenFrame, status);
    if (result == OffscreenFrameResult::Made) {
      UseFrameScale(scale);
      AnnounceFrame();
      return;
    }
    const std::string refusal = FrameRefusal(result, status, size);
    if (result != OffscreenFrameResult::NoFramebufferObjects && scale > kSmallestScale) {
      // About half the pixels each time: a frame the GL has no memory for
      // is found in a few steps.
      std::fprintf(stderr, "veloria: %s\n", refusal.c_str());
      scale = std::max(kSmallestScale, std::floor(scale * 70.0) / 100.0);
      continue;
    }
    if (mode == WindowMode::ScaledDesktop) {
      video.SetWindowSize(window.Wnd, window.Width, window.Height);
      video.SetCursorVisible(true);
    }
    // The plain window's frame is its drawable, in pixels: on a high-density
    // display a window of Width x Height units has K times as many.
    int width = 0, height = 0;
    video.DrawableSize(window.Wnd, width, height);
    UseFrameScale(AllowedScale(DrawableScale(width, height), LargestFrame()));
    ShowSetupError(refusal + ": the show plays unscaled in a " + std::to_string(window.Width) + "x" +
                   std::to_string(window.Height) + " window");
    return;
  }
}

// Runs the set-up on `window`, which holds the requested size and title; a
// plain window's drawable is its frame at `scale`.
bool SetUpWindow(TGLWindow& window, WindowMode mode, bool vsync, double scale) {
  VideoSystem& video = ActiveVideo();
  // Frames left from an earlier run died with its context.
  offscreenFrame = OffscreenFrame{};
  designedFrame = OffscreenFrame{};
  limitSaid = false;
  keptSizeSaid = false;
  if (scale != 1.0) scale = AllowedScale(scale, ProbeLargestFrame());
  const FrameSize frame = FrameSizeAt(scale);
  ActiveFrame = TFramePixels{frame.width, frame.height, scale};
  const bool scaled = mode == WindowMode::ScaledWindow || mode == WindowMode::ScaledDesktop;
  scaledMode = scaled;
  FullScreenMode = mode == WindowMode::FullScreen || mode == WindowMode::ScaledDesktop;
  if (!RegisterWindowClass()) {
    ShowSetupError("Failed to register the window class!");
    return false;
  }
  // The switch is judged by what the display really did, so the full-screen
  // window is made (and shown) here, where the display changes its mode.
  if (mode == WindowMode::FullScreen) {
    window.Wnd = video.CreateFullScreenWindow(window.Title, window.Width, window.Height, window.Bits);
    if (window.Wnd == nullptr) ShowSetupError("Unable to switch to fullscreen!");
  }
  video.SetCursorVisible(window.Wnd == nullptr && mode != WindowMode::ScaledDesktop);

  if (window.Wnd == nullptr) {
    window.Wnd = video.CreateWindow(window.Title, frame.width, frame.height, /*highDpi=*/scaled);
    if (window.Wnd == nullptr) {
      ReleaseWindow(window);
      ShowSetupError("Unable to create window!");
      return false;
    }
    // Refused, the window stays a window; the frame is scaled into it all the same.
    if (mode == WindowMode::ScaledDesktop) video.SetDesktopFullScreen(window.Wnd, true);
  }
  window.DC = GetDeviceContext(window.Wnd);
  if (window.DC == nullptr) {
    ReleaseWindow(window);
    ShowSetupError("Unable to get a device context!");
    return false;
  }
  if (!ChoosePixelFormat(window.DC)) {
    ReleaseWindow(window);
    ShowSetupError("Unable to find a suitable pixel format");
    return false;
  }
  if (!SetPixelFormat(window.DC)) {
    ReleaseWindow(window);
    ShowSetupError("Unable to set the pixel format");
    return false;
  }
  window.RC = video.CreateGLContext(window.DC);
  if (window.RC == nullptr) {
    ReleaseWindow(window);
    ShowSetupError("Unable to create an OpenGL rendering context");
    return false;
  }
  if (!video.MakeContextCurrent(window.DC, window.RC)) {
    ReleaseWindow(window);
    ShowSetupError("Unable to activate OpenGL rendering context");
    return false;
  }
  // What the window system's own calls left (SDL asks a GL 2 context for GL
  // 3's version numbers) is no error of the show's.
  TakeGLErrors();
  video.RaiseAndFocus(window.Wnd);
  ResizeViewport(frame.width, frame.height);
  InitGL();
  // Lines the scenes leave at the GL's first width inherit it at the frame's scale.
  UseLineWidth(1.0f);
  if (scaled) {
    SetUpScaling(window, mode, vsync);
  } else {
    UseFrameScale(scale);
    if (scale != 1.0) AnnounceFrame();
  }
  return true;
}

TGLWindow OpenWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title, WindowMode mode,
                     bool vsync, const FrameScaleRequest& scale, bool keepSize = false) {
  TGLWindow window;
  window.Title = Title;
  window.Width = Width;
  window.Height = Height;
  window.Bits = Bits;
  frameRequest = scale;
  keepFrameSize = keepSize;
  // A scaled window opens at the requested size and picks its frame after.
  const bool plain = mode == WindowMode::Window || mode == WindowMode::FullScreen;
  SetUpWindow(window, mode, vsync, plain && scale.choice == ScaleChoice::Fixed ? scale.factor : 1.0);
  ActiveWindow = window;
  return window;
}

// Takes at most one message and handles it, unless it is the quit message,
// which only sets `quit`. False when none was pending.
bool HandleOneMessage(bool& quit) {
  WindowEvent event;
  if (!ActiveVideo().PollWindowEvent(event)) return false;
  quit = event.kind == WindowEventKind::Quit;
  if (!quit) WndProc(event);
  return true;
}

// Alt+Enter in a scaled window.
void ToggleDesktopFullScreen() {
  VideoSystem& video = ActiveVideo();
  const bool fullScreen = !video.IsFullScreen(ActiveWindow.Wnd);
  if (video.SetDesktopFullScreen(ActiveWindow.Wnd, fullScreen)) video.SetCursorVisible(!fullScreen);
}

}  // namespace

void MaskFloatingPointExceptions() {
  MaskFloatingPointTraps();
}

void BindOpenGL() {
  std::string reason;
  if (!ActiveVideo().LoadGLLibrary(reason)) {
    char text[512];
    std::snprintf(text, sizeof text, "Error %d initializing OpenGL: %s", errno, reason.c_str());
    throw std::runtime_error(text);
  }
}

void UnbindOpenGL() { ActiveVideo().UnloadGLLibrary(); }

TGLWindow OpenGLWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                       bool FullScreen) {
  return OpenWindow(Width, Height, Bits, Title, FullScreen ? WindowMode::FullScreen : WindowMode::Window,
                    /*vsync=*/false, FrameScaleRequest{});
}

TGLWindow OpenFrameWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title, double Scale) {
  return OpenWindow(Width, Height, Bits, Title, WindowMode::Window, /*vsync=*/false,
                    FrameScaleRequest{ScaleChoice::Fixed, Scale});
}

TGLWindow OpenScaledWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                           bool Desktop, bool Vsync, const FrameScaleRequest& Scale, bool KeepFrameSize) {
  return OpenWindow(Width, Height, Bits, Title,
                    Desktop ? WindowMode::ScaledDesktop : WindowMode::ScaledWindow, Vsync, Scale, KeepFrameSize);
}

void KillGLWindow(TGLWindow Window) { ReleaseWindow(Window); }

uint32_t FrameColorBuffer() { return Scaled() ? GL_COLOR_ATTACHMENT0 : GL_BACK; }

void ResizeViewport(int32_t Width, int32_t Height) {
  if (Height == 0) Height = 1;
  glViewport(0, 0, Width, Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(Width) / Height, 1.0, FarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void InitGL() {
  glClearColor(0.2f, 0.2f, 0.4f, 0.0f);
  glShadeModel(GL_SMOOTH);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

int WndProc(const WindowEvent& Event) {
  switch (Event.kind) {
    case WindowEventKind::Resized:
      // A scaled window's size changes where its frame is scaled to, and
      // the frame itself when it follows the window.
      if (Scaled()) {
        RefitFrame(ActiveWindow.Wnd);
      } else {
        ResizeViewport(Event.width, Event.height);
      }
      return 0;
    case WindowEventKind::CloseRequested:
      ActiveVideo().PostQuitMessage();
      return 0;
    case WindowEventKind::ToggleFullScreen:
      if (scaledMode) ToggleDesktopFullScreen();
      return 0;
    case WindowEventKind::Key:
      return 0;
    default:
      return 1;  // left to SDL's own handling
  }
}

bool WindowShowsNothing(TGLWindow Window) {
  VideoSystem& video = ActiveVideo();
  if (Window.Wnd == nullptr) return false;
  if (video.Minimized(Window.Wnd)) return true;
  int width = 0, height = 0;
  video.DrawableSize(Window.Wnd, width, height);
  return width < 1 || height < 1;
}

bool TakeWindowMessage() {
  bool quit = false;
  HandleOneMessage(quit);
  return quit;
}

bool PresentFrame(TGLWindow Window) {
  glFlush();
  // A virtual clock moves on by one step per presented frame, swapped or not.
  CounterFramePresented();
  VideoSystem& video = ActiveVideo();
  bool quit = false;
  if (HandleOneMessage(quit)) return quit;
  if (Scaled()) {
    int width = 0, height = 0;
    video.DrawableSize(Window.DC, width, height);
    PresentOffscreenFrame(offscreenFrame,
                          LetterboxRect(width, height, offscreenFrame.width, offscreenFrame.height));
  }
  video.SwapWindowBuffers(Window.DC);
  return false;
}

void FitStateToFrame() {
  glViewport(0, 0, ActiveFrame.Width, ActiveFrame.Height);
  RefitLineWidth();
}

void SetTwoSided(bool Flag) {
  if (Flag) {
    glDisable(GL_CULL_FACE);
  } else {
    glEnable(GL_CULL_FACE);
  }
}
