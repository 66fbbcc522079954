// Drawing a deform brush frame: the frame's positions with the selected
// mesh's normals, texture coordinates and faces, as client-side arrays.

#include <GL/gl.h>

#include <cassert>

#include "surfaces/ORV2Deform.h"

void TOrvDeformBrush::DrawFrame(int32_t frame) const {
  assert(frame >= 0 && frame < FrameCount && "DrawFrame: frame out of range; create the brush with more frames");
  const TMeshDataNM& mesh = Mesh();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, Frames[frame].data());
  glNormalPointer(GL_FLOAT, 0, mesh.Normals.data());
  glTexCoordPointer(2, GL_FLOAT, 0, mesh.TexCoords.data());
  glDrawElements(GL_TRIANGLES, mesh.FaceCount * 3, GL_UNSIGNED_INT, mesh.Faces.data());
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
