// The SDL side of the window module: library, window, GL context and events
// as plain handles, so nothing above this layer includes SDL.
#pragma once

#include <string>

using WindowHandle = void*;   // an SDL_Window
using ContextHandle = void*;  // an SDL_GLContext

// Starts SDL's video subsystem and loads the system GL library. Returns false
// with `error` filled (SDL's own reason) when either fails.
bool LoadGLLibrary(std::string& error);
// Unloads the GL library and stops the video subsystem.
void UnloadGLLibrary();

// True when the display offers a `width` x `height` mode (the nearest one at
// `bits` bits per pixel is used for full screen).
bool HasDisplayMode(int width, int height, int bits);

// A shown window with a GL-capable surface: double-buffered RGBA 8/8/8/8,
// 24-bit depth, 8-bit stencil, compatibility profile. `width` x `height` is
// the drawable size. Full screen switches the display to that mode. Null on
// failure.
WindowHandle CreateGLWindow(const char* title, int width, int height, bool fullscreen);
void DestroyGLWindow(WindowHandle window);
// Gives the display its desktop mode back.
void LeaveFullscreen(WindowHandle window);
void SetCursorVisible(bool visible);
void RaiseAndFocus(WindowHandle window);

ContextHandle CreateGLContext(WindowHandle window);  // null on failure
// Makes `context` current on `window`; a null context releases the current
// one. False on failure.
bool MakeContextCurrent(WindowHandle window, ContextHandle context);
void DeleteGLContext(ContextHandle context);
void SwapWindowBuffers(WindowHandle window);

// One message from the queue, already sorted into what the window procedure
// distinguishes.
enum class WindowEventKind { Quit, Resized, CloseRequested, Key, Other };
struct WindowEvent {
  WindowEventKind kind = WindowEventKind::Other;
  int width = 0;   // Resized: new drawable size
  int height = 0;
};
// Removes at most one message from the queue. False when none was pending.
bool PollWindowEvent(WindowEvent& event);
// Puts the quit message on the queue.
void PostQuitMessage();
