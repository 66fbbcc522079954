// Vector records and operations: single-precision arithmetic for the
// records, extended precision for rotations.

#include "geometry/VectorTypes.h"

#include <cmath>

namespace {

constexpr extended kTwoPi = 6.283185307179586476925286766559L;

// Sine and cosine of one angle, in extended precision.
void SinCos(extended angle, extended& s, extended& c) {
  s = std::sin(angle);
  c = std::cos(angle);
}

}  // namespace

TVertex MakeVertex(float x, float y, float z) { return {x, y, z}; }
TTexCoord MakeTexCoord(float u, float v) { return {u, v}; }
TFace MakeFace(int32_t a, int32_t b, int32_t c) { return {a, b, c}; }
TTriangle MakeTriangle(const TVertex& p0, const TVertex& p1, const TVertex& p2) {
  return {p0, p1, p2};
}

TVertex VectorFromTo(const TVertex& a, const TVertex& b) { return {b.x - a.x, b.y - a.y, b.z - a.z}; }

TVertex Negate(const TVertex& v) { return {-v.x, -v.y, -v.z}; }

TVertex CrossProduct(const TVertex& a, const TVertex& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TVertex TriangleNormal(const TTriangle& t) {
  return CrossProduct(VectorFromTo(t.p0, t.p1), Negate(VectorFromTo(t.p2, t.p0)));
}

void NormalizeVector(TVertex& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  v.x /= length;
  v.y /= length;
  v.z /= length;
}

float DegreesToRadians(float d) { return static_cast<float>(d / 360.0L * kTwoPi); }

void RotateVertex(TVertex& v, const TVertex& angles) {
  T3DPoint p(v.x, v.y, v.z);
  p.RotateX(DegreesToRadians(angles.x));
  p.RotateY(DegreesToRadians(angles.y));
  p.RotateZ(DegreesToRadians(angles.z));
  v.x = static_cast<float>(p.X());
  v.y = static_cast<float>(p.Y());
  v.z = static_cast<float>(p.Z());
}

void TExtendedArray::Append(const extended* values, int count) {
  for (int i = 0; i < count; ++i) items_.push_back(values[i]);
}

TFloatVector::TFloatVector(extended x, extended y, extended z) {
  const extended values[4] = {x, y, z, 1.0L};
  Append(values, 4);
}

void TFloatVector::RotateX(extended angle) {
  extended s, c;
  SinCos(angle, s, c);
  const extended y = Y(), z = Z();
  Set(1, c * y - s * z);
  Set(2, s * y + c * z);
}

void TFloatVector::RotateY(extended angle) {
  extended s, c;
  SinCos(angle, s, c);
  const extended x = X(), z = Z();
  Set(0, c * x - s * z);
  Set(2, s * x + c * z);
}

void TFloatVector::RotateZ(extended angle) {
  extended s, c;
  SinCos(angle, s, c);
  const extended x = X(), y = Y();
  Set(0, c * x - s * y);
  Set(1, s * x + c * y);
}
