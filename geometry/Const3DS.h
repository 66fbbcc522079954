// 3DS chunk tags the reader knows, and how much own data each has before its
// sub-chunks.
#pragma once

#include <cstdint>

// Root tags: a model file, and two other databases the reader accepts.
constexpr uint16_t kM3DMagic = 0x4D4D;
constexpr uint16_t kMLibMagic = 0x3DAA;
constexpr uint16_t kCMagic = 0xC23D;
// The mesh path.
constexpr uint16_t kMData = 0x3D3D;          // editor section
constexpr uint16_t kNamedObject = 0x4000;    // ASCIIZ name, then sub-chunks
constexpr uint16_t kObjHidden = 0x4010;      // object flags 0x4010 .. 0x4017: presence only
constexpr uint16_t kObjVisLofter = 0x4011;
constexpr uint16_t kObjDoesntCast = 0x4012;
constexpr uint16_t kObjMatte = 0x4013;
constexpr uint16_t kObjFast = 0x4014;
constexpr uint16_t kObjProcedural = 0x4015;
constexpr uint16_t kObjFrozen = 0x4016;
constexpr uint16_t kObjDontRcvShadow = 0x4017;
constexpr uint16_t kNTriObject = 0x4100;     // triangle mesh container
constexpr uint16_t kPointArray = 0x4110;     // u16 count, count x 3 f32
constexpr uint16_t kPointFlagArray = 0x4111; // u16 count, count x u16
constexpr uint16_t kFaceArray = 0x4120;      // u16 count, count x 4 u16, then sub-chunks
constexpr uint16_t kMshMatGroup = 0x4130;    // ASCIIZ, u16 count, count x u16
constexpr uint16_t kTexVerts = 0x4140;       // u16 count, count x 2 f32
constexpr uint16_t kSmoothGroup = 0x4150;    // u32 per face
constexpr uint16_t kMeshMatrix = 0x4160;     // 12 f32
constexpr uint16_t kMeshColor = 0x4165;      // one byte
constexpr uint16_t kMeshTextureInfo = 0x4170;  // u16, 21 f32
constexpr uint16_t kProcName = 0x4181;       // ASCIIZ
constexpr uint16_t kProcData = 0x4182;       // raw bytes
constexpr uint16_t kMshBoxMap = 0x4190;      // six ASCIIZ
constexpr uint16_t kNDirectLight = 0x4600;
constexpr uint16_t kNCamera = 0x4700;
constexpr uint16_t kMaterialEntry = 0xAFFF;
constexpr uint16_t kKfData = 0xB000;
constexpr uint16_t kXDataSection = 0x8001;   // children must be 0x8002 .. 0x800F
constexpr uint16_t kXDataFirst = 0x8002;
constexpr uint16_t kXDataLast = 0x800F;

// How a chunk's own data is laid out before its sub-chunks.
enum class OwnData {
  kNone,          // a pure container
  kFixed,         // `size` bytes
  kString,        // one ASCIIZ string
  kFaceList,      // u16 count, count x 8 bytes
  kStringThen6,   // ASCIIZ string, then 6 bytes
  kU16StringU32,  // u16, ASCIIZ string, u32
  kWhole,         // the whole rest of the chunk: no sub-chunks
};

struct OwnDataLayout {
  OwnData kind;
  uint32_t size;  // for kFixed only
};

// The layout of `tag`'s own data; unknown tags are kWhole.
OwnDataLayout OwnDataLayoutOf(uint16_t tag);
