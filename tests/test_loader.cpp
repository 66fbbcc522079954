// The 3DS loader and the brush: meshes copied from mesh objects, the face
// index check, missing mapping coordinates, and the brush's transforms.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geometry/ORV2_3ds.h"
#include "platform/stream_errors.h"
#include "surfaces/ORV2Deform.h"
#include "tests/files_3ds.h"

namespace {

class ModelLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateLoader(); }
  void TearDown() override { FreeLoader(); }
};

TEST_F(ModelLoaderTest, MeshesInFileOrderSkippingLights) {
  Model3DSObject first = StripObject("first", 3);
  Model3DSObject second = StripObject("quad", 4);
  Loader3DS->OpenFile(WriteTempModel(
      "two_meshes.3ds", ModelFile({MeshObjectChunk(first), LightObject("sun"), MeshObjectChunk(second)})));
  ASSERT_EQ(Loader3DS->MeshCount, 2);
  std::unique_ptr<TMeshDataNM> mesh = Loader3DS->GetMesh(1);
  EXPECT_EQ(mesh->Name, "quad");
  EXPECT_EQ(mesh->VertexCount, 4);
  EXPECT_EQ(mesh->FaceCount, 2);
  EXPECT_EQ(mesh->Vertices[3].y, 6.0f);
  EXPECT_EQ(mesh->TexCoords[3].v, -3.0f);
  EXPECT_EQ(mesh->Faces[1].a, 1);
  EXPECT_EQ(mesh->Faces[1].c, 3);
  EXPECT_EQ(mesh->Normals[0].x, 0.0f);  // normals are the brush's business
  EXPECT_THROW(Loader3DS->GetMesh(2), EListError);
}

TEST_F(ModelLoaderTest, FaceIndicesAreWidenedUnsigned) {
  Model3DSObject big = StripObject("big", 40001);
  big.Faces = {MakeFace(40000, 0, 1)};
  Loader3DS->OpenFile(WriteTempModel("big.3ds", Encode3DSModel({big})));
  EXPECT_EQ(Loader3DS->GetMesh(0)->Faces[0].a, 40000);
}

TEST_F(ModelLoaderTest, FaceNamingAMissingVertexIsRejectedWithTheMeshName) {
  std::vector<uint8_t> bytes = Encode3DSModel({StripObject("broken", 3)});
  PutU16(bytes, FindTag(bytes, 0x4120) + 8 + 2, 65535);  // face 0, corner b
  Loader3DS->OpenFile(WriteTempModel("broken.3ds", bytes));
  try {
    Loader3DS->GetMesh(0);
    FAIL() << "no error";
  } catch (const E3DSError& e) {
    EXPECT_STREQ(e.what(), "Mesh \"broken\": face 0 names vertex 65535 but the mesh has 3 vertices");
  }
}

TEST_F(ModelLoaderTest, MissingMappingCoordinatesBecomeZero) {
  Model3DSObject object = StripObject("few", 4);
  std::vector<uint8_t> bytes = Encode3DSModel({object});
  PutU16(bytes, FindTag(bytes, 0x4140) + 6, 2);  // only two of four are listed
  Loader3DS->OpenFile(WriteTempModel("few.3ds", bytes));
  std::unique_ptr<TMeshDataNM> mesh = Loader3DS->GetMesh(0);
  EXPECT_EQ(mesh->TexCoords[1].u, 1.0f);
  EXPECT_EQ(mesh->TexCoords[2].u, 0.0f);
  EXPECT_EQ(mesh->TexCoords[3].v, 0.0f);

  // No mapping list at all.
  Chunk3DSBuilder mesh3(0x4100);
  mesh3.Add(Chunk3DSBuilder(0x4110).U16(1).F32(1).F32(2).F32(3));
  Loader3DS->OpenFile(WriteTempModel("none.3ds", ModelFile({Chunk3DSBuilder(0x4000).String("bare").Add(mesh3)})));
  EXPECT_EQ(Loader3DS->GetMesh(0)->TexCoords[0].u, 0.0f);
}

TEST_F(ModelLoaderTest, FileWithoutMeshesHasNoIndexAtAll) {
  Loader3DS->OpenFile(WriteTempModel("lights.3ds", ModelFile({LightObject("a")})));
  EXPECT_EQ(Loader3DS->MeshCount, 0);
  EXPECT_THROW(Loader3DS->GetMesh(0), EListError);
}

TEST_F(ModelLoaderTest, MutatedFilesNeverYieldFacesOutsideTheirVertices) {
  const std::vector<uint8_t> good = Encode3DSModel({StripObject("a", 6), StripObject("b", 4)});
  std::mt19937 rng(2024);
  std::uniform_int_distribution<size_t> at(0, good.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  int loaded = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> bytes = good;
    for (int k = 0; k < 1 + round % 3; ++k) bytes[at(rng)] = static_cast<uint8_t>(byte(rng));
    try {
      Loader3DS->File = std::make_unique<TFile3DS>(bytes, "mutated.3ds");
      Loader3DS->MeshCount = Loader3DS->File->Objects.MeshCount();
      for (int32_t i = 0; i < Loader3DS->MeshCount; ++i) {
        const std::unique_ptr<TMeshDataNM> mesh = Loader3DS->GetMesh(i);
        ASSERT_EQ(mesh->TexCoords.size(), mesh->Vertices.size());
        for (const TFace& f : mesh->Faces) {
          for (int32_t corner : {f.a, f.b, f.c}) ASSERT_LT(corner, mesh->VertexCount);
        }
        ++loaded;
      }
    } catch (const E3DSError&) {
    } catch (const EReadError&) {
    }
  }
  EXPECT_GT(loaded, 100);
}

TEST(Brush, LoadsMeshesWithNormalsAndTurnsThem) {
  // A square in the z = 0 plane facing +z, then a triangle.
  Model3DSObject square;
  square.Name = "square";
  square.Vertices = {MakeVertex(0, 0, 0), MakeVertex(1, 0, 0), MakeVertex(1, 1, 0), MakeVertex(0, 1, 0)};
  square.TexCoords.resize(4);
  square.Faces = {MakeFace(0, 1, 2), MakeFace(0, 2, 3)};
  const std::string path = WriteTempModel("square.3ds", Encode3DSModel({square, StripObject("t", 3)}));

  TOrvBrush brush;
  brush.LoadFromFile(path);
  EXPECT_EQ(Loader3DS, nullptr);
  ASSERT_EQ(brush.MeshCount, 2);
  TMeshDataNM& mesh = *brush.Meshes[0];
  EXPECT_EQ(mesh.Normals[2].z, 1.0f);

  brush.Rotate(MakeVertex(270, 0, 0));  // +y to -z, +z to +y
  EXPECT_NEAR(mesh.Vertices[3].z, -1.0f, 1e-6f);
  EXPECT_NEAR(mesh.Normals[2].y, 1.0f, 1e-6f);
  EXPECT_NEAR(mesh.Normals[2].z, 0.0f, 1e-6f);

  const TVertex normalBefore = mesh.Normals[1];
  brush.Scale(MakeVertex(3, 3, 3));
  EXPECT_NEAR(mesh.Vertices[2].x, 3.0f, 1e-6f);
  EXPECT_NEAR(mesh.Vertices[2].z, -3.0f, 1e-6f);
  EXPECT_EQ(mesh.Normals[1].y, normalBefore.y);
}

TEST(Brush, ModelWithoutMeshesGivesAnEmptyBrush) {
  TOrvBrush brush;
  brush.LoadFromFile(WriteTempModel("empty.3ds", ModelFile({})));
  EXPECT_EQ(brush.MeshCount, 0);
  EXPECT_TRUE(brush.Meshes.empty());
  EXPECT_THROW(brush.LoadFromFile(WriteTempModel("short.3ds", {1, 2})), EReadError);
  EXPECT_EQ(Loader3DS, nullptr);
}

// A scene asks for mesh 0 right after loading: a file without meshes (e.g.
// noise, which is no 3DS database) is refused with the list's message.
TEST(Brush, MeshOutsideTheListIsRefusedByIndex) {
  const std::string none = WriteTempModel("none.3ds", ModelFile({}));
  TOrvDeformBrush deform(5, 0);
  deform.LoadFromFile(none);
  try {
    deform.SelectMesh(0);
    ADD_FAILURE() << "mesh 0 of an empty model was selected";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (0)");
  }
  EXPECT_EQ(deform.VertexCount, 0);

  TOrvBrush brush;
  brush.LoadFromFile(WriteTempModel("two.3ds", Encode3DSModel({StripObject("a", 3), StripObject("b", 4)})));
  EXPECT_EQ(brush.Mesh(1).VertexCount, 4);
  EXPECT_THROW(brush.Mesh(2), EListError);
  EXPECT_THROW(brush.Mesh(-1), EListError);
}

}  // namespace
