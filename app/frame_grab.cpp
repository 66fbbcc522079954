// Back-buffer readback into a TImage, whose rows run bottom-up as the GL's do.

#include "app/frame_grab.h"

#include <GL/gl.h>

#include <cstddef>

#include "runtime/OrvikGL2.h"

TImage GrabFrame(int width, int height) {
  TImage image;
  GrabFrameInto(width, height, image);
  return image;
}

void GrabFrameInto(int width, int height, TImage& image, int bytesPerPixel) {
  image.Width = width;
  image.Height = height;
  image.BytesPerPixel = bytesPerPixel == 4 ? 4 : 3;
  image.Pixels.resize(static_cast<size_t>(width) * height * image.BytesPerPixel);
  GLint readBuffer = 0, packAlignment = 0;
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glReadBuffer(FrameColorBuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, image.BytesPerPixel == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
               image.Pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  glReadBuffer(static_cast<GLenum>(readBuffer));
}
