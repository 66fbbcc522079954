// The landscape, the scrolling overlays and the heart: their arithmetic
// (wave factor, beat, camera kicks and the random numbers they draw) and, on
// the real GL context with the generated data, what each draw step leaves.

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>

#include "draw2d/overlay.h"
#include "geometry/VectorTypes.h"
#include "core/shared_state.h"
#include "core/sync.h"
#include "scenes/heart.h"
#include "scenes/land.h"
#include "scenes/overlays.h"
#include "tests/gl_test_context.h"
#include "textures/ORV2Materials.h"

namespace fs = std::filesystem;

namespace {


// The program's generator, replayed from a known seed.
uint32_t NextSeed(uint32_t seed) { return seed * 134775813u + 1u; }
double AsRandom(uint32_t seed) { return seed / 4294967296.0; }
// The seed behind the number Random() just returned (exact: 32 bits fit a double).
uint32_t SeedOf(double r) { return static_cast<uint32_t>(r * 4294967296.0); }

TEST(LandscapeWave, FirstFormBreathesAroundTheLoadedShape) {
  // Origin at t = 0: (0 + 3 + 1 + sin 15) / 3.5.
  EXPECT_NEAR(LandscapeWaveFactor({0, 0, 0}, 0.0f, 0.0f, false), (4.0f + std::sin(15.0f)) / 3.5f, 1e-6f);
  for (float x = -200.0f; x <= 200.0f; x += 37.0f) {
    for (float t = 0.0f; t < 20.0f; t += 1.3f) {
      const float f = LandscapeWaveFactor({x, 0.5f * x, -x}, t, 0.0f, false);
      EXPECT_GE(f, 0.0f);
      EXPECT_LE(f, 6.0f / 3.5f + 1e-6f);
    }
  }
  // The beat amplifies the z sine: with sin = 1 and A = 0.4 it adds 7 * 0.4 / 3.5.
  const TVertex crest{0.0f, 0.0f, 5.0f * std::numbers::pi_v<float>};
  EXPECT_NEAR(LandscapeWaveFactor(crest, 0.0f, 0.4f, false) - LandscapeWaveFactor(crest, 0.0f, 0.0f, false), 0.8f, 1e-5f);
}

TEST(LandscapeWave, LateFormUsesTheLogarithmWithoutTheBeat) {
  // x / 10 + t + 15 = 100: log10 gives 2; z and y put sin and cos at 0 and 1.
  const TVertex v{850.0f, 0.0f, 0.0f};
  EXPECT_NEAR(LandscapeWaveFactor(v, 0.0f, 0.0f, true), (2.0f + 0.0f + 3.0f + 1.0f) / 3.5f, 1e-6f);
  EXPECT_EQ(LandscapeWaveFactor(v, 0.0f, 0.4f, true), LandscapeWaveFactor(v, 0.0f, 0.0f, true));
  EXPECT_NE(LandscapeWaveFactor(v, 0.0f, 0.0f, true), LandscapeWaveFactor(v, 0.0f, 0.0f, false));
  // Far to the -x side the logarithm's argument is not positive: still finite.
  EXPECT_TRUE(std::isfinite(LandscapeWaveFactor({-1000.0f, 0.0f, 0.0f}, 1.0f, 0.0f, true)));
}

TEST(LandscapeWave, EachComponentSeesTheOnesUpdatedBeforeIt) {
  TVertex v{30.0f, -20.0f, 12.0f};
  const TVertex rest = v;
  WaveVertex(v, 2.5f, 0.2f, false);
  TVertex expected = rest;
  expected.x *= LandscapeWaveFactor(expected, 2.5f, 0.2f, false);
  expected.y *= LandscapeWaveFactor(expected, 2.5f, 0.2f, false);
  const float zFactor = LandscapeWaveFactor(expected, 2.5f, 0.2f, false);
  expected.z *= zFactor;
  EXPECT_FLOAT_EQ(v.x, expected.x);
  EXPECT_FLOAT_EQ(v.y, expected.y);
  EXPECT_FLOAT_EQ(v.z, expected.z);
  // Taking every factor from the rest position would give another z.
  EXPECT_NE(v.z, rest.z * LandscapeWaveFactor(rest, 2.5f, 0.2f, false));
}

TEST(HeartBeatValues, PulseTwicePerPeriodAndNeverBelowTheirBase) {
  EXPECT_FLOAT_EQ(HeartBeat(0.0f).Heart, 0.0f);
  EXPECT_FLOAT_EQ(HeartBeat(0.0f).Shadow, 1.5f);
  EXPECT_NEAR(HeartBeat(std::numbers::pi_v<float> / 4.0f).Heart, 2.0f, 1e-5f);
  EXPECT_NEAR(HeartBeat(std::numbers::pi_v<float> / 4.0f).Shadow, 3.5f, 1e-5f);
  EXPECT_NEAR(HeartBeat(3.0f * std::numbers::pi_v<float> / 4.0f).Heart, 2.0f, 1e-5f);  // s = -1 pulses too
  for (float t = 0.0f; t < 10.0f; t += 0.07f) {
    const THeartBeat b = HeartBeat(t);
    EXPECT_GE(b.Heart, 0.0f);
    EXPECT_NEAR(b.Shadow - b.Heart, 1.5f, 1e-6f);
  }
}

TEST(HeartCameraKicks, NoEventLeavesUpAndTheGeneratorAlone) {
  THeartCamera cam{{40.0f, 20.0f, 20.0f}, {0.0f, 1.0f, 0.0f}};
  const uint32_t seed = SeedOf(Random());
  KickHeartCamera(cam, false, 0.016f);
  EXPECT_FLOAT_EQ(cam.Up.x, 0.0f);
  EXPECT_FLOAT_EQ(cam.Up.y, 1.0f);
  EXPECT_FLOAT_EQ(cam.Up.z, 0.0f);
  EXPECT_EQ(Random(), AsRandom(NextSeed(seed)));
  // The eye orbits y by 30 degrees per second, keeping height and distance.
  KickHeartCamera(cam, false, 3.0f - 0.016f);  // 90 degrees in all
  EXPECT_NEAR(cam.Eye.y, 20.0f, 1e-4f);
  EXPECT_NEAR(cam.Eye.x * cam.Eye.x + cam.Eye.z * cam.Eye.z, 2000.0f, 1e-2f);
  EXPECT_NEAR(cam.Eye.x * 40.0f + cam.Eye.z * 20.0f, 0.0f, 1e-2f);  // a quarter turn
}

TEST(HeartCameraKicks, AnEventDrawsExactlyThreeNumbersAndTurnsUp) {
  THeartCamera cam{{40.0f, 20.0f, 20.0f}, {0.0f, 1.0f, 0.0f}};
  uint32_t seed = SeedOf(Random());
  KickHeartCamera(cam, true, 0.0f);
  TVertex up{0.0f, 1.0f, 0.0f};
  TVertex angles{};
  float* a[3] = {&angles.x, &angles.y, &angles.z};
  for (float* angle : a) {
    seed = NextSeed(seed);
    *angle = 30.0f * static_cast<float>(AsRandom(seed));
  }
  RotateVertex(up, angles);
  NormalizeVector(up);
  EXPECT_FLOAT_EQ(cam.Up.x, up.x);
  EXPECT_FLOAT_EQ(cam.Up.y, up.y);
  EXPECT_FLOAT_EQ(cam.Up.z, up.z);
  EXPECT_LT(cam.Up.y, 0.999f);  // really knocked askew
  EXPECT_EQ(Random(), AsRandom(NextSeed(seed)));
  // Two close kicks accumulate; the pull back is only 2 dt per frame.
  const TVertex once = cam.Up;
  KickHeartCamera(cam, true, 0.01f);
  EXPECT_LT(cam.Up.y, once.y + 0.02f);
  EXPECT_NEAR(cam.Up.x * cam.Up.x + cam.Up.y * cam.Up.y + cam.Up.z * cam.Up.z, 1.0f, 1e-5f);
}

// The scenes loaded once from the generated data set, over a cleared screen.
class SceneDrawTest : public GLTest {
 protected:
  static void SetUpTestSuite() {
    EnsureGLContext();
    const fs::path here = fs::current_path();
    fs::current_path(VELORIA_DATA_DIR);
    InitLandscape();
    InitOverlays();
    InitHeart();
    fs::current_path(here);
  }
  void SetUp() override {
    GLTest::SetUp();
    sync_ = TSync{};
    SyncTrack = &sync_;
    DemoTime = 40.0f;
    FrameDelta = 0.0f;
    LateFlag3 = false;
    glViewport(0, 0, 800, 600);
    LeaveOrtho();  // the show's perspective, whatever an earlier test left
    glClearColor(0, 0, 0, 1);
    Clear();
  }
  void TearDown() override {
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glLineWidth(1.0f);
    SyncTrack = nullptr;
    DemoTime = 0.0f;
    GLTest::TearDown();
  }
  static void Clear() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
  }
  // Sum of r + g + b over a coarse grid of the screen.
  static long Brightness() {
    long sum = 0;
    for (int y = 10; y < 600; y += 20) {
      for (int x = 10; x < 800; x += 20) {
        const Pixel p = ReadPixel(x, y);
        sum += p.r + p.g + p.b;
      }
    }
    return sum;
  }
  static GLint Integer(GLenum name) {
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
  }
  TSync sync_;
};

TEST_F(SceneDrawTest, LandscapeLoadWritesTheSharedPictures) {
  EXPECT_EQ(MapTexture, FindTexture("gfx\\map.jpg"));
  EXPECT_EQ(GlowTexture, FindTexture("gfx\\part.jpg"));
  EXPECT_NE(MapTexture, NoTexture);
  EXPECT_NE(GlowTexture, NoTexture);
}

TEST_F(SceneDrawTest, LandscapeDrawsAndLeavesCullingAndAdditiveGlowOn) {
  DrawLandscape();
  EXPECT_GT(Brightness(), 1200 * 3 * 5);  // a visible shape, not a black frame
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), GlowTexture);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  GLint modes[2] = {};
  glGetIntegerv(GL_POLYGON_MODE, modes);
  EXPECT_EQ(modes[0], GL_FILL);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[3], 0.2f);
}

TEST_F(SceneDrawTest, LateFlagChangesTheShapeAndTheRigOnlyTurns) {
  const TLandscapeRig before = LandscapeRig();
  DrawLandscape();
  const long early = Brightness();
  std::vector<Pixel> earlyPixels;
  for (int x = 0; x < 800; x += 4) earlyPixels.push_back(ReadPixel(x, 300));
  Clear();
  LateFlag3 = true;
  DrawLandscape();
  int differing = 0;
  for (int x = 0, k = 0; x < 800; x += 4, ++k) {
    const Pixel p = ReadPixel(x, 300);
    differing += p.r != earlyPixels[k].r || p.g != earlyPixels[k].g || p.b != earlyPixels[k].b;
  }
  EXPECT_GT(differing, 10);
  EXPECT_GT(early, 0);
  // With dt = 0 nothing moved.
  EXPECT_FLOAT_EQ(LandscapeRig().Eye.x, before.Eye.x);
  FrameDelta = 0.5f;
  Clear();
  DrawLandscape();
  const auto length = [](const TVertex& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); };
  EXPECT_NE(LandscapeRig().Eye.x, before.Eye.x);
  EXPECT_NEAR(length(LandscapeRig().Eye), length(before.Eye), 1e-2f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(LandscapeRig().Lights[i].x, before.Lights[i].x);
    EXPECT_NEAR(length(LandscapeRig().Lights[i]), length(before.Lights[i]), 1e-2f);
  }
}

TEST_F(SceneDrawTest, OverlaysFrameTheLandscapeAndFlashOnTheBeat) {
  DrawOverlays();
  const long quiet = Brightness();
  EXPECT_GT(quiet, 1200 * 3 * 10);
  // The front layer's state is what the next step sees; culling stays on.
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);
  EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), FindTexture("gfx\\overlay.tga"));
  EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
  // The frame clamps; the band, whose u grows without bound, repeats.
  GLint wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(wrap, GL_CLAMP);
  glBindTexture(GL_TEXTURE_2D, FindTexture("gfx\\backscroll.jpg"));
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(wrap, GL_REPEAT);
  // At a channel-1 event the white flashes and the brighter band light the frame up.
  sync_.Channels[1][0] = 39.9999f;  // just passed: the envelopes stand at 1
  Clear();
  DrawOverlays();
  EXPECT_GT(Brightness(), quiet + quiet / 4);
  EXPECT_FLOAT_EQ(BandScroll(3.0f, 0.0f), 1.0f);
  EXPECT_FLOAT_EQ(BandScroll(3.0f, 1.0f), 4.0f / 3.0f);
}

TEST_F(SceneDrawTest, HeartCageIsMappedOutlinedAndLeavesDepthTestOff) {
  DemoTime = 1.0f;
  DrawHeartCage();
  EXPECT_GT(Brightness(), 1200 * 3 * 3);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), GlowTexture);
  GLfloat width = 0;
  glGetFloatv(GL_LINE_WIDTH, &width);
  EXPECT_FLOAT_EQ(width, 3.0f);
}

TEST_F(SceneDrawTest, HeartKicksOnChannelOneAndFlashes) {
  sync_.Channels[1][0] = 50.0f;
  DemoTime = 49.0f;  // before the event: no kick, no flash
  const THeartCamera start = HeartCamera();
  uint32_t seed = SeedOf(Random());
  DrawHeart();
  EXPECT_EQ(Random(), AsRandom(NextSeed(seed)));
  const long calm = Brightness();
  EXPECT_GT(calm, 0);
  EXPECT_FLOAT_EQ(HeartCamera().Up.x, start.Up.x);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));

  // Just past the event: one kick of three numbers, and a white flash of 1/3.
  DemoTime = 50.0f + 1e-4f;
  Clear();
  seed = SeedOf(Random());
  DrawHeart();
  EXPECT_EQ(Random(), AsRandom(NextSeed(NextSeed(NextSeed(NextSeed(seed))))));
  EXPECT_NE(HeartCamera().Up.x, start.Up.x);
  // The event fires once: the next frame draws nothing from the generator.
  DemoTime = 50.1f;
  Clear();
  seed = SeedOf(Random());
  DrawHeart();
  EXPECT_EQ(Random(), AsRandom(NextSeed(seed)));
}

TEST_F(SceneDrawTest, HeartFlashesWhiteAtAThirdJustAfterAnEvent) {
  // Two frames a whole beat period apart (pi seconds), so heart and view match.
  sync_.Channels[1][0] = 60.0f;
  DemoTime = 60.0001f - std::numbers::pi_v<float>;
  DrawHeartEnd();
  std::vector<Pixel> before;
  for (int x = 0; x < 800; x += 40) before.push_back(ReadPixel(x, 300));
  Clear();
  DemoTime = 60.0001f;
  DrawHeartEnd();
  for (int x = 0, k = 0; x < 800; x += 40, ++k) {
    const Pixel p = ReadPixel(x, 300);
    EXPECT_NEAR(p.r, before[k].r * 2 / 3 + 85, 3) << x;
    EXPECT_NEAR(p.b, before[k].b * 2 / 3 + 85, 3) << x;
  }
}

TEST_F(SceneDrawTest, HeartShadowDarkensOnlyAroundTheHeart) {
  glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
  Clear();
  DemoTime = 1.25f * std::numbers::pi_v<float>;  // s = 1: the heart lit palest, the shadow 1.5 beyond it; no flash
  DrawHeartEnd();
  glClearColor(0, 0, 0, 1);
  // Far from the heart the grey is untouched.
  EXPECT_NEAR(ReadPixel(5, 5).r, 128, 2);
  EXPECT_NEAR(ReadPixel(795, 595).g, 128, 2);
  // Somewhere the shadow shows: grey darkened by 85 %.
  int shadowed = 0, lit = 0;
  for (int y = 0; y < 600; y += 3) {
    for (int x = 0; x < 800; x += 3) {
      const Pixel p = ReadPixel(x, y);
      if (p.r <= 22 && p.g <= 22 && p.b <= 22) ++shadowed;
      if (p.r > p.g + 20) ++lit;  // the red picture on the heart
    }
  }
  EXPECT_GT(shadowed, 20);
  EXPECT_GT(lit, 20);  // the textured heart inside it
}

}  // namespace
