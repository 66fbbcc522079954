// The state helpers every drawing routine starts from.

#include "textures/draw_state.h"

#include <GL/gl.h>

#include "core/frame_scale.h"
#include "core/gl_window.h"

void ResetDrawState() {
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

void UseTexture(int32_t texture) {
  ResetDrawState();
  glEnable(GL_TEXTURE_2D);
  // A failed picture's -1 is bound like any name: the GL makes an empty
  // texture of it, so the surface draws untextured instead of failing.
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void UseColor(const TColorRGBA& color) {
  ResetDrawState();
  glColor4f(color.r, color.g, color.b, color.a);
}

void EnableTexGen() {
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
}

void DisableTexGen() {
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
}

void SetDefaultMaterial() {
  const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
  const GLfloat diffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
  const GLfloat specular[] = {0.0f, 0.0f, 0.0f, 1.0f};
  const GLfloat emission[] = {0.0f, 0.0f, 0.0f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
}

void UseLineWidth(float width) { glLineWidth(ScaledLineWidth(width, ActiveFrame.Scale)); }

void RescaleLineWidth(double fromScale) {
  GLfloat width = 1.0f;
  glGetFloatv(GL_LINE_WIDTH, &width);
  // Above 1 the GL holds round(w) times the scale, so dividing gives round(w) back.
  UseLineWidth(fromScale == 1.0 ? width : static_cast<float>(width / fromScale));
}
