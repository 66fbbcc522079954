// The feedback blur on known textures: identity with one layer, the spread
// and turn of further layers, the passes, and the state it leaves.

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "draw2d/feedback_blur.h"
#include "draw2d/overlay.h"
#include "runtime/OrvikGL2.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "tests/test_random.h"

namespace {

constexpr int kSize = 512;

class FeedbackBlurTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    glViewport(0, 0, 800, 600);
    glClearColor(0, 0, 0, 1);
  }
  // Red channel of texel (x, y).
  static int Red(const std::vector<uint8_t>& texels, int x, int y) { return texels[(y * kSize + x) * 4]; }
};

// White inside the centred square |x - 256|, |y - 256| < half, black outside.
int32_t CentreSquare(int half) {
  return PatternTexture(kSize, [half](int x, int y) {
    return std::abs(x - 256) < half && std::abs(y - 256) < half ? 0xFFFFFFu : 0u;
  });
}

TEST_F(FeedbackBlurTest, OneLayerCopiesThePictureOntoItself) {
  const int32_t texture = PatternTexture(kSize, [](int x, int y) { return uint32_t((x ^ y) & 0xFF) << 16 | 0x40; });
  const std::vector<uint8_t> before = ReadTextureLevel0(texture, kSize);
  FeedbackBlur(kSize, texture, 1, 45.0f, 100.0f, 3);
  const std::vector<uint8_t> after = ReadTextureLevel0(texture, kSize);
  int maxDiff = 0;
  for (size_t k = 0; k < before.size(); k += 4) maxDiff = std::max(maxDiff, std::abs(before[k] - after[k]));
  EXPECT_LE(maxDiff, 1);
}

TEST_F(FeedbackBlurTest, FurtherLayersAreEnlargedAndAddedWithEqualWeight) {
  const int32_t texture = CentreSquare(64);
  // Two layers, no turn: the second is enlarged by 100 screen units a side,
  // 1.25 times about the centre; each layer weighs one half.
  FeedbackBlur(kSize, texture, 2, 0.0f, 100.0f, 1);
  const std::vector<uint8_t> t = ReadTextureLevel0(texture, kSize);
  EXPECT_GE(Red(t, 256, 256), 253);        // inside both layers
  EXPECT_NEAR(Red(t, 256 + 72, 256), 128, 3);  // inside the enlarged layer only
  EXPECT_NEAR(Red(t, 256, 256 - 72), 128, 3);
  EXPECT_EQ(Red(t, 256 + 90, 256), 0);     // outside both
  EXPECT_EQ(Red(t, 10, 10), 0);
}

TEST_F(FeedbackBlurTest, LayersTurnAboutTheScreenCentre) {
  // A horizontal bar through the centre; the second of two layers turns by
  // 180 / 2 = 90 degrees and lies across it.
  const int32_t texture = PatternTexture(kSize, [](int, int y) { return std::abs(y - 256) < 20 ? 0xFFFFFFu : 0u; });
  FeedbackBlur(kSize, texture, 2, 180.0f, 0.0f, 1);
  const std::vector<uint8_t> t = ReadTextureLevel0(texture, kSize);
  EXPECT_GE(Red(t, 256, 256), 253);
  EXPECT_NEAR(Red(t, 256, 60), 128, 3);   // the turned layer, above the bar
  EXPECT_NEAR(Red(t, 30, 256), 128, 3);   // the unturned layer, off the turned one
  EXPECT_EQ(Red(t, 30, 60), 0);
}

TEST_F(FeedbackBlurTest, PassesFeedBackIntoTheTexture) {
  const int32_t once = CentreSquare(64), twice = CentreSquare(64);
  FeedbackBlur(kSize, once, 2, 0.0f, 100.0f, 1);
  FeedbackBlur(kSize, twice, 2, 0.0f, 100.0f, 2);
  const std::vector<uint8_t> a = ReadTextureLevel0(once, kSize), b = ReadTextureLevel0(twice, kSize);
  // The second pass spreads the first pass's halo further out.
  EXPECT_EQ(Red(a, 256 + 90, 256), 0);
  EXPECT_GT(Red(b, 256 + 90, 256), 40);
}

TEST_F(FeedbackBlurTest, NoPassesOrNoLayersChangeNothing) {
  const int32_t texture = CentreSquare(64);
  const std::vector<uint8_t> before = ReadTextureLevel0(texture, kSize);
  glViewport(10, 20, 30, 40);
  FeedbackBlur(kSize, texture, 2, 0.1f, 100.0f, 0);
  FeedbackBlur(kSize, texture, 0, 0.1f, 100.0f, 2);
  FeedbackBlur(kSize, texture, -1, 0.1f, 100.0f, 2);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 10);
  EXPECT_EQ(viewport[3], 40);
  EXPECT_EQ(ReadTextureLevel0(texture, kSize), before);
}

TEST_F(FeedbackBlurTest, LeavesFullViewportPerspectiveAndItsColour) {
  const int32_t texture = CentreSquare(64);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(1, 2, 3);
  FeedbackBlur(kSize, texture, 4, 0.1f, 0.3f, 1);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  GLfloat m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_FLOAT_EQ(m[11], -1.0f);  // perspective
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[12], 0.0f);
  GLfloat c[4];
  glGetFloatv(GL_CURRENT_COLOR, c);
  EXPECT_FLOAT_EQ(c[3], 0.25f);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, texture);
  // The frame buffer's corner holds the pass result.
  EXPECT_GE(ReadPixel(256, 256).r, 250);
  glDisable(GL_LIGHTING);
}

TEST_F(FeedbackBlurTest, RenderIntoABlankTexture) {
  const int32_t texture = CreateBlankTexture(256);
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 256);
  SetTextureViewport(256);
  glClearColor(0, 0.5f, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  CopyToTexture(texture, 256);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  const std::vector<uint8_t> t = ReadTextureLevel0(texture, 256);
  EXPECT_NEAR(t[(100 * 256 + 100) * 4 + 1], 128, 1);
  glClearColor(0, 0, 0, 1);
}

// The blur as first written: the whole screen cleared before every pass.
void LiteralFeedbackBlur(int32_t size, int32_t texture, int32_t layers, float angle, float spread, int32_t passes) {
  const float w = static_cast<float>(ActiveWindow.Width);
  const float h = static_cast<float>(ActiveWindow.Height);
  for (int32_t pass = 0; pass < passes; ++pass) {
    SetTextureViewport(size);
    ClearScreen();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f / static_cast<float>(layers));
    EnterOrtho();
    for (int32_t f = 0; f < layers; ++f) {
      glPushMatrix();
      glTranslatef(w * 0.5f, h * 0.5f, 0.0f);
      glRotatef(static_cast<float>(f) * angle / static_cast<float>(layers), 0.0f, 0.0f, 1.0f);
      glTranslatef(w * -0.5f, h * -0.5f, 0.0f);
      const float e = static_cast<float>(f) * spread;
      glBegin(GL_QUADS);
      glTexCoord2f(0.0f, 0.0f);
      glVertex3f(-e, -e, 0.0f);
      glTexCoord2f(1.0f, 0.0f);
      glVertex3f(w + e, -e, 0.0f);
      glTexCoord2f(1.0f, 1.0f);
      glVertex3f(w + e, h + e, 0.0f);
      glTexCoord2f(0.0f, 1.0f);
      glVertex3f(-e, h + e, 0.0f);
      glEnd();
      glPopMatrix();
    }
    LeaveOrtho();
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    CopyToTexture(texture, size);
  }
}

struct BlurOutcome {
  std::vector<uint8_t> frame, depth, texture;
};

// A busy picture and a depth ramp over the whole screen, as the show leaves
// them before a blur; then `blur` on a copy of a noise picture.
template <typename Blur>
BlurOutcome BlurOverBusyScreen(int32_t size, uint32_t seed, Blur blur) {
  const std::vector<uint8_t> noise = TestRandom{seed}.Bytes(static_cast<size_t>(size) * size * 4);
  const int32_t texture = PatternTexture(size, [&](int x, int y) {
    const uint8_t* p = &noise[(static_cast<size_t>(y) * size + x) * 4];
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
  });
  glViewport(0, 0, 800, 600);
  glClearColor(0.3f, 0.1f, 0.2f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  EnterOrtho();
  glBegin(GL_TRIANGLES);
  glColor3f(1, 0, 0);
  glVertex3f(0, 0, -0.9f);
  glColor3f(0, 1, 0);
  glVertex3f(800, 0, 0.5f);
  glColor3f(0, 0, 1);
  glVertex3f(400, 600, 0.0f);
  glEnd();
  LeaveOrtho();
  blur(texture);
  BlurOutcome outcome;
  outcome.frame = ReadFrame();
  outcome.depth.resize(800 * 600 * 4);
  glReadPixels(0, 0, 800, 600, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, outcome.depth.data());
  outcome.texture = ReadTextureLevel0(texture, size);
  glDeleteTextures(1, reinterpret_cast<const GLuint*>(&texture));
  return outcome;
}

TEST_F(FeedbackBlurTest, LeavesScreenDepthAndTextureAsTheBlurThatClearsEveryPass) {
  struct Case {
    int32_t size, layers;
    float angle, spread;
    int32_t passes;
  };
  // The show's blurs: opening, greetings, end picture, and the swirl.
  for (const Case& c : {Case{512, 2, 0.1f, 0.1f, 2}, Case{512, 3, 0.04f, 0.04f, 3}, Case{512, 4, 0.1f, 0.3f, 4},
                        Case{256, 4, 0.0f, 30.0f, 3}, Case{256, 3, 40.0f, 200.0f, 2}}) {
    SCOPED_TRACE(::testing::Message() << c.size << " px, " << c.layers << " layers, " << c.passes << " passes");
    const BlurOutcome literal = BlurOverBusyScreen(c.size, 5, [&](int32_t t) {
      LiteralFeedbackBlur(c.size, t, c.layers, c.angle, c.spread, c.passes);
    });
    const BlurOutcome blurred = BlurOverBusyScreen(c.size, 5, [&](int32_t t) {
      FeedbackBlur(c.size, t, c.layers, c.angle, c.spread, c.passes);
    });
    EXPECT_TRUE(literal.frame == blurred.frame);
    EXPECT_TRUE(literal.depth == blurred.depth);
    EXPECT_TRUE(literal.texture == blurred.texture);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  }
}

// The state a blur of `texture` leaves that the next drawing sees.
std::vector<float> StateAfterBlur(int32_t texture) {
  std::vector<float> state;
  GLint viewport[4], bound = 0;
  glGetIntegerv(GL_VIEWPORT, viewport);
  state.insert(state.end(), viewport, viewport + 4);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  state.push_back(bound == texture);
  GLfloat f[16];
  for (GLenum matrix : {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX}) {
    glGetFloatv(matrix, f);
    state.insert(state.end(), f, f + 16);
  }
  glGetFloatv(GL_CURRENT_COLOR, f);
  state.insert(state.end(), f, f + 4);
  for (GLenum cap : {GL_TEXTURE_2D, GL_BLEND, GL_LIGHTING, GL_DEPTH_TEST, GL_SCISSOR_TEST}) {
    state.push_back(glIsEnabled(cap));
  }
  return state;
}

// A texture that cannot take the copy: a picture that failed to load (-1, no
// storage) or one smaller than the square. The literal blur draws every pass
// and the GL refuses each copy; the blur leaves the same frame, depth,
// texture and state (the screen cleared, the full-window viewport) without
// raising a GL error (checked by the fixture).
TEST_F(FeedbackBlurTest, TextureThatCannotTakeTheCopyLeavesTheLiteralFrameAndState) {
  for (bool failedPicture : {false, true}) {
    SCOPED_TRACE(failedPicture ? "failed picture" : "256 texture, 512 square");
    std::vector<float> literalState, blurredState;
    const BlurOutcome literal = BlurOverBusyScreen(256, 9, [&](int32_t t) {
      const int32_t texture = failedPicture ? -1 : t;
      LiteralFeedbackBlur(kSize, texture, 3, 0.1f, 0.3f, 2);
      while (glGetError() != GL_NO_ERROR) {
      }
      literalState = StateAfterBlur(texture);
    });
    const BlurOutcome blurred = BlurOverBusyScreen(256, 9, [&](int32_t t) {
      const int32_t texture = failedPicture ? -1 : t;
      FeedbackBlur(kSize, texture, 3, 0.1f, 0.3f, 2);
      blurredState = StateAfterBlur(texture);
    });
    EXPECT_TRUE(literal.frame == blurred.frame);
    EXPECT_TRUE(literal.depth == blurred.depth);
    EXPECT_TRUE(literal.texture == blurred.texture);
    EXPECT_EQ(literalState, blurredState);
    EXPECT_EQ(blurredState[2], 800.0f);  // the full-window viewport
    EXPECT_EQ(blurredState[4], 1.0f);    // the texture bound
  }
}

}  // namespace
