// 2D overlay drawing on a real GL context: what each routine draws and the
// state it leaves behind.

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#include "draw2d/billboard.h"
#include "draw2d/overlay.h"
#include "draw2d/picture_quad.h"
#include "runtime/OrvikGL2.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "tests/test_random.h"
#include "textures/ORV2Materials.h"
#include "textures/ORV2Textures.h"
#include "textures/lit_area.h"

namespace {

class OverlayTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  static void ClearTo(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
};

// The projection must be the show's perspective: 45 degrees, aspect 4/3, far FarPlane.
void ExpectShowPerspective() {
  GLfloat m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  const float f = 1.0f / std::tan(22.5f * std::numbers::pi_v<float> / 180.0f);
  EXPECT_NEAR(m[5], f, 1e-4);
  EXPECT_NEAR(m[0], f / 1.3333333f, 1e-4);
  EXPECT_NEAR(m[10], (FarPlane + 1.0f) / (1.0f - FarPlane), 1e-4);
  EXPECT_FLOAT_EQ(m[11], -1.0f);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

void ExpectColor(float r, float g, float b, float a) {
  GLfloat c[4];
  glGetFloatv(GL_CURRENT_COLOR, c);
  EXPECT_FLOAT_EQ(c[0], r);
  EXPECT_FLOAT_EQ(c[1], g);
  EXPECT_FLOAT_EQ(c[2], b);
  EXPECT_FLOAT_EQ(c[3], a);
}

// The state every quad routine leaves: lighting and depth on, blending off.
void ExpectQuadTearDown() {
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  ExpectShowPerspective();
}

TEST_F(OverlayTest, EnterOrthoMapsScreenUnitsToPixels) {
  ClearTo(0, 0, 0);
  EnterOrtho();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_QUADS);
  glVertex2f(100, 50);
  glVertex2f(110, 50);
  glVertex2f(110, 60);
  glVertex2f(100, 60);
  glEnd();
  EXPECT_EQ(ReadPixel(105, 55).r, 255);
  EXPECT_EQ(ReadPixel(95, 55).r, 0);
  EXPECT_EQ(ReadPixel(105, 65).r, 0);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  LeaveOrtho();
  ExpectShowPerspective();
}

TEST_F(OverlayTest, TexturedQuadBlendsTheTintedPictureAndLeavesItsState) {
  const int32_t red = SolidColorTexture(0xFF0000);
  ClearTo(0, 0, 1);
  glEnable(GL_FOG);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();  // a different projection before the call
  glMatrixMode(GL_MODELVIEW);
  BeginOverlay();
  DrawTexturedQuad(red, TColorRGBA{1, 1, 1, 0.5f}, 200, 100, 400, 300);
  EndOverlay();
  const Pixel inside = ReadPixel(400, 250), outside = ReadPixel(100, 50);
  EXPECT_NEAR(inside.r, 128, 2);
  EXPECT_NEAR(inside.b, 128, 2);
  EXPECT_EQ(outside.r, 0);
  EXPECT_EQ(outside.b, 255);
  ExpectQuadTearDown();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  ExpectColor(1, 1, 1, 0.5f);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, red);
}

TEST_F(OverlayTest, AdditiveQuadAddsOntoTheFrame) {
  const int32_t green = SolidColorTexture(0x00C800);
  ClearTo(0.4f, 0.4f, 0.4f);
  DrawAdditiveQuad(green, TColorRGBA{1, 1, 1, 0.5f}, 0, 0, 800, 600);
  const Pixel p = ReadPixel(400, 300);
  EXPECT_NEAR(p.r, 102, 2);
  EXPECT_NEAR(p.g, 102 + 100, 2);
  ExpectQuadTearDown();
  ExpectColor(1, 1, 1, 0.5f);
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE);
}

TEST_F(OverlayTest, TextureQuadDrawsPlainWhiteWithColourMaterial) {
  const int32_t texture = SolidColorTexture(0x0A14FA);
  ClearTo(0, 0, 0);
  glColor4f(0.1f, 0.1f, 0.1f, 0.1f);
  DrawTextureQuad(texture, 0, 0, 800, 600);
  const Pixel p = ReadPixel(10, 590);
  EXPECT_EQ(p.g, 20);
  EXPECT_EQ(p.b, 250);
  ExpectQuadTearDown();
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  glDisable(GL_COLOR_MATERIAL);
  ExpectColor(1, 1, 1, 1);
}

TEST_F(OverlayTest, ColorQuadRestoresEveryAttribute) {
  ClearTo(0, 0, 0);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ZERO);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
  DrawColorQuad(TColorRGBA{1, 0, 0, 0.5f}, 0, 0, 400, 600);
  EXPECT_NEAR(ReadPixel(100, 300).r, 128, 2);
  EXPECT_EQ(ReadPixel(500, 300).r, 0);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  GLint src = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  EXPECT_EQ(src, GL_ONE);
  ExpectColor(0.25f, 0.5f, 0.75f, 1.0f);
  ExpectShowPerspective();  // only the projection stays changed

  // An invisible quad gives everything back as well, and the next drawing
  // still takes the colour that was current before it.
  DrawColorQuad(TColorRGBA{1, 0, 0, 0}, 0, 0, 400, 600);
  ExpectColor(0.25f, 0.5f, 0.75f, 1.0f);
  EnterOrtho();
  glBegin(GL_QUADS);
  glVertex2f(600, 0);
  glVertex2f(800, 0);
  glVertex2f(800, 600);
  glVertex2f(600, 600);
  glEnd();
  LeaveOrtho();
  EXPECT_NEAR(ReadPixel(700, 300).g, 128, 1);
  glDisable(GL_BLEND);
}

TEST_F(OverlayTest, InvisibleAndEmptyQuadsDrawNothing) {
  ClearTo(0.2f, 0.2f, 0.2f);
  DrawColorQuad(TColorRGBA{1, 1, 1, 0}, 0, 0, 800, 600);
  DrawColorQuad(TColorRGBA{1, 1, 1, -3}, 0, 0, 800, 600);  // negative opacity clamps to 0
  DrawTexturedQuad(SolidColorTexture(0xFFFFFF), TColorRGBA{1, 1, 1, 1}, 100, 100, 0, 300);
  DrawAdditiveQuad(SolidColorTexture(0xFFFFFF), TColorRGBA{1, 1, 1, 1}, 100, 100, 300, 0);
  for (const Pixel& p : {ReadPixel(100, 100), ReadPixel(200, 200), ReadPixel(400, 300)}) EXPECT_EQ(p.r, 51);
  ExpectQuadTearDown();
}

TEST_F(OverlayTest, OverlayBracketAndClearScreen) {
  glLoadIdentity();
  glTranslatef(5, 6, 7);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_GEN_S);
  BeginOverlay();
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[12], 0.0f);
  EXPECT_FLOAT_EQ(m[14], -1.0f);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));       // ResetDrawState
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EndOverlay();
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[12], 5.0f);

  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);
  ClearScreen();
  EXPECT_EQ(ReadPixel(400, 300).g, 0);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[12], 0.0f);
}

TEST_F(OverlayTest, ScreenFadeCoversTheWholeScreen) {
  ClearTo(1, 1, 1);
  DrawScreenFade(0, 0, 0, 0.75f);
  for (const Pixel& p : {ReadPixel(0, 0), ReadPixel(799, 599), ReadPixel(400, 300)}) EXPECT_NEAR(p.r, 64, 2);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[14], 0.0f);  // the bracket's modelview was popped
}

TEST_F(OverlayTest, BillboardFacesTheCamera) {
  // Under an identity modelview: the axis-aligned square centre +- size.
  TVertex up, right;
  GetBillboardAxes(up, right);
  EXPECT_FLOAT_EQ(right.x, 1.0f);
  EXPECT_FLOAT_EQ(up.y, 1.0f);
  EXPECT_FLOAT_EQ(up.x, 0.0f);
  ClearTo(0, 0, 0);
  EnterOrtho();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
  DrawBillboard(TVertex{400.0f, 300.0f, 0.0f}, 50.0f);
  EXPECT_EQ(ReadPixel(445, 345).r, 255);
  EXPECT_EQ(ReadPixel(355, 255).r, 255);
  EXPECT_EQ(ReadPixel(455, 300).r, 0);
  EXPECT_EQ(ReadPixel(400, 355).r, 0);
  // Turned 90 degrees about z: the camera's right is the object's -y.
  glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
  GetBillboardAxes(up, right);
  EXPECT_NEAR(right.y, -1.0f, 1e-6);
  EXPECT_NEAR(up.x, 1.0f, 1e-6);
  glLoadIdentity();
  LeaveOrtho();
}

std::vector<GLfloat> CurrentTexCoord() {
  std::vector<GLfloat> st(4);
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, st.data());
  return st;
}

TEST_F(OverlayTest, BillboardBatchDrawsTheSingleQuadsAndLeavesTheirState) {
  // Overlapping additive glows under a turned camera, all on screen: the batch
  // is one vertex-array draw, and must add up to the same pixels as the quads
  // one by one and leave no client array behind.
  const TVertexArray centres = {{300, 250, 0}, {320, 260, 0}, {500, 400, 0}, {505, 402, 0}, {100, 500, 0}};
  auto draw = [&](bool batch) {
    ClearTo(0, 0, 0);
    EnterOrtho();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1, 1, 1, 0.2f);
    glTranslatef(400, 300, 0);
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(-400, -300, 0);
    glTexCoord2f(5, 5);
    if (batch) {
      DrawBillboards(centres, 40.0f);
    } else {
      for (const TVertex& centre : centres) DrawBillboard(centre, 40.0f);
    }
    const std::vector<GLfloat> texCoord = CurrentTexCoord();
    glLoadIdentity();
    LeaveOrtho();
    glDisable(GL_BLEND);
    return std::pair{ReadFrame(), texCoord};
  };
  const auto single = draw(false);
  const auto batch = draw(true);
  EXPECT_EQ(batch.first, single.first);
  EXPECT_NE(std::count(single.first.begin(), single.first.end(), 0), static_cast<long>(single.first.size()));
  EXPECT_EQ(batch.second, single.second);
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(OverlayTest, InvisibleLayersSkipTheFillButMatchTheirLiteralFormPixelForPixel) {
  const int32_t white = SolidColorTexture(0xFFFFFF);
  DrawBusyBackground();
  const std::vector<uint8_t> background = ReadFrame();

  // The literal fills the routines skip: a layer at alpha 0 under each blend
  // they use leaves this renderer's frame bit for bit as it was.
  for (GLenum destination : {GL_ONE_MINUS_SRC_ALPHA, GL_ONE}) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, destination);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(white));
    glColor4f(1, 1, 1, 0);
    FullScreenPicture(1, 1);
    EXPECT_EQ(ReadFrame(), background) << "blend destination " << destination;
  }

  DrawColorQuad(TColorRGBA{1, 1, 1, 0}, 0, 0, 800, 600);
  DrawColorQuad(TColorRGBA{1, 0, 0, -2}, 0, 0, 800, 600);
  glTexCoord2f(5, 5);
  DrawTexturedQuad(white, TColorRGBA{1, 1, 1, 0}, 0, 0, 800, 600);
  const std::vector<GLfloat> afterInvisible = CurrentTexCoord();
  glTexCoord2f(5, 5);
  DrawAdditiveQuad(white, TColorRGBA{1, 1, 1, -0.5f}, 0, 0, 800, 600);
  EXPECT_EQ(ReadFrame(), background);
  ExpectQuadTearDown();
  ExpectColor(1, 1, 1, -0.5f);

  // The texture coordinate is left where a visible layer leaves it.
  glTexCoord2f(5, 5);
  DrawAdditiveQuad(white, TColorRGBA{1, 1, 1, 0.01f}, 0, 0, 1, 1);
  EXPECT_EQ(CurrentTexCoord(), afterInvisible);
  EXPECT_EQ(afterInvisible, (std::vector<GLfloat>{0, 1, 0, 1}));
}

TEST_F(OverlayTest, BatchedBillboardsDrawTheFrameOfOneQuadEach) {
  // A turned camera and a picture blended over where sprites overlap: the
  // frame depends on every corner and on the order of the quads.
  const int32_t glow = PatternTexture(32, [](int x, int y) {
    const int d = std::max(0, 255 - 16 * (std::abs(x - 16) + std::abs(y - 16)));
    return static_cast<uint32_t>(d * 0x010101 & 0xFFC0FF);
  });
  TVertexArray centres;
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
  };
  for (int i = 0; i < 600; ++i) centres.push_back(TVertex{60 * next(), 40 * next(), 60 * next()});
  auto drawWith = [&](auto draw) {
    ClearTo(0, 0, 0);
    glLoadIdentity();
    glTranslatef(0, 0, -90);
    glRotatef(35, 1, 0.5f, 0.2f);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(glow));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 0.3f);
    draw();
    glDisable(GL_BLEND);
    return std::make_pair(ReadFrame(), CurrentTexCoord());
  };
  const auto literal = drawWith([&] {
    for (const TVertex& c : centres) DrawBillboard(c, 3.0f);
  });
  const auto batched = drawWith([&] { DrawBillboards(centres, 3.0f); });
  const auto lit = std::count_if(literal.first.begin(), literal.first.end(), [](uint8_t v) { return v > 0; });
  EXPECT_GT(lit, 100000);  // the sprites cover a good part of the frame
  EXPECT_TRUE(literal.first == batched.first) << "batched billboards differ from one quad each";
  EXPECT_EQ(literal.second, batched.second);

  // No centres: nothing drawn and no GL error.
  const auto none = drawWith([] { DrawBillboards(TVertexArray{}, 3.0f); });
  EXPECT_EQ(std::count(none.first.begin(), none.first.end(), 0), 800 * 600 * 3);
  glLoadIdentity();
}

// A size x size picture of noise, mipmapped like a loaded JPEG (level 0 nearest
// mipmap) or TGA (linear between mipmaps), so any sampling change would show.
int32_t NoisePicture(int32_t size, bool likeTga, uint32_t seed) {
  const std::vector<uint8_t> rgba = TestRandom{seed}.Bytes(static_cast<size_t>(size) * size * 4);
  return static_cast<int32_t>(likeTga ? CreateTGATexture(size, size, GL_RGBA, rgba.data())
                                      : CreateTexture(size, size, GL_RGBA, rgba.data()));
}

GLint BoundMinFilter() {
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  return filter;
}

// One textured quad of w x h screen units at the screen centre, turned by
// `degrees`, showing a uSpan x vSpan part of the bound picture, added at a
// quarter strength over a grey frame; the frame it gives.
std::vector<uint8_t> DrawTurnedQuad(float uSpan, float vSpan, float w, float h, float degrees, bool fullSize) {
  glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor4f(1, 1, 1, 0.25f);
  EnterOrtho();
  glLoadIdentity();
  glTranslatef(400, 300, 0);
  glRotatef(degrees, 0, 0, 1);
  {
    const std::optional<TFullSizeSampling> sampling =
        fullSize ? std::optional<TFullSizeSampling>(std::in_place, uSpan, vSpan, w, h) : std::nullopt;
    glBegin(GL_QUADS);
    glTexCoord2f(0.3f, 0.1f);
    glVertex2f(-w / 2, -h / 2);
    glTexCoord2f(0.3f + uSpan, 0.1f);
    glVertex2f(w / 2, -h / 2);
    glTexCoord2f(0.3f + uSpan, 0.1f + vSpan);
    glVertex2f(w / 2, h / 2);
    glTexCoord2f(0.3f, 0.1f + vSpan);
    glVertex2f(-w / 2, h / 2);
    glEnd();
  }
  glLoadIdentity();
  LeaveOrtho();
  glDisable(GL_BLEND);
  return ReadFrame();
}

TEST_F(OverlayTest, FullSizeSamplingDrawsEveryQuadItAppliesToPixelForPixel) {
  struct Case {
    const char* what;
    bool likeTga;
    int viewport;  // 0: the window; else a square in the corner
    float uSpan, vSpan, w, h, degrees;
  };
  const Case cases[] = {
      {"picture over the whole screen", false, 0, 1, 1, 800, 600, 0},
      {"TGA over the whole screen", true, 0, 1, 1, 800, 600, 0},
      {"a scrolled half of a wide band", false, 0, 0.5f, 1, 800, 360, 0},
      {"the square viewport one to one, turned", false, 512, 1, 1, 800, 600, 0.1f},
      {"TGA one to one, turned", true, 512, 1, 1, 800, 600, 0.075f},
      {"one to one, enlarged", false, 512, 1, 1, 800.6f, 600.6f, 0.05f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int32_t picture = NoisePicture(512, c.likeTga, 7);
    const GLint filter = BoundMinFilter();
    if (c.viewport > 0) glViewport(0, 0, c.viewport, c.viewport);
    const std::vector<uint8_t> literal = DrawTurnedQuad(c.uSpan, c.vSpan, c.w, c.h, c.degrees, false);
    const std::vector<uint8_t> fullSize = DrawTurnedQuad(c.uSpan, c.vSpan, c.w, c.h, c.degrees, true);
    glViewport(0, 0, 800, 600);
    EXPECT_TRUE(literal == fullSize);
    EXPECT_EQ(BoundMinFilter(), filter);  // given back
    glDeleteTextures(1, reinterpret_cast<const GLuint*>(&picture));
  }
}

TEST_F(OverlayTest, FullSizeSamplingLeavesShrunkPicturesToTheirMipmaps) {
  // Drawn smaller than itself along either side, the picture needs its
  // mipmaps: the filter must stay, and the frame differs from level 0 alone.
  const int32_t picture = NoisePicture(512, false, 9);
  for (const auto& [w, h] : {std::pair{200.0f, 600.0f}, std::pair{800.0f, 500.0f}}) {
    const TFullSizeSampling sampling(1.0f, 1.0f, w, h);
    EXPECT_EQ(BoundMinFilter(), GL_LINEAR_MIPMAP_NEAREST);
  }
  const std::vector<uint8_t> withMipmaps = DrawTurnedQuad(1, 1, 200, 600, 0, true);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  EXPECT_FALSE(DrawTurnedQuad(1, 1, 200, 600, 0, false) == withMipmaps);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
  // In a 256-pixel square the 800-unit quad is 256 pixels: shrunk.
  glViewport(0, 0, 256, 256);
  {
    const TFullSizeSampling sampling(1.0f, 1.0f, 800.0f, 600.0f);
    EXPECT_EQ(BoundMinFilter(), GL_LINEAR_MIPMAP_NEAREST);
  }
  glViewport(0, 0, 800, 600);
  // A picture that failed to load has no pixels to decide by.
  glBindTexture(GL_TEXTURE_2D, 0xFFFFFFFFu);
  {
    const TFullSizeSampling sampling(1.0f, 1.0f, 800.0f, 600.0f);
    EXPECT_NE(BoundMinFilter(), GL_LINEAR);
  }
  glDeleteTextures(1, reinterpret_cast<const GLuint*>(&picture));
}

TEST_F(OverlayTest, PictureQuadsGiveTheirPicturesFiltersBack) {
  const int32_t picture = NoisePicture(512, true, 11);
  DrawTexturedQuad(picture, TColorRGBA{1, 1, 1, 0.5f}, 0, 0, 800, 600);
  DrawAdditiveQuad(picture, TColorRGBA{1, 1, 1, 0.5f}, 0, 0, 800, 600);
  DrawTextureQuad(picture, 0, 0, 800, 600);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(picture));
  EXPECT_EQ(BoundMinFilter(), GL_LINEAR_MIPMAP_LINEAR);
  glDeleteTextures(1, reinterpret_cast<const GLuint*>(&picture));
}

// --- Layers that leave out what their black cannot change ------------------

// A width x height picture of texels `rgba(x, y)` (0xRRGGBBAA), created like
// a loaded JPEG or TGA, which records its lit area.
int32_t MadePicture(int32_t width, int32_t height, bool likeTga, const std::function<uint32_t(int, int)>& rgba) {
  std::vector<uint8_t> bytes;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = rgba(x, y);
      bytes.insert(bytes.end(), {uint8_t(c >> 24), uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
  }
  return static_cast<int32_t>(likeTga ? CreateTGATexture(width, height, GL_RGBA, bytes.data())
                                      : CreateTexture(width, height, GL_RGBA, bytes.data()));
}

// Noise where `lit` holds, black (with alpha from the noise too) elsewhere.
std::function<uint32_t(int, int)> NoiseWhere(std::function<bool(int, int)> lit) {
  return [lit](int x, int y) {
    const uint32_t noise = (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u * 65537u);
    return lit(x, y) ? noise : noise & 0xFFu;
  };
}

// What a layer leaves behind besides the frame: the scissor and where the
// texture coordinate ends.
struct LayerTrace {
  std::vector<uint8_t> frame;
  bool scissorTest;
  std::vector<GLint> scissorBox;
  std::vector<GLfloat> texCoord;
  bool operator==(const LayerTrace&) const = default;
};

LayerTrace DrawLayerOverBusyFrame(const std::function<void()>& layer) {
  DrawBusyBackground();
  glTexCoord2f(5, 5);
  layer();
  LayerTrace trace{ReadFrame(), glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE, std::vector<GLint>(4), CurrentTexCoord()};
  glGetIntegerv(GL_SCISSOR_BOX, trace.scissorBox.data());
  return trace;
}

// The picture quad of the section-3 layers under their additive state.
void AdditivePictureLayer(int32_t picture, float alpha, const TPictureQuad& quad) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor4f(1, 1, 1, alpha);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(picture));
  EnterOrtho();
  {
    const TFullSizeSampling fullSize(quad.u1 - quad.u0, quad.v1 - quad.v0, quad.x1 - quad.x0, quad.y1 - quad.y0);
    EmitPictureQuad(quad);
  }
  LeaveOrtho();
  glDisable(GL_BLEND);
}

// Which pixels of two frames differ.
std::vector<bool> Changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::vector<bool> changed(a.size() / 4);
  for (size_t k = 0; k < a.size(); ++k) changed[k / 4] = changed[k / 4] || a[k] != b[k];
  return changed;
}

TEST_F(OverlayTest, AddedPicturesLeaveOutOnlyPixelsTheirBlackCannotChange) {
  struct Case {
    const char* what;
    int32_t width, height;
    bool likeTga, clamp;
    float leftOut;  // at least this share of the quad's pixels is not filled
    std::function<bool(int, int)> lit;
    std::function<void(int32_t picture)> layer;
  };
  const auto frameLines = [](int size) {
    return [size](int x, int y) { return std::min({x, y, size - 1 - x, size - 1 - y}) < 90; };
  };
  const Case cases[] = {
      {"a frame over the whole screen", 512, 512, true, false, 0.3f, frameLines(512),
       [](int32_t p) { DrawAdditiveQuad(p, TColorRGBA{1, 1, 1, 0.2f}, 0, 0, 800, 600); }},
      {"a shrunk title with its mipmaps", 1024, 1024, false, false, 0.5f,
       [](int x, int y) { return y >= 304 && y < 672 && x > 90 && x < 990; },
       [](int32_t p) { DrawAdditiveQuad(p, TColorRGBA{1, 0.5f, 1, 1}, 0, 0, 800, 600); }},
      {"a title partly off the screen", 1024, 1024, false, false, 0.4f,
       [](int x, int y) { return y >= 304 && y < 672 && x > 90 && x < 990; },
       [](int32_t p) { DrawAdditiveQuad(p, TColorRGBA{1, 1, 1, 0.7f}, -130, 250, 500, 500); }},
      {"a clamped frame pushed in", 512, 512, true, true, 0.3f, frameLines(512),
       [](int32_t p) { AdditivePictureLayer(p, 0.2f, {3.7f, 3.7f, 800, 600, 0, 0, 1, 1}); }},
      {"half a band, scrolled", 1024, 256, false, false, 0.2f,
       [](int x, int y) { return y >= 32 && y < 224 && x % 300 > 40; },
       [](int32_t p) { AdditivePictureLayer(p, 0.8f, {0, 120, 800, 480, 0.37f, 0, 0.87f, 1}); }},
      {"half a band across the seam", 1024, 256, false, false, 0.2f,
       [](int x, int y) { return y >= 32 && y < 224 && x % 300 > 40; },
       [](int32_t p) { AdditivePictureLayer(p, 0.8f, {0, 120, 800, 480, 2.73f, 0, 3.23f, 1}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetTextureClamp(c.clamp);
    const int32_t picture = MadePicture(c.width, c.height, c.likeTga, NoiseWhere(c.lit));
    // A white twin under the picture's record shows which pixels are filled.
    const int32_t twin = MadePicture(c.width, c.height, c.likeTga, [](int, int) { return 0xFFFFFFFFu; });
    SetTextureClamp(false);
    ASSERT_NE(RecordedLitArea(static_cast<uint32_t>(picture)), nullptr);
    const TLitArea area = *RecordedLitArea(static_cast<uint32_t>(picture));

    const LayerTrace leftOut = DrawLayerOverBusyFrame([&] { c.layer(picture); });
    ForgetLitArea(static_cast<uint32_t>(picture));
    const LayerTrace literal = DrawLayerOverBusyFrame([&] { c.layer(picture); });
    EXPECT_TRUE(leftOut == literal);

    const std::vector<bool> changedByPicture = Changed(DrawLayerOverBusyFrame([] {}).frame, literal.frame);
    const std::vector<uint8_t> background = DrawLayerOverBusyFrame([] {}).frame;
    const std::vector<bool> wholeQuad = Changed(background, DrawLayerOverBusyFrame([&] { c.layer(twin); }).frame);
    RecordLitArea(static_cast<uint32_t>(twin), area);
    const std::vector<bool> filled = Changed(background, DrawLayerOverBusyFrame([&] { c.layer(twin); }).frame);
    size_t changedCount = 0, filledCount = 0, quadCount = 0, missed = 0;
    for (size_t k = 0; k < filled.size(); ++k) {
      changedCount += changedByPicture[k];
      filledCount += filled[k];
      quadCount += wholeQuad[k];
      missed += changedByPicture[k] && !filled[k];
    }
    EXPECT_EQ(missed, 0u);
    EXPECT_GT(changedCount, 0u);
    EXPECT_LT(static_cast<double>(filledCount), (1.0 - c.leftOut) * static_cast<double>(quadCount));
    for (int32_t texture : {picture, twin}) glDeleteTextures(1, reinterpret_cast<const GLuint*>(&texture));
  }
}

TEST_F(OverlayTest, OnlyLayersThatAddTheirPictureLeaveItsBlackOut) {
  // A white picture recorded as lit only in its middle quarter: wherever the
  // fill is left out, its right part stays black on the screen.
  SetTextureClamp(true);
  const int32_t white = PatternTexture(64, [](int, int) { return 0xFFFFFFu; });
  SetTextureClamp(false);
  RecordLitArea(static_cast<uint32_t>(white), TLitArea{64, 64, {24, 0, 40, 64}, {}});
  const auto rightPartDrawn = [&](const std::function<void()>& setUp) {
    ClearTo(0, 0, 0);
    BeginOverlay();
    setUp();
    DrawAdditiveQuad(white, TColorRGBA{1, 1, 1, 1}, 0, 0, 800, 600);
    EndOverlay();
    glDisable(GL_FOG);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return ReadPixel(600, 300).r != 0;
  };
  EXPECT_FALSE(rightPartDrawn([] {}));
  EXPECT_NE(ReadPixel(400, 300).r, 0);
  EXPECT_TRUE(rightPartDrawn([] { glEnable(GL_FOG); })) << "fog colours black";
  EXPECT_TRUE(rightPartDrawn([] {
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0);
  })) << "black still writes the stencil";
  EXPECT_TRUE(rightPartDrawn([] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD); })) << "black adds the colour";
  EXPECT_TRUE(rightPartDrawn([] { glRotatef(0.5f, 0, 0, 1); })) << "a turned quad";
  EXPECT_TRUE(rightPartDrawn([] {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 800, 600);
  })) << "the caller's scissor";
  // Blending over the frame, black darkens it.
  ClearTo(0.5f, 0.5f, 0.5f);
  DrawTexturedQuad(white, TColorRGBA{1, 1, 1, 1}, 0, 0, 800, 600);
  EXPECT_EQ(ReadPixel(600, 300).r, 255);
  glDeleteTextures(1, reinterpret_cast<const GLuint*>(&white));
}

}  // namespace
