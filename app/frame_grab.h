// Reading back the frame that is being drawn, for screenshots and capture.
#pragma once

#include "platform/png_file.h"

// The RGB pixels of the back buffer's lower-left `width` x `height`, rows top
// first. Call before PresentFrame, with the context current.
PngImage GrabFrame(int width, int height);
// The same into `image`, reusing its pixel storage: for grabbing every frame.
void GrabFrameInto(int width, int height, PngImage& image);
