// TOrvScalarField: a scalar field sampled on a cubic lattice, turned into a
// triangle surface where it crosses the iso-level 1.0 (marching cubes).
//
// Lattice: Size = N cells per axis (at most 50), N + 1 points per axis.
// Point [a][i][j] lies at x = 2a/N - 1, y = 2i/N - 1, z = 1 - 2j/N: the cube
// -1..1, first index along +x, second along +y, third along -z. The owner
// writes Value of every point between frames. Storage is allocated once, at
// construction, for the largest lattice; nothing is allocated per frame.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "geometry/VectorTypes.h"

// One lattice sample.
struct TFieldPoint {
  TVertex Position;
  TVertex Normal;
  float Value = 0.0f;
};

// One lattice cube: corners 0..3 around the lower face ([a][i][j],
// [a+1][i][j], [a+1][i][j+1], [a][i][j+1]), 4..7 the same one step up in i.
struct TFieldCell {
  std::array<TFieldPoint*, 8> Corners{};
};

// Receives the surface as a stream of triangle corners, three per triangle.
class TFieldSink {
 public:
  virtual ~TFieldSink() = default;
  virtual void Corner(const TVertex& normal, const TVertex& position) = 0;
};

// The position and normal where the surface cuts the edge p1 -> p2: a corner
// whose |Value| is exactly 1.0 is taken as it is, and so is p1 when both
// values are equal; otherwise linear interpolation (the normal is not
// renormalised).
void InterpolateEdge(const TFieldPoint& p1, const TFieldPoint& p2, TVertex& position, TVertex& normal);
// Emits the triangles of one cell (a corner counts as below the surface when
// its Value < 1.0). Emits nothing for a cell entirely on one side.
void PolygoniseCell(const TFieldCell& cell, TFieldSink& sink);

class TOrvScalarField {
 public:
  static constexpr int32_t kMaxSize = 50;

  int32_t Size = 0;  // cells per axis, 0 .. kMaxSize; set before BuildLattice

  TOrvScalarField();

  // Lattice point [a][i][j], each index 0 .. kMaxSize.
  TFieldPoint& Point(int32_t a, int32_t i, int32_t j) { return points_[PointIndex(a, i, j)]; }
  const TFieldPoint& Point(int32_t a, int32_t i, int32_t j) const { return points_[PointIndex(a, i, j)]; }
  // Lattice cell [a][i][j], each index 0 .. kMaxSize - 1.
  const TFieldCell& Cell(int32_t a, int32_t i, int32_t j) const { return cells_[CellIndex(a, i, j)]; }

  // Sets every point's Position and every cell's corners for the current Size.
  void BuildLattice();
  // The negative central-difference gradient of Value, normalised, at every
  // inner point; boundary points keep their normals.
  void ComputeNormals();
  // Polygonises every cell, a outermost, j innermost.
  void Polygonise(TFieldSink& sink) const;
  // Polygonise into one GL_TRIANGLES pair with a normal per corner; sets no
  // other state. Needs a current GL context.
  void Draw() const;
  // Scales v to length 1; a zero vector stays as it is.
  static void Normalize(TVertex& v);

 private:
  static int32_t PointIndex(int32_t a, int32_t i, int32_t j) {
    return (a * (kMaxSize + 1) + i) * (kMaxSize + 1) + j;
  }
  static int32_t CellIndex(int32_t a, int32_t i, int32_t j) { return (a * kMaxSize + i) * kMaxSize + j; }
  // Size clamped to the storage, so a too large Size cannot write past it.
  int32_t UsedSize() const;

  std::vector<TFieldPoint> points_;
  std::vector<TFieldCell> cells_;
};
