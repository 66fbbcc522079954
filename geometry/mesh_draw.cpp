// Drawing meshes with OpenGL 1.x: immediate mode (one call per corner) and
// client-side vertex arrays (one indexed draw call). No other state changes.

#include <GL/gl.h>

#include "geometry/ORV2Classes.h"

void TMeshData::Draw() const {
  glBegin(GL_TRIANGLES);
  for (int32_t f = 0; f < FaceCount; ++f) {
    for (int32_t corner : {Faces[f].a, Faces[f].b, Faces[f].c}) {
      glTexCoord2f(TexCoords[corner].u, TexCoords[corner].v);
      glVertex3f(Vertices[corner].x, Vertices[corner].y, Vertices[corner].z);
    }
  }
  glEnd();
}

void TMeshData::DrawArrays() const {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, Vertices.data());
  glTexCoordPointer(2, GL_FLOAT, 0, TexCoords.data());
  glDrawElements(GL_TRIANGLES, FaceCount * 3, GL_UNSIGNED_INT, Faces.data());
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void TMeshDataN::Draw() const {
  for (int32_t f = 0; f < FaceCount; ++f) {
    glBegin(GL_TRIANGLES);
    for (int32_t corner : {Faces[f].a, Faces[f].b, Faces[f].c}) {
      glTexCoord2f(TexCoords[corner].u, TexCoords[corner].v);
      glNormal3f(Normals[corner].x, Normals[corner].y, Normals[corner].z);
      glVertex3f(Vertices[corner].x, Vertices[corner].y, Vertices[corner].z);
    }
    glEnd();
  }
}

void TMeshDataN::DrawArrays() const {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, Vertices.data());
  glNormalPointer(GL_FLOAT, 0, Normals.data());
  glTexCoordPointer(2, GL_FLOAT, 0, TexCoords.data());
  glDrawElements(GL_TRIANGLES, FaceCount * 3, GL_UNSIGNED_INT, Faces.data());
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void TMeshDataNM::Draw() const {
  Material.Apply();
  TMeshDataN::Draw();
}

void TMeshDataNM::DrawArrays() const { TMeshDataN::DrawArrays(); }

namespace {

void SendCorner(const TMeshData& mesh, int32_t corner) {
  glTexCoord2f(mesh.TexCoords[corner].u, mesh.TexCoords[corner].v);
  glVertex3f(mesh.Vertices[corner].x, mesh.Vertices[corner].y, mesh.Vertices[corner].z);
}

}  // namespace

void DrawFaceted(const TMeshDataN& mesh) {
  for (int32_t f = 0; f < mesh.FaceCount; ++f) {
    const TFace& face = mesh.Faces[f];
    glBegin(GL_TRIANGLES);
    // Only the first corner carries a normal, so the whole face is lit with it.
    glTexCoord2f(mesh.TexCoords[face.a].u, mesh.TexCoords[face.a].v);
    glNormal3f(mesh.Normals[face.a].x, mesh.Normals[face.a].y, mesh.Normals[face.a].z);
    glVertex3f(mesh.Vertices[face.a].x, mesh.Vertices[face.a].y, mesh.Vertices[face.a].z);
    SendCorner(mesh, face.b);
    SendCorner(mesh, face.c);
    glEnd();
  }
}
