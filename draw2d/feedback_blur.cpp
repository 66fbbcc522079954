// Screen feedback blur: layered, enlarged, turned copies of a texture drawn
// into a corner of the frame buffer and copied back into the texture.

#include "draw2d/feedback_blur.h"

#include <GL/gl.h>

#include <vector>

#include "core/gl_window.h"
#include "draw2d/overlay.h"
#include "draw2d/picture_quad.h"
#include "textures/lit_area.h"

namespace {

// Back to the frame and its whole viewport.
void LeaveCorner() {
  if (ActiveFrame.DesignedFramebuffer != 0) glBindFramebuffer(GL_FRAMEBUFFER, ActiveFrame.Framebuffer);
  glViewport(0, 0, ActiveFrame.Width, ActiveFrame.Height);
}

// What a full ClearScreen would change after the first pass: the layers draw
// only colour (no depth test, so no depth writes) and only inside the
// viewport's corner, so the rest of the screen is still as the first clear
// left it. Clearing just the corner spares the renderer every other tile.
void ClearCorner(int32_t size) {
  glPushAttrib(GL_SCISSOR_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, size, size);
  glClear(GL_COLOR_BUFFER_BIT);
  glPopAttrib();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// One pass's drawing: `layers` additive copies of `texture` into the
// size x size corner, the first pass over a cleared screen, later ones over a
// cleared corner. Leaves the perspective projection and the corner viewport.
void DrawBlurPass(int32_t size, int32_t texture, int32_t layers, float angle, float spread, bool firstPass) {
  const float w = static_cast<float>(ActiveWindow.Width);
  const float h = static_cast<float>(ActiveWindow.Height);
  // The first pass clears the whole frame, whichever buffer holds the corner.
  if (firstPass) ClearScreen();
  SetTextureViewport(size);
  if (!firstPass) ClearCorner(size);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  // Each layer adds 1 / layers, so together they make the full picture.
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f / static_cast<float>(layers));
  // Screen space 0..W x 0..H, squeezed into the size x size viewport.
  EnterOrtho();
  // The smallest layer maps the square picture onto the square viewport
  // one to one; the others enlarge it.
  const TFullSizeSampling fullSize(1.0f, 1.0f, w, h);
  for (int32_t f = 0; f < layers; ++f) {
    glPushMatrix();
    // Turn about the screen centre, by degrees.
    glTranslatef(w * 0.5f, h * 0.5f, 0.0f);
    glRotatef(static_cast<float>(f) * angle / static_cast<float>(layers), 0.0f, 0.0f, 1.0f);
    glTranslatef(w * -0.5f, h * -0.5f, 0.0f);
    const float e = static_cast<float>(f) * spread;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-e, -e, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(w + e, -e, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(w + e, h + e, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-e, h + e, 0.0f);
    glEnd();
    glPopMatrix();
  }
  LeaveOrtho();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}

}  // namespace

int32_t CreateBlankTexture(int32_t size) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  // The contents are overwritten by the first copy; zeros keep them defined.
  const std::vector<uint8_t> blank(static_cast<size_t>(size) * size * 4, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, blank.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  ForgetLitArea(name);
  return static_cast<int32_t>(name);
}

void SetTextureViewport(int32_t size) {
  if (ActiveFrame.DesignedFramebuffer != 0) {
    glBindFramebuffer(GL_FRAMEBUFFER, ActiveFrame.DesignedFramebuffer);
    // Every caller starts on a corner just cleared with the frame.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  glViewport(0, 0, size, size);
}

void CopyToTexture(int32_t texture, int32_t size) {
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size, size);
  ForgetLitArea(static_cast<uint32_t>(texture));
  LeaveCorner();
}

void FeedbackBlur(int32_t size, int32_t texture, int32_t layers, float angle, float spread, int32_t passes) {
  // With no layers there is nothing to draw (and 1 / layers has no meaning).
  if (layers <= 0 || passes <= 0) return;
  // A picture that failed to load has no level 0, and one smaller than the
  // square cannot take the copy: the GL would refuse it every pass. Such a
  // texture never changes, so every pass would draw the same: one pass is
  // drawn, without the copy, and leaves what the copying passes leave.
  GLint levelWidth = 0, levelHeight = 0;
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &levelWidth);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &levelHeight);
  if (levelWidth < size || levelHeight < size) {
    DrawBlurPass(size, texture, layers, angle, spread, /*firstPass=*/true);
    LeaveCorner();
    return;
  }
  for (int32_t pass = 0; pass < passes; ++pass) {
    DrawBlurPass(size, texture, layers, angle, spread, pass == 0);
    CopyToTexture(texture, size);
  }
}
