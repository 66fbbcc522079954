// The landscape: a model rescaled every frame by a wave of its own
// coordinates and of time, under three orbiting coloured lights, drawn
// environment-mapped with a faint glowing wireframe and glow points at its
// vertices, seen by a camera that spins and rolls on the beat. Drawn by the
// scrolling overlays between their back and front layers.
#pragma once

#include "geometry/VectorTypes.h"

// Load step (after the metaballs'): loads "mod\geo.3ds" into a 5-frame deform
// brush (mesh 0, welded), sets the camera and light positions, and writes the
// shared GlowTexture ("gfx\part.jpg") and MapTexture ("gfx\map.jpg").
// Model reader errors pass through; missing pictures are the registry's.
void InitLandscape();
// For another pass of the show: camera and lights back where the load step put them.
void RestartLandscape();
// Draws the layer for DemoTime, FrameDelta, channel 1 of SyncTrack and
// LateFlag3; moves the camera and lights on. Needs InitLandscape and SyncTrack.
// Leaves behind: back-face culling on, texturing on with GlowTexture bound,
// blending on (source alpha, one), colour (1, 1, 1, 0.2), lighting, colour
// material and lights 0..2 off, depth test on, polygon mode fill.
void DrawLandscape();

// --- The wave (pure arithmetic) ---------------------------------------------

// The factor one component is multiplied by, from the vertex's current
// (x, y, z), time t (seconds, used as radians) and beat amount A (0..0.4).
// Before the late flag: (sin(z/10 + t)(1 + 7A) + 3 + cos(y/10 + t) +
// sin(x/10 + t + 15)) / 3.5; after it: (log10(x/10 + t + 15) + sin(z/10 + t)
// + 3 + cos(y/10 + t)) / 3.5, without the beat. A log10 argument of 0 or less
// counts as 1e-6 so the shape stays finite.
float LandscapeWaveFactor(const TVertex& v, float t, float A, bool late);
// Rescales v in place: x, then y, then z, each by LandscapeWaveFactor of the
// vertex as it stands at that moment (so y sees the new x, z the new x and y).
void WaveVertex(TVertex& v, float t, float A, bool late);

// The camera eye and the three light positions (GL_LIGHT0..2), for observers.
struct TLandscapeRig {
  TVertex Eye;
  TVertex Lights[3];
};
const TLandscapeRig& LandscapeRig();
