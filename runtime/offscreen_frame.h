// The show's frame drawn off screen, for windows whose size is not the
// frame's: a framebuffer object that the show draws into and reads back from
// as it would the back buffer, scaled into the window when it is presented.
#pragma once

#include "runtime/letterbox.h"

struct OffscreenFrame {
  unsigned framebuffer = 0;   // GL names; 0 while there is no frame
  unsigned colour = 0;
  unsigned depthStencil = 0;
  int width = 0;
  int height = 0;
};

// True when a GL of version `version` (GL_VERSION's text) with `extensions`
// (GL_EXTENSIONS' text) has framebuffer objects with blits: GL 3.0 or later,
// or GL_ARB_framebuffer_object.
bool OffersFramebufferObjects(const char* version, const char* extensions);

// Makes a `width` x `height` frame of RGBA 8/8/8/8 colour, 24-bit depth and
// 8-bit stencil on the current context, cleared to 0, and binds it for drawing
// and reading. False, with nothing made, when the context has no framebuffer
// objects or the frame is incomplete.
bool CreateOffscreenFrame(int width, int height, OffscreenFrame& frame);
// Deletes the frame's GL objects (the context must be current) and empties it.
void DeleteOffscreenFrame(OffscreenFrame& frame);

// Scales the frame into `target` of the window's back buffer with linear
// filtering and makes the rest of the window black, then binds the frame
// again. The show's GL state is left as it was.
void PresentOffscreenFrame(const OffscreenFrame& frame, const PixelRect& target);
