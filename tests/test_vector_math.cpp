// Vector records and rotations: the axis directions the scenes' camera paths
// and model orientations depend on.

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/VectorTypes.h"

namespace {

void ExpectNear(const TVertex& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, 1e-6f);
  EXPECT_NEAR(v.y, y, 1e-6f);
  EXPECT_NEAR(v.z, z, 1e-6f);
}

TEST(RotateVertex, QuarterTurnsAboutEachAxis) {
  TVertex v = MakeVertex(1, 0, 0);
  RotateVertex(v, MakeVertex(0, 0, 90));
  ExpectNear(v, 0, 1, 0);

  // About Y the turn goes from +x to +z, the opposite of a right-handed turn.
  v = MakeVertex(1, 0, 0);
  RotateVertex(v, MakeVertex(0, 90, 0));
  ExpectNear(v, 0, 0, 1);

  v = MakeVertex(0, 1, 0);
  RotateVertex(v, MakeVertex(90, 0, 0));
  ExpectNear(v, 0, 0, 1);

  // The models' (270, 0, 0) turn: +y goes to -z, and a Z-up file becomes Y-up.
  v = MakeVertex(0, 1, 0);
  RotateVertex(v, MakeVertex(270, 0, 0));
  ExpectNear(v, 0, 0, -1);
  v = MakeVertex(0, 0, 1);
  RotateVertex(v, MakeVertex(270, 0, 0));
  ExpectNear(v, 0, 1, 0);
}

TEST(RotateVertex, AnglesApplyAboutXThenYThenZ) {
  // (0, 1, 0) -X 90-> (0, 0, 1) -Y 90-> (-1, 0, 0) -Z 90-> (0, -1, 0).
  TVertex v = MakeVertex(0, 1, 0);
  RotateVertex(v, MakeVertex(90, 90, 90));
  ExpectNear(v, 0, -1, 0);
}

TEST(RotateVertex, ZeroAnglesKeepThePointExactly) {
  TVertex v = MakeVertex(1.25f, -3.5f, 1e-7f);
  RotateVertex(v, MakeVertex(0, 0, 0));
  EXPECT_EQ(v.x, 1.25f);
  EXPECT_EQ(v.y, -3.5f);
  EXPECT_EQ(v.z, 1e-7f);
}

TEST(RotateVertex, RoundsOnlyTheResult) {
  // Twelve 30-degree turns in extended precision land back within one
  // single-precision step, each rounded once.
  TVertex v = MakeVertex(3, 4, 5);
  for (int i = 0; i < 12; ++i) RotateVertex(v, MakeVertex(0, 30, 0));
  EXPECT_NEAR(v.x, 3, 4e-6f);
  EXPECT_NEAR(v.z, 5, 4e-6f);
  EXPECT_EQ(v.y, 4.0f);
}

TEST(FloatVector, RotationFormulas) {
  T3DPoint p(2, 3, 4);
  EXPECT_EQ(p.Count(), 4);
  EXPECT_EQ(p.Get(3), 1.0L);
  const extended a = 0.3L;
  p.RotateY(a);
  EXPECT_NEAR(static_cast<double>(p.X()), static_cast<double>(std::cos(a) * 2 - std::sin(a) * 4), 1e-15);
  EXPECT_NEAR(static_cast<double>(p.Z()), static_cast<double>(std::sin(a) * 2 + std::cos(a) * 4), 1e-15);
  EXPECT_EQ(p.Y(), 3.0L);
}

TEST(DegreesToRadians, FullTurnIsTwoPiInSingle) {
  EXPECT_EQ(DegreesToRadians(360.0f), 6.2831855f);
  EXPECT_EQ(DegreesToRadians(0.0f), 0.0f);
}

TEST(VectorOps, TriangleNormalFollowsCounterClockwiseCorners) {
  // Seen from +z, (0,0,0) (1,0,0) (0,1,0) is counter-clockwise.
  const TVertex n = TriangleNormal(MakeTriangle(MakeVertex(0, 0, 0), MakeVertex(2, 0, 0), MakeVertex(0, 2, 0)));
  ExpectNear(n, 0, 0, 4);  // twice the area
  const TVertex back = TriangleNormal(MakeTriangle(MakeVertex(0, 0, 0), MakeVertex(0, 2, 0), MakeVertex(2, 0, 0)));
  ExpectNear(back, 0, 0, -4);
  const TVertex degenerate =
      TriangleNormal(MakeTriangle(MakeVertex(0, 0, 0), MakeVertex(1, 1, 1), MakeVertex(2, 2, 2)));
  ExpectNear(degenerate, 0, 0, 0);
  ExpectNear(CrossProduct(MakeVertex(1, 0, 0), MakeVertex(0, 1, 0)), 0, 0, 1);
  ExpectNear(VectorFromTo(MakeVertex(1, 2, 3), MakeVertex(0, 0, 0)), -1, -2, -3);
}

TEST(VectorOps, NormalizeVector) {
  TVertex v = MakeVertex(3, 0, 4);
  NormalizeVector(v);
  ExpectNear(v, 0.6f, 0, 0.8f);
  TVertex zero = MakeVertex(0, 0, 0);
  NormalizeVector(zero);  // no trap: masked division gives NaN
  EXPECT_TRUE(std::isnan(zero.x) && std::isnan(zero.y) && std::isnan(zero.z));
}

}  // namespace
