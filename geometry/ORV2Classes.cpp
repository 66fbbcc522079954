// Mesh storage and the whole-mesh operations: filling, welding, normals,
// rotating and scaling. No GL here; drawing lives in mesh_draw.cpp.

#include "geometry/ORV2Classes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Sums the area-weighted face normals into `normals` (already zeroed), once
// per naming corner, in face order, then normalises each sum. Adding in face
// order per vertex is exactly the order VertexNormal uses, so both give the
// same bits.
template <typename TriangleOf>
void AccumulateNormals(const TMeshData& mesh, TVertexArray& normals, TriangleOf triangleOf) {
  for (int32_t f = 0; f < mesh.FaceCount; ++f) {
    const TVertex n = TriangleNormal(triangleOf(f));
    for (int32_t corner : {mesh.Faces[f].a, mesh.Faces[f].b, mesh.Faces[f].c}) {
      TVertex& sum = normals[corner];
      sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
    }
  }
  for (TVertex& n : normals) NormalizeVector(n);
}

void ZeroNormals(TMeshDataN& mesh) {
  mesh.Normals.assign(mesh.VertexCount, TVertex{});
}

// Equal-position ordering for welding: -0.0 sorts with 0.0, as it compares equal.
bool PositionLess(const TVertex& p, const TVertex& q) {
  if (p.x != q.x) return p.x < q.x;
  if (p.y != q.y) return p.y < q.y;
  return p.z < q.z;
}

bool PositionEqual(const TVertex& p, const TVertex& q) {
  return p.x == q.x && p.y == q.y && p.z == q.z;
}

bool HasNaN(const TVertex& p) { return std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z); }

}  // namespace

// --- TMeshData ---------------------------------------------------------------

int32_t TMeshData::AddVertex(const TVertex& position, const TTexCoord& texCoord) {
  Vertices.push_back(position);
  TexCoords.push_back(texCoord);
  return VertexCount++;
}

void TMeshData::AddFace(const TFace& face) {
  Faces.push_back(face);
  ++FaceCount;
}

void TMeshData::SetSize(int32_t vertexCount, int32_t faceCount) {
  Vertices.resize(vertexCount);
  TexCoords.resize(vertexCount);
  Faces.resize(faceCount);
  VertexCount = vertexCount;
  FaceCount = faceCount;
}

void TMeshData::Clear() {
  Vertices.clear();
  TexCoords.clear();
  Faces.clear();
  VertexCount = 0;
  FaceCount = 0;
}

TTriangle TMeshData::GetTriangle(int32_t face) const {
  const TFace& f = Faces[face];
  return MakeTriangle(Vertices[f.a], Vertices[f.b], Vertices[f.c]);
}

// --- TMeshDataN ----------------------------------------------------------------

int32_t TMeshDataN::AddVertex(const TVertex& position, const TTexCoord& texCoord) {
  const int32_t index = TMeshData::AddVertex(position, texCoord);
  Normals.resize(VertexCount);
  return index;
}

void TMeshDataN::SetSize(int32_t vertexCount, int32_t faceCount) {
  TMeshData::SetSize(vertexCount, faceCount);
  Normals.resize(vertexCount);
  ComputeNormals();
}

TVertex TMeshDataN::VertexNormal(int32_t vertex) const {
  TVertex sum{};
  for (int32_t f = 0; f < FaceCount; ++f) {
    const TVertex n = TriangleNormal(GetTriangle(f));
    for (int32_t corner : {Faces[f].a, Faces[f].b, Faces[f].c}) {
      if (corner == vertex) sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
    }
  }
  NormalizeVector(sum);
  return sum;
}

void TMeshDataN::ComputeNormals() { RebuildNormals(*this); }

// --- Whole-mesh operations ----------------------------------------------------

TTriangle GetTriangleFrom(const TMeshData& mesh, int32_t face, const TVertexArray& positions) {
  const TFace& f = mesh.Faces[face];
  return MakeTriangle(positions[f.a], positions[f.b], positions[f.c]);
}

void RebuildNormals(TMeshDataN& mesh) {
  ZeroNormals(mesh);
  AccumulateNormals(mesh, mesh.Normals, [&](int32_t f) { return mesh.GetTriangle(f); });
}

void RebuildNormalsFrom(TMeshDataN& mesh, const TVertexArray& positions) {
  ZeroNormals(mesh);
  AccumulateNormals(mesh, mesh.Normals,
                    [&](int32_t f) { return GetTriangleFrom(mesh, f, positions); });
}

void WeldVertices(TMeshData& mesh) {
  // Sort the vertex indices by position; each run of equal positions is one
  // group, and every member maps to the group's highest index. A position
  // with a NaN equals nothing, not even itself, so it stays alone.
  std::vector<int32_t> order;
  order.reserve(mesh.VertexCount);
  for (int32_t i = 0; i < mesh.VertexCount; ++i) {
    if (!HasNaN(mesh.Vertices[i])) order.push_back(i);
  }
  std::sort(order.begin(), order.end(), [&](int32_t i, int32_t j) {
    return PositionLess(mesh.Vertices[i], mesh.Vertices[j]);
  });
  std::vector<int32_t> target(mesh.VertexCount);
  std::iota(target.begin(), target.end(), 0);
  for (size_t start = 0; start < order.size();) {
    size_t end = start + 1;
    int32_t highest = order[start];
    while (end < order.size() && PositionEqual(mesh.Vertices[order[start]], mesh.Vertices[order[end]])) {
      highest = std::max(highest, order[end]);
      ++end;
    }
    for (size_t k = start; k < end; ++k) target[order[k]] = highest;
    start = end;
  }
  for (TFace& face : mesh.Faces) {
    face.a = target[face.a];
    face.b = target[face.b];
    face.c = target[face.c];
  }
}

void RotateMesh(TMeshData& mesh, const TVertex& angles) {
  for (TVertex& v : mesh.Vertices) RotateVertex(v, angles);
}

void ScaleMesh(TMeshData& mesh, const TVertex& factors) {
  for (TVertex& v : mesh.Vertices) {
    v.x *= factors.x;
    v.y *= factors.y;
    v.z *= factors.z;
  }
}
