// 2D overlay drawing on a real GL context: what each routine draws and the
// state it leaves behind.

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "draw2d/overlay.h"
#include "runtime/OrvikGL2.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "textures/ORV2Materials.h"
#include "textures/ORV2Textures.h"

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
  const float f = 1.0f / std::tan(22.5f * 3.14159265f / 180.0f);
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
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
  for (uint8_t& byte : rgba) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(seed >> 24);
  }
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

}  // namespace
