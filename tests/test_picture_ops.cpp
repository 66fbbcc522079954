// The generator's picture operations: ranges, tiling, centring and row order.

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "tools/generate/picture_ops.h"

namespace {

float Mean(const TField& f) { return std::accumulate(f.V.begin(), f.V.end(), 0.0f) / static_cast<float>(f.V.size()); }

TEST(PictureOps, NoiseStaysInRangeAndTilesBothWays) {
  const TField n = Noise(64, 32, 4, 4, 9);
  float lo = 1.0f, hi = 0.0f;
  for (float v : n.V) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_GE(lo, 0.0f);
  EXPECT_LE(hi, 1.0f);
  EXPECT_GT(hi - lo, 0.3f);  // not flat
  // Across the seams neighbours differ no more than neighbours inside do.
  float seam = 0.0f, inside = 0.0f;
  for (int y = 0; y < 32; ++y) {
    seam = std::max(seam, std::abs(n.At(63, y) - n.At(0, y)));
    inside = std::max(inside, std::abs(n.At(31, y) - n.At(32, y)));
  }
  for (int x = 0; x < 64; ++x) seam = std::max(seam, std::abs(n.At(x, 31) - n.At(x, 0)) * 0.5f);
  EXPECT_LT(seam, inside * 2.5f + 0.02f);
  EXPECT_EQ(Noise(64, 32, 4, 4, 9).V, n.V);  // deterministic
  EXPECT_NE(Noise(64, 32, 4, 4, 10).V, n.V);
}

TEST(PictureOps, GlowIsZeroOutsideItsEllipse) {
  const TField g = Glow(100, 100, 50.0f, 50.0f, 40.0f, 20.0f, 2.0f);
  EXPECT_GT(g.At(50, 50), 0.9f);
  EXPECT_GT(g.At(80, 50), 0.0f);
  EXPECT_EQ(g.At(50, 75), 0.0f);  // beyond ry
  EXPECT_EQ(g.At(0, 0), 0.0f);
}

TEST(PictureOps, BlurKeepsTheMeanAndWrapsWhenAsked) {
  TField dot(40, 40);
  dot.At(0, 20) = 1.0f;
  const TField clamped = Blur(dot, 4.0f), wrapped = Blur(dot, 4.0f, true);
  EXPECT_NEAR(Mean(wrapped), Mean(dot), 1e-6);
  EXPECT_GT(wrapped.At(39, 20), 0.0f);   // spread across the left edge
  EXPECT_NEAR(clamped.At(39, 20), 0.0f, 1e-6);  // not without wrapping
  EXPECT_LT(clamped.At(0, 20), 1.0f);
}

TEST(PictureOps, TextIsCentredOnItsPoint) {
  const TField t = Text(200, 100, "HI", "DejaVu Sans", true, 40.0f, 1.0f, 120.0f, 40.0f);
  double sum = 0.0, sx = 0.0, sy = 0.0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      sum += t.At(x, y);
      sx += t.At(x, y) * (x + 0.5);
      sy += t.At(x, y) * (y + 0.5);
    }
  }
  ASSERT_GT(sum, 100.0);
  EXPECT_NEAR(sx / sum, 120.0, 3.0);
  EXPECT_NEAR(sy / sum, 40.0, 3.0);
  // Squeezed text covers less width.
  const TField narrow = Text(200, 100, "HI", "DejaVu Sans", true, 40.0f, 0.5f, 120.0f, 40.0f);
  EXPECT_LT(Mean(narrow), Mean(t) * 0.7f);
}

TEST(PictureOps, PaletteInterpolatesAndClampsAtItsEnds) {
  const TPalette p{{{0.2f, {0.0f, 0.0f, 0.0f}}, {0.6f, {1.0f, 0.5f, 0.0f}}}};
  EXPECT_FLOAT_EQ(p.At(0.0f).r, 0.0f);
  EXPECT_FLOAT_EQ(p.At(0.4f).r, 0.5f);
  EXPECT_FLOAT_EQ(p.At(0.4f).g, 0.25f);
  EXPECT_FLOAT_EQ(p.At(2.0f).r, 1.0f);
}

TEST(PictureOps, CanvasLayersToneMapAndImageRows) {
  TCanvas canvas(2, 2);
  TField top(2, 2);
  top.At(0, 0) = top.At(1, 0) = 1.0f;  // the top row
  AddLight(canvas, top, {2.0f, 0.5f, 0.0f});
  ToneMap(canvas, 1.0f);
  EXPECT_NEAR(canvas.At(0, 0)[0], 1.0f - std::exp(-2.0f), 1e-6);
  EXPECT_FLOAT_EQ(canvas.At(0, 1)[0], 0.0f);  // black stays black
  SetAlpha(canvas, top);
  const TImage rgba = ToImage(canvas, true);
  ASSERT_EQ(rgba.BytesPerPixel, 4);
  // Rows come out bottom-up: the lit top row is the image's last row.
  EXPECT_EQ(rgba.Pixels[0], 0);
  EXPECT_EQ(rgba.Pixels[3], 0);
  EXPECT_EQ(rgba.Pixels[8], std::lround((1.0f - std::exp(-2.0f)) * 255.0f));
  EXPECT_EQ(rgba.Pixels[11], 255);
  EXPECT_EQ(ToImage(canvas, false).Pixels.size(), 12u);
}

}  // namespace
