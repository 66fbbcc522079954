// The eight ring sprites: glowing symbols on black, one hue each, fading to
// black before the sprite's edge.

#include <cmath>
#include <numbers>

#include "tools/generate/picture_art.h"
#include "tools/generate/picture_ops.h"

namespace {

constexpr int kSize = 256;  // designed

// How much of the pixel at (x, y) (0.01 / detail units wide) lies inside the
// heart curve (x^2 + y^2 - 1)^3 = x^2 y^3 scaled by `scale`: 4 x 4 samples,
// since the curve's implicit value is far from a distance near its cusps.
float HeartCoverage(float x, float y, float scale, int detail) {
  const float step = 0.0025f / static_cast<float>(detail);
  int inside = 0;
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      const float hx = (x + (static_cast<float>(sx) - 1.5f) * step) / (0.78f * scale);
      const float hy = (y + (static_cast<float>(sy) - 1.5f) * step) / (0.78f * scale) + 0.15f;
      const float q = hx * hx + hy * hy - 1.0f;
      inside += q * q * q - hx * hx * hy * hy * hy <= 0.0f;
    }
  }
  return static_cast<float>(inside) / 16.0f;
}

// Coverage of symbol k at (x, y), in units where the sprite spans -1.28..1.28
// and y points up: 1 inside the stroke or shape, 0 outside, soft over about
// a pixel of the sprite at `detail`.
float Symbol(int k, float x, float y, int detail) {
  const float r = std::hypot(x, y), a = std::atan2(y, x);
  const float sharpness = 60.0f * static_cast<float>(detail);
  auto soft = [sharpness](float distance) { return std::clamp(0.5f - distance * sharpness, 0.0f, 1.0f); };
  switch (k) {
    case 1:  // heart: an outline around a dimmer filling
      return std::max(HeartCoverage(x, y, 1.0f, detail) - HeartCoverage(x, y, 0.86f, detail),
                      HeartCoverage(x, y, 0.55f, detail) * 0.6f);
    case 2: {  // five-pointed star
      const float edge = 0.35f + 0.5f * std::pow(std::abs(std::cos(2.5f * (a - std::numbers::pi_v<float> / 2.0f))), 6.0f);
      return soft(r - edge);
    }
    case 3:  // halo ring with a bright pearl in the middle
      return std::max(soft(std::abs(r - 0.7f) - 0.06f), soft(r - 0.15f));
    case 4: {  // rosette: six petals, outlined
      const float edge = 0.55f + 0.3f * std::cos(6.0f * a);
      return std::max(soft(std::abs(r - edge) - 0.035f), soft(r - 0.18f));
    }
    case 5: {  // three-armed spiral
      const float arm = std::fmod(a / (2.0f * std::numbers::pi_v<float>) * 3.0f + r * 2.2f + 30.0f, 1.0f);
      return r < 0.95f ? soft((std::abs(arm - 0.5f) - 0.12f) * 0.5f) * std::min(1.0f, r * 6.0f) : 0.0f;
    }
    case 6: {  // diamond in a diamond
      const float d = std::abs(x) + std::abs(y);
      return std::max(soft(std::abs(d - 0.85f) - 0.05f), soft(d - 0.35f));
    }
    case 7: {  // sunburst
      const float rays = std::pow(std::abs(std::cos(8.0f * a)), 30.0f) * std::clamp(1.0f - r, 0.0f, 1.0f);
      return std::max(std::min(1.0f, rays * 2.0f), soft(r - 0.25f));
    }
    default: {  // lemniscate, an endless loop
      const float s2 = x * x + y * y;
      const float f = s2 * s2 - 2.0f * 0.55f * (x * x - y * y);
      return soft(std::abs(f) - 0.05f) * (r < 1.1f ? 1.0f : 0.0f);
    }
  }
}

const TRGB kHues[8] = {{1.0f, 0.25f, 0.45f}, {1.0f, 0.8f, 0.3f}, {0.3f, 0.9f, 1.0f}, {1.0f, 0.3f, 0.9f},
                       {0.4f, 1.0f, 0.5f},   {0.35f, 0.5f, 1.0f}, {1.0f, 0.55f, 0.2f}, {0.7f, 0.4f, 1.0f}};

}  // namespace

std::vector<uint8_t> MakeRingSprite(int k, int detail) {
  const float D = static_cast<float>(detail);
  // Pixel centres in designed pixels from the sprite's top left corner.
  auto centre = [D](float p) { return (p + 0.5f) / D; };
  const TField shape = Generate(kSize * detail, kSize * detail, [&](float x, float y) {
    return Symbol(k, (centre(x) - 128.0f) / 100.0f, (128.0f - centre(y)) / 100.0f, detail);
  });
  const TRGB hue = kHues[(k - 1) & 7];
  TCanvas canvas(kSize * detail, kSize * detail);
  AddLight(canvas, Blur(shape, 22.0f * D), hue, 1.8f);
  AddLight(canvas, Blur(shape, 5.0f * D), hue, 1.0f);
  AddLight(canvas, shape, {0.5f + hue.r * 0.5f, 0.5f + hue.g * 0.5f, 0.5f + hue.b * 0.5f}, 1.0f);
  // Black at the border: the sprite's quad edges must not show.
  Shade(canvas, Generate(kSize * detail, kSize * detail, [&](float x, float y) {
    const float r = std::hypot(centre(x) - 128.0f, centre(y) - 128.0f);
    return std::clamp((127.0f - r) / 16.0f, 0.0f, 1.0f);
  }));
  ToneMap(canvas, 1.4f);
  return EncodePictureJPEG(canvas, detail);
}
