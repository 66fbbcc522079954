// Timed rounds of full-screen layers: the probe picture, the two layer
// states, the timing between glFinish, and the median per layer.

#include "runtime/fill_rounds.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "runtime/offscreen_frame.h"

namespace {

using WallClock = std::chrono::steady_clock;

constexpr int kTextureSize = 256;

// A 256 x 256 RGB picture with detail in every texel, so the sampler does
// the same work as on the show's pictures (a flat picture can be cheaper).
std::vector<uint8_t> ProbePicture() {
  std::vector<uint8_t> texels(static_cast<size_t>(kTextureSize) * kTextureSize * 3);
  for (int y = 0; y < kTextureSize; ++y) {
    for (int x = 0; x < kTextureSize; ++x) {
      uint8_t* texel = &texels[(static_cast<size_t>(y) * kTextureSize + x) * 3];
      texel[0] = static_cast<uint8_t>(x ^ y);
      texel[1] = static_cast<uint8_t>(x * 2);
      texel[2] = static_cast<uint8_t>(y * 3);
    }
  }
  return texels;
}

// One screen-filling quad in a 0..1 projection, texture coordinates over the whole picture.
void FullScreenQuad() {
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f); glVertex2f(0.0f, 0.0f);
  glTexCoord2f(1.0f, 0.0f); glVertex2f(1.0f, 0.0f);
  glTexCoord2f(1.0f, 1.0f); glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f); glVertex2f(0.0f, 1.0f);
  glEnd();
}

// Milliseconds for `layers` quads with the current state, between two glFinish.
double TimeLayers(int layers) {
  glFinish();
  const WallClock::time_point start = WallClock::now();
  for (int i = 0; i < layers; ++i) FullScreenQuad();
  glFinish();
  return std::chrono::duration<double, std::milli>(WallClock::now() - start).count();
}

void UseTexturedAdditive(GLuint texture) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glBlendFunc(GL_ONE, GL_ONE);
  glColor4f(0.1f, 0.1f, 0.1f, 1.0f);
}

void UseUntexturedBlended() {
  glDisable(GL_TEXTURE_2D);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.3f, 0.5f, 0.7f, 0.5f);
}

// The rounds, with the state of TimeFillRounds set up.
FillRoundTimes TimeRounds(const FillRoundPlan& plan, GLuint texture) {
  const WallClock::time_point start = WallClock::now();
  const auto withinBudget = [&] {
    return plan.budgetMs <= 0.0 ||
           std::chrono::duration<double, std::milli>(WallClock::now() - start).count() < plan.budgetMs;
  };
  UseTexturedAdditive(texture);
  TimeLayers(plan.layersPerRound);
  if (plan.untextured) {
    UseUntexturedBlended();
    TimeLayers(plan.layersPerRound);
  }
  FillRoundTimes times;
  for (int round = 0; round < plan.rounds && withinBudget(); ++round) {
    UseTexturedAdditive(texture);
    times.texturedMs.push_back(TimeLayers(plan.layersPerRound));
    if (!plan.untextured) continue;
    UseUntexturedBlended();
    times.untexturedMs.push_back(TimeLayers(plan.layersPerRound));
  }
  return times;
}

}  // namespace

FillRoundTimes TimeFillRounds(const FillRoundPlan& plan) {
  // An error left by earlier work is not the probe's, and would void its times.
  TakeGLErrors();
  GLint matrixMode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glViewport(0, 0, plan.width, plan.height);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  for (GLenum capability : {GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_SCISSOR_TEST,
                            GL_CULL_FACE, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T}) {
    glDisable(capability);
  }
  glEnable(GL_BLEND);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const std::vector<uint8_t> picture = ProbePicture();
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureSize, kTextureSize, 0, GL_RGB, GL_UNSIGNED_BYTE, picture.data());
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);

  FillRoundTimes times = TimeRounds(plan, texture);

  glDeleteTextures(1, &texture);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
  glMatrixMode(static_cast<GLenum>(matrixMode));
  if (glGetError() != GL_NO_ERROR) return FillRoundTimes{};
  return times;
}

double MedianMsPerLayer(std::vector<double> roundMs, int layersPerRound) {
  if (roundMs.empty() || layersPerRound <= 0) return 0.0;
  // The lower median, as the benchmark's nearest-rank percentiles have it.
  const auto middle = roundMs.begin() + static_cast<std::ptrdiff_t>((roundMs.size() + 1) / 2 - 1);
  std::nth_element(roundMs.begin(), middle, roundMs.end());
  return *middle / layersPerRound;
}
