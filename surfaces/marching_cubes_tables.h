// Marching-cubes lookup tables, indexed by a cell's corner pattern (bit k set
// when corner k lies below the iso-level).
//
// Corners: 0..3 around the lower face, 4..7 above them. Edges: 0 = 0-1,
// 1 = 1-2, 2 = 2-3, 3 = 3-0, 4 = 4-5, 5 = 5-6, 6 = 6-7, 7 = 7-4, 8 = 0-4,
// 9 = 1-5, 10 = 2-6, 11 = 3-7.
#pragma once

#include <cstdint>

// For each pattern, a 12-bit mask of the edges the surface cuts.
extern const int32_t MCEdgeTable[256];
// For each pattern, up to five triangles as triples of edge numbers, then -1.
extern const int8_t MCTriangleTable[256][16];
// The two corners of each edge, the first being the interpolation's start.
inline constexpr int kMCEdgeCorners[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
