// The window module on a real offscreen context: buffers, projection, initial state.

#include <GL/gl.h>

#include "runtime/OrvikGL2.h"
#include "tests/gl_test_context.h"

namespace {

using WindowTest = GLTest;

TEST_F(WindowTest, ContextHasTheRequestedBuffers) {
  GLint depth = 0, stencil = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  EXPECT_GE(depth, 24);
  EXPECT_GE(stencil, 1);
  EXPECT_EQ(ActiveWindow.Width, 800);
  EXPECT_EQ(ActiveWindow.Height, 600);
}

TEST_F(WindowTest, ResizeWithZeroHeightUsesOnePixel) {
  ResizeViewport(640, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 1);
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  // gluPerspective puts f / aspect in [0] and f in [5]: their ratio is the aspect.
  EXPECT_NEAR(projection[5] / projection[0], 640.0, 1e-2);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  ResizeViewport(800, 600);
}

TEST_F(WindowTest, InitGLSetsTheDocumentedState) {
  InitGL();
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 0.2f);
  EXPECT_FLOAT_EQ(clear[2], 0.4f);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_LEQUAL);
  GLint genMode = 0;
  glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &genMode);
  EXPECT_EQ(genMode, GL_SPHERE_MAP);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
}

TEST_F(WindowTest, SetTwoSidedSwitchesCulling) {
  SetTwoSided(false);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  SetTwoSided(true);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

}  // namespace
