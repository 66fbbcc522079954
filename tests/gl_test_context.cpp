// A real GL context for tests, opened once per process.

#include "tests/gl_test_context.h"

#include <GL/gl.h>

#include <cstdlib>

#include "runtime/OrvikGL2.h"

void EnsureGLContext() {
  static bool open = false;
  if (open) return;
  setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  BindOpenGL();
  OpenGLWindow(800, 600, 32, "Test", /*FullScreen=*/false);
  ASSERT_NE(ActiveWindow.RC, nullptr) << "no GL context on the offscreen driver";
  open = true;
}

Pixel ReadPixel(int x, int y) {
  Pixel p{};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
  return p;
}

void GLTest::SetUp() {
  EnsureGLContext();
  while (glGetError() != GL_NO_ERROR) {
  }
}

void GLTest::TearDown() { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
