// Billboards: camera-facing textured quads in the current 3D space.

#include "draw2d/billboard.h"

#include <GL/gl.h>

#include <vector>

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
  // One client-array draw rather than one glBegin batch: Mesa's immediate-mode
  // buffer fills across frames and splits a long batch wherever it happens to
  // run full, and where it splits moves single pixels by a level, so the same
  // scene drew differently depending on what came before it.
  static constexpr float kCornerSigns[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
  static constexpr float kCornerTexCoords[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
  std::vector<GLfloat> corners;  // per corner: s, t, x, y, z
  corners.reserve(centres.size() * 4 * 5);
  for (const TVertex& centre : centres) {
    for (int k = 0; k < 4; ++k) {
      const float sr = kCornerSigns[k][0], su = kCornerSigns[k][1];
      corners.insert(corners.end(), {kCornerTexCoords[k][0], kCornerTexCoords[k][1],
                                     centre.x + size * (sr * right.x + su * up.x),
                                     centre.y + size * (sr * right.y + su * up.y),
                                     centre.z + size * (sr * right.z + su * up.z)});
    }
  }
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glInterleavedArrays(GL_T2F_V3F, 0, corners.data());
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(centres.size() * 4));
  glPopClientAttrib();
  // The current texture coordinate is left as the last corner's, as glBegin
  // batches leave it.
  glTexCoord2f(0.0f, 0.0f);
}
