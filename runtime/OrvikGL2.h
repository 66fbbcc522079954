// The window and its OpenGL context: binding, set-up, projection, messages,
// presenting frames, and the face-culling switch the scenes use.
//
// Call order: BindOpenGL -> OpenGLWindow (or OpenFrameWindow, OpenScaledWindow) -> PresentFrame
// per frame -> KillGLWindow -> UnbindOpenGL. The context is current on the
// main thread from OpenGLWindow until KillGLWindow.
#pragma once

#include <cstdint>

#include "core/frame_scale.h"
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
// caption "Error" and the record comes back with the handles that exist, the
// rest null (never a released one). A display that cannot be switched to
// Width x Height, or a window that cannot be made full screen, gives
// "Unable to switch to fullscreen!" and a window of the same size.
TGLWindow OpenGLWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                       bool FullScreen);
// OpenGLWindow's plain window (never full screen) with the frame drawn at
// Scale: its drawable is the frame, round(Width * Scale) x round(Height *
// Scale) pixels, which the show draws straight into. For runs that read their
// frames back; Scale 1 is OpenGLWindow's window. A Scale other than 1 is said
// on stderr ("veloria: drawing 1600x1200 (scale 2.00)"), and held to the
// GL's largest frame as OpenScaledWindow does.
TGLWindow OpenFrameWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title, double Scale);
// OpenGLWindow for screens of any size: a resizable window of Width x Height
// (in the desktop's units, with every drawable pixel of a high-density
// display), or with Desktop full screen at the desktop's own mode (no mode
// change). The show draws into an offscreen frame of Width x Height screen
// units at the scale `Scale` asks for (Native and Auto follow the drawable
// whenever its size changes; Auto first times a few layers), which
// PresentFrame scales into the largest centred rectangle of its shape, the
// rest black. The frame's size is said on stderr each time it is chosen.
// With KeepFrameSize the frame keeps the size it opened with (a capture's
// encoder reads frames of one size); the window's size then changes only
// how it is shown. Vsync swaps in step with the display. A frame beyond the
// GL's largest (LargestFrame) is drawn at the largest K that fits, and one
// the GL refuses at smaller K until it makes one, each said on stderr once.
// Without framebuffer objects, or when the GL refuses every frame, it says so
// (after leaving full screen) and keeps to a plain Width x Height window,
// drawn in its drawable's pixels. Alt+Enter switches between the window and
// desktop full screen.
TGLWindow OpenScaledWindow(int32_t Width, int32_t Height, int32_t Bits, const char* Title,
                           bool Desktop, bool Vsync, const FrameScaleRequest& Scale, bool KeepFrameSize = false);
// Releases everything the record holds, showing a message for each failure.
void KillGLWindow(TGLWindow Window);

// The colour buffer the show draws into and reads back from: GL_BACK, or the
// offscreen frame's attachment while a scaled window is open.
uint32_t FrameColorBuffer();

// Viewport and 45-degree perspective for a client size; a height of 0 counts as 1.
void ResizeViewport(int32_t Width, int32_t Height);
// Initial GL state: clear colour, smooth shading, depth test, sphere-map texgen modes.
void InitGL();
// The window procedure: resize, close and key messages. Returns 0 when handled.
// A scaled window's size leaves the frame's viewport alone; Alt+Enter switches it.
int WndProc(const WindowEvent& Event);

// Ends a frame: flush, then handle one pending message or, when none is
// pending, swap the buffers (a scaled window's frame is scaled in just
// before). True only when the message was the quit message. Each call is one
// step of the fixed-step clock when that clock is active.
bool PresentFrame(TGLWindow Window);

// True while the window shows nothing: minimized, hidden, or without a
// pixel to draw in.
bool WindowShowsNothing(TGLWindow Window);
// Handles at most one pending message as PresentFrame does, without
// presenting anything. True only when it was the quit message.
bool TakeWindowMessage();

// The frame's viewport, and the line width in use, set for ActiveFrame's
// scale: for GL state set before the frame last changed, or put back since.
void FitStateToFrame();

// true disables face culling, false enables it.
void SetTwoSided(bool Flag);
