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

#include "platform/counter.h"
#include "platform/message_box.h"
#include "runtime/letterbox.h"
#include "runtime/offscreen_frame.h"

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

// The frame of a scaled window; empty while the show draws to the back buffer.
OffscreenFrame offscreenFrame;

bool Scaled() { return offscreenFrame.framebuffer != 0; }

// KillGLWindow's release order on `window` itself: each handle is nulled
// once released (or once its release failed), so no caller keeps a freed one.
void ReleaseWindow(TGLWindow& window) {
  VideoSystem& video = ActiveVideo();
  // The frame exists only while its context is current.
  if (Scaled()) DeleteOffscreenFrame(offscreenFrame);
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

// The scaled modes' last step: vsync and the offscreen frame, or, without
// framebuffer objects, the plain window of the requested size.
void SetUpScaling(TGLWindow& window, WindowMode mode, bool vsync) {
  VideoSystem& video = ActiveVideo();
  video.SetSwapSync(vsync);
  if (CreateOffscreenFrame(window.Width, window.Height, offscreenFrame)) return;
  ShowSetupError("No framebuffer objects in this OpenGL: the show plays unscaled in a " +
                 std::to_string(window.Width) + "x" + std::to_string(window.Height) + " window");
  if (mode == WindowMode::ScaledDesktop) {
    video.SetWindowSize(window.Wnd, window.Width, window.Height);
    video.SetCursorVisible(true);
  }
}

// Runs the set-up on `window`, which holds the requested size and title.
bool SetUpWindow(TGLWindow& window, WindowMode mode, bool vsync) {
  VideoSystem& video = ActiveVideo();
  offscreenFrame = OffscreenFrame{};  // a frame left from an earlier run died with its context
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
    window.Wnd = video.CreateWindow(window.Title, window.Width, window.Height);
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
  ResizeViewport(window.Width, window.Height);
  InitGL();
  if (mode == WindowMode::ScaledWindow || mode == WindowMode::ScaledDesktop) {
    SetUpScaling(window, mode, vsync);
  }
  return true;
}

TGLWindow OpenWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                     WindowMode mode, bool vsync) {
  TGLWindow window;
  window.Title = Title;
  window.Width = Width;
  window.Height = Height;
  window.Bits = Bits;
  SetUpWindow(window, mode, vsync);
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
  return OpenWindow(Width, Height, Bits, Title,
                    FullScreen ? WindowMode::FullScreen : WindowMode::Window, /*vsync=*/false);
}

TGLWindow OpenScaledWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                           bool Desktop, bool Vsync) {
  return OpenWindow(Width, Height, Bits, Title,
                    Desktop ? WindowMode::ScaledDesktop : WindowMode::ScaledWindow, Vsync);
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
      // A scaled window's size only changes where its frame is scaled to.
      if (!Scaled()) ResizeViewport(Event.width, Event.height);
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

void SetTwoSided(bool Flag) {
  if (Flag) {
    glDisable(GL_CULL_FACE);
  } else {
    glEnable(GL_CULL_FACE);
  }
}
