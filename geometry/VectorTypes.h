// The value types all geometry is made of (points, texture coordinates,
// triangles) and the few vector operations the meshes, lights and scenes use.
//
// Units: coordinates in model units; rotation angles in degrees, except the
// TFloatVector rotations, which take radians. Records are packed because
// arrays of them go to OpenGL unchanged.
#pragma once

#include <cstdint>
#include <vector>

// Extended precision: the widest floating type of the platform.
using extended = long double;

// A point, a direction, a normal, three angles or three scale factors.
struct TVertex {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};
using TVertexArray = std::vector<TVertex>;

// Texture coordinate of one vertex.
struct TTexCoord {
  float u = 0.0f, v = 0.0f;
};

// One triangle of an indexed mesh: three vertex indices.
struct TFace {
  int32_t a = 0, b = 0, c = 0;
};

// The corner positions of one face.
struct TTriangle {
  TVertex p0, p1, p2;
};

static_assert(sizeof(TVertex) == 12 && sizeof(TTexCoord) == 8 && sizeof(TFace) == 12 &&
              sizeof(TTriangle) == 36, "mesh records are handed to OpenGL packed");

TVertex MakeVertex(float x, float y, float z);
TTexCoord MakeTexCoord(float u, float v);
TFace MakeFace(int32_t a, int32_t b, int32_t c);
TTriangle MakeTriangle(const TVertex& p0, const TVertex& p1, const TVertex& p2);

// b - a: the vector pointing from a to b.
TVertex VectorFromTo(const TVertex& a, const TVertex& b);
// (-x, -y, -z).
TVertex Negate(const TVertex& v);
// a x b.
TVertex CrossProduct(const TVertex& a, const TVertex& b);
// (p1 - p0) x (p2 - p0), not normalised: its length is twice the area, and it
// points towards a viewer who sees the corners counter-clockwise.
TVertex TriangleNormal(const TTriangle& t);
// Divides v by its length in place; a zero vector becomes NaN in every component.
void NormalizeVector(TVertex& v);
// Degrees to radians, rounded to single precision.
float DegreesToRadians(float d);
// Rotates v in place about X, then Y, then Z by the angles in degrees, in
// extended precision; only the result is rounded to single precision.
void RotateVertex(TVertex& v, const TVertex& angles);

// A growable array of extended values. Get and Set expect 0 <= index < Count().
class TExtendedArray {
 public:
  // Appends `count` values.
  void Append(const extended* values, int count);
  extended Get(int index) const { return items_[index]; }
  void Set(int index, extended value) { items_[index] = value; }
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  std::vector<extended> items_;
};

// An extended-precision point (x, y, z, w = 1) that can be rotated about the
// axes. Angles in radians. RotateY turns the opposite way from the usual
// right-handed rotation; camera paths and model orientations depend on it.
class TFloatVector : public TExtendedArray {
 public:
  TFloatVector(extended x, extended y, extended z);
  extended X() const { return Get(0); }
  extended Y() const { return Get(1); }
  extended Z() const { return Get(2); }
  // y' = c*y - s*z; z' = s*y + c*z
  void RotateX(extended angle);
  // x' = c*x - s*z; z' = s*x + c*z
  void RotateY(extended angle);
  // x' = c*x - s*y; y' = s*x + c*y
  void RotateZ(extended angle);
};

// The class rotations instantiate.
class T3DPoint : public TFloatVector {
 public:
  using TFloatVector::TFloatVector;
};
