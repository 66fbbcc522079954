// The HUD: its frame-rate window, its text, and its drawing, which must show
// in the corner and leave every piece of GL state as it found it.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "app/hud.h"
#include "draw2d/bitmap_font.h"
#include "tests/gl_test_context.h"

namespace {

TEST(FrameRateMeterTest, CountsTheLastSecond) {
  FrameRateMeter meter;
  EXPECT_EQ(meter.AddFrame(10.0), 0.0);  // one frame is no rate yet
  double rate = 0.0;
  for (int i = 1; i <= 120; ++i) rate = meter.AddFrame(10.0 + i / 60.0);
  EXPECT_NEAR(rate, 60.0, 1e-6);
  // Slower frames take over as the old ones leave the window.
  for (int i = 1; i <= 30; ++i) rate = meter.AddFrame(12.0 + i / 20.0);
  EXPECT_NEAR(rate, 20.0, 1e-6);
  // After a long stall only the frame just finished is left.
  EXPECT_EQ(meter.AddFrame(20.0), 0.0);
  EXPECT_NEAR(meter.AddFrame(20.5), 2.0, 1e-6);
}

TEST(HudTextTest, TimeSectionBeatAndRate) {
  DemoFrame frame;
  frame.phase = DemoPhase::Timeline;
  frame.showTime = 61.4449f;
  frame.section = 3;
  const std::vector<std::string> lines = HudLines(frame, 7, 59.96, 1.8);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "time   61.44 s   section 3");
  EXPECT_EQ(lines[1], "beat 7    60.0 fps");
  EXPECT_EQ(lines[2], "frame 1440x1080 (scale 1.80)");
}

using HudDrawTest = GLTest;

// Every GL attribute the HUD touches and a scene may rely on.
struct StateSnapshot {
  std::vector<GLboolean> enabled;
  GLfloat color[4], projection[16], modelview[16], rasterPos[4];
  GLint matrixMode, listBase, drawBuffer;
  GLboolean colorMask[4];
  int32_t fontBase;

  static StateSnapshot Take() {
    StateSnapshot s;
    for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_FOG, GL_BLEND, GL_ALPHA_TEST,
                       GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_CULL_FACE, GL_COLOR_MATERIAL}) {
      s.enabled.push_back(glIsEnabled(cap));
    }
    glGetFloatv(GL_CURRENT_COLOR, s.color);
    glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, s.rasterPos);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    glGetIntegerv(GL_LIST_BASE, &s.listBase);
    glGetIntegerv(GL_DRAW_BUFFER, &s.drawBuffer);
    glGetBooleanv(GL_COLOR_WRITEMASK, s.colorMask);
    s.fontBase = FontBase;
    return s;
  }
  void ExpectSame(const StateSnapshot& o) const {
    EXPECT_EQ(enabled, o.enabled);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(color[i], o.color[i]) << i;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(rasterPos[i], o.rasterPos[i]) << i;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(colorMask[i], o.colorMask[i]) << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(projection[i], o.projection[i]) << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], o.modelview[i]) << i;
    EXPECT_EQ(matrixMode, o.matrixMode);
    EXPECT_EQ(listBase, o.listBase);
    EXPECT_EQ(drawBuffer, o.drawBuffer);
    EXPECT_EQ(fontBase, o.fontBase);
  }
};

TEST_F(HudDrawTest, DrawsInTheTopLeftCornerAndRestoresTheState) {
  const int32_t hudFont = BuildFont("Arial", 12, true);
  SetFontBase(0);  // the show's own table, not built yet here
  glClearColor(0.5f, 0.5f, 0.5f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);
  // A scene's leftovers that would hide the text: lighting, depth, blending,
  // a texture, a colour mask, a projection and a moved modelview.
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_TRUE);
  glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(3.0f, -2.0f, -7.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-1, 1, -1, 1, 1, 100);
  const StateSnapshot before = StateSnapshot::Take();

  DrawHudLines({"time  1.00 s   section 0", "beat 1   60.0 fps"}, hudFont);

  StateSnapshot::Take().ExpectSame(before);
  int litCorner = 0, litElsewhere = 0;
  std::vector<uint8_t> pixels(800 * 600 * 4);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const bool lit = pixels[(static_cast<size_t>(y) * 800 + x) * 4 + 1] > 200;  // white green
      (x < 250 && y > 540 ? litCorner : litElsewhere) += lit;
    }
  }
  EXPECT_GT(litCorner, 150);
  EXPECT_EQ(litElsewhere, 0);
  // The text stands on a black panel; the frame around it is untouched.
  EXPECT_EQ(ReadPixel(220, 562).r, 0);
  EXPECT_EQ(ReadPixel(240, 580).r, 128);
  EXPECT_EQ(ReadPixel(400, 300).r, 128);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D, GL_CULL_FACE}) glDisable(cap);
}

TEST_F(HudDrawTest, ObserverDrawsOnlyOverTheShowAndKeepsTheShowsFont) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const int32_t showFont = BuildFont("Arial", 12, true);
  ShowHud hud;
  DemoFrame frame;
  frame.phase = DemoPhase::Loading;
  EXPECT_TRUE(hud.OnFrame(frame));
  // The loading screen is left alone and the show's glyph table stays current.
  EXPECT_EQ(FontBase, showFont);
  int lit = 0;
  for (int x = 8; x < 200; x += 2) lit += ReadPixel(x, 588).r > 200 || ReadPixel(x, 585).r > 200;
  EXPECT_EQ(lit, 0);
  frame.phase = DemoPhase::Timeline;
  frame.section = 2;
  EXPECT_TRUE(hud.OnFrame(frame));
  EXPECT_EQ(FontBase, showFont);
  std::vector<uint8_t> pixels(230 * 40 * 4);
  glReadPixels(4, 556, 230, 40, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  for (size_t k = 0; k < pixels.size(); k += 4) lit += pixels[k] > 200;
  EXPECT_GT(lit, 150);
}

}  // namespace
