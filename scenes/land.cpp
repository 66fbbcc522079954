// Landscape: the waving model of section 3 with its orbiting lights,
// wireframe glow and vertex sparkles.

#include "scenes/land.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/shared_state.h"
#include "core/sync.h"
#include "draw2d/billboard.h"
#include "draw2d/overlay.h"
#include "geometry/lights.h"
#include "platform/float_maths.h"
#include "surfaces/ORV2Deform.h"
#include "textures/ORV2Materials.h"

namespace {

std::unique_ptr<TOrvDeformBrush> landscapeBrush;
TLandscapeRig rig;

constexpr float kLogFloor = 1e-6f;  // keeps log10 finite for points far to the -x side

// Per light: rotation speed in degrees per second about X, Y, Z.
const TVertex kLightSpin[3] = {{50.0f, 20.0f, 10.0f}, {80.0f, 20.0f, 40.0f}, {20.0f, 40.0f, 70.0f}};
const GLenum kLights[3] = {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2};

// The gentle show's share of the beat's swell, whitening and jolt.
constexpr float kGentleSwell = 0.3f;

void SetupLights(float A) {
  glEnable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  SetDefaultMaterial();
  // Each light leans towards one primary colour; the beat whitens the other two.
  for (int i = 0; i < 3; ++i) {
    TColorRGBA ambient, diffuse;
    SetRGBA(ambient, i == 0 ? 1.0f : 0.5f, i == 1 ? 1.0f : 0.5f, i == 2 ? 1.0f : 0.5f, 1.0f);
    SetRGBA(diffuse, i == 0 ? 1.0f : 0.5f + A, i == 1 ? 1.0f : 0.5f + A, i == 2 ? 1.0f : 0.5f + A, 1.0f);
    SelectLight(kLights[i]);
    SetupLight();
    SetLightPosition(rig.Lights[i]);
    SetLightColors(ambient, diffuse);
  }
}

}  // namespace

float LandscapeWaveFactor(const TVertex& v, float t, float A, bool late) {
  const float sz = SinF(v.z / 10.0f + t);
  const float cy = CosF(v.y / 10.0f + t);
  if (late) {
    return (Log10F(std::max(v.x / 10.0f + t + 15.0f, kLogFloor)) + sz + 3.0f + cy) / 3.5f;
  }
  return (sz * (1.0f + 7.0f * A) + 3.0f + cy + SinF(v.x / 10.0f + t + 15.0f)) / 3.5f;
}

void WaveVertex(TVertex& v, float t, float A, bool late) {
  v.x *= LandscapeWaveFactor(v, t, A, late);
  v.y *= LandscapeWaveFactor(v, t, A, late);
  v.z *= LandscapeWaveFactor(v, t, A, late);
}

const TLandscapeRig& LandscapeRig() { return rig; }

void InitLandscape() {
  landscapeBrush = std::make_unique<TOrvDeformBrush>(5, 0);
  landscapeBrush->LoadFromFile("mod\\geo.3ds");
  landscapeBrush->SelectMesh(0);
  WeldVertices(*landscapeBrush->Brush.Meshes[0]);
  GlowTexture = LoadTexture("gfx\\part.jpg");
  MapTexture = LoadTexture("gfx\\map.jpg");
  RestartLandscape();
}

void RestartLandscape() {
  rig.Eye = {300.0f, 100.0f, 100.0f};
  rig.Lights[0] = {100.0f, 100.0f, 100.0f};
  rig.Lights[1] = {100.0f, -100.0f, 100.0f};
  rig.Lights[2] = {100.0f, 100.0f, -100.0f};
}

void DrawLandscape() {
  const float t = DemoTime;
  const float dt = FrameDelta;
  // The beat's swell of the waves, the lights' whitening and the camera's
  // jolt: each swings large parts of the screen.
  const float A = 0.4f * SyncTrack->SyncPulse(1, 0.05f, 0.5f, kGentleSwell);
  const bool late = LateFlag3;
  TOrvDeformBrush& brush = *landscapeBrush;
  TVertexArray& frame = brush.Frames[0];

  brush.ResetFrame(0);
  for (TVertex& v : frame) WaveVertex(v, t, A, late);
  RebuildNormalsFrom(brush.Mesh(), frame);

  glEnable(GL_CULL_FACE);
  ResetDrawState();

  RotateVertex(rig.Eye, {20.0f * SinF(t) * dt, 50.0f * dt, 350.0f * A * dt});
  gluLookAt(rig.Eye.x, rig.Eye.y, rig.Eye.z, 20.0f * SinF(t), 20.0f * CosF(t), 0.0f, 0.0f, 1.0f, 0.0f);

  SetupLights(A);
  for (int i = 0; i < 3; ++i) {
    RotateVertex(rig.Lights[i], {kLightSpin[i].x * dt, kLightSpin[i].y * dt, kLightSpin[i].z * dt});
  }

  UseTexture(MapTexture);
  EnableTexGen();
  brush.DrawFrame(0);
  DisableTexGen();

  TColorRGBA faint;
  SetRGBA(faint, 1.0f, 1.0f, 1.0f, 0.11f);
  UseColor(faint);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  DrawLines([&brush] { brush.DrawFrame(0); });
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_DEPTH_TEST);

  glDisable(GL_LIGHT2);
  glDisable(GL_LIGHT1);
  glDisable(GL_LIGHT0);

  UseTexture(GlowTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor4f(1.0f, 1.0f, 1.0f, 0.2f);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  DrawBillboards(frame, 1.0f);
  glEnable(GL_DEPTH_TEST);
}
