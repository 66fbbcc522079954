// Render-to-texture through the frame buffer's lower-left corner, and the
// feedback blur that redraws a texture onto itself as a stack of enlarged,
// slightly turned copies, so that it smears outward further every call.
//
// The texture must be at least size x size texels and the window at least
// size pixels each way. Call with the rendering context current.
#pragma once

#include <cstdint>

// A new size x size RGBA texture with undefined contents, linear filtering,
// no mipmaps.
int32_t CreateBlankTexture(int32_t size);
// Viewport over the lower-left size x size pixels.
void SetTextureViewport(int32_t size);
// Copies the lower-left size x size pixels into level 0 of `texture` and
// restores the full-window viewport.
void CopyToTexture(int32_t texture, int32_t size);

// `passes` times: draw `layers` additive copies of `texture` into the
// size x size corner, copy `f` enlarged by f * spread screen units per side
// and turned by f * angle / layers degrees (f = 0 .. layers - 1), then copy
// the result back into the texture. Nothing happens for passes <= 0 or
// layers <= 0. A texture without a size x size level 0 (a picture that
// failed to load, or a smaller one) is drawn but never copied into, so it
// stays as it was. Afterwards: full-window viewport, perspective projection,
// identity modelview, texturing on with `texture` bound, colour
// (1, 1, 1, 1 / layers); the screen was cleared and the frame buffer's
// corner holds the last pass.
void FeedbackBlur(int32_t size, int32_t texture, int32_t layers, float angle, float spread, int32_t passes);
