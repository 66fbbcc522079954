// The dame figure on the real context with the generated model: the stencil
// outline is exactly where the inflated figure covers the screen and the
// plain one does not, it shows white over the background while the figure
// itself stays invisible, and the frame leaves its documented state. The
// pattern over it draws what its first, literal form drew, pixel for pixel.

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "draw2d/overlay.h"
#include "core/shared_state.h"
#include "core/sync.h"
#include "scenes/dame.h"
#include "scenes/metaballs.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "tests/scene_state.h"
#include "textures/ORV2Materials.h"
#include "textures/color.h"

namespace {

namespace fs = std::filesystem;

constexpr int kW = 800;
constexpr int kH = 600;

class DameTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    home = fs::current_path();
    fs::current_path(VELORIA_DATA_DIR);  // the load step reads "mod\dame.3ds"
    RegisterTexture("gfx\\logo2.jpg", SolidColorTexture(0x000000));
    RegisterTexture("gfx\\flush.jpg", SolidColorTexture(0xFFFFFF));
    ResetSceneState();
    InitMetaballs();
    InitDame();
    MapTexture = SolidColorTexture(0x404040);
    SyncTrack = &sync;
    DemoTime = 3.0f;  // no sync events: outline at half opacity
    FrameDelta = 0.25f;
  }
  void TearDown() override {
    fs::current_path(home);
    ResetSceneState();
    SyncTrack = nullptr;
    MapTexture = -1;
    DemoTime = FrameDelta = 0.0f;
    GLTest::TearDown();
  }
  // Screen pixels a frame of the figure covers, drawn with DrawDame's camera.
  static std::vector<bool> Coverage(int frame) {
    ResetSceneState();
    glDisable(GL_DEPTH_TEST);
    gluLookAt(DameEye.x, DameEye.y, DameEye.z, 0.0, 100.0, 0.0, std::sin(DemoTime), 2.0, 0.0);
    DameBrush->DrawFrame(frame);
    std::vector<uint8_t> red(kW * kH);
    glReadPixels(0, 0, kW, kH, GL_RED, GL_UNSIGNED_BYTE, red.data());
    std::vector<bool> covered(kW * kH);
    for (int i = 0; i < kW * kH; ++i) covered[i] = red[i] > 128;
    return covered;
  }
  fs::path home;
  TSync sync;
};

TEST_F(DameTest, OutlineIsTheInflatedFigureMinusThePlainOne) {
  ASSERT_TRUE(DameBrush);
  EXPECT_EQ(DameBrush->FrameCount, 5);
  EXPECT_EQ(DameBrush->VertexCount, DameBrush->Mesh().VertexCount);
  ClearScreen();
  DrawDame();
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  std::vector<uint8_t> stencil(kW * kH);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kW, kH, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
  std::vector<uint8_t> picture(kW * kH * 4);
  glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());

  const std::vector<bool> inflated = Coverage(1);
  const std::vector<bool> plain = Coverage(0);
  int band = 0, figure = 0, mismatches = 0;
  for (int i = 0; i < kW * kH; ++i) {
    const bool expected = inflated[i] && !plain[i];
    band += expected;
    figure += plain[i];
    mismatches += expected != (stencil[i] == 1);
  }
  EXPECT_GT(figure, 5000);  // the figure is well inside the view
  EXPECT_GT(band, 1000);
  EXPECT_EQ(mismatches, 0);

  // Along one row right of the squares: the band is lit white, the figure
  // inside it shows the same background as the empty screen beside it.
  int checkedRows = 0;
  for (int y = 150; y < 450 && checkedRows < 5; y += 7) {
    int inBand = -1, inFigure = -1, outside = -1;
    for (int x = 200; x < kW; ++x) {
      const int i = y * kW + x;
      if (stencil[i] == 1 && inBand < 0) inBand = x;
      if (plain[i] && plain[i - 4] && plain[i + 4] && inFigure < 0) inFigure = x;
      if (!inflated[i] && outside < 0) outside = x;
    }
    if (inBand < 0 || inFigure < 0 || outside < 0) continue;
    ++checkedRows;
    const auto green = [&](int x) { return static_cast<int>(picture[(y * kW + x) * 4 + 1]); };
    // Half-opaque white over the background; the translucent bands on top
    // narrow the difference where they are bright.
    EXPECT_GT(green(inBand), green(outside) + 15) << "row " << y;
    EXPECT_NEAR(green(inFigure), green(outside), 3) << "row " << y;
  }
  EXPECT_GT(checkedRows, 0);
}

// The pattern as first written: the colours set between the draws, and each
// outline the same quad drawn again in line polygon mode.
void LiteralDameLines() {
  const float t = DemoTime;
  BeginOverlay();
  EnterOrtho();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  TColorRGBA color;
  SetRGBA(color, 1.0f, 1.0f, 1.0f, 0.5f);
  UseColor(color);
  glLineWidth(1.5f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  const auto quad = [](float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, 0.0f);
    glVertex3f(x1, y1, 0.0f);
    glVertex3f(x2, y2, 0.0f);
    glVertex3f(x3, y3, 0.0f);
    glEnd();
  };
  for (int32_t i = 0; i <= 4; ++i) {
    for (int32_t j = 0; j <= 20; ++j) {
      const float e = SyncTrack->SyncEnvelope(1, 0.2f, 0.7f);
      const float h = 9.0f - (static_cast<float>(i) / 2.0f - 5.0f * e);
      const float phase = std::sin(static_cast<float>(j) / 10.0f + t);
      const float w = phase + 1.2f;
      glPushMatrix();
      glColor4f(w, w, 1.0f, 0.5f);
      glTranslatef(150.0f - 30.0f * static_cast<float>(i), 600.0f - 30.0f * static_cast<float>(j), 0.0f);
      glRotatef(200.0f * phase, 0.0f, 0.0f, 1.0f);
      quad(-h, -h, h, -h, h, h, -h, h);
      glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
      glColor4f(0.0f, 0.0f, 0.0f, 0.8f);
      quad(-h, -h, h, -h, h, h, -h, h);
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
      glPopMatrix();
    }
  }
  for (int32_t i = 1; i <= 15; ++i) {
    const float c = 300.0f + 200.0f * std::sin(static_cast<float>(i) / 3.0f + t);
    const float o = 3.0f * static_cast<float>(i);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f / static_cast<float>(i + 2));
    quad(0.0f, c + o, 800.0f, c + o, 800.0f, c - o, 0.0f, c - o);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    quad(0.0f, c + o, 800.0f, c + o, 800.0f, c - o, 0.0f, c - o);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  }
  LeaveOrtho();
  EndOverlay();
}

// What a drawing routine can leave behind that the pattern touches, as numbers.
std::vector<float> PatternState() {
  std::vector<float> state;
  for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
                     GL_CULL_FACE, GL_STENCIL_TEST, GL_COLOR_MATERIAL}) {
    state.push_back(glIsEnabled(cap));
  }
  GLint values[2] = {};
  for (GLenum name : {GL_BLEND_SRC, GL_BLEND_DST, GL_MATRIX_MODE, GL_MODELVIEW_STACK_DEPTH, GL_TEXTURE_BINDING_2D}) {
    glGetIntegerv(name, values);
    state.push_back(static_cast<float>(values[0]));
  }
  glGetIntegerv(GL_POLYGON_MODE, values);
  state.insert(state.end(), {static_cast<float>(values[0]), static_cast<float>(values[1])});
  GLfloat f[16];
  glGetFloatv(GL_LINE_WIDTH, f);
  state.push_back(f[0]);
  glGetFloatv(GL_CURRENT_COLOR, f);
  state.insert(state.end(), f, f + 4);
  glGetFloatv(GL_MODELVIEW_MATRIX, f);
  state.insert(state.end(), f, f + 16);
  glGetFloatv(GL_PROJECTION_MATRIX, f);
  state.insert(state.end(), f, f + 16);
  return state;
}

TEST_F(DameTest, PatternDrawsTheFrameAndStateOfItsLiteralForm) {
  sync.LoadFromFile("music\\sync.snc");
  const auto drawAt = [&](float time, void (*pattern)()) {
    DemoTime = time;
    sync.Rewind();
    ResetSceneState();
    DrawBusyBackground();
    pattern();
    return std::make_pair(ReadFrame(), PatternState());
  };
  DrawBusyBackground();
  const std::vector<uint8_t> background = ReadFrame();
  // Section 6 from its first frame to its last, on beats (the squares grown
  // over their neighbours) and between them.
  float strongestBeat = 0.0f;
  for (float time : {153.61f, 155.06f, 157.21f, 160.95f, 164.66f, 168.73f, 172.45f, 176.41f, 180.25f, 184.3f}) {
    SCOPED_TRACE(::testing::Message() << "show time " << time);
    const auto literal = drawAt(time, LiteralDameLines);
    const auto pattern = drawAt(time, DrawDameLines);
    strongestBeat = std::max(strongestBeat, SyncTrack->SyncEnvelope(1, 0.2f, 0.7f));
    EXPECT_TRUE(literal.first == pattern.first) << "the pattern's frame differs from its literal form";
    EXPECT_EQ(literal.second, pattern.second);
    size_t changed = 0;
    for (size_t k = 0; k < background.size(); ++k) changed += pattern.first[k] != background[k];
    EXPECT_GT(changed, 800u * 600u);  // bands and squares over a good part of the screen
  }
  EXPECT_GT(strongestBeat, 0.9f);
}

}  // namespace
