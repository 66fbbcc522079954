// Writing 3DS model files: a chunk builder for any chunk tree, and the model
// layout the show's reader loads (0x4D4D > 0x3D3D > 0x4000 name > 0x4100 >
// 0x4110 vertices, 0x4120 faces, 0x4140 mapping coordinates).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/VectorTypes.h"

// One chunk: its tag, its own data and its sub-chunks. Encode computes every
// length from the content.
class Chunk3DSBuilder {
 public:
  explicit Chunk3DSBuilder(uint16_t tag) : tag_(tag) {}

  // Own data, appended little-endian in call order.
  Chunk3DSBuilder& U8(uint8_t value);
  Chunk3DSBuilder& U16(uint16_t value);
  Chunk3DSBuilder& U32(uint32_t value);
  Chunk3DSBuilder& F32(float value);
  // ASCIIZ: the bytes of `text` and a zero.
  Chunk3DSBuilder& String(const std::string& text);
  Chunk3DSBuilder& Bytes(const std::vector<uint8_t>& bytes);
  // A sub-chunk after all own data.
  Chunk3DSBuilder& Add(const Chunk3DSBuilder& child);

  // Header (tag, length) + own data + encoded sub-chunks.
  std::vector<uint8_t> Encode() const;

 private:
  uint16_t tag_;
  std::vector<uint8_t> data_;
  std::vector<Chunk3DSBuilder> children_;
};

// One mesh object: positions, one mapping coordinate per vertex, triangles.
struct Model3DSObject {
  std::string Name;
  std::vector<TVertex> Vertices;
  std::vector<TTexCoord> TexCoords;
  std::vector<TFace> Faces;
};

// The named-object chunk (0x4000) of one mesh object. Throws
// std::runtime_error naming the object when it has more than 65535 vertices
// or faces, a face index outside its vertices, or a texture-coordinate count
// that differs from its vertex count.
Chunk3DSBuilder MeshObjectChunk(const Model3DSObject& object);
// A whole model file (0x4D4D with a version chunk, 0x3D3D with the objects).
std::vector<uint8_t> Encode3DSModel(const std::vector<Model3DSObject>& objects);
