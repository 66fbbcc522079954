// TOrvBrush: a loaded model, turned and sized once, drawn through its meshes.

#include "geometry/ORV2Classes.h"
#include "geometry/ORV2_3ds.h"
#include "platform/stream_errors.h"

void TOrvBrush::LoadFromFile(const std::string& fileName) {
  CreateLoader();
  // The shared loader goes away also when the file is refused.
  struct LoaderRelease {
    ~LoaderRelease() { FreeLoader(); }
  } release;
  LoadModel(fileName);
}

void TOrvBrush::LoadModel(const std::string& fileName) {
  Loader3DS->OpenFile(fileName);
  MeshCount = Loader3DS->MeshCount;
  Meshes.clear();
  Meshes.resize(MeshCount);
  for (int32_t i = 0; i < MeshCount; ++i) {
    Meshes[i] = Loader3DS->GetMesh(i);
    Meshes[i]->ComputeNormals();
  }
  Loader3DS->CloseFile();
}

TMeshDataNM& TOrvBrush::Mesh(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(Meshes.size())) throw EListError(index);
  return *Meshes[index];
}

void TOrvBrush::Rotate(const TVertex& angles) {
  for (auto& mesh : Meshes) {
    RotateMesh(*mesh, angles);
    RebuildNormals(*mesh);
  }
}

void TOrvBrush::Scale(const TVertex& factors) {
  for (auto& mesh : Meshes) ScaleMesh(*mesh, factors);
}
