// Where a picture can add light: the analysis of its pixels and the screen
// boxes a quad showing it must fill.

#include "tests/test_random.h"
#include "textures/lit_area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

// A width x height RGBA picture whose texel (x, y) is lit (a dim grey with
// alpha 0, which still counts as light) where `lit` says so, black (opaque)
// elsewhere.
std::vector<uint8_t> Picture(int32_t width, int32_t height, const std::function<bool(int, int)>& lit) {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (lit(x, y)) {
        rgba.insert(rgba.end(), {0, 0, 1, 0});
      } else {
        rgba.insert(rgba.end(), {0, 0, 0, 255});
      }
    }
  }
  return rgba;
}

// A frame: lit within `border` texels of the edge, black inside.
std::vector<uint8_t> Ring(int32_t size, int32_t border) {
  return Picture(size, size, [&](int x, int y) {
    return std::min({x, y, size - 1 - x, size - 1 - y}) < border;
  });
}

TEST(LitArea, MeasuresTheLitBoxAndTheLargestBlackBoxInside) {
  const std::vector<uint8_t> ring = Ring(64, 8);
  const TLitArea frame = MeasureLitArea(ring.data(), 64, 64, 4);
  EXPECT_EQ(frame.box, (TCellBox{0, 0, 64, 64}));
  EXPECT_EQ(frame.hole, (TCellBox{8, 8, 56, 56}));

  // Two black gaps between lit columns 2, 10 and 30 (rows 4..11): the wider
  // gap wins, and the black outside the lit box is no hole.
  const std::vector<uint8_t> bars =
      Picture(40, 16, [](int x, int y) { return (x == 2 || x == 10 || x == 30) && y >= 4 && y < 12; });
  const TLitArea barArea = MeasureLitArea(bars.data(), 40, 16, 4);
  EXPECT_EQ(barArea.box, (TCellBox{2, 4, 31, 12}));
  EXPECT_EQ(barArea.hole, (TCellBox{11, 4, 30, 12}));

  // Three bytes a pixel; only red, green and blue decide.
  const std::vector<uint8_t> rgb = {0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 0};
  const TLitArea dot = MeasureLitArea(rgb.data(), 2, 2, 3);
  EXPECT_EQ(dot.box, (TCellBox{0, 1, 1, 2}));
  EXPECT_TRUE(dot.hole.Empty());

  const std::vector<uint8_t> black = Picture(8, 4, [](int, int) { return false; });
  const TLitArea none = MeasureLitArea(black.data(), 8, 4, 4);
  EXPECT_TRUE(none.box.Empty());
  EXPECT_EQ(none.width, 8);
  EXPECT_EQ(none.height, 4);
}

TEST(LitArea, RecordsAreForgottenByName) {
  const std::vector<uint8_t> ring = Ring(16, 2);
  const TLitArea area = MeasureLitArea(ring.data(), 16, 16, 4);
  RecordLitArea(7001, area);
  ASSERT_NE(RecordedLitArea(7001), nullptr);
  EXPECT_EQ(*RecordedLitArea(7001), area);
  EXPECT_EQ(RecordedLitArea(7002), nullptr);
  ForgetLitArea(7001);
  EXPECT_EQ(RecordedLitArea(7001), nullptr);
  ForgetLitArea(7001);  // forgetting twice is harmless
}

TEST(LitScreenBoxes, AFrameShownOneToOneLeavesItsMiddleMinusTheFilterReach) {
  const std::vector<uint8_t> ring = Ring(64, 8);
  const TLitArea area = MeasureLitArea(ring.data(), 64, 64, 4);
  TQuadOnScreen quad{0, 0, 64, 64, 0, 0, 1, 1};
  // Pixel i samples texels i - 1 and i (or i and i + 1); a texel more on
  // each side leaves pixels 9 .. 53 certain to see only the black 8 .. 55.
  const std::vector<TCellBox> expected = {{0, 0, 64, 9}, {0, 54, 64, 64}, {0, 9, 9, 54}, {54, 9, 64, 54}};
  EXPECT_EQ(LitScreenBoxes(area, quad, 64, 64), expected);

  // Mirrored, pixel i samples at 63 - i exactly: the reach shifts by one.
  quad = {64, 64, 0, 0, 0, 0, 1, 1};
  EXPECT_EQ(LitScreenBoxes(area, quad, 64, 64),
            (std::vector<TCellBox>{{0, 0, 64, 10}, {0, 55, 64, 64}, {0, 10, 10, 55}, {55, 10, 64, 55}}));

  // The screen cuts the boxes.
  quad = {0, 0, 64, 64, 0, 0, 1, 1};
  EXPECT_EQ(LitScreenBoxes(area, quad, 32, 20), (std::vector<TCellBox>{{0, 0, 32, 9}, {0, 9, 9, 20}}));
}

TEST(LitScreenBoxes, QuadsThatShowOnlyBlackFillNothing) {
  const std::vector<uint8_t> ring = Ring(64, 8);
  const TLitArea area = MeasureLitArea(ring.data(), 64, 64, 4);
  // The middle of the frame, enlarged.
  EXPECT_TRUE(LitScreenBoxes(area, {0, 0, 800, 600, 0.25f, 0.25f, 0.75f, 0.75f}, 800, 600).empty());
  const std::vector<uint8_t> black = Picture(8, 8, [](int, int) { return false; });
  EXPECT_TRUE(LitScreenBoxes(MeasureLitArea(black.data(), 8, 8, 4), {0, 0, 800, 600, 0, 0, 1, 1}, 800, 600).empty());
  // A quad without area.
  EXPECT_TRUE(LitScreenBoxes(area, {5, 0, 5, 600, 0, 0, 1, 1}, 800, 600).empty());
  // Off the screen.
  EXPECT_TRUE(LitScreenBoxes(area, {900, 0, 1000, 600, 0, 0, 1, 1}, 800, 600).empty());
}

TEST(LitScreenBoxes, WrapModeDecidesWhatTheEdgePixelsReach) {
  // Only column 0 is lit; the quad shows the right half, magnified.
  const std::vector<uint8_t> picture = Picture(16, 16, [](int x, int) { return x == 0; });
  const TLitArea area = MeasureLitArea(picture.data(), 16, 16, 4);
  TQuadOnScreen quad{0, 0, 80, 16, 0.5f, 0, 1, 1};
  // Clamped, the right edge repeats the black column 15: nothing to fill.
  EXPECT_TRUE(LitScreenBoxes(area, quad, 100, 16).empty());
  // Repeating, the right edge blends in column 0 across the seam.
  quad.repeat = true;
  const std::vector<TCellBox> boxes = LitScreenBoxes(area, quad, 100, 16);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].x1, 80);
  EXPECT_GT(boxes[0].x0, 60);
  // Picture coordinates far out, or not numbers at all, give the whole quad.
  quad = {0, 0, 80, 16, 3e7f, 0, 3e7f + 1, 1, false, true};
  EXPECT_EQ(LitScreenBoxes(area, quad, 100, 16), (std::vector<TCellBox>{{0, 0, 80, 16}}));
  quad.u0 = std::nanf("");
  EXPECT_EQ(LitScreenBoxes(area, quad, 100, 16), (std::vector<TCellBox>{{0, 0, 80, 16}}));
}

// The exact footprint of a linear (and linear-mipmap) filter along one axis:
// at each level from 0 to floor(log2 of texels per pixel) + 1, the two texels
// around the sample, as level-0 texels folded by the wrap mode.
std::vector<int> ExactFootprint(double t, int texels, int levels, bool repeat) {
  std::vector<int> reached;
  for (int level = 0; level < levels; ++level) {
    const int n = std::max(1, texels >> level);
    const int first = static_cast<int>(std::floor(t * n - 0.5));
    for (int k = first; k <= first + 1; ++k) {
      const int wrapped = repeat ? ((k % n) + n) % n : std::clamp(k, 0, n - 1);
      for (int s = 0; s < (1 << level); ++s) {
        const int texel = wrapped * (1 << level) + s;
        if (texel < texels) reached.push_back(texel);
      }
    }
  }
  return reached;
}

TEST(LitScreenBoxes, EveryPixelThatCanSampleLightIsInExactlyOneBox) {
  // Random pictures, quads (shrunk, enlarged, mirrored, partly off the
  // screen, scrolled past the picture's edges) and filters, against a
  // brute-force walk of every pixel's exact filter footprint.
  TestRandom random{12345};
  const auto next = [&random](int range) { return random.Below(range); };
  const int screenW = 48, screenH = 40;
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const int width = 1 << (2 + next(4)), height = 1 << (2 + next(4));
    const int litX0 = next(width), litY0 = next(height);
    const int litX1 = litX0 + next(width - litX0) + 1, litY1 = litY0 + next(height - litY0) + 1;
    const int holeX0 = litX0 + next(litX1 - litX0), holeY0 = litY0 + next(litY1 - litY0);
    const std::vector<uint8_t> pixels = Picture(width, height, [&](int x, int y) {
      const bool inHole = x >= holeX0 && x < holeX0 + 2 * (litX1 - holeX0) / 3 && y >= holeY0 &&
                          y < holeY0 + 2 * (litY1 - holeY0) / 3;
      return x >= litX0 && x < litX1 && y >= litY0 && y < litY1 && !inHole && next(5) > 0;
    });
    const TLitArea area = MeasureLitArea(pixels.data(), width, height, 4);
    TQuadOnScreen quad;
    quad.x0 = static_cast<float>(next(70) - 10) + next(4) * 0.25f;
    quad.x1 = static_cast<float>(next(70) - 10) + next(4) * 0.3f;
    quad.y0 = static_cast<float>(next(60) - 10) + next(4) * 0.2f;
    quad.y1 = static_cast<float>(next(60) - 10);
    quad.u0 = (next(40) - 15) / 10.0f;
    quad.u1 = quad.u0 + (next(30) - 15) / 10.0f;
    quad.v0 = (next(40) - 15) / 10.0f;
    quad.v1 = quad.v0 + (next(30) - 15) / 10.0f;
    quad.mipmapped = next(2) == 1;
    quad.repeat = next(2) == 1;
    const std::vector<TCellBox> boxes = LitScreenBoxes(area, quad, screenW, screenH);
    ASSERT_LE(boxes.size(), 4u);

    int levels = 1;
    if (quad.mipmapped && quad.x0 != quad.x1 && quad.y0 != quad.y1) {
      const double rho = std::max(std::fabs((quad.u1 - quad.u0) * width / (quad.x1 - quad.x0)),
                                  std::fabs((quad.v1 - quad.v0) * height / (quad.y1 - quad.y0)));
      levels = rho > 0 ? std::max(1, static_cast<int>(std::floor(std::log2(rho))) + 2) : 1;
    }
    for (int py = 0; py < screenH; ++py) {
      for (int px = 0; px < screenW; ++px) {
        int holders = 0;
        for (const TCellBox& b : boxes) holders += px >= b.x0 && px < b.x1 && py >= b.y0 && py < b.y1;
        ASSERT_LE(holders, 1) << "boxes overlap at " << px << ", " << py;
        const double cx = px + 0.5, cy = py + 0.5;
        const bool covered = cx >= std::min(quad.x0, quad.x1) && cx < std::max(quad.x0, quad.x1) &&
                             cy >= std::min(quad.y0, quad.y1) && cy < std::max(quad.y0, quad.y1);
        if (!covered || holders == 1) continue;
        const double u = quad.u0 + (cx - quad.x0) / (quad.x1 - quad.x0) * (quad.u1 - quad.u0);
        const double v = quad.v0 + (cy - quad.y0) / (quad.y1 - quad.y0) * (quad.v1 - quad.v0);
        for (int ty : ExactFootprint(v, height, levels, quad.repeat)) {
          for (int tx : ExactFootprint(u, width, levels, quad.repeat)) {
            const uint8_t* texel = &pixels[(static_cast<size_t>(ty) * width + tx) * 4];
            ASSERT_FALSE(texel[0] || texel[1] || texel[2])
                << "pixel " << px << ", " << py << " reaches lit texel " << tx << ", " << ty << " unfilled";
          }
        }
      }
    }
  }
}

}  // namespace
