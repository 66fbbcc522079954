// The glow particles' spline: random control points and the cubic path
// through them.

#include "scenes/glow_path.h"

#include "core/shared_state.h"

TVertex SplinePoints[SplinePointCount];

namespace {

constexpr double kSpread = 200.0;

// Two numbers in the order they are drawn; triangular on (-200, 200).
float RandomComponent() {
  const double r1 = Random();
  const double r2 = Random();
  return static_cast<float>((r1 - r2) * kSpread);
}

}  // namespace

void FillSplinePoints() {
  SplinePoints[0] = MakeVertex(0.0f, 0.0f, 0.0f);
  for (int32_t k = 1; k < SplinePointCount; ++k) {
    TVertex& p = SplinePoints[k];
    p.x = RandomComponent();
    p.y = RandomComponent();
    p.z = RandomComponent();
  }
}

float CubicInterpolate(float y0, float y1, float y2, float y3, float mu) {
  const float mu2 = mu * mu;
  const float a0 = (y3 - y2) - (y0 - y1);
  const float a1 = (y0 - y1) - a0;
  const float a2 = y2 - y0;
  return a0 * mu * mu2 + a1 * mu2 + a2 * mu + y1;
}

TVertex PathPoint(float u) {
  int32_t a = 0;
  float f = 0.0f;
  if (u >= static_cast<float>(LastSplineSegment + 1)) {
    a = LastSplineSegment;  // a late clock parks the trail at the curve's end
    f = 1.0f;
  } else if (u > 0.0f) {
    a = static_cast<int32_t>(u);
    f = u - static_cast<float>(a);
  }
  const TVertex& p0 = SplinePoints[a];
  const TVertex& p1 = SplinePoints[a + 1];
  const TVertex& p2 = SplinePoints[a + 2];
  const TVertex& p3 = SplinePoints[a + 3];
  return {CubicInterpolate(p0.x, p1.x, p2.x, p3.x, f), CubicInterpolate(p0.y, p1.y, p2.y, p3.y, f),
          CubicInterpolate(p0.z, p1.z, p2.z, p3.z, f)};
}
