// Grid surface: texture coordinates displaced per frame by DemoTime. Plain
// arithmetic; the drawing is in grid_draw.cpp.

#include "surfaces/ORV2Grid.h"

#include <cmath>

#include "core/shared_state.h"
#include "platform/float_maths.h"

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
  const float su = 5.0f * SinF(DemoTime / 5.0f);
  const float sv = 5.0f * CosF(DemoTime / 5.0f);
  for (std::vector<TGridPoint>& row : Points) {
    for (TGridPoint& p : row) {
      p.u += (SinF(p.u) + CosF(p.v)) * su;
      p.v += (SinF(p.v) + CosF(p.u)) * sv;
    }
  }
}

void TOrvGrid::Wave(float amount) {
  const float su = amount * (5.0f * SinF(DemoTime / 5.0f));
  const float sv = amount * (5.0f * CosF(DemoTime / 5.0f));
  for (std::vector<TGridPoint>& row : Points) {
    for (TGridPoint& p : row) {
      p.u += SinF(p.u) * su;
      p.v += SinF(p.v) * sv;
    }
  }
}
