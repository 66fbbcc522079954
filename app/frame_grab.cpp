// Back-buffer readback. GL rows run bottom-up; pictures run top-down.

#include "app/frame_grab.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

PngImage GrabFrame(int width, int height) {
  PngImage image;
  GrabFrameInto(width, height, image);
  return image;
}

void GrabFrameInto(int width, int height, PngImage& image) {
  image.width = width;
  image.height = height;
  image.channels = 3;
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  image.pixels.resize(rowBytes * height);
  GLint readBuffer = 0, packAlignment = 0;
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  glReadBuffer(static_cast<GLenum>(readBuffer));
  // Bottom-up rows become top-down by swapping them in place.
  for (int y = 0; y < height / 2; ++y) {
    uint8_t* top = image.pixels.data() + rowBytes * y;
    uint8_t* bottom = image.pixels.data() + rowBytes * (height - 1 - y);
    std::swap_ranges(top, top + rowBytes, bottom);
  }
}
