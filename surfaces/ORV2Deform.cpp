// The deform brush's frames: sizing and resetting. Drawing is in deform_draw.cpp.

#include "surfaces/ORV2Deform.h"

#include <algorithm>
#include <cassert>

TOrvDeformBrush::TOrvDeformBrush(int32_t frameCount, int32_t vertexCount)
    : Frames(frameCount, TVertexArray(vertexCount)), FrameCount(frameCount) {}

void TOrvDeformBrush::LoadFromFile(const std::string& fileName) { Brush.LoadFromFile(fileName); }

void TOrvDeformBrush::SelectMesh(int32_t index) {
  MeshIndex = index;
  SetVertexCount(Brush.Mesh(index).VertexCount);
}

void TOrvDeformBrush::SetVertexCount(int32_t n) {
  for (TVertexArray& frame : Frames) frame.resize(n);
  VertexCount = n;
}

void TOrvDeformBrush::ResetFrame(int32_t frame) {
  assert(frame >= 0 && frame < FrameCount && "ResetFrame: frame out of range; create the brush with more frames");
  const TVertexArray& rest = Mesh().Vertices;
  TVertexArray& positions = Frames[frame];
  // A frame longer than the mesh (SetVertexCount beyond it) gets zeros past its end.
  const int32_t copied = std::min<int32_t>(VertexCount, static_cast<int32_t>(rest.size()));
  std::copy_n(rest.begin(), copied, positions.begin());
  std::fill(positions.begin() + copied, positions.end(), TVertex{});
}
