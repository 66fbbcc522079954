// Building blocks of the procedural models.

#include "tools/generate/model_shapes.h"

#include <cmath>
#include <utility>

namespace {

bool SamePosition(const TVertex& p, const TVertex& q) { return p.x == q.x && p.y == q.y && p.z == q.z; }

float SmoothStep(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

float LatticeHash(int32_t x, int32_t y, uint32_t seed) {
  // Multiply-xorshift mixing of the three inputs; 24 bits become the fraction.
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

void AddGridPatch(Model3DSObject& object, int columns, int rows,
                  const std::function<TVertex(int c, int r)>& position) {
  const int32_t base = static_cast<int32_t>(object.Vertices.size());
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= columns; ++c) {
      object.Vertices.push_back(position(c, r));
      object.TexCoords.push_back(MakeTexCoord(static_cast<float>(c) / columns, static_cast<float>(r) / rows));
    }
  }
  const auto index = [&](int c, int r) { return base + r * (columns + 1) + c; };
  const auto addTriangle = [&](int32_t a, int32_t b, int32_t c) {
    const TVertex& pa = object.Vertices[a];
    const TVertex& pb = object.Vertices[b];
    const TVertex& pc = object.Vertices[c];
    if (SamePosition(pa, pb) || SamePosition(pb, pc) || SamePosition(pa, pc)) return;
    object.Faces.push_back(MakeFace(a, b, c));
  };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      addTriangle(index(c, r), index(c + 1, r), index(c + 1, r + 1));
      addTriangle(index(c, r), index(c + 1, r + 1), index(c, r + 1));
    }
  }
}

double SignedVolume(const Model3DSObject& object) {
  double volume = 0.0;
  for (const TFace& f : object.Faces) {
    const TVertex& a = object.Vertices[f.a];
    const TVertex& b = object.Vertices[f.b];
    const TVertex& c = object.Vertices[f.c];
    volume += double{a.x} * (double{b.y} * c.z - double{b.z} * c.y) -
              double{a.y} * (double{b.x} * c.z - double{b.z} * c.x) +
              double{a.z} * (double{b.x} * c.y - double{b.y} * c.x);
  }
  return volume;
}

void OrientFaces(Model3DSObject& object, bool outward) {
  if ((SignedVolume(object) > 0.0) == outward) return;
  for (TFace& f : object.Faces) std::swap(f.b, f.c);
}

float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  const float tx = SmoothStep(x - fx), ty = SmoothStep(y - fy);
  const float a = LatticeHash(ix, iy, seed), b = LatticeHash(ix + 1, iy, seed);
  const float c = LatticeHash(ix, iy + 1, seed), d = LatticeHash(ix + 1, iy + 1, seed);
  const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return 2.0f * (top + (bottom - top) * ty) - 1.0f;
}

float FractalNoise(float x, float y, uint32_t seed, int octaves) {
  float sum = 0.0f, amplitude = 1.0f, frequency = 1.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * ValueNoise(x * frequency, y * frequency, seed + o);
    amplitude *= 0.5f;
    frequency *= 2.0f;
  }
  return sum;
}

float CatmullRom(float p0, float p1, float p2, float p3, float t) {
  const float t2 = t * t, t3 = t2 * t;
  return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2 +
                 (3.0f * p1 - p0 - 3.0f * p2 + p3) * t3);
}
