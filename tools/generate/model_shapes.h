// Small operations the procedural models are built from: gridded surface
// patches, face orientation, smooth value noise and curve interpolation.
// Units are model units; the models are Z-up like every 3DS file.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/generate/write_3ds.h"

// Appends a patch of (columns + 1) x (rows + 1) vertices, position(c, r) and
// texture coordinate (c / columns, r / rows), and two triangles per cell:
// (c, r), (c+1, r), (c+1, r+1) and (c, r), (c+1, r+1), (c, r+1). Triangles
// with two corners at one position (at poles) are left out.
void AddGridPatch(Model3DSObject& object, int columns, int rows,
                  const std::function<TVertex(int c, int r)>& position);

// Six times the volume the faces enclose (positive when they face outwards).
double SignedVolume(const Model3DSObject& object);
// Reverses every face's winding unless the faces already face outwards
// (outward = true) or inwards (outward = false).
void OrientFaces(Model3DSObject& object, bool outward);

// A well-mixed number in 0..1 for the lattice point (x, y), the same on every run.
float LatticeHash(int32_t x, int32_t y, uint32_t seed);
// Smooth value noise in -1..1 with unit-spaced lattice, the same for the same
// (x, y, seed) on every run.
float ValueNoise(float x, float y, uint32_t seed);
// Sum of `octaves` noise layers, each of double frequency and half amplitude.
float FractalNoise(float x, float y, uint32_t seed, int octaves);

// Catmull-Rom interpolation between p1 and p2 (t in 0..1) with neighbours p0, p3.
float CatmullRom(float p0, float p1, float p2, float p3, float t);
