// Screen-space layers over the 3D picture: the switch between the perspective
// and a screen-space orthographic projection, full-screen quads (tinted,
// additive, plain, single colour), the overlay bracket, the screen clear and
// the fades. Picture quads of any shape are in draw2d/picture_quad.h,
// billboards in draw2d/billboard.h.
//
// Screen space: x 0 (left) .. ActiveWindow.Width, y 0 (bottom) ..
// ActiveWindow.Height, z -1 .. 1; a picture's bottom row lies along y.
// Every routine expects the modelview matrix mode and leaves it selected.
#pragma once

#include <cstdint>

#include "textures/color.h"

// Replaces the projection with the screen-space orthographic one.
void EnterOrtho();
// Replaces the projection with the show's 45-degree perspective (aspect 4/3,
// near 1, far FarPlane).
void LeaveOrtho();
// Pushes the modelview, resets the draw state and moves one unit into the screen.
void BeginOverlay();
// Pops the modelview of BeginOverlay.
void EndOverlay();
// Clears colour and depth and loads an identity modelview.
void ClearScreen();

// Each quad routine sets up its own state, draws under EnterOrtho and tears
// down; afterwards lighting and depth test are on, blending is off and the
// perspective of LeaveOrtho is in place. A quad whose opacity (colour alpha)
// is 0 or less sets and leaves the same state but fills nothing, since it
// would leave every pixel as it was.

// Picture alpha-blended over the frame, tinted by `color`. Leaves texturing on,
// the texture bound, the tint as current colour and fog off.
void DrawTexturedQuad(int32_t texture, const TColorRGBA& color, float x, float y, float w, float h);
// Picture added onto the frame (source alpha, one). Leaves texturing on, the
// texture bound and the tint as current colour.
void DrawAdditiveQuad(int32_t texture, const TColorRGBA& color, float x, float y, float w, float h);
// Picture alpha-blended in plain white with colour material on. Leaves
// texturing and colour material on, the texture bound, white.
void DrawTextureQuad(int32_t texture, float x, float y, float w, float h);
// One colour alpha-blended over the frame; every attribute is restored
// afterwards, only the projection stays as LeaveOrtho sets it.
void DrawColorQuad(const TColorRGBA& color, float x, float y, float w, float h);

// BeginOverlay, DrawColorQuad over the whole 800 x 600 screen, EndOverlay: the
// fades to and from black or white.
void DrawScreenFade(float r, float g, float b, float a);
