// Render-to-texture through the frame buffer's lower-left corner, and the
// feedback blur that redraws a texture onto itself as a stack of enlarged,
// slightly turned copies, so that it smears outward further every call.
//
// The texture must be at least size x size texels and the designed frame at
// least size pixels each way. The corner is drawn in a buffer of the designed
// frame's size at any scale, so a smear is the same texel for texel. Call
// with the rendering context current.
#pragma once

#include <cstdint>

// A new size x size RGBA texture with undefined contents, linear filtering,
// no mipmaps.
int32_t CreateBlankTexture(int32_t size);
// Viewport over the lower-left size x size pixels of the frame, or at
// scales other than 1 of the designed frame's buffer (ActiveFrame), which
// starts cleared as the frame's corner is in every caller.
void SetTextureViewport(int32_t size);
// Copies those size x size pixels into level 0 of `texture` and goes back to
// the frame and its whole viewport.
void CopyToTexture(int32_t texture, int32_t size);

// `passes` times: draw `layers` additive copies of `texture` into the
// size x size corner, copy `f` enlarged by f * spread screen units per side
// and turned by f * angle / layers degrees (f = 0 .. layers - 1), then copy
// the result back into the texture. Nothing happens for passes <= 0 or
// layers <= 0. A texture without a size x size level 0 (a picture that
// failed to load, or a smaller one) is drawn but never copied into, so it
// stays as it was. Afterwards: the whole frame's viewport, perspective projection,
// identity modelview, texturing on with `texture` bound, colour
// (1, 1, 1, 1 / layers); the screen was cleared and the corner holds the
// last pass (the frame's own corner at scale 1).
void FeedbackBlur(int32_t size, int32_t texture, int32_t layers, float angle, float spread, int32_t passes);
