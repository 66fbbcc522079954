// The window and its OpenGL context: binding, set-up, projection, messages,
// presenting frames, and the face-culling switch the scenes use.
//
// Call order: BindOpenGL -> OpenGLWindow -> PresentFrame per frame ->
// KillGLWindow -> UnbindOpenGL. The context is current on the main thread
// from OpenGLWindow until KillGLWindow.
#pragma once

#include <cstdint>

#include "core/gl_window.h"
#include "platform/video.h"

// The full-screen request of the last OpenGLWindow.
extern bool FullScreenMode;

// Masks every floating-point exception for the whole run: divisions by zero
// give infinities and invalid operations NaNs, which several routines rely on.
void MaskFloatingPointExceptions();

// Loads the GL library. Throws std::runtime_error
// "Error %d initializing OpenGL: %s" when it cannot be loaded.
void BindOpenGL();
void UnbindOpenGL();

// Opens the window and its context; failures are shown as messages with the
// caption "Error" and the record comes back with whatever handles exist.
TGLWindow OpenGLWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                       bool FullScreen);
// Releases everything the record holds, showing a message for each failure.
void KillGLWindow(TGLWindow Window);

// Viewport and 45-degree perspective for a client size; a height of 0 counts as 1.
void ResizeViewport(int32_t Width, int32_t Height);
// Initial GL state: clear colour, smooth shading, depth test, sphere-map texgen modes.
void InitGL();
// The window procedure: resize, close and key messages. Returns 0 when handled.
int WndProc(const WindowEvent& Event);

// Ends a frame: flush, then handle one pending message or, when none is
// pending, swap the buffers. True only when the message was the quit message.
// Each call is one step of the fixed-step clock when that clock is active.
bool PresentFrame(TGLWindow Window);

// true disables face culling, false enables it.
void SetTwoSided(bool Flag);
