// The 3DS model loader: turns the mesh objects of one model file into
// TMeshDataNM meshes (positions, mapping coordinates, faces and name, copied
// exactly as stored: no local matrix, no centring, no axis swap).
//
// Call order: CreateLoader; Loader3DS->OpenFile; GetMesh(0 .. MeshCount - 1);
// Loader3DS->CloseFile; FreeLoader.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "geometry/File3DS.h"
#include "geometry/ORV2Classes.h"

class T3DSLoader {
 public:
  std::unique_ptr<TFile3DS> File;  // the open model file, or null
  int32_t MeshCount = 0;           // mesh objects in File

  // Opens `fileName` and counts its mesh objects. Reader errors pass through.
  void OpenFile(const std::string& fileName);
  // Mesh object `index` as a new mesh without normals. Throws EListError for
  // an index outside 0 .. MeshCount - 1 and E3DSError naming the mesh for a
  // face whose vertex index is not below the mesh's vertex count. Vertices
  // beyond the mapping-coordinate list get (0, 0).
  std::unique_ptr<TMeshDataNM> GetMesh(int32_t index);
  // Releases the open file; the meshes already returned live on.
  void CloseFile();
};

// The shared loader; exists between CreateLoader and FreeLoader.
extern std::unique_ptr<T3DSLoader> Loader3DS;
void CreateLoader();
void FreeLoader();
