// Grid surface: texture coordinates displaced per frame by DemoTime, drawn as
// immediate-mode quads in screen space.

#include "surfaces/ORV2Grid.h"

#include <GL/gl.h>

#include <cmath>

#include "draw2d/overlay.h"
#include "core/shared_state.h"

TOrvGrid::TOrvGrid(int32_t rows, int32_t cols)
    : Points(static_cast<size_t>(rows), std::vector<TGridPoint>(static_cast<size_t>(cols))), Rows(rows), Cols(cols) {}

void TOrvGrid::Reset() {
  const float uStep = Rows > 1 ? 1.0f / static_cast<float>(Rows - 1) : 0.0f;
  const float vStep = Cols > 1 ? 1.0f / static_cast<float>(Cols - 1) : 0.0f;
  for (int32_t i = 0; i < Rows; ++i) {
    for (int32_t j = 0; j < Cols; ++j) Points[i][j] = {static_cast<float>(i) * uStep, static_cast<float>(j) * vStep};
  }
}

void TOrvGrid::Swirl() {
  const float su = 5.0f * std::sin(DemoTime / 5.0f);
  const float sv = 5.0f * std::cos(DemoTime / 5.0f);
  for (std::vector<TGridPoint>& row : Points) {
    for (TGridPoint& p : row) {
      p.u += (std::sin(p.u) + std::cos(p.v)) * su;
      p.v += (std::sin(p.v) + std::cos(p.u)) * sv;
    }
  }
}

void TOrvGrid::Wave(float amount) {
  const float su = amount * (5.0f * std::sin(DemoTime / 5.0f));
  const float sv = amount * (5.0f * std::cos(DemoTime / 5.0f));
  for (std::vector<TGridPoint>& row : Points) {
    for (TGridPoint& p : row) {
      p.u += std::sin(p.u) * su;
      p.v += std::sin(p.v) * sv;
    }
  }
}

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
