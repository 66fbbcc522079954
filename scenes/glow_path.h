// The curve the glow particles slide along: a cubic spline through 202 control
// points, the first at the origin and the rest random. Plain arithmetic.
//
// Units: world units; the curve parameter u counts segments (segment a runs
// from control point a + 1 to a + 2 as u goes from a to a + 1).
#pragma once

#include <cstdint>

#include "geometry/VectorTypes.h"

constexpr int32_t SplinePointCount = 202;  // entries 0..201
// The last segment: PathPoint is exact for u < LastSplineSegment + 1.
constexpr int32_t LastSplineSegment = SplinePointCount - 4;

// Control points of the curve. Written only by FillSplinePoints (the glow
// particles' load step); read only by PathPoint.
extern TVertex SplinePoints[SplinePointCount];

// Entry 0 := the origin; for k = 1..201 and x, y, z in order, the component
// (r1 - r2) * 200 from two fresh Random() numbers, r1 drawn first:
// 603 components, 1206 numbers, each component in (-200, 200).
void FillSplinePoints();
// Cubic through y1 (mu = 0) and y2 (mu = 1) with slopes from the neighbours:
// a0 mu³ + a1 mu² + a2 mu + y1, a0 = (y3 - y2) - (y0 - y1), a1 = (y0 - y1) - a0,
// a2 = y2 - y0; single precision throughout.
float CubicInterpolate(float y0, float y1, float y2, float y3, float mu);
// The curve at u: segment a = trunc(u) of SplinePoints[a..a + 3] at mu = u - a.
// Parameters past the last segment give its end point (control point 200);
// negative or NaN parameters give the start (control point 1).
TVertex PathPoint(float u);
