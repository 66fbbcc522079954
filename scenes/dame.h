// Section 6: the dame figure, never drawn as a surface but as a glowing
// white outline cut out of the stencil buffer (the figure inflated along its
// normals minus the figure itself), over the metaballs' swirl background and
// under a flat pattern of rotating squares and waving bands.
//
// Call order: InitDame once during loading (fourth scene load step, after the
// overlays), then DrawDame every section-6 frame. Model units; the figure
// stands along +y from about 57 to 146 after its turn.
#pragma once

#include <memory>

#include "geometry/VectorTypes.h"
#include "surfaces/ORV2Deform.h"

// Thickness of the outline band, in model units along the vertex normals.
constexpr float DameOutlineWidth = 3.0f;

// --- Steps --------------------------------------------------------------------

// Load step: loads the figure (the 3DS reader's errors, such as a missing
// file, pass through), turns it, sets the stencil clear value 0, eye at
// (100, 100, 100). Needs the rendering context.
void InitDame();
// For another pass of the show: the eye back at (100, 100, 100).
void RestartDame();
// Section 6's frame: swirl background, orbiting and rolling camera, the
// outline mask in the stencil buffer, the bright background, the white
// outline through the mask, then DrawDameLines. Needs InitDame, InitMetaballs
// and SyncTrack. Leaves the stencil test, depth test, lighting and culling
// off, blending (source alpha, one minus source alpha) on, line width 1.5.
void DrawDame();
// The screen-space pattern over section 6: a band of 5 x 21 rotating outlined
// squares along the left edge and 15 translucent horizontal bands. Expects
// culling off and filled polygons, as DrawDame's earlier steps leave them.
// Leaves depth test, lighting and texturing off, blending (source alpha, one
// minus source alpha) on, line width 1.5, the show's perspective.
void DrawDameLines();

// The module's state, made by InitDame.
struct TDameState {
  // "mod\\dame.3ds", 5 frames, mesh 0, turned (270, 0, 0) degrees. Frame 0 is
  // the figure as loaded, frame 1 the figure inflated by DameOutlineWidth.
  // Null before InitDame.
  const TOrvDeformBrush* Brush;
  // Camera position; orbits the y axis at 60 degrees a second.
  TVertex Eye;
};
TDameState DameState();
