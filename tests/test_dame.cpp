// The dame figure on the real context with the generated model: the stencil
// outline is exactly where the inflated figure covers the screen and the
// plain one does not, it shows white over the background while the figure
// itself stays invisible, and the frame leaves its documented state.

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "draw2d/overlay.h"
#include "runtime/shared_state.h"
#include "runtime/sync.h"
#include "scenes/dame.h"
#include "scenes/metaballs.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "tests/scene_state.h"
#include "textures/ORV2Materials.h"

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

}  // namespace
