// Helpers for the scene tests: a way back to a plain GL state after a scene
// has drawn.
#pragma once

// Lighting, lights, colour material, culling, blending, texturing, texgen and
// the stencil test off; depth test on; white; identity modelview and the
// show's perspective; fill mode; cleared colour, depth and stencil.
void ResetSceneState();
// What every scene test's tear-down leaves: ResetSceneState, the shared run
// values of a fresh run, no sync track and no landscape map.
void EndSceneTest();
