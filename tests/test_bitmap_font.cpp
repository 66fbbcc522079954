// The bitmap font: a table of 128 display lists from the system font.

#include <GL/gl.h>

#include "draw2d/bitmap_font.h"
#include "draw2d/overlay.h"
#include "tests/gl_test_context.h"

namespace {

class BitmapFontTest : public GLTest {
 protected:
  // Number of lit pixels after drawing `text` at (20, 20) on black.
  static int LitPixels(const std::string& text) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EnterOrtho();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, 1);
    DrawFontText(20, 20, text);
    std::vector<uint8_t> pixels(200 * 40 * 4);
    glReadPixels(0, 0, 200, 40, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    LeaveOrtho();
    int lit = 0;
    for (size_t k = 0; k < pixels.size(); k += 4) lit += pixels[k] > 128;
    return lit;
  }
};

TEST_F(BitmapFontTest, BuildsOneListPerCharacterCodeAndDrawsText) {
  const int32_t base = BuildFont("Arial", 12, true);
  EXPECT_GT(base, 0);
  EXPECT_EQ(FontBase, base);
  for (int c : {0, int('A'), 127}) EXPECT_TRUE(glIsList(static_cast<GLuint>(base + c))) << c;
  const int text = LitPixels("VELORIA");
  EXPECT_GT(text, 60);
  EXPECT_EQ(LitPixels(" "), 0);
  // A second table moves FontBase; the first stays usable through SetFontBase.
  const int32_t regular = BuildFont("Arial", 12, false);
  EXPECT_NE(regular, base);
  EXPECT_EQ(FontBase, regular);
  EXPECT_LT(LitPixels("VELORIA"), text);  // regular strokes are thinner than bold
  SetFontBase(base);
  EXPECT_EQ(LitPixels("VELORIA"), text);
}

TEST_F(BitmapFontTest, UnknownFaceStillFillsTheTable) {
  // fontconfig always offers its closest match, so text still shows.
  const int32_t base = BuildFont("No Such Face 123", 16, false);
  EXPECT_TRUE(glIsList(static_cast<GLuint>(base + 'x')));
  EXPECT_GT(LitPixels("xyz"), 10);
}

}  // namespace
