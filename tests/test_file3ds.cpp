// The 3DS reader: which chunks are found, the mesh cache, the error texts,
// and the rejection of malformed files without reading outside them.

#include <gtest/gtest.h>

#include <random>

#include "geometry/File3DS.h"
#include "platform/stream_errors.h"
#include "tests/files_3ds.h"

namespace {

TFile3DS Open(std::vector<uint8_t> bytes) { return TFile3DS(std::move(bytes), "test.3ds"); }

// The message of the E3DSError that `bytes` raise when opened and all their
// meshes are decoded; empty when they load.
std::string RejectionOf(std::vector<uint8_t> bytes) {
  try {
    TFile3DS file(std::move(bytes), "bad.3ds");
    for (int32_t i = 0; i < file.Objects.MeshCount(); ++i) file.Objects.Mesh(i);
  } catch (const E3DSError& e) {
    return e.what();
  }
  return "";
}

TEST(File3DS, FirstTagNotARootTagOpensWithoutMeshes) {
  std::vector<uint8_t> bytes = ModelFile({MeshObjectChunk(StripObject("a", 3))});
  PutU16(bytes, 0, 0x1234);
  TFile3DS file = Open(bytes);
  EXPECT_EQ(file.Chunks().size(), 1u);
  EXPECT_EQ(file.Objects.MeshCount(), 0);
  EXPECT_EQ(file.Objects.Mesh(0), nullptr);
}

TEST(File3DS, OnlyObjectsWithATriangleMeshCount) {
  Chunk3DSBuilder empty(0x4000);
  empty.String("empty");
  TFile3DS file = Open(ModelFile({empty, LightObject("lamp"), MeshObjectChunk(StripObject("second", 4))}));
  ASSERT_EQ(file.Objects.MeshCount(), 1);
  const TMesh3DS* mesh = file.Objects.Mesh(0);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->Name, "second");
  EXPECT_EQ(mesh->NVertices, 4);
  EXPECT_EQ(mesh->VertexArray[3].z, 9.0f);
  EXPECT_EQ(mesh->NFaces, 2);
  EXPECT_EQ(mesh->NTextVerts, 4);
  EXPECT_EQ(mesh->TextArray[2].v, -2.0f);
  EXPECT_EQ(mesh->FaceArray[1].flag, 7);
}

// A file laid out as modelling programs write them: version chunks, a
// material, master scale, two meshes with flags, matrix and smoothing, a
// spotlight, a camera, and a keyframer section with object nodes.
TEST(File3DS, ExporterStyleFileWithMaterialsLightsCamerasAndKeyframes) {
  Chunk3DSBuilder material(0xAFFF);
  material.Add(Chunk3DSBuilder(0xA000).String("Gold"));
  material.Add(Chunk3DSBuilder(0xA010).Add(Chunk3DSBuilder(0x0011).U8(200).U8(150).U8(20)));
  material.Add(Chunk3DSBuilder(0xA040).Add(Chunk3DSBuilder(0x0030).U16(40)));
  material.Add(Chunk3DSBuilder(0xA200).Add(Chunk3DSBuilder(0x0030).U16(100)).Add(Chunk3DSBuilder(0xA300).String("GOLD.JPG")).Add(Chunk3DSBuilder(0xA351).U16(0)));

  Chunk3DSBuilder detailed(0x4000);
  {
    Chunk3DSBuilder mesh(0x4100);
    Model3DSObject strip = StripObject("Box01", 5);
    Chunk3DSBuilder points(0x4110);
    points.U16(5);
    for (const TVertex& v : strip.Vertices) points.F32(v.x).F32(v.y).F32(v.z);
    Chunk3DSBuilder flags(0x4111);
    flags.U16(5);
    for (int i = 0; i < 5; ++i) flags.U16(0);
    Chunk3DSBuilder map(0x4140);
    map.U16(5);
    for (const TTexCoord& t : strip.TexCoords) map.F32(t.u).F32(t.v);
    Chunk3DSBuilder matrix(0x4160);
    for (int i = 0; i < 12; ++i) matrix.F32(i % 4 == 0 ? 1.0f : 0.0f);
    Chunk3DSBuilder faces(0x4120);
    faces.U16(3);
    for (const TFace& f : strip.Faces) faces.U16(f.a).U16(f.b).U16(f.c).U16(7);
    faces.Add(Chunk3DSBuilder(0x4130).String("Gold").U16(3).U16(0).U16(1).U16(2));
    faces.Add(Chunk3DSBuilder(0x4150).U32(1).U32(1).U32(1));
    mesh.Add(points).Add(flags).Add(map).Add(matrix).Add(Chunk3DSBuilder(0x4165).U8(3)).Add(faces);
    detailed.String("Box01").Add(Chunk3DSBuilder(0x4012)).Add(mesh);
  }
  Chunk3DSBuilder spot(0x4000);
  {
    Chunk3DSBuilder light(0x4600);
    light.F32(10).F32(20).F32(30).Add(Chunk3DSBuilder(0x0010).F32(1).F32(1).F32(1));
    Chunk3DSBuilder cone(0x4610);
    cone.F32(0).F32(0).F32(0).F32(30).F32(45).Add(Chunk3DSBuilder(0x4627));
    light.Add(cone).Add(Chunk3DSBuilder(0x4620));
    spot.String("Spot01").Add(light);
  }
  Chunk3DSBuilder camera(0x4000);
  {
    Chunk3DSBuilder lens(0x4700);
    for (int i = 0; i < 8; ++i) lens.F32(static_cast<float>(i));
    lens.Add(Chunk3DSBuilder(0x4720).F32(1).F32(1000));
    camera.String("Camera01").Add(lens);
  }
  Chunk3DSBuilder editor(0x3D3D);
  editor.Add(Chunk3DSBuilder(0x3D3E).U32(3)).Add(material).Add(Chunk3DSBuilder(0x0100).F32(1));
  editor.Add(Chunk3DSBuilder(0x1200).Add(Chunk3DSBuilder(0x0010).F32(0).F32(0).F32(0)));
  editor.Add(Chunk3DSBuilder(0x2100).Add(Chunk3DSBuilder(0x0010).F32(0.1f).F32(0.1f).F32(0.1f)));
  editor.Add(detailed).Add(spot).Add(camera).Add(MeshObjectChunk(StripObject("Sphere01", 7)));

  Chunk3DSBuilder keyframer(0xB000);
  keyframer.Add(Chunk3DSBuilder(0xB00A).U16(5).String("MAXSCENE").U32(100));
  keyframer.Add(Chunk3DSBuilder(0xB008).U32(0).U32(100)).Add(Chunk3DSBuilder(0xB009).U32(0));
  for (const char* name : {"Box01", "Sphere01"}) {
    Chunk3DSBuilder node(0xB002);
    node.Add(Chunk3DSBuilder(0xB030).U16(0));
    node.Add(Chunk3DSBuilder(0xB010).String(name).U16(0).U16(0).U16(0xFFFF));
    node.Add(Chunk3DSBuilder(0xB013).F32(0).F32(0).F32(0));
    Chunk3DSBuilder track(0xB020);
    track.U16(0).U32(0).U32(0).U32(1).U32(0).U16(0).F32(1).F32(2).F32(3);
    node.Add(track);
    keyframer.Add(node);
  }
  Chunk3DSBuilder root(0x4D4D);
  root.Add(Chunk3DSBuilder(0x0002).U32(3)).Add(editor).Add(keyframer);

  TFile3DS file = Open(root.Encode());
  ASSERT_EQ(file.Objects.MeshCount(), 2);
  const TMesh3DS* box = file.Objects.Mesh(0);
  EXPECT_EQ(box->Name, "Box01");
  EXPECT_EQ(box->NVertices, 5);
  EXPECT_EQ(box->NVFlags, 5);
  EXPECT_EQ(box->NFaces, 3);
  EXPECT_EQ(box->NMats, 1);
  EXPECT_EQ(box->SmoothArray.size(), 3u);
  EXPECT_EQ(box->LocMatrix[4], 1.0f);
  EXPECT_EQ(box->MeshColor, 3);
  EXPECT_TRUE(box->IsNoCast);
  EXPECT_EQ(file.Objects.Mesh(1)->Name, "Sphere01");
  EXPECT_EQ(file.Objects.Mesh(1)->NFaces, 5);
  const int32_t nodeHeader = file.FindChunk(0, 0xB010);
  ASSERT_GE(nodeHeader, 0);
  EXPECT_EQ(file.Chunks()[nodeHeader].Next, file.FindChunk(0, 0xB013));
}

TEST(File3DS, RequestedMeshIsDecodedOnceAndCached) {
  TFile3DS file = Open(ModelFile({MeshObjectChunk(StripObject("a", 3)), MeshObjectChunk(StripObject("b", 5))}));
  ASSERT_EQ(file.Objects.MeshCount(), 2);
  const TMesh3DS* first = file.Objects.Mesh(1);
  EXPECT_EQ(first->Name, "b");
  EXPECT_EQ(file.Objects.Mesh(1), first);
  EXPECT_EQ(file.Objects.Mesh(0)->Name, "a");
}

TEST(File3DS, MeshIndexOutsideTheListRaisesListError) {
  TFile3DS file = Open(ModelFile({MeshObjectChunk(StripObject("a", 3))}));
  try {
    file.Objects.Mesh(5);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (5)");
  }
  EXPECT_THROW(file.Objects.Mesh(-1), EListError);
}

TEST(File3DS, MaterialGroupsSmoothingAndBoxMapUnderTheFaceList) {
  Chunk3DSBuilder faces(0x4120);
  faces.U16(2).U16(0).U16(1).U16(2).U16(0).U16(2).U16(1).U16(0).U16(0);
  faces.Add(Chunk3DSBuilder(0x4130).String("red").U16(1).U16(0));
  faces.Add(Chunk3DSBuilder(0x4150).U32(1).U32(2));
  faces.Add(Chunk3DSBuilder(0x4130).String("blue").U16(2).U16(1).U16(0));
  Chunk3DSBuilder box(0x4190);
  for (const char* name : {"a", "b", "c", "d", "e", "f"}) box.String(name);
  faces.Add(box);
  Chunk3DSBuilder mesh(0x4100);
  mesh.Add(Chunk3DSBuilder(0x4110).U16(3).F32(0).F32(0).F32(0).F32(1).F32(0).F32(0).F32(0).F32(1).F32(0));
  mesh.Add(faces);
  Chunk3DSBuilder matrix(0x4160);
  for (int i = 0; i < 12; ++i) matrix.F32(static_cast<float>(i));
  mesh.Add(matrix).Add(Chunk3DSBuilder(0x4165).U8(5));
  Chunk3DSBuilder object(0x4000);
  object.String("grouped").Add(Chunk3DSBuilder(0x4010)).Add(Chunk3DSBuilder(0x4016)).Add(mesh);

  TFile3DS file = Open(ModelFile({object}));
  const TMesh3DS* rec = file.Objects.Mesh(0);
  ASSERT_EQ(rec->NMats, 2);
  EXPECT_EQ(rec->MatArray[0].Name, "red");
  EXPECT_EQ(rec->MatArray[1].Name, "blue");
  ASSERT_EQ(rec->MatArray[1].NFaces, 2);
  EXPECT_EQ(rec->MatArray[1].FaceIndex[1], 0);
  ASSERT_EQ(rec->SmoothArray.size(), 2u);
  EXPECT_EQ(rec->SmoothArray[1], 2u);
  EXPECT_TRUE(rec->UseBoxMap);
  EXPECT_EQ(rec->BoxMapNames[5], "f");
  EXPECT_EQ(rec->LocMatrix[11], 11.0f);
  EXPECT_EQ(rec->MeshColor, 5);
  EXPECT_TRUE(rec->IsHidden);
  EXPECT_TRUE(rec->IsFrozen);
  EXPECT_FALSE(rec->IsMatte);
  EXPECT_EQ(rec->NTextVerts, 0);
}

TEST(File3DS, ExtraDataSectionKeepsOnlyItsOwnChunks) {
  // 0x8001 holds 0x8002, then a foreign 0x9000 that ends the section, then
  // a 0x8003 that is never read.
  Chunk3DSBuilder section(0x8001);
  section.Add(Chunk3DSBuilder(0x8002).U32(1)).Add(Chunk3DSBuilder(0x9000).U32(2)).Add(Chunk3DSBuilder(0x8003));
  Chunk3DSBuilder root(0x4D4D);
  root.Add(section).Add(Chunk3DSBuilder(0x3D3D).Add(MeshObjectChunk(StripObject("after", 3))));
  TFile3DS file = Open(root.Encode());
  const int32_t sectionNode = file.FindChunk(0, 0x8001);
  ASSERT_GE(sectionNode, 0);
  const int32_t child = file.Chunks()[sectionNode].FirstChild;
  ASSERT_GE(child, 0);
  EXPECT_EQ(file.Chunks()[child].Tag, 0x8002);
  EXPECT_EQ(file.Chunks()[child].Next, -1);
  EXPECT_EQ(file.FindChunk(0, 0x8003), -1);
  EXPECT_EQ(file.Objects.MeshCount(), 1);  // reading goes on after the section

  // A section child reaching past the section is dropped and reading goes on
  // right after its header.
  Chunk3DSBuilder overrun(0x8001);
  overrun.Add(Chunk3DSBuilder(0x8004)).Add(Chunk3DSBuilder(0x8005));
  std::vector<uint8_t> bytes = Chunk3DSBuilder(0x4D4D).Add(overrun).Encode();
  PutU32(bytes, 12 + 2, 100);  // 0x8004's length now overruns the section
  TFile3DS skipped = Open(bytes);
  const int32_t kept = skipped.Chunks()[skipped.FindChunk(0, 0x8001)].FirstChild;
  ASSERT_GE(kept, 0);
  EXPECT_EQ(skipped.Chunks()[kept].Tag, 0x8005);
}

TEST(File3DS, WrongKindOfDatabaseAndMisplacedMesh) {
  // A material-library root may hold objects, but meshes are not served from it.
  try {
    TFile3DS file = Open(ModelFile({MeshObjectChunk(StripObject("a", 3))}, 0x3DAA));
    ASSERT_EQ(file.Objects.MeshCount(), 1);
    file.Objects.Mesh(0);
    FAIL() << "no error";
  } catch (const E3DSError& e) {
    EXPECT_STREQ(e.what(), "The database passed as an argument is the wrong kind of\rdatabase for this function.");
  }
  // A triangle mesh that is not a direct child of its named object.
  Chunk3DSBuilder wrapper(0x4700);
  for (int i = 0; i < 8; ++i) wrapper.F32(0);
  wrapper.Add(Chunk3DSBuilder(0x4100));
  try {
    TFile3DS file = Open(ModelFile({Chunk3DSBuilder(0x4000).String("cam").Add(wrapper)}));
    ASSERT_EQ(file.Objects.MeshCount(), 1);
    file.Objects.Mesh(0);
    FAIL() << "no error";
  } catch (const E3DSError& e) {
    EXPECT_STREQ(e.what(),
                 "The Name passed to the functions exists but is not the type of object asked for.\r"
                 "For example asking for a mesh object with the GetCameraByName3DS function.");
  }
}

TEST(File3DS, RuntimeErrorsForMissingAndShortFiles) {
  try {
    TFile3DS file("no\\such\\model.3ds");
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file no\\such\\model.3ds");
  }
  try {
    Open({0x4D, 0x4D, 6, 0});
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
}

TEST(File3DS, MalformedChunkLengthsAreRejectedWithTheirOffset) {
  const std::vector<uint8_t> good = ModelFile({MeshObjectChunk(StripObject("a", 4))});
  ASSERT_EQ(RejectionOf(good), "");

  std::vector<uint8_t> bytes = good;
  PutU32(bytes, 2, 3);
  EXPECT_EQ(RejectionOf(bytes), "chunk 0x4D4D at offset 0: length 3 is below the 6-byte chunk header");

  bytes = good;
  PutU32(bytes, 2, static_cast<uint32_t>(good.size() + 1));
  EXPECT_NE(RejectionOf(bytes).find("reaches past the end of the file"), std::string::npos);

  const size_t vertices = FindTag(good, 0x4110);
  bytes = good;
  PutU32(bytes, vertices + 2, 5);
  EXPECT_EQ(RejectionOf(bytes), "chunk 0x4110 at offset " + std::to_string(vertices) +
                                    ": length 5 is below the 6-byte chunk header");

  bytes = good;
  PutU32(bytes, vertices + 2, 4000);
  const std::string past = RejectionOf(bytes);
  EXPECT_NE(past.find("chunk 0x4110 at offset " + std::to_string(vertices)), std::string::npos);
  EXPECT_NE(past.find("reaches past the end of its parent 0x4100"), std::string::npos);

  // A sub-chunk header that the file cuts off: the parent claims more bytes
  // than there are children, up to the end of the file.
  bytes = good;
  bytes.push_back(0x10);
  bytes.push_back(0x00);
  PutU32(bytes, 2, static_cast<uint32_t>(bytes.size()));
  EXPECT_NE(RejectionOf(bytes).find("is cut off by the end of the file"), std::string::npos);
}

TEST(File3DS, CountsThatDoNotFitTheirChunkAreRejected) {
  const std::vector<uint8_t> good = ModelFile({MeshObjectChunk(StripObject("a", 4))});
  for (uint16_t tag : {0x4110, 0x4120, 0x4140}) {
    std::vector<uint8_t> bytes = good;
    PutU16(bytes, FindTag(good, tag) + 6, 60000);
    const std::string message = RejectionOf(bytes);
    EXPECT_NE(message.find("count 60000 needs"), std::string::npos) << std::hex << tag << ": " << message;
    EXPECT_NE(message.find("at offset " + std::to_string(FindTag(good, tag))), std::string::npos);
  }
  // A material group whose face count overruns its chunk.
  Chunk3DSBuilder faces(0x4120);
  faces.U16(0).Add(Chunk3DSBuilder(0x4130).String("m").U16(9).U16(0));
  Chunk3DSBuilder object(0x4000);
  object.String("g").Add(Chunk3DSBuilder(0x4100).Add(faces));
  EXPECT_NE(RejectionOf(ModelFile({object})).find("material face count 9 needs 18 bytes"), std::string::npos);
  // Fixed-size records cut short.
  Chunk3DSBuilder matrix(0x4160);
  matrix.F32(1);
  Chunk3DSBuilder shortMatrix(0x4000);
  shortMatrix.String("m").Add(Chunk3DSBuilder(0x4100).Add(matrix));
  EXPECT_NE(RejectionOf(ModelFile({shortMatrix})).find("local matrix at offset"), std::string::npos);
}

TEST(File3DS, OverlongAndUnterminatedStringsAreRejected) {
  EXPECT_NE(RejectionOf(ModelFile({MeshObjectChunk(StripObject(std::string(256, 'x'), 3))})).find("longer than 255 bytes"),
            std::string::npos);
  EXPECT_EQ(RejectionOf(ModelFile({MeshObjectChunk(StripObject(std::string(255, 'x'), 3))})), "");
  // A name whose zero byte lies outside its chunk.
  std::vector<uint8_t> bytes = ModelFile({Chunk3DSBuilder(0x4000).String("abc")});
  const size_t object = FindTag(bytes, 0x4000);
  PutU32(bytes, object + 2, 8);  // header + "ab", the rest left outside
  PutU32(bytes, FindTag(bytes, 0x3D3D) + 2, 14);
  EXPECT_NE(RejectionOf(bytes).find("cut off by the end of the chunk"), std::string::npos);
}

TEST(File3DS, DeepNestingAndMutatedFilesNeverEscapeTheBuffer) {
  // Ten thousand nested containers: the tree is read without recursion.
  Chunk3DSBuilder inner(0x3D3D);
  std::vector<uint8_t> deep;
  {
    const int depth = 10000;
    deep.resize(6 * depth);
    for (int i = 0; i < depth; ++i) {
      PutU16(deep, 6 * i, i == 0 ? 0x4D4D : 0x3000);
      PutU32(deep, 6 * i + 2, static_cast<uint32_t>(6 * (depth - i)));
    }
  }
  EXPECT_EQ(Open(deep).Chunks().size(), 10000u);

  // Random byte changes and truncations of a valid file either load or are
  // refused with one of the reader's errors.
  const std::vector<uint8_t> good = ModelFile({MeshObjectChunk(StripObject("a", 6)), LightObject("l")});
  std::mt19937 rng(99);
  std::uniform_int_distribution<size_t> at(0, good.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = good;
    for (int k = 0; k < 1 + round % 4; ++k) bytes[at(rng)] = static_cast<uint8_t>(byte(rng));
    if (round % 7 == 0) bytes.resize(at(rng));
    try {
      TFile3DS file(bytes, "fuzz.3ds");
      for (int32_t i = 0; i < file.Objects.MeshCount(); ++i) file.Objects.Mesh(i);
    } catch (const E3DSError&) {
      ++refused;
    } catch (const EReadError&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 100);
}

}  // namespace
