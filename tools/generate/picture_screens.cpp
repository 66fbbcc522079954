// The full-screen pictures: loading screen, group logo, title, credits,
// greetings and end. All but the loading screen are bright art on black.

#include <cmath>

#include "tools/generate/picture_art.h"
#include "tools/generate/picture_ops.h"

namespace {

// Shapes are drawn this much narrower than high: the square picture is
// stretched to the 4:3 screen.
constexpr float kScreenAspect = 0.75f;

const char* const kSans = "Liberation Sans";
const char* const kSerif = "Liberation Serif:italic";
const char* const kDejaVu = "DejaVu Sans";

// A vertical chrome ramp between designed rows y0 and y1 of a designed
// size x size picture at `detail`: bright top, a dark band
// below the middle and a bright rim, as polished metal reflects a horizon.
TField ChromeRamp(int size, int detail, float y0, float y1) {
  return GenerateDesigned(size, size, detail, [=](float, float y) {
    const float t = std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f);
    const float horizon = std::exp(-std::pow((t - 0.56f) / 0.07f, 2.0f));
    return 1.0f - 0.55f * horizon + 0.15f * (1.0f - t);
  });
}

}  // namespace

std::vector<uint8_t> MakeProgressPicture(int detail) {
  const float D = static_cast<float>(detail);
  const int w = 800 * detail, h = 600 * detail;
  // Deep violet night, lighter towards the middle, with a slow nebula.
  TCanvas canvas(w, h);
  const TField nebula = Noise(w, h, 3, 6, 11);
  const TField base = GenerateDesigned(800, 600, detail, [&](float x, float y) {
    const float dx = (x - 400.0f) / 520.0f, dy = (y - 260.0f) / 420.0f;
    return 0.35f + 0.65f * std::exp(-(dx * dx + dy * dy) * 2.0f);
  });
  PaintPalette(canvas, Combine(base, nebula, [](float b, float n) { return b * (0.55f + 0.6f * n); }),
               {{{0.0f, {0.0f, 0.0f, 0.02f}}, {0.45f, {0.05f, 0.02f, 0.14f}}, {0.8f, {0.22f, 0.06f, 0.32f}},
                 {1.0f, {0.45f, 0.16f, 0.5f}}}});
  // Fine stars: the rare cells of a noise with one cell per two pixels.
  const TField stars = Map(Noise(w, h, 400, 1, 23), [](float v) { return v > 0.985f ? (v - 0.985f) * 60.0f : 0.0f; });
  AddLight(canvas, Blur(stars, 1.0f * D), {0.75f, 0.85f, 1.0f}, 1.2f);

  // The name, glowing above the bar.
  const TField title = Text(w, h, "VELORIA", kSans, true, 118.0f * D, 1.0f, 400.0f * D, 212.0f * D, 14.0f * D);
  AddGlowingText(canvas, title, {1.0f, 0.93f, 0.98f}, {1.0f, 0.35f, 0.75f}, {0.45f, 0.2f, 1.0f}, 6.0f * D);
  AddLight(canvas, Glow(w, h, 400.0f * D, 262.0f * D, 330.0f * D, 2.5f * D, 1.5f), {0.9f, 0.6f, 1.0f}, 0.8f);

  // The slot the loading bar grows in: rows 308..315 from the top (285..292
  // from the bottom), x 220..586, inside a dark groove with a thin rim.
  // Pixels belong to a box when their centre lies in it.
  const TField groove = GenerateDesigned(800, 600, detail, [](float x, float y) {
    return x >= 212.5f && x < 592.5f && y >= 300.5f && y < 321.5f ? 1.0f : 0.0f;
  });
  const TField rim = GenerateDesigned(800, 600, detail, [](float x, float y) {
    const bool outer = x >= 211.5f && x < 593.5f && y >= 299.5f && y < 322.5f;
    const bool inner = x >= 213.5f && x < 591.5f && y >= 301.5f && y < 320.5f;
    return outer && !inner ? 1.0f : 0.0f;
  });
  AddLight(canvas, Blur(groove, 10.0f * D), {0.5f, 0.3f, 0.9f}, 0.5f);
  PaintOver(canvas, groove, {0.015f, 0.01f, 0.03f});
  PaintOver(canvas, rim, {0.55f, 0.42f, 0.8f});

  PaintOver(canvas, Text(w, h, "loading", kDejaVu, false, 19.0f * D, 1.0f, 400.0f * D, 352.0f * D, 5.0f * D),
            {0.75f, 0.7f, 0.9f});
  const TField credit =
      Text(w, h, "a VANTREL production", kDejaVu, false, 15.0f * D, 1.0f, 400.0f * D, 560.0f * D, 3.0f * D);
  PaintOver(canvas, credit, {0.55f, 0.5f, 0.7f});
  return EncodePictureJPEG(canvas, detail);
}

std::vector<uint8_t> MakeGroupLogoPicture() {
  constexpr int s = 512;
  TCanvas canvas(s, s);
  // A diamond outline behind the name, glowing teal.
  const TField diamond = Generate(s, s, [](float x, float y) {
    const float d = std::abs((x - 256.0f) / (150.0f * kScreenAspect)) + std::abs((y - 250.0f) / 150.0f);
    return std::clamp(1.0f - std::abs(d - 1.0f) * 60.0f, 0.0f, 1.0f);
  });
  const TField innerDiamond = Generate(s, s, [](float x, float y) {
    const float d = std::abs((x - 256.0f) / (118.0f * kScreenAspect)) + std::abs((y - 250.0f) / 118.0f);
    return std::clamp(1.0f - std::abs(d - 1.0f) * 90.0f, 0.0f, 1.0f) * 0.6f;
  });
  AddLight(canvas, Blur(diamond, 14.0f), {0.05f, 0.6f, 0.7f}, 2.2f);
  AddLight(canvas, diamond, {0.5f, 1.0f, 0.95f}, 0.9f);
  AddLight(canvas, innerDiamond, {0.3f, 0.7f, 1.0f}, 0.8f);

  // The name in gold chrome over a dark band that cuts the diamond.
  const TField name = Text(s, s, "VANTREL", kSans, true, 84.0f, kScreenAspect, 256.0f, 250.0f, 6.0f);
  const TField band = Blur(Generate(s, s, [](float, float y) { return std::abs(y - 250.0f) < 40.0f ? 1.0f : 0.0f; }), 6.0f);
  Shade(canvas, Map(band, [](float v) { return 1.0f - 0.85f * v; }));
  const TField chrome = ChromeRamp(s, kDesignedDetail, 222.0f, 280.0f);
  AddLight(canvas, Blur(name, 22.0f), {1.0f, 0.45f, 0.1f}, 1.4f);
  AddLight(canvas, Blur(name, 5.0f), {1.0f, 0.7f, 0.3f}, 0.9f);
  TCanvas gold(s, s);
  AddPalette(gold, chrome, {{{0.4f, {0.55f, 0.3f, 0.05f}}, {0.8f, {1.0f, 0.78f, 0.35f}}, {1.15f, {1.0f, 1.0f, 0.9f}}}});
  PaintCanvasOver(canvas, name, gold);
  const TField tagline = Text(s, s, "p r e s e n t s", kDejaVu, false, 17.0f, kScreenAspect, 256.0f, 350.0f, 2.0f);
  AddGlowingText(canvas, tagline, {0.7f, 0.95f, 1.0f}, {0.1f, 0.5f, 0.8f}, {0.0f, 0.2f, 0.4f}, 3.0f);
  ToneMap(canvas, 1.6f);
  return EncodePictureJPEG(canvas, kDesignedDetail);
}

std::vector<uint8_t> MakeTitlePicture(int detail) {
  const float D = static_cast<float>(detail);
  const int s = 1024 * detail;
  TCanvas canvas(s, s);
  const float cy = 480.0f * D;
  const TField name = Text(s, s, "VELORIA", kSans, true, 200.0f * D, kScreenAspect, 512.0f * D, cy, 22.0f * D);
  // Soft outer haze, a hot pink glow, then the chrome letters.
  AddLight(canvas, Blur(name, 70.0f * D), {0.35f, 0.05f, 0.6f}, 2.4f);
  AddLight(canvas, Blur(name, 18.0f * D), {1.0f, 0.2f, 0.55f}, 1.3f);
  TCanvas chrome(s, s);
  AddPalette(chrome, ChromeRamp(1024, detail, 480.0f - 75.0f, 480.0f + 75.0f),
             {{{0.4f, {0.35f, 0.1f, 0.45f}}, {0.75f, {1.0f, 0.7f, 0.9f}}, {1.15f, {1.0f, 1.0f, 1.0f}}}});
  Shade(chrome, name);
  AddCanvas(canvas, chrome, 1.4f);
  // A lens streak through the letters and a faint second one.
  AddLight(canvas, Glow(s, s, 512.0f * D, cy + 4.0f * D, 500.0f * D, 5.0f * D, 2.0f), {0.6f, 0.85f, 1.0f}, 1.5f);
  AddLight(canvas, Glow(s, s, 512.0f * D, cy + 4.0f * D, 300.0f * D, 40.0f * D, 3.0f), {0.3f, 0.4f, 1.0f}, 0.5f);
  const TField subtitle = Text(s, s, "a  VANTREL  production", kDejaVu, false, 40.0f * D, kScreenAspect, 512.0f * D,
                               cy + 150.0f * D, 6.0f * D);
  AddGlowingText(canvas, subtitle, {0.75f, 0.9f, 1.0f}, {0.2f, 0.5f, 1.0f}, {0.1f, 0.1f, 0.5f}, 5.0f * D);
  ToneMap(canvas, 1.5f);
  return EncodePictureJPEG(canvas, detail);
}

std::vector<uint8_t> MakeAuthorPicture() {
  constexpr int s = 512;
  TCanvas canvas(s, s);
  // A warm sun low behind the credits.
  AddLight(canvas, Glow(s, s, 256.0f, 300.0f, 260.0f * kScreenAspect, 260.0f, 2.5f), {0.5f, 0.15f, 0.05f}, 0.9f);
  const TField intro = Text(s, s, "a demo by", kSerif, false, 26.0f, kScreenAspect, 256.0f, 120.0f, 1.0f);
  AddGlowingText(canvas, intro, {1.0f, 0.9f, 0.75f}, {0.8f, 0.35f, 0.1f}, {0.3f, 0.1f, 0.0f}, 3.0f);
  const TField group = Text(s, s, "VANTREL", kSans, true, 58.0f, kScreenAspect, 256.0f, 172.0f, 5.0f);
  AddGlowingText(canvas, group, {1.0f, 0.95f, 0.85f}, {1.0f, 0.45f, 0.1f}, {0.6f, 0.15f, 0.05f}, 5.0f);
  const char* const roles[] = {"code", "music", "pictures"};
  const char* const names[] = {"TIRNEK", "SOLEVI", "MARRA QUINT"};
  for (int k = 0; k < 3; ++k) {
    const float y = 270.0f + 58.0f * static_cast<float>(k);
    const TField role = Text(s, s, roles[k], kSerif, false, 22.0f, kScreenAspect, 256.0f, y - 16.0f, 1.0f);
    AddLight(canvas, role, {0.95f, 0.6f, 0.35f}, 0.9f);
    const TField name = Text(s, s, names[k], kSans, true, 30.0f, kScreenAspect, 256.0f, y + 12.0f, 4.0f);
    AddGlowingText(canvas, name, {1.0f, 1.0f, 0.95f}, {1.0f, 0.6f, 0.25f}, {0.4f, 0.12f, 0.05f}, 4.0f);
  }
  // A thin rule under the group name.
  AddLight(canvas, Glow(s, s, 256.0f, 212.0f, 120.0f, 1.6f, 1.0f), {1.0f, 0.7f, 0.4f}, 1.2f);
  ToneMap(canvas, 1.4f);
  return EncodePictureJPEG(canvas, kDesignedDetail);
}

std::vector<uint8_t> MakeGreetingsPicture() {
  constexpr int s = 512;
  TCanvas canvas(s, s);
  const TField heading = Text(s, s, "GREETINGS", kSans, true, 52.0f, kScreenAspect, 256.0f, 70.0f, 8.0f);
  AddGlowingText(canvas, heading, {0.9f, 1.0f, 1.0f}, {0.1f, 0.8f, 1.0f}, {0.1f, 0.2f, 0.8f}, 5.0f);
  AddLight(canvas, Glow(s, s, 256.0f, 104.0f, 170.0f, 1.8f, 1.0f), {0.4f, 0.9f, 1.0f}, 1.2f);
  // Invented groups only, in two columns of warm and cool light.
  const char* const groups[] = {"QUORVEX", "MIRELUNE", "OSTRAKON NINE", "VELVET ABACUS",
                                "TIDEWRIGHT", "SYNTHORNE", "PALE GANTRY", "UMBRALIS",
                                "KELP & CIPHER", "NOCTILUX", "GLASSWORKS 7", "HOLLOW ORBIT"};
  const TRGB colors[] = {{1.0f, 0.45f, 0.75f}, {0.45f, 0.75f, 1.0f}, {1.0f, 0.75f, 0.35f}, {0.6f, 1.0f, 0.6f}};
  for (int k = 0; k < 12; ++k) {
    const float x = k % 2 == 0 ? 150.0f : 362.0f;
    const float y = 160.0f + 52.0f * static_cast<float>(k / 2);
    const TField name = Text(s, s, groups[k], kSans, true, 22.0f, kScreenAspect, x, y, 2.0f);
    AddGlowingText(canvas, name, {1.0f, 1.0f, 1.0f}, colors[k % 4], {colors[k % 4].r * 0.3f, colors[k % 4].g * 0.3f, colors[k % 4].b * 0.3f}, 4.0f);
  }
  ToneMap(canvas, 1.4f);
  return EncodePictureJPEG(canvas, kDesignedDetail);
}

std::vector<uint8_t> MakeEndPicture() {
  constexpr int s = 512;
  TCanvas canvas(s, s);
  AddLight(canvas, Glow(s, s, 256.0f, 240.0f, 240.0f * kScreenAspect, 200.0f, 3.0f), {0.25f, 0.05f, 0.35f}, 1.0f);
  const TField words = Text(s, s, "THE END", kSans, true, 96.0f, kScreenAspect, 256.0f, 232.0f, 10.0f);
  AddGlowingText(canvas, words, {1.0f, 0.95f, 1.0f}, {1.0f, 0.3f, 0.6f}, {0.5f, 0.1f, 0.9f}, 7.0f);
  AddLight(canvas, Glow(s, s, 256.0f, 236.0f, 250.0f, 3.0f, 2.0f), {0.7f, 0.8f, 1.0f}, 1.2f);
  const TField sign = Text(s, s, "VELORIA  *  VANTREL", kDejaVu, true, 22.0f, kScreenAspect, 256.0f, 330.0f, 4.0f);
  AddGlowingText(canvas, sign, {0.85f, 0.9f, 1.0f}, {0.3f, 0.5f, 1.0f}, {0.1f, 0.1f, 0.5f}, 4.0f);
  const TField thanks = Text(s, s, "thank you for watching", kSerif, false, 22.0f, kScreenAspect, 256.0f, 372.0f, 1.0f);
  AddLight(canvas, thanks, {0.85f, 0.7f, 0.95f}, 1.0f);
  ToneMap(canvas, 1.5f);
  return EncodePictureJPEG(canvas, kDesignedDetail);
}
