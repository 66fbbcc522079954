// Billboards: camera-facing textured quads in the current 3D space.

#include "draw2d/billboard.h"

#include <GL/gl.h>

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
