// A picture's mipmap levels made ahead of its upload, on whatever thread
// decoded it, so that the rendering thread only hands the levels to the GL.
// Detailed pictures hold 4 to 16 times the texels of the designed ones, and
// halving them (and finding their black parts) on the rendering thread would
// stall the loading; the designed pictures keep the GL's mipmap builder.
//
// Pure logic, no GL.
#pragma once

#include <vector>

#include "platform/picture.h"
#include "textures/lit_area.h"

struct TMipmapChain {
  std::vector<TImage> Levels;  // level 0 first, each half the one before (rounded down, at least 1), down to 1 x 1
  TLitArea LitArea;            // of level 0
};

// The chain of `level0` (taken over): each texel of a level the rounded mean
// of the 2 x 2 texels below it (of 2 when one side is 1 already; a side of
// odd length leaves its last row or column out).
TMipmapChain BuildMipmapChain(TImage level0);
