// Helpers for the scene tests: the random generator's formula restarted from
// a known seed, and a way back to a plain GL state after a scene has drawn.
#pragma once

#include <cstdint>

// The program-wide generator's formula, continued from `seed`.
struct ReferenceRandom {
  uint32_t seed;
  double Next() {
    seed = seed * 134775813u + 1u;
    return seed / 4294967296.0;
  }
};
// Reads the generator's seed off one freshly drawn Random() number.
ReferenceRandom CurrentRandom();

// Lighting, lights, colour material, culling, blending, texturing, texgen and
// the stencil test off; depth test on; white; identity modelview and the
// show's perspective; fill mode; cleared colour, depth and stencil.
void ResetSceneState();
