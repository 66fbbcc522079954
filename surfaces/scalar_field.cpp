// Marching cubes over the scalar field: lattice, normals and polygonisation.
// Drawing is in scalar_field_draw.cpp.

#include "surfaces/scalar_field.h"

#include <algorithm>
#include <cmath>

#include "surfaces/marching_cubes_tables.h"

namespace {

constexpr float kIsoLevel = 1.0f;

TVertex Lerp(const TVertex& p, const TVertex& q, float mu) {
  return {p.x + mu * (q.x - p.x), p.y + mu * (q.y - p.y), p.z + mu * (q.z - p.z)};
}

}  // namespace

void InterpolateEdge(const TFieldPoint& p1, const TFieldPoint& p2, TVertex& position, TVertex& normal) {
  if (std::fabs(p1.Value) == kIsoLevel || p1.Value == p2.Value) {
    position = p1.Position;
    normal = p1.Normal;
  } else if (std::fabs(p2.Value) == kIsoLevel) {
    position = p2.Position;
    normal = p2.Normal;
  } else {
    const float mu = static_cast<float>((extended{kIsoLevel} - p1.Value) /
                                        (extended{p2.Value} - p1.Value));
    position = Lerp(p1.Position, p2.Position, mu);
    normal = Lerp(p1.Normal, p2.Normal, mu);
  }
}

void PolygoniseCell(const TFieldCell& cell, TFieldSink& sink) {
  int pattern = 0;
  for (int k = 0; k < 8; ++k) {
    if (cell.Corners[k]->Value < kIsoLevel) pattern |= 1 << k;
  }
  const int32_t edges = MCEdgeTable[pattern];
  if (edges == 0) return;
  TVertex positions[12];
  TVertex normals[12];
  for (int e = 0; e < 12; ++e) {
    if (edges & (1 << e)) {
      InterpolateEdge(*cell.Corners[kMCEdgeCorners[e][0]], *cell.Corners[kMCEdgeCorners[e][1]],
                      positions[e], normals[e]);
    }
  }
  const int8_t* row = MCTriangleTable[pattern];
  for (int t = 0; row[t] != -1; t += 3) {
    for (int c = 0; c < 3; ++c) sink.Corner(normals[row[t + c]], positions[row[t + c]]);
  }
}

TOrvScalarField::TOrvScalarField()
    : points_((kMaxSize + 1) * (kMaxSize + 1) * (kMaxSize + 1)),
      cells_(kMaxSize * kMaxSize * kMaxSize) {}

int32_t TOrvScalarField::UsedSize() const { return std::clamp(Size, 0, kMaxSize); }

void TOrvScalarField::BuildLattice() {
  const int32_t n = UsedSize();
  for (int32_t a = 0; a <= n; ++a) {
    for (int32_t i = 0; i <= n; ++i) {
      for (int32_t j = 0; j <= n; ++j) {
        Point(a, i, j).Position = {2.0f * a / n - 1.0f, 2.0f * i / n - 1.0f, 1.0f - 2.0f * j / n};
      }
    }
  }
  for (int32_t a = 0; a < n; ++a) {
    for (int32_t i = 0; i < n; ++i) {
      for (int32_t j = 0; j < n; ++j) {
        cells_[CellIndex(a, i, j)].Corners = {
            &Point(a, i, j),         &Point(a + 1, i, j),         &Point(a + 1, i, j + 1),
            &Point(a, i, j + 1),     &Point(a, i + 1, j),         &Point(a + 1, i + 1, j),
            &Point(a + 1, i + 1, j + 1), &Point(a, i + 1, j + 1)};
      }
    }
  }
}

void TOrvScalarField::ComputeNormals() {
  const int32_t n = UsedSize();
  for (int32_t a = 1; a < n; ++a) {
    for (int32_t i = 1; i < n; ++i) {
      for (int32_t j = 1; j < n; ++j) {
        TVertex normal = {Point(a - 1, i, j).Value - Point(a + 1, i, j).Value,
                          Point(a, i - 1, j).Value - Point(a, i + 1, j).Value,
                          Point(a, i, j - 1).Value - Point(a, i, j + 1).Value};
        Normalize(normal);
        Point(a, i, j).Normal = normal;
      }
    }
  }
}

void TOrvScalarField::Polygonise(TFieldSink& sink) const {
  const int32_t n = UsedSize();
  for (int32_t a = 0; a < n; ++a) {
    for (int32_t i = 0; i < n; ++i) {
      for (int32_t j = 0; j < n; ++j) PolygoniseCell(Cell(a, i, j), sink);
    }
  }
}

void TOrvScalarField::Normalize(TVertex& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length != 0.0f) {
    v.x /= length;
    v.y /= length;
    v.z /= length;
  }
}
