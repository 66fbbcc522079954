// The surface textures: glow sprite, sphere environment map, heart surface,
// scrolling band and strip, the frame overlay and the small emblem.

#include <cmath>
#include <numbers>

#include "tools/generate/picture_art.h"
#include "tools/generate/picture_encode.h"
#include "tools/generate/picture_ops.h"

namespace {

// The colour the sphere map shows for the reflected direction (x, y, z),
// y up: a violet sky over a warm horizon, a teal floor with a grid, and two
// soft studio lights.
TRGB Environment(float x, float y, float z) {
  TRGB c;
  if (y >= 0.0f) {
    const float t = std::pow(y, 0.6f);
    c = {0.95f - 0.75f * t, 0.45f - 0.35f * t, 0.55f + 0.25f * t};
  } else {
    const float t = std::pow(-y, 0.5f);
    c = {0.05f + 0.15f * (1.0f - t), 0.35f - 0.2f * t, 0.45f - 0.2f * t};
    // Grid lines on the floor plane, seen in perspective.
    const float u = x / (-y + 0.05f), v = z / (-y + 0.05f);
    const float line = std::max(std::pow(std::abs(std::cos(u * 3.0f)), 40.0f), std::pow(std::abs(std::cos(v * 3.0f)), 40.0f));
    c.g += line * 0.5f * (1.0f - t * 0.5f);
    c.b += line * 0.6f * (1.0f - t * 0.5f);
  }
  const float horizon = std::exp(-y * y * 60.0f);
  c = {c.r + horizon * 1.0f, c.g + horizon * 0.55f, c.b + horizon * 0.35f};
  auto light = [&](float lx, float ly, float lz, float sharp) {
    const float d = x * lx + y * ly + z * lz;
    return d > 0.0f ? std::pow(d, sharp) : 0.0f;
  };
  const float key = light(0.45f, 0.75f, 0.48f, 60.0f), fill = light(-0.7f, 0.3f, 0.65f, 25.0f);
  c = {c.r + key * 1.2f + fill * 0.3f, c.g + key * 1.1f + fill * 0.6f, c.b + key * 1.0f + fill * 1.2f};
  return c;
}

}  // namespace

std::vector<uint8_t> MakeGlowSprite(int detail) {
  const float D = static_cast<float>(detail);
  const int s = 128 * detail;
  TCanvas canvas(s, s);
  // A wide soft halo around a small hot core; exactly black at the rim.
  AddLight(canvas, Glow(s, s, 64.0f * D, 64.0f * D, 62.0f * D, 62.0f * D, 2.6f), {1.0f, 0.85f, 0.7f}, 1.0f);
  AddLight(canvas, Glow(s, s, 64.0f * D, 64.0f * D, 18.0f * D, 18.0f * D, 1.5f), {1.0f, 1.0f, 1.0f}, 0.8f);
  ToneMap(canvas, 2.2f);
  return EncodePictureJPEG(canvas, detail);
}

std::vector<uint8_t> MakeEnvironmentMap() {
  constexpr int s = 256;
  constexpr float radius = 128.0f;
  TCanvas canvas(s, s);
  for (int py = 0; py < s; ++py) {
    for (int px = 0; px < s; ++px) {
      // Sphere mapping: the picture's disc is the view of a mirror ball; the
      // normal at (nx, ny) reflects the view ray (0, 0, -1).
      float nx = (static_cast<float>(px) + 0.5f) / radius - 1.0f;
      float ny = 1.0f - (static_cast<float>(py) + 0.5f) / radius;
      const float r2 = nx * nx + ny * ny;
      if (r2 > 1.0f) {  // outside the disc: continue the rim
        nx /= std::sqrt(r2);
        ny /= std::sqrt(r2);
      }
      const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
      const TRGB c = Environment(2.0f * nz * nx, 2.0f * nz * ny, 2.0f * nz * nz - 1.0f);
      float* p = canvas.At(px, py);
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  }
  AddLight(canvas, Map(Noise(s, s, 4, 5, 31), [](float v) { return (v - 0.5f) * 0.25f; }), {1.0f, 0.6f, 1.0f});
  ToneMap(canvas, 1.3f);
  return EncodePictureJPEG(canvas, kDesignedDetail);
}

std::vector<uint8_t> MakeHeartSurface(int detail) {
  const float D = static_cast<float>(detail);
  const int s = 512 * detail;
  // Muscle: a warped fractal in deep reds; veins: ridges of a second noise,
  // darker with a bright edge; a wet sheen where the first noise peaks.
  const TField flow = Noise(s, s, 4, 6, 101);
  const TField warpX = Noise(s, s, 3, 3, 202), warpY = Noise(s, s, 3, 3, 303);
  const TField muscle = Warp(flow, warpX, warpY, 120.0f * D);
  const TField fibres = Warp(Noise(s, s, 32, 2, 404), warpX, warpY, 90.0f * D);
  const TField veins = Map(Warp(Noise(s, s, 5, 4, 505), warpY, warpX, 160.0f * D),
                           [](float v) { return std::pow(std::max(0.0f, 1.0f - std::abs(v - 0.5f) * 14.0f), 2.0f); });
  TCanvas canvas(s, s);
  PaintPalette(canvas, Combine(muscle, fibres, [](float m, float f) { return m * 0.8f + f * 0.25f; }),
               {{{0.2f, {0.16f, 0.0f, 0.02f}}, {0.45f, {0.5f, 0.02f, 0.06f}}, {0.65f, {0.85f, 0.08f, 0.12f}},
                 {0.85f, {1.0f, 0.35f, 0.3f}}}});
  Shade(canvas, Map(veins, [](float v) { return 1.0f - 0.6f * v; }));
  AddLight(canvas, Blur(veins, 2.0f * D, true), {0.35f, 0.02f, 0.1f}, 0.5f);
  AddLight(canvas, Map(muscle, [](float m) { return std::pow(std::max(0.0f, m - 0.62f) * 3.0f, 3.0f); }),
           {1.0f, 0.7f, 0.7f}, 0.6f);
  return EncodePictureJPEG(canvas, detail);
}

std::vector<uint8_t> MakeBackScroll(int detail) {
  constexpr int w = 1024, h = 256;  // designed
  // Aurora ribbons: sine curves with whole periods across the width, so the
  // band tiles; each glows with distance from its curve. Fades to black at
  // the top and bottom edges.
  TCanvas canvas(w * detail, h * detail);
  const TField haze = Noise(w * detail, h * detail, 4, 5, 61);
  struct Ribbon {
    float cycles, phase, centre, amplitude, width;
    TRGB color;
  };
  const Ribbon ribbons[] = {{2.0f, 0.0f, 0.45f, 0.18f, 0.05f, {0.2f, 0.9f, 1.0f}},
                            {3.0f, 1.3f, 0.55f, 0.14f, 0.035f, {1.0f, 0.25f, 0.8f}},
                            {1.0f, 2.2f, 0.5f, 0.25f, 0.06f, {0.5f, 0.3f, 1.0f}},
                            {5.0f, 0.7f, 0.4f, 0.07f, 0.02f, {1.0f, 0.8f, 0.4f}}};
  for (const Ribbon& r : ribbons) {
    const TField line = GenerateDesigned(w, h, detail, [&](float x, float y) {
      const float u = x / static_cast<float>(w), v = y / static_cast<float>(h);
      const float curve = r.centre + r.amplitude * std::sin(2.0f * std::numbers::pi_v<float> * r.cycles * u + r.phase);
      const float d = (v - curve) / r.width;
      return std::exp(-d * d);
    });
    AddLight(canvas, Combine(line, haze, [](float l, float n) { return l * (0.5f + n); }), r.color, 0.9f);
  }
  // Fine scan lines and a vertical fade.
  Shade(canvas, GenerateDesigned(w, h, detail, [](float, float y) {
    const float v = y / static_cast<float>(h);
    return std::sin(std::numbers::pi_v<float> * v) * (0.85f + 0.15f * std::cos(y * std::numbers::pi_v<float> * 0.5f));
  }));
  ToneMap(canvas, 1.4f);
  return EncodePictureJPEG(canvas, detail);
}

std::vector<uint8_t> MakeFlushStrip(int detail) {
  constexpr int w = 512, h = 128;  // designed
  // Diagonal chevrons in a warm-to-cool ramp over a noisy sheen; eight
  // chevrons across, so the strip tiles.
  const TField chevrons = GenerateDesigned(w, h, detail, [](float x, float y) {
    const float u = x / static_cast<float>(w) * 8.0f + std::abs(y / static_cast<float>(h) - 0.5f) * 1.2f;
    const float f = u - std::floor(u);
    return std::clamp((0.5f - std::abs(f - 0.5f)) * 6.0f - 0.9f, 0.0f, 1.0f);
  });
  const TField sheen = Noise(w * detail, h * detail, 8, 4, 71);
  TCanvas canvas(w * detail, h * detail);
  PaintPalette(canvas, GenerateDesigned(w, h, detail, [](float x, float) {
    return 0.5f + 0.5f * std::sin(2.0f * std::numbers::pi_v<float> * x / static_cast<float>(w));
  }), {{{0.0f, {1.0f, 0.3f, 0.2f}}, {0.5f, {1.0f, 0.2f, 0.7f}}, {1.0f, {0.3f, 0.5f, 1.0f}}}});
  Shade(canvas, Combine(Blur(chevrons, 1.5f * static_cast<float>(detail), true), sheen, [](float c, float n) { return 0.25f + 0.75f * c + 0.3f * (n - 0.5f); }));
  AddLight(canvas, Map(chevrons, [](float c) { return c > 0.95f ? 0.4f : 0.0f; }), {1.0f, 1.0f, 1.0f});
  return EncodePictureJPEG(canvas, detail);
}

std::vector<uint8_t> MakeFrameOverlay(int detail) {
  constexpr int s = 512;  // designed
  // A glowing double border with corner brackets. Alpha carries the shape:
  // opaque on the lines, fading inwards, and exactly 0 (with black colour)
  // in the middle, where run-length coding packs it into a few packets.
  auto box = [](float x, float y, float inset) {
    return std::min(std::min(x - inset, static_cast<float>(s) - 1.0f - inset - x),
                    std::min(y - inset, static_cast<float>(s) - 1.0f - inset - y));
  };
  const TField lines = GenerateDesigned(s, s, detail, [&](float x, float y) {
    const float outer = SharpenEdge(std::clamp(1.5f - std::abs(box(x, y, 10.0f)), 0.0f, 1.0f), detail);
    const float inner = SharpenEdge(std::clamp(1.2f - std::abs(box(x, y, 22.0f)), 0.0f, 1.0f), detail) * 0.7f;
    // Brackets: short thick strokes near each corner, of the pixels whose
    // centres lie in them.
    const float cx = std::min(x, static_cast<float>(s) - 1.0f - x), cy = std::min(y, static_cast<float>(s) - 1.0f - y);
    const bool bracket = (cx < 69.5f && cy >= 29.5f && cy < 35.5f) || (cy < 69.5f && cx >= 29.5f && cx < 35.5f);
    return std::max(std::max(outer, inner), (bracket && cx >= 29.5f && cy >= 29.5f) ? 1.0f : 0.0f);
  });
  const TField edgeFade = GenerateDesigned(s, s, detail, [&](float x, float y) {
    const float d = box(x, y, 0.0f);
    return std::clamp(1.0f - d / 90.0f, 0.0f, 1.0f);
  });
  const TField alpha = Combine(Combine(Blur(lines, 6.0f * static_cast<float>(detail)), lines, [](float g, float l) { return std::max(l, g * 1.8f); }),
                               edgeFade, [](float a, float e) { return std::clamp(a + 0.55f * std::pow(e, 3.0f), 0.0f, 1.0f); });
  TCanvas canvas(s * detail, s * detail);
  // Colour runs around the frame from cyan through violet to pink.
  PaintPalette(canvas, GenerateDesigned(s, s, detail, [](float x, float y) {
    return 0.5f + 0.5f * std::sin(std::atan2(y - 256.0f, x - 256.0f) * 2.0f);
  }), {{{0.0f, {0.2f, 0.95f, 1.0f}}, {0.5f, {0.6f, 0.4f, 1.0f}}, {1.0f, {1.0f, 0.35f, 0.75f}}}});
  AddLight(canvas, lines, {0.6f, 0.6f, 0.6f});
  SetAlpha(canvas, alpha);
  // Fully transparent pixels carry no colour.
  for (size_t k = 0; k < canvas.Px.size(); k += 4) {
    if (canvas.Px[k + 3] < 0.5f / 255.0f) canvas.Px[k] = canvas.Px[k + 1] = canvas.Px[k + 2] = canvas.Px[k + 3] = 0.0f;
  }
  return EncodeTGA(ToImage(canvas, true), /*runLength=*/true);
}

std::vector<uint8_t> MakeSmallLogo(int detail) {
  const float D = static_cast<float>(detail);
  const int s = 256 * detail;
  TCanvas canvas(s, s);
  const TField ring = GenerateDesigned(256, 256, detail, [detail](float x, float y) {
    const float d = std::hypot(x - 128.0f, y - 128.0f);
    return SharpenEdge(std::clamp(1.5f - std::abs(d - 96.0f) * 0.5f, 0.0f, 1.0f), detail);
  });
  const TField letter = Text(s, s, "V", "Liberation Sans", true, 150.0f * D, 1.0f, 128.0f * D, 128.0f * D);
  AddLight(canvas, Blur(ring, 8.0f * D), {0.1f, 0.6f, 0.8f}, 2.0f);
  AddLight(canvas, ring, {0.6f, 1.0f, 1.0f});
  AddLight(canvas, Blur(letter, 12.0f * D), {1.0f, 0.4f, 0.1f}, 1.5f);
  AddLight(canvas, letter, {1.0f, 0.9f, 0.6f});
  ToneMap(canvas, 1.5f);
  return EncodePictureJPEG(canvas, detail);
}
