// Records decoded from 3DS model files, and the reader's error class.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Raised for every file the 3DS reader cannot use; the message says why and,
// for a malformed file, at which file offset.
class E3DSError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One node of the chunk tree, read at open: where the chunk is and how it
// nests. Nodes live in one array; links are indices, -1 for none.
struct TChunk3DS {
  uint16_t Tag = 0;
  uint32_t Length = 0;    // the whole chunk: header, own data and sub-chunks
  uint32_t Position = 0;  // file offset of the 6-byte header
  int32_t Next = -1;      // next sibling
  int32_t FirstChild = -1;
};

struct TPoint3DS {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct TTexVert3DS {
  float u = 0.0f, v = 0.0f;
};

struct TFace3DS {
  uint16_t v1 = 0, v2 = 0, v3 = 0, flag = 0;
};

// A material group of a face list: the faces drawn with one material.
struct TObjMat3DS {
  std::string Name;
  uint16_t NFaces = 0;
  std::vector<uint16_t> FaceIndex;
};

// Planar, cylindrical or spherical mapping parameters of an object (0x4170).
struct TMapInfo3DS {
  uint16_t MapType = 0;
  float TileX = 0, TileY = 0;
  float CenX = 0, CenY = 0, CenZ = 0;
  float Scale = 0;
  std::array<float, 12> Matrix{};
  float PlanarWidth = 0, PlanarHeight = 0, CylinderHeight = 0;
};

// One named object with a triangle mesh, as stored in the file. Counts are
// 16-bit as in the file; the arrays own their elements.
struct TMesh3DS {
  std::string Name;
  // Object flags: direct children 0x4010, 0x4011, 0x4013, 0x4012, 0x4014,
  // 0x4017 and 0x4016 of the named object.
  bool IsHidden = false, IsVisLofter = false, IsMatte = false, IsNoCast = false,
       IsFast = false, IsNoRcvShad = false, IsFrozen = false;
  uint16_t NVertices = 0;
  std::vector<TPoint3DS> VertexArray;
  uint16_t NVFlags = 0;
  std::vector<uint16_t> VFlagArray;
  uint16_t NTextVerts = 0;
  std::vector<TTexVert3DS> TextArray;
  bool UseMapInfo = false;
  TMapInfo3DS Map;
  std::array<float, 12> LocMatrix{};
  uint16_t NFaces = 0;
  std::vector<TFace3DS> FaceArray;
  std::vector<uint32_t> SmoothArray;  // one smoothing-group mask per face
  bool UseBoxMap = false;
  std::array<std::string, 6> BoxMapNames;
  uint8_t MeshColor = 0;
  uint16_t NMats = 0;
  std::vector<TObjMat3DS> MatArray;
  bool UseProc = false;  // direct child 0x4015
  uint32_t ProcSize = 0;
  std::string ProcName;
  std::vector<uint8_t> ProcData;
};
