// Bitmap font: fontconfig finds the font file, FreeType renders each glyph
// as a 1-bit bitmap, and each bitmap becomes one display list of glBitmap.

#include "draw2d/bitmap_font.h"

#include <GL/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "platform/font_file.h"

int32_t FontBase = 0;

namespace {


// Compiles glyph `slot` into the open display list: glBitmap rows run
// bottom-up, most significant bit first, byte-aligned.
void CompileGlyph(const FT_GlyphSlot slot) {
  const FT_Bitmap& bitmap = slot->bitmap;
  const int width = static_cast<int>(bitmap.width);
  const int rows = static_cast<int>(bitmap.rows);
  const int rowBytes = (width + 7) / 8;
  std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * rows + 1, 0);
  for (int y = 0; y < rows; ++y) {
    const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    GLubyte* dst = bits.data() + static_cast<size_t>(rows - 1 - y) * rowBytes;
    for (int x = 0; x < width; ++x) {
      const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (src[x / 8] >> (7 - x % 8)) & 1 : src[x] >= 128;
      if (on) dst[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
    }
  }
  // The origin sits on the baseline: the bitmap's lower-left corner is
  // rows - top pixels below it and `left` pixels to the right.
  glBitmap(width, rows, static_cast<GLfloat>(-slot->bitmap_left), static_cast<GLfloat>(rows - slot->bitmap_top),
           static_cast<GLfloat>(slot->advance.x) / 64.0f, 0.0f, bits.data());
}

void FillGlyphLists(GLuint base, const std::string& file, int32_t height) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return;
  FT_Face face = nullptr;
  if (!file.empty() && FT_New_Face(library, file.c_str(), 0, &face) == 0) {
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height > 0 ? height : 1));
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // glBitmap rows are byte-aligned here
    for (int32_t c = 0; c < kFontGlyphs; ++c) {
      const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
      if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
      glNewList(base + c, GL_COMPILE);
      CompileGlyph(face->glyph);
      glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
}

}  // namespace

int32_t BuildFont(const std::string& face, int32_t height, bool bold) {
  const GLuint base = glGenLists(kFontGlyphs);
  FontBase = static_cast<int32_t>(base);
  // Every list of the table exists, even for characters without a glyph.
  for (int32_t c = 0; c < kFontGlyphs; ++c) {
    glNewList(base + c, GL_COMPILE);
    glEndList();
  }
  FillGlyphLists(base, FindFontFile(face, bold), height);
  return FontBase;
}

void SetFontBase(int32_t base) { FontBase = base; }

void DrawFontText(float x, float y, const std::string& text) {
  std::vector<GLubyte> codes;
  for (unsigned char c : text) {
    if (c < kFontGlyphs) codes.push_back(c);
  }
  glRasterPos2f(x, y);
  glListBase(static_cast<GLuint>(FontBase));
  glCallLists(static_cast<GLsizei>(codes.size()), GL_UNSIGNED_BYTE, codes.data());
  glListBase(0);
}
