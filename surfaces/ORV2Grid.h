// A picture drawn over a screen rectangle as a grid of textured quads whose
// texture coordinates swirl or wave with DemoTime while the grid stays still.
//
// Per frame: Reset, then Swirl or Wave, then Draw (displacements never add
// up across frames). The caller binds the picture (UseTexture) first.
#pragma once

#include <cstdint>
#include <vector>

struct TGridPoint {
  float u = 0.0f;
  float v = 0.0f;
};

class TOrvGrid {
 public:
  // Points[i][j]: texture coordinate of grid line i across x and j across y.
  std::vector<std::vector<TGridPoint>> Points;
  int32_t Rows = 0;  // grid lines along the screen's x direction
  int32_t Cols = 0;  // grid lines along the screen's y direction

  // rows x cols points, all (0, 0) until Reset.
  TOrvGrid(int32_t rows, int32_t cols);

  // Every point back to its undistorted coordinate (i / (Rows - 1), j / (Cols - 1));
  // a grid of one row or column has only the coordinate 0 along it.
  void Reset();
  // With T = DemoTime (seconds), radians:
  //   u += (sin u + cos v) * 5 sin(T / 5);  v += (sin v + cos u) * 5 cos(T / 5),
  // the v step using the new u.
  void Swirl();
  // u += sin u * amount * 5 sin(T / 5);  v += sin v * amount * 5 cos(T / 5).
  void Wave(float amount);
  // Draws the grid over x..x+w, y..y+h in screen space, untinted, without
  // lighting or depth test; leaves blending off, lighting, depth test and
  // texturing on, white, and the perspective projection. Grids with fewer
  // than 2 rows or columns draw no quad.
  void Draw(float x, float y, float w, float h) const;
};
