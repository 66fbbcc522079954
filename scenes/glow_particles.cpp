// Glow particles: loading the sprite and the spline, and drawing the trail.

#include "scenes/glow_particles.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "draw2d/overlay.h"
#include "core/shared_state.h"
#include "textures/ORV2Materials.h"

int32_t SpriteTexture = -1;
TVertex GlowEye;

namespace {

constexpr float kOrbitDegreesPerSecond = 60.0f;
constexpr int32_t kSprites = 401;
constexpr float kSpritesPerSegment = 40.0f;
constexpr float kSpriteSize = 25.0f;
constexpr float kSpriteAlpha = 0.1f;

}  // namespace

void InitGlowParticles() {
  SpriteTexture = LoadTexture("gfx\\part.jpg");
  FillSplinePoints();
  GlowEye = MakeVertex(300.0f, 300.0f, 300.0f);
}

void DrawGlowParticles() {
  const float t = DemoTime;
  RotateVertex(GlowEye, MakeVertex(0.0f, kOrbitDegreesPerSecond * FrameDelta, 0.0f));
  glLoadIdentity();
  gluLookAt(GlowEye.x, GlowEye.y, GlowEye.z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  UseTexture(SpriteTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDisable(GL_DEPTH_TEST);
  // One quad each, colour first: a single batch under one colour would round
  // the faint sprites' sum differently on the software renderer.
  for (int32_t i = 0; i < kSprites; ++i) {
    glColor4f(1.0f, 1.0f, 1.0f, kSpriteAlpha);
    DrawBillboard(PathPoint(static_cast<float>(i) / kSpritesPerSegment + t), kSpriteSize);
  }
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}
