// Section 1's glow trail: 401 soft additive sprites strung along the random
// spline of glow_path.h, sliding one segment a second, seen from a camera
// circling the origin. Drawn after the heart cage, so the trail weaves through it.
//
// Call order: InitGlowParticles once during loading (sixth scene load step,
// after the heart), then DrawGlowParticles every section-1 frame.
#pragma once

#include <cstdint>

#include "geometry/VectorTypes.h"
#include "scenes/glow_path.h"

// --- Steps --------------------------------------------------------------------

// Load step: loads the sprite, fills SplinePoints (1206 Random() numbers),
// eye at (300, 300, 300). Needs the rendering context.
void InitGlowParticles();
// For another pass of the show: the eye back at (300, 300, 300).
void RestartGlowParticles();
// Section 1's frame: sprite i = 0..400 at PathPoint(i / 40 + DemoTime), size
// 25, colour (1, 1, 1, 0.1), blended (source alpha, one) without depth test.
// Replaces the modelview with the camera's. Leaves blending off, depth test
// on, texturing on with the sprite bound, colour (1, 1, 1, 0.1).
void DrawGlowParticles();

// The module's state, made by InitGlowParticles.
struct TGlowParticlesState {
  int32_t SpriteTexture;  // "gfx\\part.jpg" (the landscape's GlowTexture too)
  // Camera position in world units; orbits the origin about y at 60 degrees a second.
  TVertex Eye;
};
TGlowParticlesState GlowParticlesState();
