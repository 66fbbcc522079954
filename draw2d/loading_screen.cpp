// Loading screen frames: the progress picture fading in and the loading bar,
// one frame per call; the driver presents them.

#include "draw2d/loading_screen.h"

#include <GL/gl.h>

#include "core/show.h"
#include "draw2d/overlay.h"
#include "textures/ORV2Materials.h"

void DrawProgressFade(int32_t texture, float elapsed) {
  BeginOverlay();
  TColorRGBA color;
  SetRGBA(color, 1.0f, 1.0f, 1.0f, elapsed / 2.0f);
  DrawTexturedQuad(texture, color, 0.0f, 0.0f, kShowWidth, kShowHeight);
  EndOverlay();
}

void DrawLoadingBarFrame(float progress) {
  BeginOverlay();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  EnterOrtho();
  TColorRGBA white;
  SetRGBA(white, 1.0f, 1.0f, 1.0f, 1.0f);
  UseColor(white);  // resets the draw state: texturing and blending off again
  const float right = 220.0f + 366.0f * progress;
  glBegin(GL_QUADS);
  glVertex2f(220.0f, 285.0f);
  glVertex2f(right, 285.0f);
  glVertex2f(right, 292.0f);
  glVertex2f(220.0f, 292.0f);
  glEnd();
  LeaveOrtho();
  EndOverlay();
}
