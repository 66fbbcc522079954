/* GL 1.2's glTexImage3D, which opengl32 does not export: looked up in the
   context's driver (only gluBuild3DMipmaps calls it). */
#include <windows.h>
#include <GL/gl.h>
typedef void (APIENTRY *TexImage3D)(GLenum, GLint, GLint, GLsizei, GLsizei, GLsizei, GLint, GLenum, GLenum,
                                    const void *);
void APIENTRY glTexImage3D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                           GLsizei depth, GLint border, GLenum format, GLenum type, const void *pixels) {
  TexImage3D call = (TexImage3D)(void *)wglGetProcAddress("glTexImage3D");
  if (call) call(target, level, internalFormat, width, height, depth, border, format, type, pixels);
}
