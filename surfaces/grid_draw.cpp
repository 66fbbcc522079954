// Drawing the grid surface: one immediate-mode quad per grid cell in screen
// space, each corner showing its displaced texture coordinate.

#include <GL/gl.h>

#include "draw2d/overlay.h"
#include "surfaces/ORV2Grid.h"

void TOrvGrid::Draw(float x, float y, float w, float h) const {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  EnterOrtho();
  for (int32_t i = 0; i + 1 < Rows; ++i) {
    const float x0 = static_cast<float>(i) / static_cast<float>(Rows - 1) * w;
    const float x1 = static_cast<float>(i + 1) / static_cast<float>(Rows - 1) * w;
    for (int32_t j = 0; j + 1 < Cols; ++j) {
      const float y0 = static_cast<float>(j) / static_cast<float>(Cols - 1) * h;
      const float y1 = static_cast<float>(j + 1) / static_cast<float>(Cols - 1) * h;
      glBegin(GL_QUADS);
      glTexCoord2f(Points[i][j].u, Points[i][j].v);
      glVertex3f(x + x0, y + y0, 0.0f);
      glTexCoord2f(Points[i][j + 1].u, Points[i][j + 1].v);
      glVertex3f(x + x0, y + y1, 0.0f);
      glTexCoord2f(Points[i + 1][j + 1].u, Points[i + 1][j + 1].v);
      glVertex3f(x + x1, y + y1, 0.0f);
      glTexCoord2f(Points[i + 1][j].u, Points[i + 1][j].v);
      glVertex3f(x + x1, y + y0, 0.0f);
      glEnd();
    }
  }
  LeaveOrtho();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}
