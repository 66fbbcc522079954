// The grid surface: its lattice, the swirl and wave displacements, and what
// Draw shows and leaves behind.

#include <GL/gl.h>

#include <cmath>

#include "core/shared_state.h"
#include "surfaces/ORV2Grid.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "textures/ORV2Materials.h"

namespace {

TEST(Grid, ResetGivesTheUndistortedLattice) {
  TOrvGrid grid(5, 3);
  ASSERT_EQ(grid.Points.size(), 5u);
  ASSERT_EQ(grid.Points[0].size(), 3u);
  EXPECT_FLOAT_EQ(grid.Points[4][2].u, 0.0f);  // zero-filled until Reset
  grid.Reset();
  EXPECT_FLOAT_EQ(grid.Points[4][2].u, 1.0f);
  EXPECT_FLOAT_EQ(grid.Points[4][2].v, 1.0f);
  EXPECT_FLOAT_EQ(grid.Points[1][1].u, 0.25f);
  EXPECT_FLOAT_EQ(grid.Points[1][1].v, 0.5f);
  TOrvGrid thin(1, 4);  // one row: no division by zero
  thin.Reset();
  EXPECT_FLOAT_EQ(thin.Points[0][3].u, 0.0f);
  EXPECT_FLOAT_EQ(thin.Points[0][3].v, 1.0f);
}

TEST(Grid, SwirlAtTimeZeroMovesOnlyV) {
  DemoTime = 0.0f;
  TOrvGrid grid(4, 4);
  grid.Reset();
  grid.Swirl();
  const float u = 2.0f / 3.0f, v = 1.0f / 3.0f;
  EXPECT_FLOAT_EQ(grid.Points[2][1].u, u);
  EXPECT_NEAR(grid.Points[2][1].v, v + (std::sin(v) + std::cos(u)) * 5.0f, 1e-5);
}

TEST(Grid, SwirlUsesTheNewUForV) {
  DemoTime = 7.5f;
  TOrvGrid grid(3, 3);
  grid.Reset();
  grid.Swirl();
  const float su = 5.0f * std::sin(1.5f), sv = 5.0f * std::cos(1.5f);
  const float u = 0.5f + (std::sin(0.5f) + std::cos(1.0f)) * su;
  const float v = 1.0f + (std::sin(1.0f) + std::cos(u)) * sv;
  EXPECT_NEAR(grid.Points[1][2].u, u, 1e-5);
  EXPECT_NEAR(grid.Points[1][2].v, v, 1e-5);
  DemoTime = 0.0f;
}

TEST(Grid, WaveScalesWithItsAmountAndZeroChangesNothing) {
  DemoTime = 3.0f;
  TOrvGrid grid(3, 3), still(3, 3);
  grid.Reset();
  still.Reset();
  still.Wave(0.0f);
  EXPECT_FLOAT_EQ(still.Points[2][1].u, 1.0f);
  EXPECT_FLOAT_EQ(still.Points[2][1].v, 0.5f);
  grid.Wave(2.0f);
  EXPECT_NEAR(grid.Points[2][1].u, 1.0f + std::sin(1.0f) * 2.0f * 5.0f * std::sin(0.6f), 1e-5);
  EXPECT_NEAR(grid.Points[2][1].v, 0.5f + std::sin(0.5f) * 2.0f * 5.0f * std::cos(0.6f), 1e-5);
  DemoTime = 0.0f;
}

class GridDrawTest : public GLTest {};

// Left half red, right half blue, bottom quarter green.
uint32_t Quadrants(int x, int y) { return y < 16 ? 0x00FF00u : x < 32 ? 0xFF0000u : 0x0000FFu; }

TEST_F(GridDrawTest, UndistortedGridShowsThePictureOnceOverTheRectangle) {
  const int32_t texture = PatternTexture(64, Quadrants);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  TOrvGrid grid(20, 20);
  grid.Reset();
  UseTexture(texture);
  grid.Draw(100, 50, 600, 400);
  EXPECT_EQ(ReadPixel(200, 400).r, 255);  // upper left: red
  EXPECT_EQ(ReadPixel(600, 400).b, 255);  // upper right: blue
  EXPECT_EQ(ReadPixel(400, 60).g, 255);   // bottom row: green
  EXPECT_EQ(ReadPixel(50, 300).r, 0);     // outside the rectangle
  EXPECT_EQ(ReadPixel(400, 500).b, 0);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLfloat m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_FLOAT_EQ(m[11], -1.0f);
  glDisable(GL_LIGHTING);
}

TEST_F(GridDrawTest, WaveMovesThePictureAndThinGridsDrawNothing) {
  const int32_t texture = PatternTexture(64, Quadrants);
  glClearColor(0, 0, 0, 1);  // the context's own clear colour is not black
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  TOrvGrid grid(20, 20);
  grid.Reset();
  // At T = 5 the wave adds 0.21 sin(u) to u: screen x 360 (u 0.45) samples
  // u 0.54, in the blue half, which undistorted starts at x 400.
  DemoTime = 5.0f;
  grid.Wave(0.05f);
  UseTexture(texture);
  grid.Draw(0, 0, 800, 600);
  EXPECT_EQ(ReadPixel(360, 300).b, 255);
  EXPECT_EQ(ReadPixel(300, 300).r, 255);
  DemoTime = 0.0f;
  glClear(GL_COLOR_BUFFER_BIT);
  TOrvGrid thin(1, 20);
  thin.Reset();
  thin.Draw(0, 0, 800, 600);
  EXPECT_EQ(ReadPixel(400, 300).r, 0);
  EXPECT_EQ(ReadPixel(400, 300).b, 0);
  glDisable(GL_LIGHTING);
}

}  // namespace
