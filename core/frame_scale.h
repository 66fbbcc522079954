// The scale the show's frame is drawn at: the logical screen of
// kShowWidth x kShowHeight units, rasterised at K pixels per unit.
//
// Pure arithmetic, no GL: the frame's pixel size for a K, the largest K that
// fits an output, the K the machine can keep up with, and the line widths
// that keep their look at K.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// K is at least 1 (never coarser than the designed frame) and at most 8.
constexpr double kSmallestScale = 1.0;
constexpr double kLargestScale = 8.0;

// The heaviest section's 99th percentile frame time in full-screen textured
// layers of the frame's own size: section 7, 28.8 layers in the benchmark's
// figures of docs/performance.md (the quiet software-renderer table; layer
// figures compare across machines and scales). `auto` predicts a frame at K
// as this many layers of the size K gives.
constexpr double kShowCostLayers = 28.8;
// The share of the display's refresh interval a frame may take under `auto`,
// leaving room for the present step and the system.
constexpr double kFrameBudgetShare = 0.9;
// The refresh rate assumed when the display does not tell its own.
constexpr int kDefaultRefreshHz = 60;

// How the command line asks for K.
enum class ScaleChoice {
  Fixed,   // the number in `factor`
  Native,  // the largest K whose frame fits the output
  Auto,    // as large as the output and the measured fill rate allow
};
struct FrameScaleRequest {
  ScaleChoice choice = ScaleChoice::Fixed;
  double factor = 1.0;  // with Fixed: kSmallestScale .. kLargestScale
  bool operator==(const FrameScaleRequest&) const = default;
};

// The frame in pixels for a K: round(kShowWidth * K) x round(kShowHeight * K),
// to nearest, ties to even.
struct FrameSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const FrameSize&) const = default;
};
FrameSize FrameSizeAt(double scale);

// The largest K (kSmallestScale .. kLargestScale) whose frame fits `width` x
// `height` output pixels: the output's largest 4:3 rectangle, so the frame
// goes to it one to one. 1 for an empty output; 8 for one of more than
// 6400 x 4800, which the frame then fills only in part.
double NativeScale(int width, int height);

// The K of a frame that follows its window (a Native or Auto `request`) for
// a drawable of `width` x `height` pixels: NativeScale, or Auto's AutoScale
// of a native frame whose layers cost `msPerLayerPixel` per pixel (0 when
// not measured) at `refreshHz`. None for a Fixed request, which keeps its K,
// and for an empty drawable (a minimized window), whose frame stays as it is.
std::optional<double> FollowingScale(const FrameScaleRequest& request, int width, int height, double msPerLayerPixel,
                                     int refreshHz);

// The K at which a drawable of `width` x `height` pixels is itself a frame
// (2 for 1600 x 1200, a window of 800 x 600 units at twice the density), or
// kSmallestScale when it has another shape.
double DrawableScale(int width, int height);

// The largest K up to `scale` whose frame is at most `maxWidth` x
// `maxHeight` pixels (the GL's largest), in hundredths below `scale`;
// kSmallestScale when not even the designed frame fits.
double ScaleWithin(double scale, int maxWidth, int maxHeight);

// The largest K from kSmallestScale up to `nativeScale` whose predicted frame
// time (kShowCostLayers layers, each costing `msPerNativeLayer` at the native
// frame size and in proportion to the pixels below it) fits
// kFrameBudgetShare of a refresh interval at `refreshHz` (kDefaultRefreshHz
// when 0 or less). kSmallestScale when even that does not fit, or when the
// cost is unknown (not a positive finite number).
double AutoScale(double nativeScale, double msPerNativeLayer, int refreshHz);

// The GL line width that draws a `width` line of the designed frame at K:
// `width` itself at K = 1 (the renderer rounds it as it always has), and
// at other K round(width) * K, at least K (the designed frame's renderer
// draws even a thinner line one pixel wide), so a line keeps its thickness
// on the screen.
float ScaledLineWidth(float width, double scale);

// "1440x1080 (scale 1.80)": how a frame is named to the viewer.
std::string DescribeFrame(double scale);
