// 2D overlay drawing: projections, the overlay bracket, the four full-screen
// quad routines, each with its own set-up and tear-down, and the screen fades.

#include "draw2d/overlay.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/gl_window.h"
#include "core/show.h"
#include "draw2d/picture_quad.h"
#include "textures/ORV2Materials.h"

namespace {

// Every attribute group the GL 1.x attribute stack knows.
constexpr GLbitfield kAllAttributes = 0xFFFFF;

// The untextured quad of DrawColorQuad, corners counter-clockwise from (x, y).
void EmitColorQuad(float x, float y, float w, float h) {
  glBegin(GL_QUADS);
  glVertex3f(x, y, 0.0f);
  glVertex3f(x + w, y, 0.0f);
  glVertex3f(x + w, y + h, 0.0f);
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
    if (textured) {
      EmitPictureQuad({x, y, x + w, y + h, 0.0f, 0.0f, 1.0f, 1.0f});
    } else {
      EmitColorQuad(x, y, w, h);
    }
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

void DrawScreenFade(float r, float g, float b, float a) {
  BeginOverlay();
  DrawColorQuad(TColorRGBA{r, g, b, a}, 0.0f, 0.0f, kShowWidth, kShowHeight);
  EndOverlay();
}
