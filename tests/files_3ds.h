// Small 3DS files for the reader, loader and brush tests, built with the
// data generator's chunk builder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/generate/write_3ds.h"

// A mesh object of `vertexCount` vertices at (i, 2i, 3i) with mapping
// coordinates (i, -i) and faces (i, i+1, i+2).
inline Model3DSObject StripObject(const std::string& name, int vertexCount) {
  Model3DSObject object;
  object.Name = name;
  for (int i = 0; i < vertexCount; ++i) {
    object.Vertices.push_back(MakeVertex(static_cast<float>(i), 2.0f * i, 3.0f * i));
    object.TexCoords.push_back(MakeTexCoord(static_cast<float>(i), -static_cast<float>(i)));
  }
  for (int i = 0; i + 2 < vertexCount; ++i) object.Faces.push_back(MakeFace(i, i + 1, i + 2));
  return object;
}

// A named object holding a light instead of a mesh.
inline Chunk3DSBuilder LightObject(const std::string& name) {
  Chunk3DSBuilder light(0x4600);
  light.F32(1).F32(2).F32(3);
  return Chunk3DSBuilder(0x4000).String(name).Add(light);
}

// 0x4D4D > 0x3D3D > the given children.
inline std::vector<uint8_t> ModelFile(const std::vector<Chunk3DSBuilder>& editorChildren,
                                      uint16_t rootTag = 0x4D4D) {
  Chunk3DSBuilder editor(0x3D3D);
  for (const Chunk3DSBuilder& child : editorChildren) editor.Add(child);
  return Chunk3DSBuilder(rootTag).Add(editor).Encode();
}

inline void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void PutU16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Offset of the first chunk header with `tag` (a byte search; the tests'
// files are built so that it is unambiguous).
inline size_t FindTag(const std::vector<uint8_t>& bytes, uint16_t tag) {
  for (size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == (tag & 0xFF) && bytes[i + 1] == (tag >> 8)) return i;
  }
  return std::string::npos;
}

// Writes `bytes` to a fresh file in the test temp folder; returns its path.
inline std::string WriteTempModel(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::filesystem::path path = std::filesystem::path(testing::TempDir()) / name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path.string();
}
