// The generated models, read back through the show's loader: closed,
// facing the right way, fully mapped, deterministic, and sized for the
// cameras that show them.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <utility>

#include "geometry/ORV2Classes.h"
#include "geometry/ORV2_3ds.h"
#include "tools/generate/model_shapes.h"
#include "tools/generate/models.h"

namespace {

const std::string kDataDir = VELORIA_DATA_DIR;

struct Box {
  TVertex low, high;
  float Height() const { return high.y - low.y; }
};

Box BoundsOf(const TMeshData& mesh) {
  Box box{mesh.Vertices[0], mesh.Vertices[0]};
  for (const TVertex& v : mesh.Vertices) {
    box.low = {std::min(box.low.x, v.x), std::min(box.low.y, v.y), std::min(box.low.z, v.z)};
    box.high = {std::max(box.high.x, v.x), std::max(box.high.y, v.y), std::max(box.high.z, v.z)};
  }
  return box;
}

// Loads a model the way the scenes do, checking what every model shares:
// one mesh, one mapping coordinate per vertex.
std::unique_ptr<TOrvBrush> LoadShowModel(const std::string& name) {
  auto brush = std::make_unique<TOrvBrush>();
  brush->LoadFromFile(kDataDir + "/mod/" + name);
  EXPECT_EQ(brush->MeshCount, 1) << name;
  TFile3DS file(kDataDir + "/mod/" + name);
  const TMesh3DS* rec = file.Objects.Mesh(0);
  EXPECT_EQ(rec->NTextVerts, rec->NVertices) << name;
  return brush;
}

// After welding, every edge of a closed, consistently wound surface is used
// once in each direction. Returns the number of edges that are not.
int OpenEdges(const TMeshData& source) {
  TMeshData mesh;
  for (int32_t i = 0; i < source.VertexCount; ++i) mesh.AddVertex(source.Vertices[i], source.TexCoords[i]);
  for (const TFace& f : source.Faces) mesh.AddFace(f);
  WeldVertices(mesh);
  std::map<std::pair<int32_t, int32_t>, int> uses;
  for (const TFace& f : mesh.Faces) {
    for (auto [p, q] : {std::pair{f.a, f.b}, std::pair{f.b, f.c}, std::pair{f.c, f.a}}) ++uses[{p, q}];
  }
  int open = 0;
  for (const auto& [edge, count] : uses) {
    const auto back = uses.find({edge.second, edge.first});
    if (count != 1 || back == uses.end() || back->second != 1) ++open;
  }
  return open;
}

Model3DSObject AsObject(const TMeshData& mesh) {
  Model3DSObject object;
  object.Vertices = mesh.Vertices;
  object.Faces = mesh.Faces;
  return object;
}

// Fraction of the screen height that `height` world units fill at `distance`
// under the show's 45-degree perspective.
float ScreenFraction(float height, float distance) {
  return height / (2 * distance * std::tan(22.5f * std::numbers::pi_v<float> / 180));
}

TEST(Models, HeartFillsAboutHalfTheHeartCamerasView) {
  auto heart = LoadShowModel("heart.3ds");
  TMeshDataNM& mesh = *heart->Meshes[0];
  EXPECT_EQ(OpenEdges(mesh), 0);
  EXPECT_GT(SignedVolume(AsObject(mesh)), 0.0);
  EXPECT_LT(mesh.VertexCount, 8000);
  heart->Rotate(MakeVertex(270, 0, 0));
  heart->Scale(MakeVertex(3, 3, 3));
  const Box box = BoundsOf(mesh);
  const float fraction = ScreenFraction(box.Height(), std::sqrt(40.0f * 40 + 20 * 20 + 20 * 20));
  EXPECT_GT(fraction, 0.4f);
  EXPECT_LT(fraction, 0.6f);
  EXPECT_NEAR(box.low.y + box.high.y, 0.0f, 0.1f);  // centred on the camera's target
  // Wider (along z) than deep (along x): its front faces the camera's start.
  EXPECT_GT(box.high.z - box.low.z, 15.0f);
  EXPECT_LT(box.high.x - box.low.x, box.high.z - box.low.z);
}

TEST(Models, CageEnclosesTheHeartCameraAndFacesInwards) {
  auto cage = LoadShowModel("invertgeo.3ds");
  TMeshDataNM& mesh = *cage->Meshes[0];
  EXPECT_LE(mesh.VertexCount, 400);
  EXPECT_EQ(OpenEdges(mesh), 0);
  EXPECT_LT(SignedVolume(AsObject(mesh)), 0.0);
  // Flat facets: each face has its own three vertices.
  EXPECT_EQ(mesh.VertexCount, 3 * mesh.FaceCount);
  cage->Scale(MakeVertex(3, 3, 3));
  const float cameraDistance = std::sqrt(40.0f * 40 + 20 * 20 + 20 * 20);
  for (const TVertex& v : mesh.Vertices) {
    EXPECT_GT(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), cameraDistance + 5);
  }
}

TEST(Models, LandscapeIsAClosedIslandTwoHundredUnitsAcross) {
  auto land = LoadShowModel("geo.3ds");
  TMeshDataNM& mesh = *land->Meshes[0];
  EXPECT_GE(mesh.VertexCount, 2000);
  EXPECT_LE(mesh.VertexCount, 6000);
  EXPECT_EQ(OpenEdges(mesh), 0);
  EXPECT_GT(SignedVolume(AsObject(mesh)), 0.0);
  const Box box = BoundsOf(mesh);
  EXPECT_NEAR(box.high.x - box.low.x, 200.0f, 1.0f);
  EXPECT_NEAR(box.high.y - box.low.y, 200.0f, 1.0f);
  EXPECT_GT(box.high.z, 20.0f);  // mountains, Z up
  // At rest the island fills most of the view of the camera circling at
  // about 330 units, leaving room for the wave to swell it.
  EXPECT_LT(ScreenFraction(box.high.x - box.low.x, 330), 0.8f);
}

TEST(Models, DameStandsInTheSectionSixCamerasView) {
  auto dame = LoadShowModel("dame.3ds");
  TMeshDataNM& mesh = *dame->Meshes[0];
  EXPECT_EQ(OpenEdges(mesh), 0);
  EXPECT_GT(SignedVolume(AsObject(mesh)), 0.0);
  dame->Rotate(MakeVertex(270, 0, 0));
  const Box box = BoundsOf(mesh);
  // Seen from 141 units, the view spans 100 +- 58 units in height; the
  // figure (and its 3-unit outline) stays inside with a margin, and is
  // more than half as tall as the view.
  EXPECT_GT(box.low.y - 3, 100 - 52.0f);
  EXPECT_LT(box.high.y + 3, 100 + 52.0f);
  EXPECT_GT(ScreenFraction(box.Height(), 141), 0.6f);
  EXPECT_NEAR(box.low.x + box.high.x, 0.0f, 0.01f);
}

TEST(Models, SeamsAreSeparateVerticesAndOutputIsDeterministic) {
  // Welding merges texture-seam copies: fewer distinct corners than vertices.
  for (const Model3DSObject& object : {BuildHeart(), BuildDame()}) {
    TMeshData mesh;
    for (size_t i = 0; i < object.Vertices.size(); ++i) mesh.AddVertex(object.Vertices[i], object.TexCoords[i]);
    for (const TFace& f : object.Faces) mesh.AddFace(f);
    WeldVertices(mesh);
    std::map<int32_t, int> used;
    for (const TFace& f : mesh.Faces) used[f.a] = used[f.b] = used[f.c] = 1;
    EXPECT_LT(used.size(), object.Vertices.size());
  }
  EXPECT_EQ(Encode3DSModel({BuildLandscape()}), Encode3DSModel({BuildLandscape()}));
  EXPECT_EQ(Encode3DSModel({BuildHeart()}), Encode3DSModel({BuildHeart()}));
}

}  // namespace
