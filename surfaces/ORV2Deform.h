// TOrvDeformBrush: animates a loaded model without touching it. One mesh of
// the inner brush is selected; frames are position buffers as long as its
// vertex list, which a scene rewrites and draws with the mesh's own normals,
// texture coordinates and faces.
#pragma once

#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/ORV2Classes.h"

class TOrvDeformBrush {
 public:
  TOrvBrush Brush;
  int32_t MeshIndex = 0;
  std::vector<TVertexArray> Frames;
  int32_t FrameCount = 0;
  int32_t VertexCount = 0;  // the length of every frame

  // `frameCount` frames of `vertexCount` zeros; VertexCount stays 0 until a
  // mesh is selected. The show creates (5, 0).
  TOrvDeformBrush(int32_t frameCount, int32_t vertexCount);

  // Loads the model into Brush; reader errors pass through.
  void LoadFromFile(const std::string& fileName);
  // Selects Brush.Meshes[index] and sizes the frames to it; EListError outside
  // 0 .. Brush.MeshCount - 1.
  void SelectMesh(int32_t index);
  // Resizes every frame, keeping positions and appending zeros.
  void SetVertexCount(int32_t n);
  // Frame `frame` (0 .. FrameCount - 1) := the selected mesh's rest positions.
  void ResetFrame(int32_t frame);
  // Draws the selected mesh with frame `frame`'s positions as vertex arrays;
  // sets no other state. Needs a current GL context.
  void DrawFrame(int32_t frame) const;

  // The selected mesh. Needs a loaded model: SelectMesh checks the index.
  TMeshDataNM& Mesh() const {
    assert(MeshIndex >= 0 && MeshIndex < static_cast<int32_t>(Brush.Meshes.size()) &&
           "TOrvDeformBrush::Mesh: no such mesh; load the model and SelectMesh a valid index first");
    return *Brush.Meshes[MeshIndex];
  }
};
