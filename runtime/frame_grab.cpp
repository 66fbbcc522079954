// Back-buffer readback. GL rows run bottom-up; pictures run top-down.

#include "runtime/frame_grab.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>

PngImage GrabFrame(int width, int height) {
  PngImage image;
  image.width = width;
  image.height = height;
  image.channels = 3;
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> bottomUp(rowBytes * height);
  GLint readBuffer = 0, packAlignment = 0;
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  glReadBuffer(static_cast<GLenum>(readBuffer));
  image.pixels.resize(bottomUp.size());
  for (int y = 0; y < height; ++y) {
    std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(rowBytes) * (height - 1 - y), rowBytes,
                image.pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes) * y);
  }
  return image;
}
