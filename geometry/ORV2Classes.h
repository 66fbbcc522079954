// Indexed triangle meshes and loaded models.
//
// TMeshData holds positions, texture coordinates, triangles and a name;
// TMeshDataN adds one normal per vertex, TMeshDataNM a surface Material.
// The arrays are packed and handed to OpenGL unchanged (3 floats per
// position and normal, 2 per texture coordinate, 3 unsigned 32-bit indices
// per face). Face indices are expected in 0 .. VertexCount - 1; the meshes
// do not check them (the 3DS loader rejects files that break this).
// Drawing needs a current GL context; everything else is plain data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geometry/VectorTypes.h"
#include "textures/ORV2Materials.h"

class TMeshData {
 public:
  TVertexArray Vertices;
  std::vector<TFace> Faces;
  std::vector<TTexCoord> TexCoords;  // parallel to Vertices
  int32_t VertexCount = 0;
  int32_t FaceCount = 0;
  std::string Name;  // the object name in the model file; empty otherwise

  TMeshData() = default;
  virtual ~TMeshData() = default;
  TMeshData(const TMeshData&) = delete;
  TMeshData& operator=(const TMeshData&) = delete;

  // Appends one vertex; returns its index.
  virtual int32_t AddVertex(const TVertex& position, const TTexCoord& texCoord);
  // Appends one face.
  void AddFace(const TFace& face);
  // Resizes the arrays, keeping existing elements and zero-filling new ones.
  virtual void SetSize(int32_t vertexCount, int32_t faceCount);
  // Empties the mesh.
  void Clear();
  // The corner positions of face `face` (0 .. FaceCount - 1).
  TTriangle GetTriangle(int32_t face) const;
  // Immediate mode: one GL_TRIANGLES pair, a texture coordinate and a vertex per corner.
  virtual void Draw() const;
  // One indexed draw call from the vertex and texture-coordinate arrays.
  virtual void DrawArrays() const;
};

class TMeshDataN : public TMeshData {
 public:
  TVertexArray Normals;  // parallel to Vertices, unit length once computed

  // As TMeshData, with a zero normal for the new vertex.
  int32_t AddVertex(const TVertex& position, const TTexCoord& texCoord) override;
  // As TMeshData, then ComputeNormals from the current content.
  void SetSize(int32_t vertexCount, int32_t faceCount) override;
  // The normalised sum of the area-weighted normals of the faces naming
  // `vertex`, once per naming corner, in face order. NaN for an unused vertex.
  TVertex VertexNormal(int32_t vertex) const;
  // Normals[i] := VertexNormal(i) for every vertex (one pass over the faces).
  void ComputeNormals();
  // Immediate mode with normals: a GL_TRIANGLES pair per face.
  void Draw() const override;
  // One indexed draw call with vertex, normal and texture-coordinate arrays.
  void DrawArrays() const override;
};

class TMeshDataNM : public TMeshDataN {
 public:
  ::Material Material;

  // Applies Material, then draws as TMeshDataN.
  void Draw() const override;
  // Exactly TMeshDataN::DrawArrays: the caller sets texturing and colour.
  void DrawArrays() const override;
};

// --- Whole-mesh operations ---------------------------------------------------

// Face `face` with its corners taken from `positions` (as long as Vertices).
TTriangle GetTriangleFrom(const TMeshData& mesh, int32_t face, const TVertexArray& positions);
// Recomputes every normal from Vertices in one pass over the faces.
void RebuildNormals(TMeshDataN& mesh);
// The same from `positions` (as long as Vertices); Vertices are not read.
void RebuildNormalsFrom(TMeshDataN& mesh, const TVertexArray& positions);
// Makes faces share vertices with exactly equal positions (0.0 equals -0.0):
// every corner naming a member of such a group names its highest index.
// No vertex is removed or changed.
void WeldVertices(TMeshData& mesh);
// RotateVertex on every vertex (degrees about X, then Y, then Z); normals untouched.
void RotateMesh(TMeshData& mesh, const TVertex& angles);
// Multiplies every vertex by `factors` per axis; normals untouched.
void ScaleMesh(TMeshData& mesh, const TVertex& factors);
// Immediate mode with one normal per face (its first corner's).
void DrawFaceted(const TMeshDataN& mesh);

// --- Loaded model ------------------------------------------------------------

// The meshes of one 3DS model file, in file order, with smooth normals.
class TOrvBrush {
 public:
  std::vector<std::unique_ptr<TMeshDataNM>> Meshes;
  int32_t MeshCount = 0;

  // CreateLoader, LoadModel, FreeLoader. Reader errors pass through.
  void LoadFromFile(const std::string& fileName);
  // Loads through Loader3DS, which must exist; computes every mesh's normals.
  void LoadModel(const std::string& fileName);
  // Meshes[index]; EListError outside 0 .. MeshCount - 1, as the reader
  // gives, so a model file without meshes is refused instead of read past.
  TMeshDataNM& Mesh(int32_t index) const;
  // Rotates every mesh (degrees about X, then Y, then Z) and rebuilds its normals.
  void Rotate(const TVertex& angles);
  // Scales every mesh; normals stay as they were (exact for equal factors).
  void Scale(const TVertex& factors);
};
