// 3DS model file writing: chunks with computed lengths, and mesh objects.

#include "tools/generate/write_3ds.h"

#include <cstring>
#include <stdexcept>

namespace {

constexpr size_t kMaxCount = 65535;  // counts and indices are 16-bit in the file

void Append(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

Chunk3DSBuilder& Chunk3DSBuilder::U8(uint8_t value) {
  Append(data_, value, 1);
  return *this;
}

Chunk3DSBuilder& Chunk3DSBuilder::U16(uint16_t value) {
  Append(data_, value, 2);
  return *this;
}

Chunk3DSBuilder& Chunk3DSBuilder::U32(uint32_t value) {
  Append(data_, value, 4);
  return *this;
}

Chunk3DSBuilder& Chunk3DSBuilder::F32(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return U32(bits);
}

Chunk3DSBuilder& Chunk3DSBuilder::String(const std::string& text) {
  data_.insert(data_.end(), text.begin(), text.end());
  data_.push_back(0);
  return *this;
}

Chunk3DSBuilder& Chunk3DSBuilder::Bytes(const std::vector<uint8_t>& bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}

Chunk3DSBuilder& Chunk3DSBuilder::Add(const Chunk3DSBuilder& child) {
  children_.push_back(child);
  return *this;
}

std::vector<uint8_t> Chunk3DSBuilder::Encode() const {
  std::vector<uint8_t> body = data_;
  for (const Chunk3DSBuilder& child : children_) {
    const std::vector<uint8_t> encoded = child.Encode();
    body.insert(body.end(), encoded.begin(), encoded.end());
  }
  std::vector<uint8_t> out;
  out.reserve(body.size() + 6);
  Append(out, tag_, 2);
  Append(out, body.size() + 6, 4);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Chunk3DSBuilder MeshObjectChunk(const Model3DSObject& object) {
  const auto fail = [&](const std::string& why) {
    throw std::runtime_error("3DS object \"" + object.Name + "\": " + why);
  };
  if (object.Vertices.size() > kMaxCount) fail("more than 65535 vertices");
  if (object.Faces.size() > kMaxCount) fail("more than 65535 faces");
  if (object.TexCoords.size() != object.Vertices.size()) fail("one mapping coordinate per vertex expected");

  Chunk3DSBuilder vertices(0x4110);
  vertices.U16(static_cast<uint16_t>(object.Vertices.size()));
  for (const TVertex& v : object.Vertices) vertices.F32(v.x).F32(v.y).F32(v.z);

  Chunk3DSBuilder faces(0x4120);
  faces.U16(static_cast<uint16_t>(object.Faces.size()));
  for (const TFace& f : object.Faces) {
    for (int32_t corner : {f.a, f.b, f.c}) {
      if (corner < 0 || static_cast<size_t>(corner) >= object.Vertices.size()) {
        fail("face index " + std::to_string(corner) + " outside its vertices");
      }
      faces.U16(static_cast<uint16_t>(corner));
    }
    faces.U16(7);  // edge visibility flags AB, BC, CA, as exporters write them
  }

  Chunk3DSBuilder mapping(0x4140);
  mapping.U16(static_cast<uint16_t>(object.TexCoords.size()));
  for (const TTexCoord& t : object.TexCoords) mapping.F32(t.u).F32(t.v);

  Chunk3DSBuilder mesh(0x4100);
  mesh.Add(vertices).Add(faces).Add(mapping);
  Chunk3DSBuilder named(0x4000);
  named.String(object.Name).Add(mesh);
  return named;
}

std::vector<uint8_t> Encode3DSModel(const std::vector<Model3DSObject>& objects) {
  Chunk3DSBuilder editor(0x3D3D);
  editor.Add(Chunk3DSBuilder(0x3D3E).U32(3));  // mesh version
  for (const Model3DSObject& object : objects) editor.Add(MeshObjectChunk(object));
  Chunk3DSBuilder root(0x4D4D);
  root.Add(Chunk3DSBuilder(0x0002).U32(3)).Add(editor);  // file version 3
  return root.Encode();
}
