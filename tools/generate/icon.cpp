// The desktop icon, drawn with the picture operations of the show's title.

#include "tools/generate/icon.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "platform/png_file.h"
#include "tools/generate/picture_ops.h"

namespace {

constexpr int kSize = 256;
constexpr float kMargin = 8.0f;
constexpr float kCornerRadius = 44.0f;

// Coverage of the rounded tile, anti-aliased over one pixel at its edge.
float TileCoverage(float x, float y) {
  const float half = kSize / 2.0f - kMargin - kCornerRadius;
  const float dx = std::max(std::fabs(x + 0.5f - kSize / 2.0f) - half, 0.0f);
  const float dy = std::max(std::fabs(y + 0.5f - kSize / 2.0f) - half, 0.0f);
  return std::clamp(kCornerRadius + 0.5f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
}

}  // namespace

void WriteIcon(const std::filesystem::path& path) {
  TCanvas canvas(kSize, kSize);
  // The loading screen's night: deep violet, lighter towards the middle.
  const TField base = Generate(kSize, kSize, [](float x, float y) {
    const float dx = (x - 128.0f) / 170.0f, dy = (y - 110.0f) / 170.0f;
    return 0.35f + 0.65f * std::exp(-(dx * dx + dy * dy) * 2.0f);
  });
  PaintPalette(canvas, base,
               {{{0.0f, {0.0f, 0.0f, 0.02f}}, {0.45f, {0.05f, 0.02f, 0.14f}}, {0.8f, {0.22f, 0.06f, 0.32f}},
                 {1.0f, {0.45f, 0.16f, 0.5f}}}});
  // The title's letter and glow colours.
  const TField letter = Text(kSize, kSize, "V", "Liberation Sans", true, 230.0f, 1.0f, 128.0f, 132.0f);
  AddGlowingText(canvas, letter, {1.0f, 0.93f, 0.98f}, {1.0f, 0.35f, 0.75f}, {0.45f, 0.2f, 1.0f}, 4.0f);
  SetAlpha(canvas, Generate(kSize, kSize, TileCoverage));

  const TImage image = ToImage(canvas, /*withAlpha=*/true);
  std::error_code ignored;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
  std::string error;
  if (!WritePng(path.string(), image, error)) throw std::runtime_error(error);
}
