// Heart: the beating heart, its stencil shadow, the cage and the kicked camera.

#include "scenes/heart.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <memory>

#include "core/random.h"
#include "core/shared_state.h"
#include "core/show.h"
#include "core/sync.h"
#include "draw2d/billboard.h"
#include "draw2d/overlay.h"
#include "draw2d/stencil.h"
#include "geometry/ORV2Classes.h"
#include "geometry/lights.h"
#include "platform/float_maths.h"
#include "surfaces/ORV2Deform.h"
#include "textures/ORV2Materials.h"

namespace {

std::unique_ptr<TOrvDeformBrush> heartBrush;
std::unique_ptr<TOrvBrush> cageBrush;
int32_t heartTexture = 0;  // set by InitHeart
THeartCamera camera;

void LookFrom(const TVertex& eye, const TVertex& up) {
  gluLookAt(eye.x, eye.y, eye.z, 0.0, 0.0, 0.0, up.x, up.y, up.z);
}

// The cage three times over: environment-mapped with `envTexture`, as a thick
// black wireframe over everything, and as a glow point on every corner.
void DrawCage(int32_t envTexture) {
  const TMeshDataNM& cage = *cageBrush->Meshes[0];
  UseTexture(envTexture);
  EnableTexGen();
  DrawFaceted(cage);
  DisableTexGen();

  TColorRGBA black;
  SetRGBA(black, 0.0f, 0.0f, 0.0f, 1.0f);
  UseColor(black);
  glDisable(GL_DEPTH_TEST);
  UseLineWidth(3.0f);
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  DrawLines([&cage] { cage.DrawArrays(); });
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

  UseTexture(GlowTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  DrawBillboards(cage.Vertices, 2.0f);
  glDisable(GL_BLEND);
}

// Frame 0 := the heart's rest shape pushed out by `amount` along its normals.
void InflateHeart(float amount) {
  heartBrush->ResetFrame(0);
  const TVertexArray& normals = heartBrush->Mesh().Normals;
  TVertexArray& frame = heartBrush->Frames[0];
  for (int32_t i = 0; i < heartBrush->VertexCount; ++i) {
    frame[i].x += amount * normals[i].x;
    frame[i].y += amount * normals[i].y;
    frame[i].z += amount * normals[i].z;
  }
}

// The inflated heart darkens the screen through the stencil, then the lit,
// textured heart is drawn inside that shadow; a white flash follows the beat.
void DrawBeatingHeart() {
  const THeartBeat beat = HeartBeat(DemoTime);

  InflateHeart(beat.Shadow);
  ClearStencilBuffer();
  BeginStencilMask();
  {
    const TMaskShapeDrawing maskOnly;
    heartBrush->DrawFrame(0);
  }
  BeginStencilClip();
  EnableStencil();
  TColorRGBA shade;
  SetRGBA(shade, 0.0f, 0.0f, 0.0f, 0.85f);
  BeginOverlay();
  DrawColorQuad(shade, 0.0f, 0.0f, kShowWidth, kShowHeight);
  EndOverlay();
  EndStencil();

  InflateHeart(beat.Heart);
  // Red and green follow |s| and go negative below 0.4: deep to pale blue.
  const float pale = std::fabs(beat.S) - 0.4f;
  TColorRGBA ambient, diffuse;
  SetRGBA(ambient, 0.2f, 0.2f, 1.0f, 1.0f);
  SetRGBA(diffuse, pale, pale, 1.0f, 1.0f);
  SelectLight(GL_LIGHT0);
  SetupLight();
  SetLightColors(ambient, diffuse);
  SetLightPosition(camera.Eye);
  glEnable(GL_DEPTH_TEST);
  UseTexture(heartTexture);
  heartBrush->DrawFrame(0);

  TColorRGBA flash;
  SetRGBA(flash, 1.0f, 1.0f, 1.0f, SyncTrack->SyncEnvelope(1, 0.0f, 0.3f) / 3.0f);
  BeginOverlay();
  if (flash.a > 0.0f) DrawColorQuad(flash, 0.0f, 0.0f, kShowWidth, kShowHeight);  // nothing to fill between beats
  EndOverlay();
}

void UpdateKickedCamera() {
  KickHeartCamera(camera, SyncTrack->SyncEventFired(1), FrameDelta);
  LookFrom(camera.Eye, camera.Up);
}

}  // namespace

THeartBeat HeartBeat(float t) {
  const float s = SinF(2.0f * t);
  const float s4 = s * s * s * s;
  return {s, 2.0f * s4 + 1.5f, 2.0f * s4};
}

void KickHeartCamera(THeartCamera& cam, bool kicked, float dt) {
  if (kicked) {
    const float r1 = static_cast<float>(Random());
    const float r2 = static_cast<float>(Random());
    const float r3 = static_cast<float>(Random());
    RotateVertex(cam.Up, {30.0f * r1, 30.0f * r2, 30.0f * r3});
  }
  cam.Up.y += 2.0f * dt;  // pulls the up vector back towards +y after a kick
  NormalizeVector(cam.Up);
  RotateVertex(cam.Eye, {0.0f, 30.0f * dt, 0.0f});
}

const THeartCamera& HeartCamera() { return camera; }

void InitHeart() {
  heartBrush = std::make_unique<TOrvDeformBrush>(5, 0);
  heartBrush->LoadFromFile("mod\\heart.3ds");
  heartBrush->SelectMesh(0);
  heartBrush->Brush.Rotate({270.0f, 0.0f, 0.0f});
  heartBrush->Brush.Scale({3.0f, 3.0f, 3.0f});
  WeldVertices(*heartBrush->Brush.Meshes[0]);

  cageBrush = std::make_unique<TOrvBrush>();
  cageBrush->LoadFromFile("mod\\invertgeo.3ds");
  WeldVertices(cageBrush->Mesh(0));
  cageBrush->Scale({3.0f, 3.0f, 3.0f});

  heartTexture = LoadTexture("gfx\\heart.jpg");
  RestartHeart();
}

void RestartHeart() {
  camera.Eye = {40.0f, 20.0f, 20.0f};
  camera.Up = {0.0f, 1.0f, 0.0f};
}

void DrawHeartCage() {
  UpdateKickedCamera();
  DrawCage(MapTexture);
}

void DrawHeart() {
  UpdateKickedCamera();
  DrawCage(heartTexture);
  DrawBeatingHeart();
}

void DrawHeartEnd() {
  RotateVertex(camera.Eye, {0.0f, 30.0f * FrameDelta, 0.0f});
  LookFrom(camera.Eye, {0.0f, 1.0f, 0.0f});
  DrawBeatingHeart();
}
