// The 3DS model loader: mesh objects of the reader become indexed meshes.

#include "geometry/ORV2_3ds.h"

#include "platform/stream_errors.h"

std::unique_ptr<T3DSLoader> Loader3DS;

void CreateLoader() { Loader3DS = std::make_unique<T3DSLoader>(); }

void FreeLoader() { Loader3DS.reset(); }

void T3DSLoader::OpenFile(const std::string& fileName) {
  File = std::make_unique<TFile3DS>(fileName);
  MeshCount = File->Objects.MeshCount();
}

void T3DSLoader::CloseFile() {
  File.reset();
  MeshCount = 0;
}

std::unique_ptr<TMeshDataNM> T3DSLoader::GetMesh(int32_t index) {
  const TMesh3DS* rec = File ? File->Objects.Mesh(index) : nullptr;
  if (!rec) throw EListError(index);  // a file without mesh objects has no index at all
  // A face naming a vertex the mesh does not have would make every draw read
  // outside the vertex arrays, so such a file is refused here.
  for (uint16_t f = 0; f < rec->NFaces; ++f) {
    const TFace3DS& face = rec->FaceArray[f];
    for (uint16_t corner : {face.v1, face.v2, face.v3}) {
      if (corner >= rec->NVertices) {
        throw E3DSError("Mesh \"" + rec->Name + "\": face " + std::to_string(f) +
                        " names vertex " + std::to_string(corner) + " but the mesh has " +
                        std::to_string(rec->NVertices) + " vertices");
      }
    }
  }
  auto mesh = std::make_unique<TMeshDataNM>();
  for (uint16_t i = 0; i < rec->NVertices; ++i) {
    const TTexCoord texCoord =
        i < rec->NTextVerts ? MakeTexCoord(rec->TextArray[i].u, rec->TextArray[i].v) : TTexCoord{};
    const TPoint3DS& p = rec->VertexArray[i];
    mesh->AddVertex(MakeVertex(p.x, p.y, p.z), texCoord);
  }
  for (const TFace3DS& face : rec->FaceArray) mesh->AddFace(MakeFace(face.v1, face.v2, face.v3));
  mesh->Name = rec->Name;
  return mesh;
}
