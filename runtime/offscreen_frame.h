// The show's frame drawn off screen, for windows whose size is not the
// frame's: a framebuffer object that the show draws into and reads back from
// as it would the back buffer, scaled into the window when it is presented.
#pragma once

#include <string>
#include <vector>

#include "runtime/letterbox.h"

// A copy of the frame at about half the size of the one before it, for
// presenting the frame more than twice smaller than it was drawn.
struct FrameReduction {
  unsigned framebuffer = 0;
  unsigned colour = 0;
  int width = 0;
  int height = 0;
};

struct OffscreenFrame {
  unsigned framebuffer = 0;   // GL names; 0 while there is no frame
  unsigned colour = 0;
  unsigned depthStencil = 0;
  int width = 0;
  int height = 0;
  std::vector<FrameReduction> reductions;  // made when first needed, largest first
};

// Why a frame could not be made.
enum class OffscreenFrameResult {
  Made,
  NoFramebufferObjects,  // the GL has none
  Incomplete,            // the GL has them but refused this frame
  GLError,               // making it raised an error (out of memory, most likely)
};

// The largest frame the current context can draw and read back: the least of
// GL_MAX_RENDERBUFFER_SIZE, GL_MAX_VIEWPORT_DIMS and GL_MAX_TEXTURE_SIZE, and
// of the limit set by LimitFrameSize. INT_MAX for a limit nobody gives (no
// context is current).
struct FrameLimit {
  int width = 0;
  int height = 0;
};
FrameLimit LargestFrame();
// Holds LargestFrame to at most `side` pixels each way, as a GL with a lower
// limit would; 0 lifts it. For trying the limits on any GL.
void LimitFrameSize(int side);

// The OpenGL's errors pending now, in the order glGetError gives them; none
// left pending afterwards.
std::vector<unsigned> TakeGLErrors();
// "0x0505 (out of memory)": a GL error for people.
std::string DescribeGLError(unsigned error);

// True when a GL of version `version` (GL_VERSION's text) with `extensions`
// (GL_EXTENSIONS' text) has framebuffer objects with blits: GL 3.0 or later,
// or GL_ARB_framebuffer_object.
bool OffersFramebufferObjects(const char* version, const char* extensions);

// Makes a `width` x `height` frame of RGBA 8/8/8/8 colour, 24-bit depth and
// 8-bit stencil on the current context, cleared to 0, and binds it for drawing
// and reading. Anything but Made leaves nothing made and the window's buffers
// bound; for Incomplete, `status` is glCheckFramebufferStatus's answer, for
// GLError the first error its set-up raised. Errors pending from before are
// not the frame's: each is said on stderr, and cleared.
OffscreenFrameResult CreateOffscreenFrame(int width, int height, OffscreenFrame& frame, unsigned& status);
// Deletes the frame's GL objects (the context must be current) and empties it.
void DeleteOffscreenFrame(OffscreenFrame& frame);
// Copies `from`'s colour into `to`, scaled to fit it whole with linear
// filtering, and binds `to` again: a frame made for a new size starts from
// the picture of the old one.
void CopyOffscreenFrame(const OffscreenFrame& from, const OffscreenFrame& to);

// Scales the frame into `target` of the window's back buffer and makes the
// rest of the window black, then binds the frame again. Linear filtering,
// after halving the frame as often as it takes to come within twice the
// target's size, so that every pixel of the frame counts however small the
// target is. The show's GL state is left as it was.
void PresentOffscreenFrame(OffscreenFrame& frame, const PixelRect& target);
