// The picture scenes and the loading screen: picture ring, opening, the
// section pictures over the timeline, progress fade and loading bar.

#include <GL/gl.h>

#include <cmath>

#include "draw2d/loading_screen.h"
#include "core/shared_state.h"
#include "core/sync.h"
#include "scenes/credits.h"
#include "scenes/picture_ring.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "textures/ORV2Materials.h"

namespace {

class PictureSceneTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override {
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    DemoTime = 0.0f;
    SyncTrack = nullptr;
    GLTest::TearDown();
  }
};

TEST(PictureRing, PositionRunsOnTheEllipse) {
  EXPECT_EQ(RingPosition(0.0f).X, 300);
  EXPECT_EQ(RingPosition(0.0f).Y, 372);
  EXPECT_EQ(RingPosition(1.5707964f).X, 572);
  EXPECT_EQ(RingPosition(1.5707964f).Y, 200);
  for (float t = 0.0f; t < 7.0f; t += 0.01f) {
    const TRingPosition p = RingPosition(t);
    EXPECT_GE(p.X, 28);
    EXPECT_LE(p.X, 572);
    EXPECT_GE(p.Y, 28);
    EXPECT_LE(p.Y, 372);
  }
}

TEST_F(PictureSceneTest, RingPicturesLoadByNumberAndDrawAdditively) {
  for (int k = 1; k <= 8; ++k) RegisterTexture("gfx\\love\\" + std::to_string(k) + ".jpg", SolidColorTexture(0x202020u * k));
  LoadRingPictures();
  EXPECT_EQ(RingPictures[3], FindTexture("gfx\\love\\3.jpg"));
  glClearColor(0.2f, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawRingPicture(4, 100, 50, 1.0f);  // 0x808080 added
  EXPECT_NEAR(ReadPixel(228, 178).r, 51 + 128, 2);
  EXPECT_NEAR(ReadPixel(228, 178).g, 128, 2);
  EXPECT_EQ(ReadPixel(90, 178).g, 0);   // left of the sprite
  EXPECT_EQ(ReadPixel(228, 310).g, 0);  // above it
  glClear(GL_COLOR_BUFFER_BIT);
  DrawRingPicture(4, 100, 50, 0.0f);
  DrawRingPicture(0, 100, 50, 1.0f);
  DrawRingPicture(9, 100, 50, 1.0f);
  EXPECT_EQ(ReadPixel(228, 178).g, 0);
  glClearColor(0, 0, 0, 1);
}

// Registers textures of known colours under the credits' names and loads them.
void LoadCreditsWithColours() {
  RegisterTexture("gfx\\vantrel.jpg", PatternTexture(512, [](int x, int) { return x < 256 ? 0xFF0000u : 0x0000FFu; }));
  RegisterTexture("gfx\\veloria.jpg", SolidColorTexture(0x00FF00));
  // The author picture: a white square in the middle and a one-texel
  // checkerboard strip at the left, which shows the slightest blur.
  RegisterTexture("gfx\\author.jpg", PatternTexture(512, [](int x, int y) {
                    if (std::abs(x - 256) < 32 && std::abs(y - 256) < 32) return 0xFFFFFFu;
                    return x < 32 && (x + y) % 2 == 0 ? 0xFFFFFFu : 0u;
                  }));
  // Blurred pictures must be at least 512 x 512: the blur copies that much back.
  RegisterTexture("gfx\\greets.jpg", PatternTexture(512, [](int, int) { return 0x404040u; }));
  RegisterTexture("gfx\\end.jpg", PatternTexture(512, [](int, int) { return 0x000080u; }));
  InitCredits();
}

TEST_F(PictureSceneTest, OpeningPhases) {
  LoadCreditsWithColours();
  ASSERT_NE(OpeningGrid, nullptr);
  EXPECT_EQ(OpeningGrid->Rows, 20);
  TSync sync;
  sync.SectionEnds[0] = 15.36f;
  SyncTrack = &sync;

  // Logo phase, still waving at t = 1 (amount 15.36 - 11 - 1 = 3.36): the
  // wave pushes u right, so the red half's screen x 100 shows blue.
  const std::vector<uint8_t> logo = ReadTextureLevel0(GroupLogoTexture, 512);
  DemoTime = 1.0f;
  DrawOpening();
  EXPECT_GT(ReadPixel(100, 300).b, 200);
  EXPECT_EQ(ReadTextureLevel0(GroupLogoTexture, 512), logo);  // no blur while waving
  // t = 8: the wave has run out, the logo is drawn flat (and blurred).
  glClear(GL_COLOR_BUFFER_BIT);
  DemoTime = 8.0f;
  DrawOpening();
  EXPECT_GT(ReadPixel(100, 300).r, 200);  // left half red
  EXPECT_GT(ReadPixel(700, 300).b, 200);  // right half blue
  EXPECT_NE(ReadTextureLevel0(GroupLogoTexture, 512), logo);

  // Exactly 9 s: neither phase draws.
  glClearColor(0, 0.5f, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  DemoTime = 9.0f;
  DrawOpening();
  EXPECT_NEAR(ReadPixel(400, 300).g, 128, 1);

  // 10 s: the author picture, unblurred: its white square ends sharply.
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const std::vector<uint8_t> author = ReadTextureLevel0(AuthorTexture, 512);
  DemoTime = 10.0f;
  DrawOpening();
  EXPECT_GT(ReadPixel(400, 300).r, 250);
  EXPECT_EQ(ReadPixel(400 + 60, 300).r, 0);
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_EQ(ReadTextureLevel0(AuthorTexture, 512), author);

  // 12 s: the author picture is blurred before it is drawn.
  DemoTime = 12.0f;
  DrawOpening();
  EXPECT_NE(ReadTextureLevel0(AuthorTexture, 512), author);

  // The section's last second dips to black.
  glClear(GL_COLOR_BUFFER_BIT);
  DemoTime = 15.36f - 0.25f;
  DrawOpening();
  EXPECT_LT(ReadPixel(400, 300).r, 80);
}

TEST_F(PictureSceneTest, OpeningBlursTheLogoFromTheStartWhenTheSectionIsShort) {
  LoadCreditsWithColours();
  TSync sync;
  sync.SectionEnds[0] = 8.0f;  // E < 11: no wave at all
  SyncTrack = &sync;
  DemoTime = 0.5f;
  for (int frame = 0; frame < 30; ++frame) DrawOpening();
  glClear(GL_COLOR_BUFFER_BIT);
  DrawOpening();
  // The zoom blur pulls the colours across the middle: red and blue mix there.
  const Pixel middle = ReadPixel(400, 300);
  EXPECT_GT(middle.r, 20);
  EXPECT_GT(middle.b, 20);
}

TEST_F(PictureSceneTest, SectionPictures) {
  LoadCreditsWithColours();
  // Section 1: the title is added; white rises only in the last two seconds.
  DrawTitlePicture(20.0f, 46.08f);
  EXPECT_EQ(ReadPixel(400, 300).g, 255);
  EXPECT_EQ(ReadPixel(400, 300).r, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawTitlePicture(45.08f, 46.08f);
  EXPECT_NEAR(ReadPixel(400, 300).r, 128, 2);

  // Section 5: greetings added at sin(t) + 1.3 (clamped to 1 at t = pi / 2).
  glClearColor(0.2f, 0.2f, 0.2f, 1);
  PrepareGreetingsPicture(1.0f);
  EXPECT_EQ(ReadPixel(400, 300).r, 51);  // the colour buffer was cleared
  DrawGreetingsPicture(1.0f, 1.5707964f);
  EXPECT_NEAR(ReadPixel(400, 300).r, 51 + 64, 2);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawGreetingsPicture(6.95f, 1.5707964f);  // white veil 0.05
  EXPECT_NEAR(ReadPixel(400, 300).r, (51 + 64) * 0.95 + 255 * 0.05, 2);

  // Section 7: the end picture added over the frame; cleared before.
  glClearColor(0, 0, 0, 1);
  PrepareEndPicture(6.0f);
  DrawEndPicture();
  EXPECT_NEAR(ReadPixel(400, 300).b, 128, 2);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(PictureSceneTest, ProgressFadeAndLoadingBar) {
  const int32_t progress = SolidColorTexture(0x0000FF);
  DrawProgressFade(progress, 1.0f);  // opacity 0.5 over black
  EXPECT_NEAR(ReadPixel(100, 100).b, 128, 2);
  DrawLoadingBarFrame(0.5f);
  EXPECT_EQ(ReadPixel(221, 286).r, 255);
  EXPECT_EQ(ReadPixel(400, 291).r, 255);
  EXPECT_EQ(ReadPixel(405, 288).r, 0);  // right of 220 + 183
  EXPECT_EQ(ReadPixel(300, 293).r, 0);  // above the bar
  EXPECT_EQ(ReadPixel(219, 288).r, 0);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  DrawLoadingBarFrame(1.0f);
  EXPECT_EQ(ReadPixel(585, 288).r, 255);
  EXPECT_EQ(ReadPixel(587, 288).r, 0);
}

}  // namespace
