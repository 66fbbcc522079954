// Metaballs: the section-4 scene and the swirl background it shares with the
// dame figure. Ball and field arithmetic live in metaball_field.cpp.

#include "scenes/metaballs.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <iterator>

#include "core/random.h"
#include "core/shared_state.h"
#include "core/show.h"
#include "core/sync.h"
#include "draw2d/feedback_blur.h"
#include "draw2d/overlay.h"
#include "geometry/lights.h"
#include "textures/ORV2Materials.h"

std::unique_ptr<TOrvGrid> SwirlGrid;
std::unique_ptr<TOrvScalarField> MetaballField;
TBall Balls[BallCount];
TVertex MetaballEye;
int32_t LogoTexture = -1;
int32_t StripTexture = -1;

namespace {

// The balls as the load step made them, for every further pass of the show.
TBall startBalls[BallCount];

constexpr int32_t kFeedbackSize = 256;
constexpr float kOrbitDegreesPerSecond = 30.0f;
// The strip: a band from y 100 to 500 showing the picture twice across the
// width, scrolling by four picture widths a second at 30 % opacity.
constexpr float kStripBottom = 100.0f;
constexpr float kStripTop = 500.0f;
constexpr float kStripRepeats = 2.0f;
constexpr float kStripSpeed = 4.0f;
constexpr float kStripAlpha = 0.3f;
// The gentle show's share of the beat's whitening of the red swirl.
constexpr float kGentleWhitening = 0.15f;

// Full-screen blurred swirl: plain white, or once LateFlag4 is set red,
// whitening on the channel-1 beats.
void DrawBackground() {
  BeginOverlay();
  if (!LateFlag4) {
    DrawTextureQuad(FeedbackTexture, 0.0f, 0.0f, kShowWidth, kShowHeight);
  } else {
    const float e = SyncTrack->SyncPulse(1, 0.1f, 0.3f, kGentleWhitening);
    TColorRGBA tint;
    SetRGBA(tint, 1.0f, e + 0.4f, e + 0.4f, 1.0f);
    DrawTexturedQuad(FeedbackTexture, tint, 0.0f, 0.0f, kShowWidth, kShowHeight);
  }
  EndOverlay();
}

void DrawStrip(float t) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  UseTexture(StripTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1.0f, 1.0f, 1.0f, kStripAlpha);
  EnterOrtho();
  const float u = kStripSpeed * t;
  glBegin(GL_QUADS);
  glTexCoord2f(u, 0.0f);
  glVertex3f(0.0f, kStripBottom, 0.0f);
  glTexCoord2f(u + kStripRepeats, 0.0f);
  glVertex3f(kShowWidth, kStripBottom, 0.0f);
  glTexCoord2f(u + kStripRepeats, 1.0f);
  glVertex3f(kShowWidth, kStripTop, 0.0f);
  glTexCoord2f(u, 1.0f);
  glVertex3f(0.0f, kStripTop, 0.0f);
  glEnd();
  LeaveOrtho();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}

// Moves the balls, fades the trail (or wipes it on a beat) and paints the balls in.
void UpdateField(float dt) {
  for (TBall& ball : Balls) MoveBall(ball, dt);
  FadeField(*MetaballField);
  if (SyncTrack->SyncEventFired(1)) ClearField(*MetaballField);
  for (const TBall& ball : Balls) AddBallToField(*MetaballField, ball);
}

// The iso-surface, lit, sphere-mapped with the blurred swirl and blended
// (one, source colour) so it brightens what lies behind it.
void DrawSurface() {
  MetaballField->ComputeNormals();
  SetDefaultMaterial();
  SelectLight(GL_LIGHT0);
  SetupLight();
  SetLightPosition(MakeVertex(100.0f, 100.0f, 100.0f));
  UseTexture(FeedbackTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_SRC_COLOR);
  glEnable(GL_CULL_FACE);
  EnableTexGen();
  MetaballField->Draw();
  DisableTexGen();
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
}

}  // namespace

void InitMetaballs() {
  SwirlGrid = std::make_unique<TOrvGrid>(15, 15);
  LogoTexture = LoadTexture("gfx\\logo2.jpg");
  FeedbackTexture = CreateBlankTexture(kFeedbackSize);
  StripTexture = LoadTexture("gfx\\flush.jpg");
  MetaballField = std::make_unique<TOrvScalarField>();
  MetaballField->Size = MetaballLatticeSize;
  MetaballField->BuildLattice();
  // Seven numbers per ball in this order; the generator is shared, so the
  // order and count decide every later consumer's numbers too.
  for (TBall& ball : startBalls) {
    ball.Position.x = static_cast<float>(Random() * 20.0);
    ball.Position.y = static_cast<float>(Random() * 20.0);
    ball.Position.z = static_cast<float>(Random() * 20.0);
    ball.Velocity.x = static_cast<float>(Random() * 25.0);
    ball.Velocity.y = static_cast<float>(Random() * 25.0);
    ball.Velocity.z = static_cast<float>(Random() * 25.0);
    ball.Strength = static_cast<float>(Random() * 5.0);
  }
  RestartMetaballs();
}

void RestartMetaballs() {
  std::copy(std::begin(startBalls), std::end(startBalls), std::begin(Balls));
  ClearField(*MetaballField);
  MetaballEye = MakeVertex(2.0f, 2.0f, 2.0f);
}

void DrawSwirlBackground() {
  SetTextureViewport(kFeedbackSize);
  UseTexture(MapTexture);
  SwirlGrid->Reset();
  SwirlGrid->Swirl();
  SwirlGrid->Draw(0.0f, 0.0f, kShowWidth, kShowHeight);  // squeezed into the corner
  CopyToTexture(FeedbackTexture, kFeedbackSize);
  ClearScreen();
  FeedbackBlur(kFeedbackSize, FeedbackTexture, 4, 0.0f, 30.0f, 3);
}

void DrawMetaballs() {
  const float t = DemoTime;
  const float dt = FrameDelta;
  DrawSwirlBackground();
  ClearScreen();
  DrawBackground();
  DrawStrip(t);
  UpdateField(dt);
  RotateVertex(MetaballEye, MakeVertex(0.0f, kOrbitDegreesPerSecond * dt, 0.0f));
  gluLookAt(MetaballEye.x, MetaballEye.y, MetaballEye.z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  DrawSurface();
}
