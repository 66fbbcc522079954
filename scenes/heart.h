// The heart: a textured heart model beating in time inside its dark stencil
// shadow, an angular cage drawn environment-mapped, as black wireframe and as
// glow points, and a camera that circles them and is knocked askew on every
// channel-1 beat. One camera serves all three entry points, so the orbit runs
// on across sections 1, 2, 5 and 7.
#pragma once

#include "geometry/VectorTypes.h"

// Load step (after the dame's): the heart "mod\heart.3ds" in a 5-frame deform
// brush (mesh 0, turned 270 degrees about x, scaled 3, welded), the cage
// "mod\invertgeo.3ds" (welded, scaled 3), the picture "gfx\heart.jpg", and
// the camera at eye (40, 20, 20), up (0, 1, 0). Model reader errors pass through.
void InitHeart();
// For another pass of the show: the camera back where the load step put it.
void RestartHeart();
// Sections 1 and 5: kicked camera, then the cage mapped with MapTexture.
// Needs InitHeart, InitLandscape and SyncTrack. Leaves depth test, lighting
// and blending off, texturing on with GlowTexture bound, line width 3.
void DrawHeartCage();
// Sections 2 and 5: kicked camera, the cage mapped with the heart picture,
// then the beating heart and its white beat flash. Leaves lighting, depth
// test and light 0 on, blending off, texturing off (the flash quad's bracket).
void DrawHeart();
// Section 7: the orbit without kicks (up fixed at +y), then the beating heart.
// Leaves the same state as DrawHeart.
void DrawHeartEnd();

// --- Pure arithmetic ---------------------------------------------------------

// The beat at time t (seconds): s = sin(2t); the shadow is pushed out by
// Shadow = 2 s^4 + 1.5 and the heart by Heart = 2 s^4 along their normals.
struct THeartBeat {
  float S;
  float Shadow;
  float Heart;
};
THeartBeat HeartBeat(float t);

struct THeartCamera {
  TVertex Eye;
  TVertex Up;
};
// One frame of the kicked camera: if `kicked`, three Random() numbers r1, r2,
// r3 (in that order, and only then) turn Up by (30 r1, 30 r2, 30 r3) degrees;
// then Up.y += 2 dt and Up is normalised; the eye orbits 30 dt degrees about y.
void KickHeartCamera(THeartCamera& camera, bool kicked, float dt);
// The module's camera, for observers.
const THeartCamera& HeartCamera();
