// The window and its OpenGL context on SDL, keeping the Windows set-up and
// release order with its messages. Steps that SDL has no counterpart for stay
// in place as named steps that cannot fail.

#include "runtime/OrvikGL2.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cerrno>
#include <fenv.h>  // fedisableexcept, a glibc extension
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/counter.h"
#include "platform/message_box.h"

bool FullScreenMode = false;

namespace {

const char* const kErrorCaption = "Error";

void ShowSetupError(const char* text) { ShowErrorMessage(kErrorCaption, text); }

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

// Runs the set-up on `window`, which holds the requested size and title.
bool SetUpWindow(TGLWindow& window, bool fullScreen) {
  FullScreenMode = fullScreen;
  if (!RegisterWindowClass()) {
    ShowSetupError("Failed to register the window class!");
    return false;
  }
  bool useFullScreen = fullScreen;
  if (useFullScreen && !HasDisplayMode(window.Width, window.Height, window.Bits)) {
    ShowSetupError("Unable to switch to fullscreen!");
    useFullScreen = false;
  }
  SetCursorVisible(!useFullScreen);

  window.Wnd = CreateGLWindow(window.Title, window.Width, window.Height, useFullScreen);
  if (window.Wnd == nullptr) {
    KillGLWindow(window);
    ShowSetupError("Unable to create window!");
    return false;
  }
  window.DC = GetDeviceContext(window.Wnd);
  if (window.DC == nullptr) {
    KillGLWindow(window);
    ShowSetupError("Unable to get a device context!");
    return false;
  }
  if (!ChoosePixelFormat(window.DC)) {
    KillGLWindow(window);
    ShowSetupError("Unable to find a suitable pixel format");
    return false;
  }
  if (!SetPixelFormat(window.DC)) {
    KillGLWindow(window);
    ShowSetupError("Unable to set the pixel format");
    return false;
  }
  window.RC = CreateGLContext(window.DC);
  if (window.RC == nullptr) {
    KillGLWindow(window);
    ShowSetupError("Unable to create an OpenGL rendering context");
    return false;
  }
  if (!MakeContextCurrent(window.DC, window.RC)) {
    KillGLWindow(window);
    ShowSetupError("Unable to activate OpenGL rendering context");
    return false;
  }
  RaiseAndFocus(window.Wnd);
  ResizeViewport(window.Width, window.Height);
  InitGL();
  return true;
}

}  // namespace

void MaskFloatingPointExceptions() {
  // x86-64 starts with every SSE exception masked; saying so keeps it true
  // whatever a library did before us.
  fedisableexcept(FE_ALL_EXCEPT);
}

void BindOpenGL() {
  std::string reason;
  if (!LoadGLLibrary(reason)) {
    char text[512];
    std::snprintf(text, sizeof text, "Error %d initializing OpenGL: %s", errno, reason.c_str());
    throw std::runtime_error(text);
  }
}

void UnbindOpenGL() { UnloadGLLibrary(); }

TGLWindow OpenGLWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                       bool FullScreen) {
  TGLWindow window;
  window.Title = Title;
  window.Width = Width;
  window.Height = Height;
  window.Bits = Bits;
  SetUpWindow(window, FullScreen);
  ActiveWindow = window;
  return window;
}

void KillGLWindow(TGLWindow Window) {
  if (FullScreenMode) {
    LeaveFullscreen(Window.Wnd);
    SetCursorVisible(true);
  }
  if (!MakeContextCurrent(Window.DC, nullptr)) ShowSetupError("Release of DC and RC failed!");
  if (Window.RC == nullptr) {
    ShowSetupError("Release of rendering context failed!");
  } else {
    DeleteGLContext(Window.RC);
    Window.RC = nullptr;
  }
  if (Window.DC != nullptr && !ReleaseDeviceContext(Window.Wnd, Window.DC)) {
    ShowSetupError("Release of device context failed!");
    Window.DC = nullptr;
  }
  if (Window.Wnd != nullptr) {
    DestroyGLWindow(Window.Wnd);
    Window.Wnd = nullptr;
  }
  if (!UnregisterWindowClass()) ShowSetupError("Unable to unregister window class!");
}

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
      ResizeViewport(Event.width, Event.height);
      return 0;
    case WindowEventKind::CloseRequested:
      PostQuitMessage();
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
  WindowEvent event;
  if (PollWindowEvent(event)) {
    if (event.kind == WindowEventKind::Quit) return true;
    WndProc(event);
    return false;
  }
  SwapWindowBuffers(Window.DC);
  return false;
}

void SetTwoSided(bool Flag) {
  if (Flag) {
    glDisable(GL_CULL_FACE);
  } else {
    glEnable(GL_CULL_FACE);
  }
}
