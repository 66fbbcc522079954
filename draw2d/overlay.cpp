// 2D overlay drawing: projections, the overlay bracket, the four full-screen
// quad routines, each with its own set-up and tear-down, and billboards.

#include "draw2d/overlay.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "runtime/OrvikGL2.h"
#include "textures/ORV2Materials.h"

namespace {

// Every attribute group the GL 1.x attribute stack knows.
constexpr GLbitfield kAllAttributes = 0xFFFFF;

// The quad shared by every routine: corners counter-clockwise from (x, y), the
// picture's bottom row along y.
void EmitQuad(float x, float y, float w, float h, bool textured) {
  glBegin(GL_QUADS);
  if (textured) glTexCoord2f(0.0f, 0.0f);
  glVertex3f(x, y, 0.0f);
  if (textured) glTexCoord2f(1.0f, 0.0f);
  glVertex3f(x + w, y, 0.0f);
  if (textured) glTexCoord2f(1.0f, 1.0f);
  glVertex3f(x + w, y + h, 0.0f);
  if (textured) glTexCoord2f(0.0f, 1.0f);
  glVertex3f(x, y + h, 0.0f);
  glEnd();
}

// A layer blended by its source alpha leaves every pixel as it was when that
// alpha is 0 (the GL clamps a negative one to 0), and the show draws many such
// layers between its beats and fades: skip their fill, which costs as much as
// a visible layer, and leave the current texture coordinate where the quad
// would have left it.
void EmitLayer(float alpha, float x, float y, float w, float h, bool textured) {
  if (alpha > 0.0f) {
    EmitQuad(x, y, w, h, textured);
  } else if (textured) {
    glTexCoord2f(0.0f, 1.0f);
  }
}

// Set-up common to the picture quads, up to the texture binding.
void BeginPictureState(int32_t texture, const TColorRGBA& color) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor4f(color.r, color.g, color.b, color.a);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
}

// Draws the picture quad, whose texels are scaled by `alpha`, under the
// orthographic projection, then the common tear-down of the picture quads.
void DrawPictureAndTearDown(float alpha, float x, float y, float w, float h) {
  EnterOrtho();
  {
    const TFullSizeSampling fullSize(1.0f, 1.0f, w, h);
    EmitLayer(alpha, x, y, w, h, /*textured=*/true);
  }
  LeaveOrtho();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}

}  // namespace

void EnterOrtho() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, ActiveWindow.Width, 0.0, ActiveWindow.Height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
}

void LeaveOrtho() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // The aspect stays 4/3 whatever the window's size.
  gluPerspective(45.0, 1.3333333333333333, 1.0, FarPlane);
  glMatrixMode(GL_MODELVIEW);
}

void BeginOverlay() {
  glPushMatrix();
  ResetDrawState();
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -1.0f);
}

void EndOverlay() { glPopMatrix(); }

void ClearScreen() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void DrawTexturedQuad(int32_t texture, const TColorRGBA& color, float x, float y, float w, float h) {
  const TColorRGBA tint = color;
  BeginPictureState(texture, tint);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_FOG);
  DrawPictureAndTearDown(tint.a, x, y, w, h);
}

void DrawAdditiveQuad(int32_t texture, const TColorRGBA& color, float x, float y, float w, float h) {
  const TColorRGBA tint = color;
  BeginPictureState(texture, tint);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  DrawPictureAndTearDown(tint.a, x, y, w, h);
}

void DrawTextureQuad(int32_t texture, float x, float y, float w, float h) {
  BeginPictureState(texture, TColorRGBA{1.0f, 1.0f, 1.0f, 1.0f});
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawPictureAndTearDown(1.0f, x, y, w, h);
}

void DrawColorQuad(const TColorRGBA& color, float x, float y, float w, float h) {
  const TColorRGBA fill = color;
  glPushAttrib(kAllAttributes);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  EnterOrtho();
  glColor4f(fill.r, fill.g, fill.b, fill.a);
  EmitLayer(fill.a, x, y, w, h, /*textured=*/false);
  LeaveOrtho();
  glDisable(GL_BLEND);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glPopAttrib();
}

TFullSizeSampling::TFullSizeSampling(float uSpan, float vSpan, float w, float h) {
  GLint width = 0, height = 0, viewport[4] = {};
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glGetIntegerv(GL_VIEWPORT, viewport);
  if (width <= 0 || height <= 0 || ActiveWindow.Width <= 0 || ActiveWindow.Height <= 0) return;
  // Texels per pixel along each side of the quad; a turn mixes the two, so
  // both at most 1 keeps every pixel's footprint within one texel.
  const float pixelsWide = w * static_cast<float>(viewport[2]) / static_cast<float>(ActiveWindow.Width);
  const float pixelsHigh = h * static_cast<float>(viewport[3]) / static_cast<float>(ActiveWindow.Height);
  if (std::fabs(uSpan) * static_cast<float>(width) > pixelsWide) return;
  if (std::fabs(vSpan) * static_cast<float>(height) > pixelsHigh) return;
  GLint minFilter = 0, magFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  // Level 0 through the magnification filter is what GL_LINEAR gives only
  // when that filter is GL_LINEAR itself.
  if (minFilter == GL_LINEAR || magFilter != GL_LINEAR) return;
  savedMinFilter_ = minFilter;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

TFullSizeSampling::~TFullSizeSampling() {
  if (savedMinFilter_ != 0) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, savedMinFilter_);
}

void DrawScreenFade(float r, float g, float b, float a) {
  BeginOverlay();
  DrawColorQuad(TColorRGBA{r, g, b, a}, 0.0f, 0.0f, 800.0f, 600.0f);
  EndOverlay();
}

void GetBillboardAxes(TVertex& up, TVertex& right) {
  GLfloat m[16];  // column-major: row k of the rotation is m[k], m[k + 4], m[k + 8]
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  right = {m[0], m[4], m[8]};
  up = {m[1], m[5], m[9]};
}

namespace {

// The four corners of the billboard around `centre`, counter-clockwise from
// bottom left, with the picture upright.
void EmitBillboardCorners(const TVertex& centre, float size, const TVertex& up, const TVertex& right) {
  auto corner = [&](float sr, float su) {
    const GLfloat v[3] = {centre.x + size * (sr * right.x + su * up.x), centre.y + size * (sr * right.y + su * up.y),
                          centre.z + size * (sr * right.z + su * up.z)};
    glVertex3fv(v);
  };
  glTexCoord2f(0.0f, 1.0f);
  corner(-1.0f, -1.0f);
  glTexCoord2f(1.0f, 1.0f);
  corner(1.0f, -1.0f);
  glTexCoord2f(1.0f, 0.0f);
  corner(1.0f, 1.0f);
  glTexCoord2f(0.0f, 0.0f);
  corner(-1.0f, 1.0f);
}

}  // namespace

void DrawBillboard(const TVertex& centre, float size) {
  TVertex up, right;
  GetBillboardAxes(up, right);
  glBegin(GL_QUADS);
  EmitBillboardCorners(centre, size, up, right);
  glEnd();
}

void DrawBillboards(const TVertexArray& centres, float size) {
  if (centres.empty()) return;
  TVertex up, right;
  GetBillboardAxes(up, right);
  glBegin(GL_QUADS);
  for (const TVertex& centre : centres) EmitBillboardCorners(centre, size, up, right);
  glEnd();
}
