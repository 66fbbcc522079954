// Mesh filling, normals and welding, including the fast normal and weld
// passes against the per-vertex definitions on random meshes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "geometry/ORV2Classes.h"

namespace {

bool SameBits(const TVertex& p, const TVertex& q) { return std::memcmp(&p, &q, sizeof p) == 0; }

// The weld by its definition: every ordered pair (i, j), i outer, j inner.
void QuadraticWeld(TMeshData& mesh) {
  for (int32_t i = 0; i < mesh.VertexCount; ++i) {
    for (int32_t j = 0; j < mesh.VertexCount; ++j) {
      if (i == j) continue;
      const TVertex& p = mesh.Vertices[i];
      const TVertex& q = mesh.Vertices[j];
      if (p.x == q.x && p.y == q.y && p.z == q.z) {
        for (TFace& f : mesh.Faces) {
          if (f.a == j) f.a = i;
          if (f.b == j) f.b = i;
          if (f.c == j) f.c = i;
        }
      }
    }
  }
}

// A random mesh whose positions come from a small set of values (including
// 0.0 and -0.0 and a NaN) so that many vertices coincide.
void FillRandom(TMeshDataN& mesh, std::mt19937& rng, int vertices, int faces) {
  const float values[] = {0.0f, -0.0f, 1.0f, -1.5f, 2.25f, NAN};
  std::uniform_int_distribution<int> pick(0, 5), nanChance(0, 40), vertex(0, vertices - 1);
  for (int i = 0; i < vertices; ++i) {
    TVertex p = MakeVertex(values[pick(rng) % 5], values[pick(rng) % 5], values[pick(rng) % 5]);
    if (nanChance(rng) == 0) p.y = values[5];
    mesh.AddVertex(p, MakeTexCoord(static_cast<float>(i), 0));
  }
  for (int f = 0; f < faces; ++f) mesh.AddFace(MakeFace(vertex(rng), vertex(rng), vertex(rng)));
}

TEST(MeshData, AddVertexAndSetSizeKeepArraysParallel) {
  TMeshDataN mesh;
  EXPECT_EQ(mesh.AddVertex(MakeVertex(1, 2, 3), MakeTexCoord(0.5f, 0.25f)), 0);
  EXPECT_EQ(mesh.AddVertex(MakeVertex(4, 5, 6), MakeTexCoord(1, 1)), 1);
  mesh.AddFace(MakeFace(0, 1, 1));
  EXPECT_EQ(mesh.VertexCount, 2);
  EXPECT_EQ(mesh.FaceCount, 1);
  EXPECT_EQ(mesh.Normals.size(), 2u);
  mesh.SetSize(4, 3);
  ASSERT_EQ(mesh.Vertices.size(), 4u);
  ASSERT_EQ(mesh.TexCoords.size(), 4u);
  ASSERT_EQ(mesh.Normals.size(), 4u);
  EXPECT_EQ(mesh.Vertices[1].y, 5.0f);  // kept
  EXPECT_EQ(mesh.Vertices[3].x, 0.0f);  // zero-filled
  // SetSize recomputes normals at once: the new zero faces are degenerate
  // and the unused vertex 3 sums to zero, so both normalise to NaN.
  EXPECT_TRUE(std::isnan(mesh.Normals[3].x));
  mesh.Clear();
  EXPECT_EQ(mesh.VertexCount, 0);
  EXPECT_TRUE(mesh.Faces.empty());
}

TEST(MeshData, NormalsOfCounterClockwiseFacesFaceTheViewer) {
  // A unit square in the z = 0 plane, both triangles counter-clockwise seen from +z.
  TMeshDataN mesh;
  mesh.AddVertex(MakeVertex(0, 0, 0), {});
  mesh.AddVertex(MakeVertex(1, 0, 0), {});
  mesh.AddVertex(MakeVertex(1, 1, 0), {});
  mesh.AddVertex(MakeVertex(0, 1, 0), {});
  mesh.AddFace(MakeFace(0, 1, 2));
  mesh.AddFace(MakeFace(0, 2, 3));
  mesh.ComputeNormals();
  for (const TVertex& n : mesh.Normals) {
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 0.0f);
    EXPECT_EQ(n.z, 1.0f);
  }
}

TEST(MeshData, LargerFacesWeighMoreAndRepeatedCornersCountTwice) {
  TMeshDataN mesh;
  mesh.AddVertex(MakeVertex(0, 0, 0), {});
  mesh.AddVertex(MakeVertex(4, 0, 0), {});
  mesh.AddVertex(MakeVertex(0, 4, 0), {});
  mesh.AddVertex(MakeVertex(0, 0, 1), {});
  mesh.AddFace(MakeFace(0, 1, 2));  // normal (0, 0, 16)
  mesh.AddFace(MakeFace(0, 3, 1));  // normal (0, 4, 0)
  mesh.ComputeNormals();
  const TVertex expected = [] {
    TVertex v = MakeVertex(0, 4, 16);
    NormalizeVector(v);
    return v;
  }();
  EXPECT_TRUE(SameBits(mesh.Normals[0], expected));
  EXPECT_TRUE(SameBits(mesh.VertexNormal(0), expected));
}

TEST(MeshData, FastNormalsEqualThePerVertexDefinitionBitForBit) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 30; ++round) {
    TMeshDataN mesh;
    std::uniform_real_distribution<float> coord(-10, 10);
    const int vertices = 5 + round * 3;
    for (int i = 0; i < vertices; ++i) mesh.AddVertex(MakeVertex(coord(rng), coord(rng), coord(rng)), {});
    std::uniform_int_distribution<int> vertex(0, vertices - 1);
    for (int f = 0; f < vertices * 2; ++f) mesh.AddFace(MakeFace(vertex(rng), vertex(rng), vertex(rng)));
    mesh.ComputeNormals();
    for (int32_t i = 0; i < mesh.VertexCount; ++i) {
      ASSERT_TRUE(SameBits(mesh.Normals[i], mesh.VertexNormal(i))) << "round " << round << " vertex " << i;
    }
  }
}

TEST(MeshData, RebuildNormalsFromUsesTheGivenPositions) {
  TMeshDataN mesh;
  mesh.AddVertex(MakeVertex(0, 0, 0), {});
  mesh.AddVertex(MakeVertex(1, 0, 0), {});
  mesh.AddVertex(MakeVertex(0, 1, 0), {});
  mesh.AddFace(MakeFace(0, 1, 2));
  const TVertexArray turned = {MakeVertex(0, 0, 0), MakeVertex(0, 1, 0), MakeVertex(1, 0, 0)};
  RebuildNormalsFrom(mesh, turned);
  EXPECT_EQ(mesh.Normals[0].z, -1.0f);
  EXPECT_EQ(mesh.Vertices[1].x, 1.0f);  // own vertices untouched
  RebuildNormals(mesh);
  EXPECT_EQ(mesh.Normals[0].z, 1.0f);
}

TEST(WeldVertices, HighestIndexOfEachGroupWins) {
  TMeshData mesh;
  for (int i = 0; i < 8; ++i) mesh.AddVertex(MakeVertex(static_cast<float>(i), 0, 0), {});
  mesh.Vertices[3] = mesh.Vertices[7] = MakeVertex(9, 9, 9);
  mesh.AddFace(MakeFace(3, 1, 7));
  mesh.AddFace(MakeFace(0, 3, 2));
  WeldVertices(mesh);
  EXPECT_EQ(mesh.Faces[0].a, 7);
  EXPECT_EQ(mesh.Faces[0].b, 1);
  EXPECT_EQ(mesh.Faces[0].c, 7);
  EXPECT_EQ(mesh.Faces[1].b, 7);
  EXPECT_EQ(mesh.VertexCount, 8);  // nothing removed
}

TEST(WeldVertices, ZeroAndNegativeZeroAreOnePosition) {
  TMeshData mesh;
  mesh.AddVertex(MakeVertex(0.0f, -0.0f, 1), MakeTexCoord(0, 0));
  mesh.AddVertex(MakeVertex(-0.0f, 0.0f, 1), MakeTexCoord(1, 0));
  mesh.AddVertex(MakeVertex(-0.0f, -0.0f, 1), MakeTexCoord(2, 0));
  mesh.AddFace(MakeFace(0, 1, 2));
  WeldVertices(mesh);
  EXPECT_EQ(mesh.Faces[0].a, 2);
  EXPECT_EQ(mesh.Faces[0].b, 2);
  EXPECT_EQ(mesh.Faces[0].c, 2);
  EXPECT_EQ(mesh.TexCoords[0].u, 0.0f);  // each vertex keeps its own texture coordinate
}

TEST(WeldVertices, SortedWeldEqualsThePairwiseDefinitionOnRandomMeshes) {
  std::mt19937 rng(777);
  for (int round = 0; round < 40; ++round) {
    TMeshDataN fast;
    FillRandom(fast, rng, 10 + round * 4, 30 + round * 5);
    TMeshDataN slow;
    for (int32_t i = 0; i < fast.VertexCount; ++i) slow.AddVertex(fast.Vertices[i], fast.TexCoords[i]);
    for (const TFace& f : fast.Faces) slow.AddFace(f);
    WeldVertices(fast);
    QuadraticWeld(slow);
    for (int32_t f = 0; f < fast.FaceCount; ++f) {
      ASSERT_EQ(fast.Faces[f].a, slow.Faces[f].a) << "round " << round << " face " << f;
      ASSERT_EQ(fast.Faces[f].b, slow.Faces[f].b);
      ASSERT_EQ(fast.Faces[f].c, slow.Faces[f].c);
    }
  }
}

TEST(MeshOps, RotateAndScaleMoveVerticesOnly) {
  TMeshDataN mesh;
  mesh.AddVertex(MakeVertex(0, 1, 0), {});
  mesh.Normals[0] = MakeVertex(0, 1, 0);
  RotateMesh(mesh, MakeVertex(270, 0, 0));
  EXPECT_NEAR(mesh.Vertices[0].z, -1.0f, 1e-6f);
  EXPECT_EQ(mesh.Normals[0].y, 1.0f);
  ScaleMesh(mesh, MakeVertex(3, 3, 3));
  EXPECT_NEAR(mesh.Vertices[0].z, -3.0f, 1e-6f);
}

}  // namespace
