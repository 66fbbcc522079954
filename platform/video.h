// The SDL side of the window module: library, window, GL context and events
// as plain handles, so nothing above this layer includes SDL. The calls go
// through a replaceable VideoSystem, so tests can make any set-up step fail.
#pragma once

#include <string>

using WindowHandle = void*;   // an SDL_Window
using ContextHandle = void*;  // an SDL_GLContext

// One message from the queue, already sorted into what the window procedure
// distinguishes.
enum class WindowEventKind { Quit, Resized, CloseRequested, Key, ToggleFullScreen, Other };
struct WindowEvent {
  WindowEventKind kind = WindowEventKind::Other;
  int width = 0;   // Resized: new drawable size
  int height = 0;
};

// Every window-system call of the window module.
class VideoSystem {
 public:
  virtual ~VideoSystem() = default;

  // Starts the video subsystem and loads the system GL library. False with
  // `error` filled (the system's own reason) when either fails.
  virtual bool LoadGLLibrary(std::string& error) = 0;
  // Unloads the GL library and stops the video subsystem.
  virtual void UnloadGLLibrary() = 0;

  // A shown full-screen window with a GL-capable surface whose display really
  // runs at `width` x `height` (`bits` picks the colour depth of the mode).
  // Null when the display offers no such mode, refuses the switch, or gave
  // the window another mode; the display then keeps its own.
  virtual WindowHandle CreateFullScreenWindow(const char* title, int width, int height,
                                              int bits) = 0;
  // A hidden, resizable window of `width` x `height` with a GL-capable
  // surface: double-buffered RGBA 8/8/8/8, 24-bit depth, 8-bit stencil,
  // compatibility profile. Its size is in drawable pixels, unless `highDpi`:
  // then in the desktop's units, with as many drawable pixels as the display
  // has there (DrawableSize tells). Null on failure.
  virtual WindowHandle CreateWindow(const char* title, int width, int height, bool highDpi) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  // Gives the display its desktop mode back and the window its own size.
  virtual void LeaveFullScreen(WindowHandle window) = 0;
  // Full screen at the desktop's own mode (no mode change), or back to the
  // window. False when the window system refused.
  virtual bool SetDesktopFullScreen(WindowHandle window, bool fullScreen) = 0;
  virtual bool IsFullScreen(WindowHandle window) = 0;
  // True while the window is minimized or hidden.
  virtual bool Minimized(WindowHandle window) = 0;
  // Sets the window's drawable size (leaving full screen first).
  virtual void SetWindowSize(WindowHandle window, int width, int height) = 0;
  virtual void SetCursorVisible(bool visible) = 0;
  virtual void RaiseAndFocus(WindowHandle window) = 0;
  // The window's size in drawable pixels now.
  virtual void DrawableSize(WindowHandle window, int& width, int& height) = 0;
  // The refresh rate of the display the window is on, in Hz; 0 when unknown.
  virtual int RefreshRate(WindowHandle window) = 0;

  virtual ContextHandle CreateGLContext(WindowHandle window) = 0;  // null on failure
  // Makes `context` current on `window`; a null context releases the current
  // one. False on failure.
  virtual bool MakeContextCurrent(WindowHandle window, ContextHandle context) = 0;
  virtual void DeleteGLContext(ContextHandle context) = 0;
  // Swaps in step with the display (adaptive sync where the driver offers
  // it) or, with `vsync` false, as soon as asked. Applies to the current context.
  virtual void SetSwapSync(bool vsync) = 0;
  virtual void SwapWindowBuffers(WindowHandle window) = 0;

  // Removes at most one message from the queue. False when none was pending.
  virtual bool PollWindowEvent(WindowEvent& event) = 0;
  // Puts the quit message on the queue.
  virtual void PostQuitMessage() = 0;
};

// The system every window call goes to: SDL's unless replaced.
VideoSystem& ActiveVideo();
// Replaces the active system; the caller keeps `system` alive while it is
// active. nullptr gives SDL's back.
void SetVideoSystem(VideoSystem* system);

// Headless runs (shots, capture, benchmark): no display and no sound, unless
// the user chose SDL drivers of their own. Where SDL has an offscreen video
// driver (Linux) it is chosen; elsewhere (Windows) the windows stay hidden,
// drawn all the same. Call before the video starts.
void UseHeadlessDrivers();
