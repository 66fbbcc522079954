// Picture ring: loads the eight ring pictures and draws the travelling sprite
// on its ellipse.

#include "scenes/picture_ring.h"

#include <cmath>
#include <string>

#include "core/shared_state.h"
#include "draw2d/overlay.h"
#include "platform/float_maths.h"
#include "textures/ORV2Materials.h"

void LoadRingPictures() {
  for (int32_t k = 1; k <= 8; ++k) {
    RingPictures[k] = LoadTexture("gfx\\love\\" + std::to_string(k) + ".jpg");
  }
}

void DrawRingPicture(int32_t Index, int32_t X, int32_t Y, float Alpha) {
  if (Index < 1 || Index > 8) return;
  BeginOverlay();
  TColorRGBA color;
  SetRGBA(color, 1.0f, 1.0f, 1.0f, Alpha);
  DrawAdditiveQuad(RingPictures[Index], color, static_cast<float>(X), static_cast<float>(Y), 256.0f, 256.0f);
  EndOverlay();
}

TRingPosition RingPosition(float t) {
  // nearbyint rounds in the default mode: to nearest, ties to even.
  return {static_cast<int32_t>(std::nearbyint(SinF(t) * 272.0f + 300.0f)),
          static_cast<int32_t>(std::nearbyint(CosF(t) * 172.0f + 200.0f))};
}

void DrawTravellingPicture(int32_t Index, float t, float Alpha) {
  const TRingPosition at = RingPosition(t);
  DrawRingPicture(Index, at.X, at.Y, Alpha);
}
