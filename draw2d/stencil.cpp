// The stencil masking switches.

#include "draw2d/stencil.h"

#include <GL/gl.h>

void ClearStencilValue() { glClearStencil(0); }

void ClearStencilBuffer() { glClear(GL_STENCIL_BUFFER_BIT); }

void BeginStencilMask() {
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_ALWAYS, 1, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  glDisable(GL_DEPTH_TEST);
}

void BeginStencilClip() {
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glStencilFunc(GL_EQUAL, 1, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glDisable(GL_STENCIL_TEST);
}

void EnableStencil() { glEnable(GL_STENCIL_TEST); }

void EndStencil() {
  glDisable(GL_STENCIL_TEST);
  glEnable(GL_DEPTH_TEST);
}

TMaskShapeDrawing::TMaskShapeDrawing() {
  GLboolean colourWrites[4] = {};
  glGetBooleanv(GL_COLOR_WRITEMASK, colourWrites);
  for (const GLboolean channel : colourWrites) {
    if (channel) return;
  }
  if (glIsEnabled(GL_ALPHA_TEST) || !glIsEnabled(GL_TEXTURE_2D)) return;
  texturingWasOn_ = true;
  glDisable(GL_TEXTURE_2D);
}

TMaskShapeDrawing::~TMaskShapeDrawing() {
  if (texturingWasOn_) glEnable(GL_TEXTURE_2D);
}
