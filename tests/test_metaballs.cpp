// The metaballs: ball motion, the field they paint (with the guard for a ball
// on a lattice point), the load step's random numbers, and the section-4
// frame on the real context: background, strip, surface, late red tint, the
// beat that wipes the trail, and the state the frame leaves behind.

#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "draw2d/overlay.h"
#include "core/shared_state.h"
#include "core/sync.h"
#include "scenes/metaball_field.h"
#include "scenes/metaballs.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "tests/scene_state.h"
#include "textures/ORV2Materials.h"

namespace {

std::unique_ptr<TOrvScalarField> EmptyField() {
  auto field = std::make_unique<TOrvScalarField>();
  field->Size = MetaballLatticeSize;
  field->BuildLattice();
  return field;
}

int CountNonZero(const TOrvScalarField& field) {
  int n = 0;
  for (int a = 0; a <= MetaballLatticeSize; ++a) {
    for (int i = 0; i <= MetaballLatticeSize; ++i) {
      for (int j = 0; j <= MetaballLatticeSize; ++j) n += field.Point(a, i, j).Value != 0.0f;
    }
  }
  return n;
}

TEST(MetaballMotion, BouncesOnTheMovedPositionWithoutClamping) {
  TBall ball;
  ball.Position = MakeVertex(24.0f, 10.0f, 1.0f);
  ball.Velocity = MakeVertex(2.0f, -3.0f, -4.0f);
  ball.Strength = 2.0f;
  MoveBall(ball, 0.5f);
  EXPECT_FLOAT_EQ(ball.Position.x, 25.0f);  // past 25 - 2: turned back, not clamped
  EXPECT_FLOAT_EQ(ball.Velocity.x, -2.0f);
  EXPECT_FLOAT_EQ(ball.Position.y, 8.5f);  // inside: unchanged
  EXPECT_FLOAT_EQ(ball.Velocity.y, -3.0f);
  EXPECT_FLOAT_EQ(ball.Position.z, -1.0f);  // below the strength: turned up
  EXPECT_FLOAT_EQ(ball.Velocity.z, 4.0f);
  // A ball already turned keeps its direction while it comes back.
  MoveBall(ball, 0.25f);
  EXPECT_FLOAT_EQ(ball.Velocity.x, -2.0f);
  EXPECT_FLOAT_EQ(ball.Velocity.z, 4.0f);
  // Just short of the wall nothing turns.
  TBall edge;
  edge.Position = MakeVertex(22.9f, 5.0f, 5.0f);
  edge.Velocity = MakeVertex(1.0f, 0.0f, 0.0f);
  edge.Strength = 2.0f;
  MoveBall(edge, 0.05f);
  EXPECT_FLOAT_EQ(edge.Velocity.x, 1.0f);
  MoveBall(edge, 0.1f);
  EXPECT_FLOAT_EQ(edge.Velocity.x, -1.0f);
}

TEST(MetaballField, BallOnALatticePointStaysFinite) {
  auto field = EmptyField();
  TBall ball;
  ball.Position = MakeVertex(12.0f, 12.0f, 12.0f);
  ball.Strength = 2.0f;
  AddBallToField(*field, ball);
  EXPECT_FLOAT_EQ(field->Point(12, 12, 12).Value, 2.0f / MinBallDistanceSquared);
  EXPECT_FLOAT_EQ(field->Point(13, 12, 12).Value, 2.0f);
  EXPECT_FLOAT_EQ(field->Point(14, 14, 14).Value, 2.0f / 12.0f);
  EXPECT_EQ(field->Point(15, 12, 12).Value, 0.0f);  // outside the box of half size 2
  EXPECT_EQ(CountNonZero(*field), 5 * 5 * 5);
  field->ComputeNormals();
  for (int a = 10; a <= 14; ++a) {
    const TVertex n = field->Point(a, 12, 11).Normal;
    EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z)) << a;
  }
}

TEST(MetaballField, WeakBallTouchesOnlyItsNearestPointRoundedToEven) {
  auto field = EmptyField();
  TBall ball;
  ball.Position = MakeVertex(5.4f, 6.6f, 6.5f);  // nearest point (5, 7, 6): 6.5 rounds to even
  ball.Strength = 0.4f;                            // half size rounds to 0
  AddBallToField(*field, ball);
  EXPECT_EQ(CountNonZero(*field), 1);
  const float d2 = 0.4f * 0.4f + 0.4f * 0.4f + 0.5f * 0.5f;
  EXPECT_NEAR(field->Point(5, 7, 6).Value, 0.4f / d2, 1e-5f);
}

TEST(MetaballField, BoxIsClippedToTheWrittenLattice) {
  auto field = EmptyField();
  TBall ball;
  ball.Position = MakeVertex(24.6f, 0.2f, 12.0f);  // box 22..27 x -3..3 x 9..15
  ball.Strength = 3.0f;
  AddBallToField(*field, ball);
  EXPECT_EQ(CountNonZero(*field), 3 * 4 * 7);  // 22..24 x 0..3 x 9..15
  for (int i = 0; i <= MetaballLatticeSize; ++i) EXPECT_EQ(field->Point(MetaballLatticeSize, 0, i).Value, 0.0f);
  const float d2 = 0.6f * 0.6f + 0.2f * 0.2f;
  EXPECT_NEAR(field->Point(24, 0, 12).Value, 3.0f / d2, 1e-4f);
  // A ball that has drifted far out of the box paints nothing.
  ball.Position = MakeVertex(40.0f, 12.0f, 12.0f);
  auto other = EmptyField();
  AddBallToField(*other, ball);
  EXPECT_EQ(CountNonZero(*other), 0);
}

TEST(MetaballField, FadeAndClearLeaveTheLastLatticePlaneAlone) {
  auto field = EmptyField();
  for (int a = 0; a <= 25; ++a) {
    for (int i = 0; i <= 25; ++i) {
      for (int j = 0; j <= 25; ++j) field->Point(a, i, j).Value = 11.0f;
    }
  }
  FadeField(*field);
  EXPECT_FLOAT_EQ(field->Point(0, 0, 0).Value, 10.0f);
  EXPECT_FLOAT_EQ(field->Point(24, 24, 24).Value, 10.0f);
  EXPECT_EQ(field->Point(25, 3, 3).Value, 11.0f);
  EXPECT_EQ(field->Point(3, 3, 25).Value, 11.0f);
  ClearField(*field);
  EXPECT_EQ(field->Point(24, 24, 24).Value, 0.0f);
  EXPECT_EQ(field->Point(3, 25, 3).Value, 11.0f);
}

class MetaballsTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    RegisterTexture("gfx\\logo2.jpg", SolidColorTexture(0x000000));
    RegisterTexture("gfx\\flush.jpg", SolidColorTexture(0xFFFFFF));
    ResetSceneState();
    SyncTrack = &sync;
    MapTexture = SolidColorTexture(0x808080);
    DemoTime = 2.0f;
    FrameDelta = 0.0f;
    LateFlag4 = false;
  }
  void TearDown() override {
    ResetSceneState();
    SyncTrack = nullptr;
    MapTexture = -1;
    DemoTime = FrameDelta = 0.0f;
    LateFlag4 = false;
    GLTest::TearDown();
  }
  // All eight balls still at the cube's centre: one blob of radius about 5 cells.
  static void GatherBalls() {
    for (TBall& ball : Balls) {
      ball.Position = MakeVertex(12.5f, 12.5f, 12.5f);
      ball.Velocity = MakeVertex(0.0f, 0.0f, 0.0f);
      ball.Strength = 3.0f;
    }
    ClearField(*MetaballField);
  }
  // As the timeline does: ClearScreen (identity modelview), then the scene.
  static void DrawFrame() {
    ClearScreen();
    DrawMetaballs();
  }
  TSync sync;
};

TEST_F(MetaballsTest, LoadStepDrawsSevenNumbersPerBallInOrder) {
  ReferenceRandom expected = CurrentRandom();
  InitMetaballs();
  for (const TBall& ball : Balls) {
    EXPECT_EQ(ball.Position.x, static_cast<float>(expected.Next() * 20.0));
    EXPECT_EQ(ball.Position.y, static_cast<float>(expected.Next() * 20.0));
    EXPECT_EQ(ball.Position.z, static_cast<float>(expected.Next() * 20.0));
    EXPECT_EQ(ball.Velocity.x, static_cast<float>(expected.Next() * 25.0));
    EXPECT_EQ(ball.Velocity.y, static_cast<float>(expected.Next() * 25.0));
    EXPECT_EQ(ball.Velocity.z, static_cast<float>(expected.Next() * 25.0));
    EXPECT_EQ(ball.Strength, static_cast<float>(expected.Next() * 5.0));
  }
  EXPECT_EQ(Random(), expected.Next());  // exactly 56 numbers used
  ASSERT_TRUE(SwirlGrid);
  EXPECT_EQ(SwirlGrid->Rows, 15);
  EXPECT_EQ(SwirlGrid->Cols, 15);
  EXPECT_EQ(MetaballField->Size, 25);
  EXPECT_FLOAT_EQ(MetaballField->Point(25, 0, 0).Position.x, 1.0f);
  EXPECT_EQ(StripTexture, FindTexture("gfx\\flush.jpg"));
  EXPECT_EQ(LogoTexture, FindTexture("gfx\\logo2.jpg"));
  EXPECT_EQ(ReadTextureLevel0(FeedbackTexture, 256).size(), 256u * 256u * 4u);
  EXPECT_FLOAT_EQ(MetaballEye.x, 2.0f);
}

TEST_F(MetaballsTest, FrameShowsBackgroundStripAndSurfaceAndLeavesItsState) {
  InitMetaballs();
  GatherBalls();
  DrawFrame();
  // The grey swirl fills the background; the white strip lightens 100..500.
  const Pixel below = ReadPixel(400, 50);
  EXPECT_NEAR(below.r, 128, 3);
  EXPECT_NEAR(below.b, 128, 3);
  EXPECT_NEAR(ReadPixel(30, 300).g, 128 * 0.7 + 255 * 0.3, 4);
  // The blob in the middle is added over it, lit and mapped with the grey swirl.
  EXPECT_GT(ReadPixel(400, 300).g, ReadPixel(30, 300).g + 20);
  EXPECT_NEAR(ReadPixel(400, 430).g, ReadPixel(30, 430).g, 3);  // above the blob
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
  // The plain background quad switches colour material on and nothing turns it off.
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, FeedbackTexture);
}

TEST_F(MetaballsTest, LateFlagTintsTheBackgroundRedAndBeatsWhitenIt) {
  InitMetaballs();
  for (TBall& ball : Balls) ball.Strength = 0.0f;  // no surface
  ClearField(*MetaballField);
  DrawFrame();
  EXPECT_NEAR(ReadPixel(400, 50).g, 128, 3);
  LateFlag4 = true;
  DrawFrame();
  const Pixel red = ReadPixel(400, 50);
  EXPECT_NEAR(red.r, 128, 3);
  EXPECT_NEAR(red.g, 51, 3);
  EXPECT_NEAR(red.b, 51, 3);
  // 0.15 s after a beat the envelope (fall 0.3) is 0.5: green and blue 0.9.
  sync.Channels[1][0] = 1.85f;
  DrawFrame();
  EXPECT_NEAR(ReadPixel(400, 50).g, 115, 3);
}

TEST_F(MetaballsTest, BeatWipesTheTrailAfterItFadesAndBallsMoveByTheirVelocity) {
  InitMetaballs();
  GatherBalls();
  Balls[0].Velocity = MakeVertex(2.0f, 0.0f, 0.0f);
  FrameDelta = 0.5f;
  MetaballField->Point(2, 2, 2).Value = 110.0f;  // an old trail far from the balls
  DrawFrame();
  EXPECT_FLOAT_EQ(Balls[0].Position.x, 13.5f);
  EXPECT_FLOAT_EQ(MetaballField->Point(2, 2, 2).Value, 100.0f);
  Balls[0].Velocity = MakeVertex(0.0f, 0.0f, 0.0f);
  auto fresh = EmptyField();  // this frame's balls alone
  for (const TBall& ball : Balls) AddBallToField(*fresh, ball);
  const float alone = fresh->Point(12, 12, 12).Value;
  sync.Channels[1][0] = 1.9f;  // a channel-1 event before DemoTime 2
  DrawFrame();
  EXPECT_EQ(MetaballField->Point(2, 2, 2).Value, 0.0f);
  EXPECT_FLOAT_EQ(MetaballField->Point(12, 12, 12).Value, alone);
  DrawFrame();  // the event fires once: the trail builds up again
  EXPECT_FLOAT_EQ(MetaballField->Point(12, 12, 12).Value, alone / 1.1f + alone);
}

}  // namespace
