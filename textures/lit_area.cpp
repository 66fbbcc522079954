// Where a picture can add light: the bounding box of its non-black texels
// with the largest black box inside, and the screen boxes a quad showing the
// picture must fill.

#include "textures/lit_area.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace {

bool IsBlack(const uint8_t* pixel) { return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0; }

// The largest box of black texels inside `within`, by the classic sweep: row
// by row, each column's run of black texels ending at that row is a bar, and
// the largest rectangle under the bars is found with a stack of rising bars.
TCellBox LargestBlackBox(const uint8_t* pixels, int32_t width, int32_t bytesPerPixel, const TCellBox& within) {
  const int32_t columns = within.x1 - within.x0;
  std::vector<int32_t> bar(static_cast<size_t>(columns) + 1, 0);  // a last bar of 0 empties the stack
  std::vector<int32_t> rising;
  TCellBox best;
  int64_t bestArea = 0;
  for (int32_t y = within.y0; y < within.y1; ++y) {
    const uint8_t* row = pixels + (static_cast<size_t>(y) * width + within.x0) * bytesPerPixel;
    for (int32_t c = 0; c < columns; ++c) bar[c] = IsBlack(row + static_cast<size_t>(c) * bytesPerPixel) ? bar[c] + 1 : 0;
    rising.clear();
    for (int32_t c = 0; c <= columns; ++c) {
      while (!rising.empty() && bar[rising.back()] >= bar[c]) {
        const int32_t height = bar[rising.back()];
        rising.pop_back();
        const int32_t left = rising.empty() ? 0 : rising.back() + 1;
        const int64_t area = static_cast<int64_t>(height) * (c - left);
        if (area > bestArea) {
          bestArea = area;
          best = {within.x0 + left, y + 1 - height, within.x0 + c, y + 1};
        }
      }
      rising.push_back(c);
    }
  }
  return best;
}

// One axis of a quad: screen lines p0 .. p1 show picture coordinates t0 .. t1
// of a picture `texels` wide along this axis.
struct TAxis {
  double p0, p1, t0, t1;
  int32_t texels;
  bool repeat;
  int32_t levels;  // mipmap levels that may be sampled, from level 0
  int32_t screen;  // lines on the screen
};

struct TSpan {
  int64_t first, last;  // half-open, in level-0 texels
};

// The level-0 texels a sample can reach: one span, or two when it reaches
// across the seam of a repeating picture.
struct TFootprint {
  TSpan spans[2];
  int32_t count;
};

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The level-0 texels that the filtered sample at the centre of screen line
// `line` can reach: at every level, the two texels of the linear filter and
// one more on either side; a clamped picture repeats its edge texels, a
// repeating one continues from its other side.
TFootprint Footprint(const TAxis& axis, int32_t line) {
  const TFootprint whole{{{0, axis.texels}}, 1};
  const double t = axis.t0 + (line + 0.5 - axis.p0) / (axis.p1 - axis.p0) * (axis.t1 - axis.t0);
  // Far outside the picture nothing is gained from precision: take it all.
  if (!std::isfinite(t) || std::fabs(t) > 1e6) return whole;
  TSpan reach{std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()};
  for (int32_t level = 0; level < axis.levels; ++level) {
    const int64_t levelTexels = axis.texels >> level;
    // A level narrower than one texel along this axis averages all of it.
    if (levelTexels <= 1) return whole;
    const auto base = static_cast<int64_t>(std::floor(t * static_cast<double>(levelTexels) - 0.5));
    int64_t first = base - 1, last = base + 3;  // half-open, in this level's texels
    if (!axis.repeat) {
      first = std::clamp<int64_t>(first, 0, levelTexels - 1);
      last = std::clamp<int64_t>(last, 1, levelTexels);
    }
    reach.first = std::min(reach.first, first << level);
    reach.last = std::max(reach.last, last << level);
  }
  if (!axis.repeat) return {{reach}, 1};
  // The levels' spans all hold the sample, so their union is one span, which
  // folds into the picture at one seam at most.
  if (reach.last - reach.first >= axis.texels) return whole;
  const int64_t shift = FloorDiv(reach.first, axis.texels) * axis.texels;
  const TSpan folded{reach.first - shift, reach.last - shift};
  if (folded.last <= axis.texels) return {{folded}, 1};
  return {{{folded.first, axis.texels}, {0, folded.last - axis.texels}}, 2};
}

// Along one axis: the screen lines whose footprint meets [box0, box1), and
// the longest run of lines whose footprint lies within [hole0, hole1).
struct TAxisLines {
  int32_t litFirst = 0, litLast = 0;
  int32_t holeFirst = 0, holeLast = 0;
};

TAxisLines ClassifyLines(const TAxis& axis, int32_t box0, int32_t box1, int32_t hole0, int32_t hole1) {
  TAxisLines lines;
  const double low = std::min(axis.p0, axis.p1), high = std::max(axis.p0, axis.p1);
  const auto from = static_cast<int32_t>(std::clamp(std::floor(low), 0.0, static_cast<double>(axis.screen)));
  const auto to = static_cast<int32_t>(std::clamp(std::ceil(high), 0.0, static_cast<double>(axis.screen)));
  bool anyLit = false;
  int32_t runStart = 0;
  bool inRun = false;
  for (int32_t line = from; line < to; ++line) {
    const TFootprint footprint = Footprint(axis, line);
    bool meetsBox = false, inHole = hole0 < hole1;
    for (int32_t k = 0; k < footprint.count; ++k) {
      const TSpan& span = footprint.spans[k];
      meetsBox = meetsBox || (span.first < box1 && span.last > box0);
      inHole = inHole && span.first >= hole0 && span.last <= hole1;
    }
    if (meetsBox) {
      if (!anyLit) lines.litFirst = line;
      anyLit = true;
      lines.litLast = line + 1;
    }
    if (inHole && !inRun) runStart = line;
    inRun = inHole;
    if (inHole && line + 1 - runStart > lines.holeLast - lines.holeFirst) {
      lines.holeFirst = runStart;
      lines.holeLast = line + 1;
    }
  }
  return lines;
}

// Levels that may be sampled: the renderer picks them around log2 of the
// texels per pixel with its own approximation, so two levels past the
// floor cover both mipmap filters and any rounding of that choice.
int32_t SampledLevels(const TLitArea& area, const TQuadOnScreen& quad) {
  if (!quad.mipmapped) return 1;
  const double texelsPerPixel =
      std::max(std::fabs((quad.u1 - quad.u0) * area.width / (quad.x1 - quad.x0)),
               std::fabs((quad.v1 - quad.v0) * area.height / (quad.y1 - quad.y0)));
  const int32_t allLevels = static_cast<int32_t>(std::log2(std::max(area.width, area.height))) + 1;
  if (!(texelsPerPixel > 0.0)) return allLevels;
  const double levels = std::floor(std::log2(texelsPerPixel)) + 3.0;
  return static_cast<int32_t>(std::clamp(levels, 1.0, static_cast<double>(allLevels)));
}

std::map<uint32_t, TLitArea>& RecordedAreas() {
  static std::map<uint32_t, TLitArea> areas;
  return areas;
}

}  // namespace

TLitArea MeasureLitArea(const uint8_t* pixels, int32_t width, int32_t height, int32_t bytesPerPixel) {
  TLitArea area;
  area.width = width;
  area.height = height;
  TCellBox box{width, height, 0, 0};
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + static_cast<size_t>(y) * width * bytesPerPixel;
    for (int32_t x = 0; x < width; ++x) {
      if (IsBlack(row + static_cast<size_t>(x) * bytesPerPixel)) continue;
      box.x0 = std::min(box.x0, x);
      box.x1 = std::max(box.x1, x + 1);
      box.y0 = std::min(box.y0, y);
      box.y1 = y + 1;
    }
  }
  if (box.Empty()) return area;
  area.box = box;
  area.hole = LargestBlackBox(pixels, width, bytesPerPixel, box);
  return area;
}

void RecordLitArea(uint32_t texture, const TLitArea& area) { RecordedAreas()[texture] = area; }

void ForgetLitArea(uint32_t texture) { RecordedAreas().erase(texture); }

void ForgetAllLitAreas() { RecordedAreas().clear(); }

const TLitArea* RecordedLitArea(uint32_t texture) {
  const auto found = RecordedAreas().find(texture);
  return found == RecordedAreas().end() ? nullptr : &found->second;
}

std::vector<TCellBox> LitScreenBoxes(const TLitArea& area, const TQuadOnScreen& quad, int32_t screenWidth,
                                     int32_t screenHeight) {
  if (area.box.Empty() || quad.x0 == quad.x1 || quad.y0 == quad.y1) return {};
  const int32_t levels = SampledLevels(area, quad);
  const TAxis across{quad.x0, quad.x1, quad.u0, quad.u1, area.width, quad.repeat, levels, screenWidth};
  const TAxis up{quad.y0, quad.y1, quad.v0, quad.v1, area.height, quad.repeat, levels, screenHeight};
  const TAxisLines columns = ClassifyLines(across, area.box.x0, area.box.x1, area.hole.x0, area.hole.x1);
  const TAxisLines rows = ClassifyLines(up, area.box.y0, area.box.y1, area.hole.y0, area.hole.y1);
  const TCellBox lit{columns.litFirst, rows.litFirst, columns.litLast, rows.litLast};
  if (lit.Empty()) return {};
  const TCellBox hole{std::max(columns.holeFirst, lit.x0), std::max(rows.holeFirst, lit.y0),
                      std::min(columns.holeLast, lit.x1), std::min(rows.holeLast, lit.y1)};
  if (hole.Empty()) return {lit};
  std::vector<TCellBox> boxes;
  for (const TCellBox& strip : {TCellBox{lit.x0, lit.y0, lit.x1, hole.y0}, TCellBox{lit.x0, hole.y1, lit.x1, lit.y1},
                                TCellBox{lit.x0, hole.y0, hole.x0, hole.y1}, TCellBox{hole.x1, hole.y0, lit.x1, hole.y1}}) {
    if (!strip.Empty()) boxes.push_back(strip);
  }
  return boxes;
}
