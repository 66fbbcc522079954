// The surface Material: the GL state of a textured mesh's surface.

#include "textures/material.h"

#include <GL/gl.h>

#include "textures/draw_state.h"

void Material::Apply() const {
  if (Kind == 0) {
    ResetDrawState();
    glColor4f(Color.r, Color.g, Color.b, Color.a);
    if (Blend) {
      glEnable(GL_BLEND);
      glColor4f(BlendColor.r, BlendColor.g, BlendColor.b, BlendColor.a);
      glBlendFunc(GL_ONE, GL_ONE);
    } else {
      glDisable(GL_BLEND);
    }
  } else if (Kind == 1) {
    ResetDrawState();
    UseTexture(Texture);
    if (TexGen) EnableTexGen();
    if (Blend) {
      glColor4f(BlendColor.r, BlendColor.g, BlendColor.b, BlendColor.a);
      if (AlphaBlend) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      } else {
        glBlendFunc(GL_SRC_COLOR, GL_DST_COLOR);
      }
      glEnable(GL_BLEND);
    }
  }
}
