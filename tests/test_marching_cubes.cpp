// Marching cubes: the lookup tables and the polygonisation of small fields.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "surfaces/marching_cubes_tables.h"
#include "surfaces/scalar_field.h"

namespace {

struct Collected : TFieldSink {
  std::vector<TVertex> positions;
  std::vector<TVertex> normals;
  void Corner(const TVertex& normal, const TVertex& position) override {
    normals.push_back(normal);
    positions.push_back(position);
  }
};

std::vector<int> Row(int pattern) {
  std::vector<int> row;
  for (int k = 0; k < 16 && MCTriangleTable[pattern][k] != -1; ++k) row.push_back(MCTriangleTable[pattern][k]);
  return row;
}

TEST(MarchingCubesTables, KnownRowsAndSymmetry) {
  EXPECT_EQ(MCEdgeTable[0], 0x0);
  EXPECT_EQ(MCEdgeTable[1], 0x109);
  EXPECT_EQ(MCEdgeTable[2], 0x203);
  EXPECT_EQ(MCEdgeTable[3], 0x30a);
  EXPECT_EQ(MCEdgeTable[4], 0x406);
  EXPECT_EQ(Row(1), (std::vector<int>{0, 8, 3}));
  EXPECT_EQ(Row(2), (std::vector<int>{0, 1, 9}));
  EXPECT_EQ(Row(3), (std::vector<int>{1, 8, 3, 9, 8, 1}));
  EXPECT_EQ(Row(4), (std::vector<int>{1, 2, 10}));
  EXPECT_EQ(Row(254), (std::vector<int>{0, 3, 8}));
  EXPECT_TRUE(Row(0).empty());
  EXPECT_TRUE(Row(255).empty());
  for (int k = 0; k < 256; ++k) {
    EXPECT_EQ(MCEdgeTable[k], MCEdgeTable[255 - k]) << k;
    // An edge is cut exactly when its corners lie on different sides.
    int cut = 0;
    for (int e = 0; e < 12; ++e) {
      if (((k >> kMCEdgeCorners[e][0]) & 1) != ((k >> kMCEdgeCorners[e][1]) & 1)) cut |= 1 << e;
    }
    EXPECT_EQ(MCEdgeTable[k], cut) << k;
    // The triangles use exactly the cut edges, in whole triples.
    const std::vector<int> row = Row(k);
    int used = 0;
    for (int e : row) used |= 1 << e;
    EXPECT_EQ(used, MCEdgeTable[k]) << k;
    EXPECT_EQ(row.size() % 3, 0u) << k;
    for (size_t rest = row.size(); rest < 16; ++rest) EXPECT_EQ(MCTriangleTable[k][rest], -1);
  }
}

class ScalarFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    field.Size = 4;
    field.BuildLattice();
  }
  void Fill(float value) {
    for (int a = 0; a <= 4; ++a)
      for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j) field.Point(a, i, j).Value = value;
  }
  Collected Surface() {
    Collected out;
    field.Polygonise(out);
    return out;
  }
  TOrvScalarField field;
};

TEST_F(ScalarFieldTest, LatticeSpansTheCubeWithTheThirdIndexAlongMinusZ) {
  const TVertex p = field.Point(0, 0, 0).Position;
  EXPECT_EQ(p.x, -1.0f);
  EXPECT_EQ(p.y, -1.0f);
  EXPECT_EQ(p.z, 1.0f);
  const TVertex q = field.Point(4, 2, 4).Position;
  EXPECT_EQ(q.x, 1.0f);
  EXPECT_EQ(q.y, 0.0f);
  EXPECT_EQ(q.z, -1.0f);
  const TFieldCell& cell = field.Cell(1, 2, 3);
  EXPECT_EQ(cell.Corners[2], &field.Point(2, 2, 4));
  EXPECT_EQ(cell.Corners[7], &field.Point(1, 3, 4));
  // Only the used part of the storage is touched.
  EXPECT_EQ(field.Point(5, 0, 0).Position.x, 0.0f);
  EXPECT_EQ(field.Cell(4, 0, 0).Corners[0], nullptr);
}

TEST_F(ScalarFieldTest, UniformFieldsGiveNoSurface) {
  Fill(0.0f);
  EXPECT_TRUE(Surface().positions.empty());
  Fill(1.0f);  // at the iso-level counts as inside
  EXPECT_TRUE(Surface().positions.empty());
  Fill(7.0f);
  EXPECT_TRUE(Surface().positions.empty());
}

TEST_F(ScalarFieldTest, SingleRaisedPointGivesOneTrianglePerSharingCell) {
  Fill(0.0f);
  field.Point(2, 2, 2).Value = 2.0f;
  field.ComputeNormals();
  const Collected out = Surface();
  ASSERT_EQ(out.positions.size(), 8u * 3u);
  const TVertex centre = field.Point(2, 2, 2).Position;
  for (size_t k = 0; k < out.positions.size(); ++k) {
    // Each vertex lies halfway (mu = 0.5) along an edge leaving the raised point.
    const TVertex& p = out.positions[k];
    const float distance = std::fabs(p.x - centre.x) + std::fabs(p.y - centre.y) + std::fabs(p.z - centre.z);
    EXPECT_FLOAT_EQ(distance, 0.25f);
  }
  // The normals point away from the raised value: outwards.
  const TVertex& up = field.Point(2, 3, 2).Normal;
  EXPECT_EQ(up.y, 1.0f);
  // Boundary points are never given normals.
  EXPECT_EQ(field.Point(0, 2, 2).Normal.x, 0.0f);
}

TEST_F(ScalarFieldTest, CornerValueOfExactlyOnePutsTheVertexOnTheCorner) {
  TFieldPoint p1, p2;
  p1.Position = MakeVertex(0, 0, 0);
  p2.Position = MakeVertex(1, 0, 0);
  p1.Value = 1.0f;
  p2.Value = 0.0f;
  TVertex position, normal;
  InterpolateEdge(p1, p2, position, normal);
  EXPECT_EQ(position.x, 0.0f);
  p1.Value = 3.0f;
  p2.Value = -1.0f;  // |value| of 1 counts as well
  InterpolateEdge(p1, p2, position, normal);
  EXPECT_EQ(position.x, 1.0f);
  p1.Value = 0.5f;
  p2.Value = 0.5f;
  InterpolateEdge(p1, p2, position, normal);
  EXPECT_EQ(position.x, 0.0f);
  p1.Value = 0.0f;
  p2.Value = 4.0f;
  p2.Normal = MakeVertex(0, 4, 0);
  InterpolateEdge(p1, p2, position, normal);
  EXPECT_EQ(position.x, 0.25f);
  EXPECT_EQ(normal.y, 1.0f);  // interpolated, not renormalised

  // In a field: a corner at exactly 1.0 next to lower values.
  Fill(0.0f);
  field.Point(2, 2, 2).Value = 1.0f;
  const Collected out = Surface();
  ASSERT_FALSE(out.positions.empty());
  const TVertex corner = field.Point(2, 2, 2).Position;
  for (const TVertex& p : out.positions) {
    EXPECT_EQ(p.x, corner.x);
    EXPECT_EQ(p.y, corner.y);
    EXPECT_EQ(p.z, corner.z);
  }
}

TEST(ScalarField, NormalizeLeavesZeroVectorsAlone) {
  TVertex v = MakeVertex(0, 0, 0);
  TOrvScalarField::Normalize(v);
  EXPECT_EQ(v.x, 0.0f);
  v = MakeVertex(0, -2, 0);
  TOrvScalarField::Normalize(v);
  EXPECT_EQ(v.y, -1.0f);
}

}  // namespace
