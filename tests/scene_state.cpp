// Helpers for the scene tests.

#include "tests/scene_state.h"

#include <GL/gl.h>

#include "draw2d/overlay.h"
#include "core/shared_state.h"
#include "textures/ORV2Materials.h"

ReferenceRandom CurrentRandom() {
  return ReferenceRandom{static_cast<uint32_t>(Random() * 4294967296.0)};
}

void ResetSceneState() {
  ResetDrawState();
  for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_NORMALIZE, GL_COLOR_MATERIAL, GL_CULL_FACE, GL_STENCIL_TEST}) {
    glDisable(cap);
  }
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glViewport(0, 0, 800, 600);
  LeaveOrtho();
  glClearColor(0, 0, 0, 1);
  ClearScreen();
  glClear(GL_STENCIL_BUFFER_BIT);
}
