// Reading back the frame that is being drawn, for screenshots and capture.
#pragma once

#include "platform/picture.h"

// The RGB pixels of the frame being drawn (the back buffer or the offscreen
// frame), its lower-left `width` x `height`, bottom row first as the GL gives
// them. Call before PresentFrame, with the context current.
TImage GrabFrame(int width, int height);
// The same into `image`, reusing its pixel storage: for grabbing every frame.
// With `bytesPerPixel` 4 each pixel also carries the frame's alpha: RGBA is
// the frame's own layout, so the read is a plain copy instead of a repacking
// (a tenth of the time on llvmpipe), for readers that ignore the fourth byte.
void GrabFrameInto(int width, int height, TImage& image, int bytesPerPixel = 3);
