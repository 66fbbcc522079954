// A real GL context for tests, opened once per process.

#include "tests/gl_test_context.h"

#include <GL/gl.h>

#include <cstdlib>

#include "runtime/OrvikGL2.h"

void EnsureGLContext() {
  // A driver test run in the same process opens and closes a window of its
  // own; the test window is then opened afresh.
  static ContextHandle open = nullptr;
  if (open != nullptr && ActiveWindow.RC == open) return;
  setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  BindOpenGL();
  OpenGLWindow(800, 600, 32, "Test", /*FullScreen=*/false);
  ASSERT_NE(ActiveWindow.RC, nullptr) << "no GL context on the offscreen driver";
  open = ActiveWindow.RC;
}

Pixel ReadPixel(int x, int y) {
  Pixel p{};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
  return p;
}

std::vector<uint8_t> ReadFrame() {
  std::vector<uint8_t> pixels(800 * 600 * 4);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

std::vector<uint8_t> ReadStencil() {
  std::vector<uint8_t> stencil(800 * 600);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return stencil;
}

void GLTest::SetUp() {
  EnsureGLContext();
  while (glGetError() != GL_NO_ERROR) {
  }
}

void GLTest::TearDown() { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
