// The window and its OpenGL context on SDL, keeping the Windows set-up and
// release order with its messages. Steps that SDL has no counterpart for stay
// in place as named steps that cannot fail.

#include "runtime/OrvikGL2.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cerrno>
#include <fenv.h>  // fedisableexcept, a glibc extension
#include <cstdio>
#include <stdexcept>
#include <string>

#include "core/frame_scale.h"
#include "core/show.h"
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
// `auto`: one full-screen textured layer's time per frame pixel; 0 when unknown.
double msPerLayerPixel = 0.0;

bool Scaled() { return offscreenFrame.framebuffer != 0; }

void AnnounceFrame() { std::fprintf(stderr, "veloria: drawing %s\n", DescribeFrame(ActiveFrame.Scale).c_str()); }

// The show's frame is now drawn at `scale`, in offscreenFrame when there is
// one; the GL state was set for a frame of `stateScale`.
void UseFrameScale(double scale, double stateScale) {
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
  FitStateToFrame(stateScale);
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

// The scale the request gives for the window's drawable now.
double ChosenScale(WindowHandle window) {
  if (frameRequest.choice == ScaleChoice::Fixed) return frameRequest.factor;
  VideoSystem& video = ActiveVideo();
  int width = 0, height = 0;
  video.DrawableSize(window, width, height);
  const double native = NativeScale(width, height);
  if (frameRequest.choice == ScaleChoice::Native) return native;
  const FrameSize size = FrameSizeAt(native);
  return AutoScale(native, msPerLayerPixel * size.width * size.height, video.RefreshRate(window));
}

// What the viewer is told when a frame of `size` cannot be made.
std::string FrameRefusal(OffscreenFrameResult result, unsigned status, FrameSize size) {
  if (result == OffscreenFrameResult::NoFramebufferObjects) return "No framebuffer objects in this OpenGL";
  char text[128];
  std::snprintf(text, sizeof text, "The OpenGL refused a %dx%d frame (framebuffer status 0x%04X)",
                static_cast<int>(size.width), static_cast<int>(size.height), status);
  return text;
}

// A scaled window's drawable changed: a frame that follows it is made anew
// at the scale chosen for it, starting from the old frame's picture (the
// loading screen blends onto it), between two frames.
void RefitFrame(WindowHandle window) {
  if (frameRequest.choice == ScaleChoice::Fixed) return;
  const double scale = ChosenScale(window);
  const FrameSize size = FrameSizeAt(scale);
  if (size.width == offscreenFrame.width && size.height == offscreenFrame.height) return;
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
  UseFrameScale(scale, ActiveFrame.Scale);
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
// chosen for the drawable, or, when the GL cannot make it, the plain window
// of the requested size.
void SetUpScaling(TGLWindow& window, WindowMode mode, bool vsync) {
  VideoSystem& video = ActiveVideo();
  video.SetSwapSync(vsync);
  if (frameRequest.choice == ScaleChoice::Auto) MeasureLayerCost(window.Wnd);
  const double scale = ChosenScale(window.Wnd);
  const FrameSize size = FrameSizeAt(scale);
  unsigned status = 0;
  const OffscreenFrameResult result = CreateOffscreenFrame(size.width, size.height, offscreenFrame, status);
  if (result == OffscreenFrameResult::Made) {
    UseFrameScale(scale, 1.0);
    AnnounceFrame();
    return;
  }
  ShowSetupError(FrameRefusal(result, status, size) + ": the show plays unscaled in a " +
                 std::to_string(window.Width) + "x" + std::to_string(window.Height) + " window");
  UseFrameScale(1.0, 1.0);
  if (mode == WindowMode::ScaledDesktop) {
    video.SetWindowSize(window.Wnd, window.Width, window.Height);
    video.SetCursorVisible(true);
  }
}

// Runs the set-up on `window`, which holds the requested size and title; a
// plain window's drawable is its frame at `scale`.
bool SetUpWindow(TGLWindow& window, WindowMode mode, bool vsync, double scale) {
  VideoSystem& video = ActiveVideo();
  // Frames left from an earlier run died with its context.
  offscreenFrame = OffscreenFrame{};
  designedFrame = OffscreenFrame{};
  const FrameSize frame = FrameSizeAt(scale);
  ActiveFrame = TFramePixels{frame.width, frame.height, scale};
  const bool scaled = mode == WindowMode::ScaledWindow || mode == WindowMode::ScaledDesktop;
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
  video.RaiseAndFocus(window.Wnd);
  ResizeViewport(frame.width, frame.height);
  InitGL();
  if (scaled) {
    SetUpScaling(window, mode, vsync);
  } else {
    // Lines the scenes leave at the GL's first width inherit it at the frame's scale.
    UseFrameScale(scale, 1.0);
    if (scale != 1.0) AnnounceFrame();
  }
  return true;
}

TGLWindow OpenWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title, WindowMode mode,
                     bool vsync, const FrameScaleRequest& scale) {
  TGLWindow window;
  window.Title = Title;
  window.Width = Width;
  window.Height = Height;
  window.Bits = Bits;
  frameRequest = scale;
  // A scaled window opens at the requested size and picks its frame after.
  const bool plain = mode == WindowMode::Window || mode == WindowMode::FullScreen;
  SetUpWindow(window, mode, vsync, plain && scale.choice == ScaleChoice::Fixed ? scale.factor : 1.0);
  ActiveWindow = window;
  return window;
}

// Alt+Enter in a scaled window.
void ToggleDesktopFullScreen() {
  VideoSystem& video = ActiveVideo();
  const bool fullScreen = !video.IsFullScreen(ActiveWindow.Wnd);
  if (video.SetDesktopFullScreen(ActiveWindow.Wnd, fullScreen)) video.SetCursorVisible(!fullScreen);
}

}  // namespace

void MaskFloatingPointExceptions() {
  // x86-64 starts with every SSE exception masked; saying so keeps it true
  // whatever a library did before us.
  fedisableexcept(FE_ALL_EXCEPT);
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
                           bool Desktop, bool Vsync, const FrameScaleRequest& Scale) {
  return OpenWindow(Width, Height, Bits, Title,
                    Desktop ? WindowMode::ScaledDesktop : WindowMode::ScaledWindow, Vsync, Scale);
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
      if (Scaled()) ToggleDesktopFullScreen();
      return 0;
    case WindowEventKind::Key:
      return 0;
    default:
      return 1;  // left to SDL's own handling
  }
}

bool PresentFrame(TGLWindow Window) {
  glFlush();
  // A virtual clock moves on by one step per presented frame, swapped or not.
  CounterFramePresented();
  VideoSystem& video = ActiveVideo();
  WindowEvent event;
  if (video.PollWindowEvent(event)) {
    if (event.kind == WindowEventKind::Quit) return true;
    WndProc(event);
    return false;
  }
  if (Scaled()) {
    int width = 0, height = 0;
    video.DrawableSize(Window.DC, width, height);
    PresentOffscreenFrame(offscreenFrame,
                          LetterboxRect(width, height, offscreenFrame.width, offscreenFrame.height));
  }
  video.SwapWindowBuffers(Window.DC);
  return false;
}

void FitStateToFrame(double stateScale) {
  glViewport(0, 0, ActiveFrame.Width, ActiveFrame.Height);
  RescaleLineWidth(stateScale);
}

void SetTwoSided(bool Flag) {
  if (Flag) {
    glDisable(GL_CULL_FACE);
  } else {
    glEnable(GL_CULL_FACE);
  }
}
