// The window record every layer reads, and the frame's pixels: the record's
// size is the logical screen of the 2D overlay and the feedback blur, the
// frame's is what viewports, scissor boxes and read-backs address, and
// FarPlane closes every perspective projection. The window module
// (runtime/OrvikGL2) writes both.
#pragma once

#include <cstdint>

#include "platform/video.h"

// The one window of the program, copied by value wherever it is passed.
struct TGLWindow {
  WindowHandle Wnd = nullptr;  // the window; null until created
  WindowHandle DC = nullptr;   // the drawable (the window itself under SDL); null until obtained
  ContextHandle RC = nullptr;  // the GL context; null until created
  const char* Title = nullptr;
  int32_t Width = 0;   // requested size: the logical screen, in screen units
  int32_t Height = 0;
  int32_t Bits = 0;    // requested colour depth in bits per pixel
};

// Copy of the record of the last OpenGLWindow; its Width and Height give the
// 2D overlay and the feedback blur their screen size in screen units.
extern TGLWindow ActiveWindow;

// The pixels the show's frame is drawn in: ActiveWindow's screen at Scale
// pixels per screen unit (core/frame_scale.h), 1 unless a scale was asked
// for. Written by the window module when the window opens and when a scaled
// window picks a frame for a new size; read by whatever addresses pixels.
struct TFramePixels {
  int32_t Width = 0;
  int32_t Height = 0;
  double Scale = 1.0;
  // The GL framebuffer the frame is drawn in; 0 for the window's own.
  uint32_t Framebuffer = 0;
  // At scales other than 1, a buffer of the designed frame's size, drawn the
  // frame's way, where work of a texture's own size (the feedback blur's
  // corner) is drawn: a renderer rounds by where a pixel lies in its buffer,
  // so only a buffer like the designed frame draws that work texel for texel
  // as the designed frame does. 0 at scale 1: the frame itself serves.
  uint32_t DesignedFramebuffer = 0;
};
extern TFramePixels ActiveFrame;

// Far clipping distance of every perspective projection.
constexpr float FarPlane = 100000.0f;
