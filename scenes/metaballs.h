// Section 4: eight soft balls melting into one surface inside the field's
// cube, environment-mapped with the blurred swirl that also fills the
// background, under a translucent scrolling strip. The module also owns the
// shared FeedbackTexture and the swirl background the dame figure reuses.
//
// Call order: InitMetaballs once during loading (first scene load step, after
// the loading bar's 0.1), then DrawMetaballs every section-4 frame.
#pragma once

#include <cstdint>
#include <memory>

#include "geometry/VectorTypes.h"
#include "scenes/metaball_field.h"
#include "surfaces/ORV2Grid.h"
#include "surfaces/scalar_field.h"

// --- Module state, made by InitMetaballs ------------------------------------

// 15 x 15 swirl grid of the background; the driver releases it at shutdown.
extern std::unique_ptr<TOrvGrid> SwirlGrid;
// The field of size 25 over the cube -1..1 (kept to the end of the process).
extern std::unique_ptr<TOrvScalarField> MetaballField;
extern TBall Balls[BallCount];
// Camera position in field space; orbits the origin about y at 30 degrees a second.
extern TVertex MetaballEye;
extern int32_t LogoTexture;   // "gfx\\logo2.jpg", loaded but never drawn
extern int32_t StripTexture;  // "gfx\\flush.jpg", the scrolling strip

// --- Steps --------------------------------------------------------------------

// Load step: creates SwirlGrid, loads the logo, creates FeedbackTexture
// (256 x 256), loads the strip, builds the field's lattice and draws seven
// random numbers per ball (position x, y, z times 20, velocity x, y, z times
// 25, strength times 5); eye at (2, 2, 2). Needs the rendering context.
void InitMetaballs();
// For another pass of the show: the balls back where the load step's random
// numbers put them, the field empty, the eye at (2, 2, 2).
void RestartMetaballs();
// Renders the swirling MapTexture into FeedbackTexture through the 256 x 256
// corner and zoom-blurs it there. Afterwards the frame buffer is cleared but
// for the last blur pass in its lower-left 256 x 256 corner; full viewport,
// perspective, identity modelview. Needs InitMetaballs.
void DrawSwirlBackground();
// Section 4's frame: background (red and beat-whitened once LateFlag4 is set),
// strip, ball motion, field update, camera and surface. Needs InitMetaballs
// and SyncTrack. Leaves lighting (GL_LIGHT0), normalising and depth test on,
// texturing on with FeedbackTexture bound, blending, culling and texgen off.
void DrawMetaballs();
