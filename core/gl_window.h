// The window record every layer reads: its size gives the 2D overlay, the
// feedback blur and the frame readers their screen, and FarPlane closes every
// perspective projection. The window module (runtime/OrvikGL2) writes it.
#pragma once

#include <cstdint>

#include "platform/video.h"

// The one window of the program, copied by value wherever it is passed.
struct TGLWindow {
  WindowHandle Wnd = nullptr;  // the window; null until created
  WindowHandle DC = nullptr;   // the drawable (the window itself under SDL); null until obtained
  ContextHandle RC = nullptr;  // the GL context; null until created
  const char* Title = nullptr;
  int32_t Width = 0;   // requested size in pixels
  int32_t Height = 0;
  int32_t Bits = 0;    // requested colour depth in bits per pixel
};

// Copy of the record of the last OpenGLWindow; its Width and Height give the
// 2D overlay and the feedback blur their screen size.
extern TGLWindow ActiveWindow;

// Far clipping distance of every perspective projection.
constexpr float FarPlane = 100000.0f;
