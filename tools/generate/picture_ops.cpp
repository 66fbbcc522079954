// Picture operations for the generated art: field generators, filters and
// the canvas they are coloured onto.

#include "tools/generate/picture_ops.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/font_file.h"

namespace {

// Integer hash of a lattice point: the noise's random value there, 0..1.
float LatticeValue(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float SmoothStep(float t) { return t * t * (3.0f - 2.0f * t); }

// One octave of value noise with `cells` cells over [0, 1) and wrapping.
float ValueNoise(float u, float v, int cells, uint32_t seed) {
  const float x = u * static_cast<float>(cells), y = v * static_cast<float>(cells);
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = SmoothStep(x - static_cast<float>(x0)), fy = SmoothStep(y - static_cast<float>(y0));
  auto wrap = [cells](int k) { return ((k % cells) + cells) % cells; };
  const float a = LatticeValue(wrap(x0), wrap(y0), seed), b = LatticeValue(wrap(x0 + 1), wrap(y0), seed);
  const float c = LatticeValue(wrap(x0), wrap(y0 + 1), seed), d = LatticeValue(wrap(x0 + 1), wrap(y0 + 1), seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// One box-blur pass of half-width r along a line of n values with stride s.
void BoxPass(const float* in, float* out, int n, size_t stride, int r, bool wrap) {
  auto get = [&](int k) {
    if (wrap) k = ((k % n) + n) % n;
    else k = std::clamp(k, 0, n - 1);
    return in[static_cast<size_t>(k) * stride];
  };
  double sum = 0.0;
  for (int k = -r; k <= r; ++k) sum += get(k);
  const double scale = 1.0 / (2 * r + 1);
  for (int k = 0; k < n; ++k) {
    out[static_cast<size_t>(k) * stride] = static_cast<float>(sum * scale);
    sum += get(k + r + 1) - get(k - r);
  }
}

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

}  // namespace

TField::TField(int width, int height, float value)
    : Width(width), Height(height), V(static_cast<size_t>(width) * height, value) {}

float TField::SampleWrapped(float x, float y) const {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
  auto at = [this](int px, int py) {
    return At(((px % Width) + Width) % Width, ((py % Height) + Height) % Height);
  };
  const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

TRGB TPalette::At(float position) const {
  if (stops.empty()) return {};
  if (position <= stops.front().position) return stops.front().color;
  for (size_t k = 1; k < stops.size(); ++k) {
    if (position <= stops[k].position) {
      const Stop& a = stops[k - 1];
      const Stop& b = stops[k];
      const float t = (position - a.position) / std::max(b.position - a.position, 1e-6f);
      return {a.color.r + (b.color.r - a.color.r) * t, a.color.g + (b.color.g - a.color.g) * t,
              a.color.b + (b.color.b - a.color.b) * t};
    }
  }
  return stops.back().color;
}

TCanvas::TCanvas(int width, int height, TRGB fill, float alpha)
    : Width(width), Height(height), Px(static_cast<size_t>(width) * height * 4) {
  for (size_t k = 0; k < Px.size(); k += 4) {
    Px[k] = fill.r;
    Px[k + 1] = fill.g;
    Px[k + 2] = fill.b;
    Px[k + 3] = alpha;
  }
}

float DesignedCoordinate(int p, int detail) {
  return (static_cast<float>(p) + 0.5f) / static_cast<float>(detail) - 0.5f;
}

TField GenerateDesigned(int width, int height, int detail, const std::function<float(float, float)>& f) {
  TField field(width * detail, height * detail);
  for (int y = 0; y < field.Height; ++y) {
    const float designedY = DesignedCoordinate(y, detail);
    for (int x = 0; x < field.Width; ++x) field.At(x, y) = f(DesignedCoordinate(x, detail), designedY);
  }
  return field;
}

float SharpenEdge(float value, int detail) {
  if (detail == 1) return value;
  return Clamp01((value - 0.5f) * static_cast<float>(detail) + 0.5f);
}

TField Generate(int width, int height, const std::function<float(float, float)>& f) {
  TField field(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) field.At(x, y) = f(static_cast<float>(x), static_cast<float>(y));
  }
  return field;
}

TField Noise(int width, int height, int cells, int octaves, uint32_t seed) {
  float total = 0.0f;
  for (int o = 0; o < octaves; ++o) total += std::ldexp(1.0f, -o);
  return Generate(width, height, [&](float x, float y) {
    const float u = x / static_cast<float>(width), v = y / static_cast<float>(height);
    float sum = 0.0f;
    for (int o = 0; o < octaves; ++o) sum += ValueNoise(u, v, cells << o, seed + 7919u * o) * std::ldexp(1.0f, -o);
    return sum / total;
  });
}

TField Glow(int width, int height, float cx, float cy, float rx, float ry, float exponent) {
  return Generate(width, height, [=](float x, float y) {
    const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
    const float d = std::sqrt(dx * dx + dy * dy);
    return d >= 1.0f ? 0.0f : std::pow(1.0f - d, exponent);
  });
}

TField Text(int width, int height, const std::string& text, const std::string& fontPattern, bool bold,
            float pixelHeight, float xScale, float cx, float cy, float tracking) {
  TField field(width, height);
  const std::string file = FindFontFile(fontPattern, bold);
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType cannot start");
  FT_Face face = nullptr;
  if (file.empty() || FT_New_Face(library, file.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(library);
    throw std::runtime_error("no font for " + fontPattern);
  }
  FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(std::lround(pixelHeight * xScale)),
                     static_cast<FT_UInt>(std::lround(pixelHeight)));
  // Two passes over the string: the first measures its ink box, the second
  // places the glyphs so that the box is centred on (cx, cy).
  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
  for (int pass = 0; pass < 2; ++pass) {
    const float offsetX = pass == 0 ? 0.0f : cx - (minX + maxX) / 2.0f;
    const float offsetY = pass == 0 ? 0.0f : cy - (minY + maxY) / 2.0f;
    float penX = 0.0f;
    for (unsigned char c : text) {
      if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
      const FT_GlyphSlot g = face->glyph;
      const float left = penX + static_cast<float>(g->bitmap_left);
      const float top = -static_cast<float>(g->bitmap_top);  // baseline at y = 0, y down
      if (g->bitmap.width > 0 && g->bitmap.rows > 0) {
        if (pass == 0) {
          minX = std::min(minX, left);
          maxX = std::max(maxX, left + static_cast<float>(g->bitmap.width));
          minY = std::min(minY, top);
          maxY = std::max(maxY, top + static_cast<float>(g->bitmap.rows));
        } else {
          const int x0 = static_cast<int>(std::lround(left + offsetX));
          const int y0 = static_cast<int>(std::lround(top + offsetY));
          for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
              const int x = x0 + static_cast<int>(col), y = y0 + static_cast<int>(row);
              if (x < 0 || y < 0 || x >= width || y >= height) continue;
              const float a = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
              field.At(x, y) = std::max(field.At(x, y), a);
            }
          }
        }
      }
      penX += static_cast<float>(g->advance.x) / 64.0f + tracking;
    }
    if (maxX < minX) break;  // nothing visible
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return field;
}

TField Blur(const TField& field, float radius, bool wrap) {
  const int r = std::max(1, static_cast<int>(std::lround(radius / 1.7f)));  // three passes of r ~ one sigma
  TField a = field, b = field;
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < a.Height; ++y) BoxPass(&a.At(0, y), &b.At(0, y), a.Width, 1, r, wrap);
    for (int x = 0; x < a.Width; ++x) BoxPass(&b.At(x, 0), &a.At(x, 0), a.Height, a.Width, r, wrap);
  }
  return a;
}

TField Map(const TField& field, const std::function<float(float)>& f) {
  TField out = field;
  for (float& v : out.V) v = f(v);
  return out;
}

TField Combine(const TField& a, const TField& b, const std::function<float(float, float)>& f) {
  TField out = a;
  for (size_t k = 0; k < out.V.size(); ++k) out.V[k] = f(a.V[k], b.V[k]);
  return out;
}

TField Warp(const TField& field, const TField& dx, const TField& dy, float strength) {
  TField out(field.Width, field.Height);
  for (int y = 0; y < field.Height; ++y) {
    for (int x = 0; x < field.Width; ++x) {
      const float sx = static_cast<float>(x) + (dx.At(x, y) - 0.5f) * strength;
      const float sy = static_cast<float>(y) + (dy.At(x, y) - 0.5f) * strength;
      out.At(x, y) = field.SampleWrapped(sx, sy);
    }
  }
  return out;
}

void AddLight(TCanvas& canvas, const TField& field, TRGB color, float gain) {
  for (size_t k = 0; k < field.V.size(); ++k) {
    const float v = field.V[k] * gain;
    canvas.Px[k * 4] += v * color.r;
    canvas.Px[k * 4 + 1] += v * color.g;
    canvas.Px[k * 4 + 2] += v * color.b;
  }
}

void AddGlowingText(TCanvas& canvas, const TField& text, TRGB core, TRGB nearGlow, TRGB farGlow, float spread) {
  AddLight(canvas, Blur(text, spread * 4.0f), farGlow, 1.6f);
  AddLight(canvas, Blur(text, spread), nearGlow, 1.2f);
  AddLight(canvas, text, core, 1.0f);
}

void AddPalette(TCanvas& canvas, const TField& field, const TPalette& palette, float gain) {
  for (size_t k = 0; k < field.V.size(); ++k) {
    const TRGB c = palette.At(field.V[k]);
    canvas.Px[k * 4] += c.r * gain;
    canvas.Px[k * 4 + 1] += c.g * gain;
    canvas.Px[k * 4 + 2] += c.b * gain;
  }
}

void PaintPalette(TCanvas& canvas, const TField& field, const TPalette& palette) {
  for (size_t k = 0; k < field.V.size(); ++k) {
    const TRGB c = palette.At(field.V[k]);
    canvas.Px[k * 4] = c.r;
    canvas.Px[k * 4 + 1] = c.g;
    canvas.Px[k * 4 + 2] = c.b;
  }
}

void Shade(TCanvas& canvas, const TField& field) {
  for (size_t k = 0; k < field.V.size(); ++k) {
    for (int c = 0; c < 3; ++c) canvas.Px[k * 4 + c] *= field.V[k];
  }
}

void PaintOver(TCanvas& canvas, const TField& field, TRGB color) {
  for (size_t k = 0; k < field.V.size(); ++k) {
    const float m = Clamp01(field.V[k]);
    canvas.Px[k * 4] = canvas.Px[k * 4] * (1.0f - m) + color.r * m;
    canvas.Px[k * 4 + 1] = canvas.Px[k * 4 + 1] * (1.0f - m) + color.g * m;
    canvas.Px[k * 4 + 2] = canvas.Px[k * 4 + 2] * (1.0f - m) + color.b * m;
  }
}

void AddCanvas(TCanvas& canvas, const TCanvas& layer, float gain) {
  for (size_t k = 0; k < canvas.Px.size(); k += 4) {
    for (int c = 0; c < 3; ++c) canvas.Px[k + c] += layer.Px[k + c] * gain;
  }
}

void PaintCanvasOver(TCanvas& canvas, const TField& mask, const TCanvas& layer) {
  for (size_t k = 0; k < mask.V.size(); ++k) {
    const float m = Clamp01(mask.V[k]);
    for (int c = 0; c < 3; ++c) canvas.Px[k * 4 + c] = canvas.Px[k * 4 + c] * (1.0f - m) + layer.Px[k * 4 + c] * m;
  }
}

void SetAlpha(TCanvas& canvas, const TField& field) {
  for (size_t k = 0; k < field.V.size(); ++k) canvas.Px[k * 4 + 3] = field.V[k];
}

void ToneMap(TCanvas& canvas, float exposure) {
  for (size_t k = 0; k < canvas.Px.size(); k += 4) {
    for (int c = 0; c < 3; ++c) canvas.Px[k + c] = 1.0f - std::exp(-canvas.Px[k + c] * exposure);
  }
}

TImage ToImage(const TCanvas& canvas, bool withAlpha) {
  TImage image;
  image.Width = canvas.Width;
  image.Height = canvas.Height;
  image.BytesPerPixel = withAlpha ? 4 : 3;
  image.Pixels.reserve(static_cast<size_t>(canvas.Width) * canvas.Height * image.BytesPerPixel);
  for (int y = canvas.Height - 1; y >= 0; --y) {  // bottom row first
    for (int x = 0; x < canvas.Width; ++x) {
      const float* p = &canvas.Px[(static_cast<size_t>(y) * canvas.Width + x) * 4];
      for (int c = 0; c < image.BytesPerPixel; ++c) {
        image.Pixels.push_back(static_cast<uint8_t>(std::lround(Clamp01(p[c]) * 255.0f)));
      }
    }
  }
  return image;
}
