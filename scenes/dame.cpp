// Dame figure: the stencil outline of an inflated model over the swirl
// background, and the 2D pattern of squares and bands on top.

#include "scenes/dame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstddef>

#include "core/gl_window.h"
#include "core/shared_state.h"
#include "core/show.h"
#include "core/sync.h"
#include "draw2d/overlay.h"
#include "draw2d/stencil.h"
#include "scenes/metaballs.h"
#include "textures/ORV2Materials.h"

namespace {

std::unique_ptr<TOrvDeformBrush> DameBrush;
TVertex DameEye;

constexpr float kOrbitDegreesPerSecond = 60.0f;
constexpr int32_t kPlainFrame = 0;
constexpr int32_t kInflatedFrame = 1;

// Frame 1 := the rest positions pushed DameOutlineWidth along the rest normals.
void InflateFigure() {
  DameBrush->ResetFrame(kInflatedFrame);
  const TMeshDataNM& mesh = DameBrush->Mesh();
  TVertexArray& frame = DameBrush->Frames[kInflatedFrame];
  for (int32_t i = 0; i < DameBrush->VertexCount; ++i) {
    frame[i].x += DameOutlineWidth * mesh.Normals[i].x;
    frame[i].y += DameOutlineWidth * mesh.Normals[i].y;
    frame[i].z += DameOutlineWidth * mesh.Normals[i].z;
  }
}

// Stencil 1 where the inflated figure covers the screen and the plain one
// does not: the plain figure's pixels are set back to 0.
void WriteOutlineMask() {
  ClearStencilBuffer();
  BeginStencilMask();
  const TMaskShapeDrawing maskOnly;
  DameBrush->DrawFrame(kInflatedFrame);
  glStencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
  DameBrush->ResetFrame(kPlainFrame);
  DameBrush->DrawFrame(kPlainFrame);
}

void FullScreenQuad(void (*draw)(int32_t, const TColorRGBA&, float, float, float, float), float r, float g,
                    float b, float a) {
  TColorRGBA color;
  SetRGBA(color, r, g, b, a);
  draw(FeedbackTexture, color, 0.0f, 0.0f, kShowWidth, kShowHeight);
}

// The swirl at double brightness, with two pinkish additive copies on the beats.
void DrawBrightBackground() {
  BeginOverlay();
  FullScreenQuad(DrawTexturedQuad, 2.0f, 2.0f, 2.0f, 1.0f);
  const float e = SyncTrack->SyncEnvelope(1, 0.2f, 0.5f);
  FullScreenQuad(DrawAdditiveQuad, 1.0f, 0.8f, 0.8f, e);
  FullScreenQuad(DrawAdditiveQuad, 1.0f, 0.8f, 0.8f, e);
  EndOverlay();
}

// White through the mask, half opaque, fully on a beat.
void DrawOutline() {
  BeginOverlay();
  glDisable(GL_CULL_FACE);
  EnableStencil();
  TColorRGBA white;
  SetRGBA(white, 1.0f, 1.0f, 1.0f, 0.5f + SyncTrack->SyncEnvelope(1, 0.0f, 0.3f));
  DrawColorQuad(white, 0.0f, 0.0f, kShowWidth, kShowHeight);
  EndStencil();
  EndOverlay();
}

// The pattern's quads: four corners in drawing order, at z 0.
struct TQuadCorners {
  float x[4], y[4];
};

// A square of half size h around the current origin.
TQuadCorners Square(float h) { return {{-h, h, h, -h}, {-h, -h, h, h}}; }

// A full-width band from y low to y high.
TQuadCorners Band(float high, float low) { return {{0.0f, kShowWidth, kShowWidth, 0.0f}, {high, high, low, low}}; }

// Corners in the order GL_QUADS fills them, and as the GL_LINES pairs of the
// edges line polygon mode draws of that quad: the same segments, in the same
// directions, so the same pixels. Independent segments rather than a line
// loop: a loop cut at the end of Mesa's begin/end vertex buffer can come out
// with a segment drawn twice.
constexpr int32_t kFillCorners[] = {0, 1, 2, 3};
constexpr int32_t kEdgeCorners[] = {0, 1, 1, 2, 2, 3, 3, 0};

// The colour goes inside glBegin/glEnd so that it travels with the vertices.
// Set between draws it can become a constant of llvmpipe's fragment stage,
// and every new constant, like every switch of polygon mode, makes llvmpipe
// copy its whole rasteriser state (33 KB) into the frame's command store.
template <size_t N>
void EmitQuad(GLenum mode, const int32_t (&corners)[N], const TQuadCorners& q, const TColorRGBA& c) {
  glBegin(mode);
  glColor4f(c.r, c.g, c.b, c.a);
  for (const int32_t k : corners) glVertex3f(q.x[k], q.y[k], 0.0f);
  glEnd();
}

void FillQuad(const TQuadCorners& q, const TColorRGBA& c) { EmitQuad(GL_QUADS, kFillCorners, q, c); }

// The quad's edges as line polygon mode draws them. Polygons reaching past
// the screen are clipped before their edges become lines, which can move a
// pixel, so those keep line mode. `left` .. `top` bound the quad's corners in
// screen units.
void OutlineQuad(const TQuadCorners& q, const TColorRGBA& c, float left, float bottom, float right, float top) {
  const bool onScreen = left >= 0.0f && bottom >= 0.0f && right <= static_cast<float>(ActiveWindow.Width) &&
                        top <= static_cast<float>(ActiveWindow.Height);
  if (onScreen) {
    DrawLines([&] { EmitQuad(GL_LINES, kEdgeCorners, q, c); });
    return;
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  DrawLines([&] { FillQuad(q, c); });
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Column i (0 at x 150, leftwards) of 21 squares from the top edge down, each
// filled, then outlined in black.
void DrawSquareColumn(int32_t i, float t) {
  for (int32_t j = 0; j <= 20; ++j) {
    const float e = SyncTrack->SyncEnvelope(1, 0.2f, 0.7f);
    const float d = static_cast<float>(i) / 2.0f - 5.0f * e;
    const float h = 9.0f - d;  // half size
    const float phase = std::sin(static_cast<float>(j) / 10.0f + t);
    const float w = phase + 1.2f;
    const float x = 150.0f - 30.0f * static_cast<float>(i);
    const float y = kShowHeight - 30.0f * static_cast<float>(j);
    const float reach = 1.5f * h;  // beyond the corners at any turn
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glRotatef(200.0f * phase, 0.0f, 0.0f, 1.0f);
    FillQuad(Square(h), TColorRGBA{w, w, 1.0f, 0.5f});
    OutlineQuad(Square(h), TColorRGBA{0.0f, 0.0f, 0.0f, 0.8f}, x - reach, y - reach, x + reach, y + reach);
    glPopMatrix();
  }
}

// Band i = 1..15: centre swinging with its own phase, half height 3i, fainter
// when wider; filled, then outlined in white.
void DrawBand(int32_t i, float t) {
  const float c = 300.0f + 200.0f * std::sin(static_cast<float>(i) / 3.0f + t);
  const float o = 3.0f * static_cast<float>(i);
  const TQuadCorners band = Band(c + o, c - o);
  FillQuad(band, TColorRGBA{1.0f, 1.0f, 1.0f, 1.0f / static_cast<float>(i + 2)});
  OutlineQuad(band, TColorRGBA{1.0f, 1.0f, 1.0f, 0.4f}, 0.0f, c - o, kShowWidth, c + o);
}

}  // namespace

void InitDame() {
  DameBrush = std::make_unique<TOrvDeformBrush>(5, 0);
  DameBrush->LoadFromFile("mod\\dame.3ds");
  DameBrush->SelectMesh(0);
  DameBrush->Brush.Rotate(MakeVertex(270.0f, 0.0f, 0.0f));
  ClearStencilValue();
  RestartDame();
}

void RestartDame() { DameEye = MakeVertex(100.0f, 100.0f, 100.0f); }

void DrawDame() {
  const float t = DemoTime;
  DrawSwirlBackground();
  RotateVertex(DameEye, MakeVertex(0.0f, kOrbitDegreesPerSecond * FrameDelta, 0.0f));
  gluLookAt(DameEye.x, DameEye.y, DameEye.z, 0.0, 100.0, 0.0, std::sin(t), 2.0, 0.0);
  InflateFigure();
  WriteOutlineMask();
  BeginStencilClip();
  DrawBrightBackground();
  DrawOutline();
  DrawDameLines();
}

void DrawDameLines() {
  const float t = DemoTime;
  BeginOverlay();
  EnterOrtho();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  TColorRGBA color;
  SetRGBA(color, 1.0f, 1.0f, 1.0f, 0.5f);
  UseColor(color);
  UseLineWidth(1.5f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (int32_t i = 0; i <= 4; ++i) DrawSquareColumn(i, t);
  for (int32_t i = 1; i <= 15; ++i) DrawBand(i, t);
  LeaveOrtho();
  EndOverlay();
}

TDameState DameState() { return {DameBrush.get(), DameEye}; }
