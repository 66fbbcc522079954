// Scrolling overlays: parallax band behind the landscape, smeared frame in front.

#include "scenes/overlays.h"

#include <GL/gl.h>

#include "core/shared_state.h"
#include "core/show.h"
#include "core/sync.h"
#include "draw2d/overlay.h"
#include "draw2d/picture_quad.h"
#include "scenes/land.h"
#include "textures/ORV2Materials.h"
#include "textures/ORV2Textures.h"

namespace {

int32_t bandTexture = 0;  // both set by InitOverlays
int32_t frameTexture = 0;

// The gentle show's share of the beat's white flash, and of the band's lift
// and jump and the frame's smear.
constexpr float kGentleFlash = 0.15f;
constexpr float kGentleBand = 0.3f;

// Texturing, colour material and additive blending on, lighting and depth
// test off, `texture` bound, colour (1, 1, 1, alpha).
void BeginAdditiveLayer(int32_t texture, float alpha) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor4f(1.0f, 1.0f, 1.0f, alpha);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glEnable(GL_COLOR_MATERIAL);
}

void EndAdditiveLayer() {
  LeaveOrtho();
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  EndOverlay();
}

}  // namespace

float BandScroll(float t, float e0) { return (e0 + t) / 3.0f; }

void InitOverlays() {
  bandTexture = LoadTexture("gfx\\backscroll.jpg");
  SetTextureClamp(true);
  frameTexture = LoadTGAFileOnce("gfx\\overlay.tga");
  SetTextureClamp(false);
}

void DrawOverlays() {
  const float P = BandScroll(DemoTime, SyncTrack->SyncPulse(1, 0.3f, 0.6f, kGentleBand));
  const float e1 = SyncTrack->SyncPulse(1, 0.05f, 0.2f, kGentleFlash);
  const float e2 = SyncTrack->SyncPulse(1, 0.1f, 0.6f, kGentleBand);
  const float e3 = SyncTrack->SyncPulse(1, 0.1f, 0.5f, kGentleBand);

  TColorRGBA flash;
  SetRGBA(flash, 1.0f, 1.0f, 1.0f, 0.5f * e1);
  for (int i = 1; i <= 3; ++i) {
    BeginOverlay();
    // A transparent flash leaves every pixel as it is: skip its fill between beats.
    if (flash.a > 0.0f) DrawColorQuad(flash, 0.0f, 0.0f, kShowWidth, kShowHeight);
    BeginAdditiveLayer(bandTexture, 0.45f + e2);
    EnterOrtho();
    const float u = P / static_cast<float>(i);
    const TFullSizeSampling fullSize(0.5f, 1.0f, 800.0f, 360.0f);
    EmitPictureQuad({0.0f, 120.0f, 800.0f, 480.0f, u, 0.0f, u + 0.5f, 1.0f});
    EndAdditiveLayer();
  }

  DrawLandscape();

  for (int i = 0; i <= 4; ++i) {
    const float o = static_cast<float>(i) * e3;
    BeginOverlay();
    BeginAdditiveLayer(frameTexture, 0.2f);
    EnterOrtho();
    const TFullSizeSampling fullSize(1.0f, 1.0f, 800.0f - o, 600.0f - o);
    EmitPictureQuad({o, o, 800.0f, 600.0f, 0.0f, 0.0f, 1.0f, 1.0f});
    EndAdditiveLayer();
  }
}
