// Frame scale arithmetic: pixel sizes, the native and the affordable scale,
// line widths. Rounding is to nearest, ties to even, as everywhere in the show.

#include "core/frame_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/show.h"

FrameSize FrameSizeAt(double scale) {
  return {static_cast<int32_t>(std::nearbyint(kShowWidth * scale)),
          static_cast<int32_t>(std::nearbyint(kShowHeight * scale))};
}

double NativeScale(int width, int height) {
  if (width < 1 || height < 1) return kSmallestScale;
  const double fits = std::min(static_cast<double>(width) / kShowWidth, static_cast<double>(height) / kShowHeight);
  return std::clamp(fits, kSmallestScale, kLargestScale);
}

std::optional<double> FollowingScale(const FrameScaleRequest& request, int width, int height, double msPerLayerPixel,
                                     int refreshHz) {
  if (request.choice == ScaleChoice::Fixed || width < 1 || height < 1) return std::nullopt;
  const double native = NativeScale(width, height);
  if (request.choice == ScaleChoice::Native) return native;
  const FrameSize size = FrameSizeAt(native);
  return AutoScale(native, msPerLayerPixel * size.width * size.height, refreshHz);
}

double DrawableScale(int width, int height) {
  const double scale = NativeScale(width, height);
  return FrameSizeAt(scale) == FrameSize{width, height} ? scale : kSmallestScale;
}

double ScaleWithin(double scale, int maxWidth, int maxHeight) {
  const auto fits = [&](double k) {
    const FrameSize size = FrameSizeAt(k);
    return size.width <= maxWidth && size.height <= maxHeight;
  };
  if (fits(scale)) return scale;
  const double limit = std::min(static_cast<double>(maxWidth) / kShowWidth, static_cast<double>(maxHeight) / kShowHeight);
  int hundredths = static_cast<int>(std::floor(std::min(limit, scale) * 100.0));
  while (hundredths > 100 && !fits(hundredths / 100.0)) --hundredths;
  return std::max(kSmallestScale, hundredths / 100.0);
}

double AutoScale(double nativeScale, double msPerNativeLayer, int refreshHz) {
  if (!std::isfinite(msPerNativeLayer) || !(msPerNativeLayer > 0.0) || nativeScale <= kSmallestScale) {
    return kSmallestScale;
  }
  const double budgetMs = kFrameBudgetShare * 1000.0 / (refreshHz > 0 ? refreshHz : kDefaultRefreshHz);
  // A layer's cost goes with its pixels, the square of K.
  const double fits = nativeScale * std::sqrt(budgetMs / (kShowCostLayers * msPerNativeLayer));
  if (fits >= nativeScale) return nativeScale;
  // Below native the frame is stretched anyway; a K in hundredths reads better.
  return std::max(kSmallestScale, std::floor(fits * 100.0) / 100.0);
}

float ScaledLineWidth(float width, double scale) {
  if (scale == 1.0) return width;
  // The designed frame's GL draws an aliased line at least one pixel wide.
  return static_cast<float>(std::max(1.0f, std::nearbyint(width)) * scale);
}

std::string DescribeFrame(double scale) {
  const FrameSize size = FrameSizeAt(scale);
  char text[64];
  std::snprintf(text, sizeof text, "%dx%d (scale %.2f)", size.width, size.height, scale);
  return text;
}
