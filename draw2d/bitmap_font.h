// Bitmap font text: a system font turned into a table of 128 display lists,
// one glBitmap per character code 0..127, drawn at the raster position.
#pragma once

#include <cstdint>
#include <string>

// Glyphs in a table: the character codes 0..127.
constexpr int32_t kFontGlyphs = 128;

// First display list of the current glyph table (glyph c is FontBase + c);
// 0 until a table is built.
extern int32_t FontBase;

// Reserves kFontGlyphs display lists, stores the first in FontBase and fills them
// with the glyphs of the system font matching `face` (through fontconfig) at
// `height` pixels per em, bold or regular. Characters the font lacks, and
// every glyph when no font file can be opened, get empty lists. Returns FontBase.
int32_t BuildFont(const std::string& face, int32_t height, bool bold);
// Makes `base` the current glyph table.
void SetFontBase(int32_t base);

// Draws `text` with the current table from (x, y) in the current projection's
// coordinates, in the current colour; codes 128 and above are skipped.
void DrawFontText(float x, float y, const std::string& text);
