// The current light and the buffers handed to glLightfv.

#include "geometry/lights.h"

GLenum CurrentLight = 0;

namespace {

GLfloat lightPosition[4] = {0.0f, 25.0f, 0.0f, 1.0f};  // w stays 1: positional
GLfloat lightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
GLfloat lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void CopyColor(GLfloat* buffer, const TColorRGBA& color) {
  buffer[0] = color.r;
  buffer[1] = color.g;
  buffer[2] = color.b;
  buffer[3] = color.a;
}

}  // namespace

void SelectLight(GLenum light) { CurrentLight = light; }

void SetLightPosition(const TVertex& position) {
  lightPosition[0] = position.x;
  lightPosition[1] = position.y;
  lightPosition[2] = position.z;
  glLightfv(CurrentLight, GL_POSITION, lightPosition);
}

void SetLightColors(const TColorRGBA& ambient, const TColorRGBA& diffuse) {
  CopyColor(lightAmbient, ambient);
  CopyColor(lightDiffuse, diffuse);
  glLightfv(CurrentLight, GL_AMBIENT, lightAmbient);
  glLightfv(CurrentLight, GL_DIFFUSE, lightDiffuse);
}

void SetupLight() {
  glEnable(CurrentLight);
  SetLightPosition(MakeVertex(10.0f, 10.0f, 10.0f));
  TColorRGBA white;
  SetRGBA(white, 1.0f, 1.0f, 1.0f, 1.0f);
  SetLightColors(white, white);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
}
