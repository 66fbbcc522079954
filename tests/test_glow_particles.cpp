// The glow particles: the cubic through the control points, the path with its
// clamped ends, the load step's place in the random sequence (after the
// metaballs), and the trail drawn on the real context.

#include <GL/gl.h>

#include <cmath>

#include "draw2d/overlay.h"
#include "core/shared_state.h"
#include "scenes/glow_particles.h"
#include "scenes/metaballs.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "tests/scene_state.h"
#include "textures/ORV2Materials.h"

namespace {

void ExpectSamePoint(const TVertex& a, const TVertex& b, float tolerance = 1e-3f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

// Control point k at (k, k², -k): distinct in every component.
void FillKnownPoints() {
  for (int k = 0; k < SplinePointCount; ++k) {
    const float f = static_cast<float>(k);
    SplinePoints[k] = MakeVertex(f, f * f, -f);
  }
}

TEST(GlowPath, CubicPassesThroughTheInnerPointsWithNeighbourSlopes) {
  EXPECT_FLOAT_EQ(CubicInterpolate(5, -2, 7, 1, 0.0f), -2.0f);
  EXPECT_FLOAT_EQ(CubicInterpolate(5, -2, 7, 1, 1.0f), 7.0f);
  // Not a Catmull-Rom: evenly spaced points on a line bend slightly between them.
  EXPECT_FLOAT_EQ(CubicInterpolate(0, 1, 2, 3, 0.5f), 1.5f);
  EXPECT_FLOAT_EQ(CubicInterpolate(0, 1, 2, 3, 0.25f), 1.34375f);
  // Equal inner points, outer points above them: the curve dips between.
  EXPECT_FLOAT_EQ(CubicInterpolate(1, 0, 0, 1, 0.5f), -0.25f);
}

TEST(GlowPath, PathRunsThroughControlPointsAndStopsAtTheTableEnd) {
  FillKnownPoints();
  ExpectSamePoint(PathPoint(0.0f), SplinePoints[1]);
  ExpectSamePoint(PathPoint(37.0f), SplinePoints[38]);
  ExpectSamePoint(PathPoint(36.9999f), SplinePoints[38], 0.02f);  // continuous at the joint
  // Segment 3 from points 3..6: y = 9, 16, 25, 36 gives 20 halfway (k² would be 20.25).
  EXPECT_FLOAT_EQ(PathPoint(3.5f).y, 20.0f);
  EXPECT_FLOAT_EQ(PathPoint(3.5f).x, 4.5f);
  // The last exact parameter, and everything beyond it, ends on point 200.
  ExpectSamePoint(PathPoint(198.999f), SplinePoints[200], 2.0f);
  ExpectSamePoint(PathPoint(199.0f), SplinePoints[200]);
  ExpectSamePoint(PathPoint(250.5f), SplinePoints[200]);
  ExpectSamePoint(PathPoint(3e9f), SplinePoints[200]);
  ExpectSamePoint(PathPoint(-0.5f), SplinePoints[1]);
  ExpectSamePoint(PathPoint(NAN), SplinePoints[1]);
}

class GlowParticlesTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    RegisterTexture("gfx\\part.jpg", SolidColorTexture(0xFFFFFF));
    RegisterTexture("gfx\\logo2.jpg", SolidColorTexture(0x000000));
    RegisterTexture("gfx\\flush.jpg", SolidColorTexture(0xFFFFFF));
    ResetSceneState();
  }
  void TearDown() override {
    ResetSceneState();
    DemoTime = FrameDelta = 0.0f;
    GLTest::TearDown();
  }
};

TEST_F(GlowParticlesTest, LoadStepTakesTwoNumbersPerComponentAfterTheMetaballs) {
  ReferenceRandom expected = CurrentRandom();
  InitMetaballs();
  InitGlowParticles();
  for (int n = 0; n < 7 * BallCount; ++n) expected.Next();
  ExpectSamePoint(SplinePoints[0], MakeVertex(0, 0, 0), 0.0f);
  for (int k = 1; k < SplinePointCount; ++k) {
    float c[3];
    for (float& component : c) {
      const double r1 = expected.Next();
      const double r2 = expected.Next();
      component = static_cast<float>((r1 - r2) * 200.0);
    }
    ASSERT_EQ(SplinePoints[k].x, c[0]) << k;
    ASSERT_EQ(SplinePoints[k].y, c[1]) << k;
    ASSERT_EQ(SplinePoints[k].z, c[2]) << k;
    EXPECT_LT(std::fabs(SplinePoints[k].x), 200.0f);
  }
  EXPECT_EQ(Random(), expected.Next());  // 56 + 1206 numbers, no more
  EXPECT_EQ(SpriteTexture, FindTexture("gfx\\part.jpg"));
  EXPECT_FLOAT_EQ(GlowEye.y, 300.0f);
}

TEST_F(GlowParticlesTest, TrailGlowsAlongThePathAndLeavesBlendingOff) {
  InitGlowParticles();
  // Every control point at the origin: the whole trail piles up in the middle.
  for (TVertex& p : SplinePoints) p = MakeVertex(0, 0, 0);
  DemoTime = 20.0f;
  FrameDelta = 1.5f;  // a quarter turn of the camera
  DrawGlowParticles();
  EXPECT_GT(ReadPixel(400, 300).r, 250);      // 401 sprites of 0.1 added up
  EXPECT_EQ(ReadPixel(400, 100).r, 0);        // the sprites reach about 25 units only
  EXPECT_NEAR(GlowEye.y, 300.0f, 1e-3f);
  EXPECT_NEAR(std::hypot(GlowEye.x, GlowEye.z), std::hypot(300.0f, 300.0f), 1e-2f);
  EXPECT_NEAR(std::fabs(GlowEye.x * 300.0f + GlowEye.z * 300.0f), 0.0f, 1.0f);  // turned 90 degrees
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, SpriteTexture);

  // Far past the table's end the whole trail parks on control point 200.
  for (TVertex& p : SplinePoints) p = MakeVertex(0.0f, 5000.0f, 0.0f);
  SplinePoints[200] = MakeVertex(0.0f, 0.0f, 0.0f);
  ClearScreen();
  DemoTime = 300.0f;
  DrawGlowParticles();
  EXPECT_GT(ReadPixel(400, 300).r, 250);
}

}  // namespace
