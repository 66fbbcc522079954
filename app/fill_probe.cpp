// The fill probe: full-screen layers timed with glFinish in a context of its
// own, and the arithmetic that turns frame times into layers.

#include "app/fill_probe.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/frame_stats.h"
#include "core/show.h"
#include "platform/video.h"

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

// The rounds in the probe's current context.
FillProbe ProbeCurrentContext() {
  glViewport(0, 0, kShowWidth, kShowHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const std::vector<uint8_t> picture = ProbePicture();
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureSize, kTextureSize, 0, GL_RGB, GL_UNSIGNED_BYTE,
               picture.data());

  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  // The first round of each kind builds the renderer's code for that state; it is not timed.
  UseTexturedAdditive(texture);
  TimeLayers(kProbeLayersPerRound);
  UseUntexturedBlended();
  TimeLayers(kProbeLayersPerRound);

  std::vector<double> textured, untextured;
  for (int round = 0; round < kProbeRounds; ++round) {
    UseTexturedAdditive(texture);
    textured.push_back(TimeLayers(kProbeLayersPerRound));
    UseUntexturedBlended();
    untextured.push_back(TimeLayers(kProbeLayersPerRound));
  }
  glDeleteTextures(1, &texture);

  FillProbe probe;
  if (glGetError() != GL_NO_ERROR) return probe;
  probe.msPerTexturedLayer = MedianMsPerLayer(textured, kProbeLayersPerRound);
  probe.msPerUntexturedLayer = MedianMsPerLayer(untextured, kProbeLayersPerRound);
  probe.rounds = kProbeRounds;
  probe.layersPerRound = kProbeLayersPerRound;
  return probe;
}

}  // namespace

FillProbe MeasureFillProbe() {
  VideoSystem& video = ActiveVideo();
  std::string error;
  if (!video.LoadGLLibrary(error)) return FillProbe{};
  FillProbe probe;
  if (WindowHandle window = video.CreateWindow("veloria fill probe", kShowWidth, kShowHeight)) {
    if (ContextHandle context = video.CreateGLContext(window)) {
      if (video.MakeContextCurrent(window, context)) {
        probe = ProbeCurrentContext();
        video.MakeContextCurrent(window, nullptr);
      }
      video.DeleteGLContext(context);
    }
    video.DestroyWindow(window);
  }
  video.UnloadGLLibrary();
  return probe;
}

std::optional<double> InLayers(double ms, double msPerLayer) {
  if (!std::isfinite(ms) || !std::isfinite(msPerLayer) || !(msPerLayer > 0.0)) return std::nullopt;
  const double layers = ms / msPerLayer;
  if (!std::isfinite(layers)) return std::nullopt;
  return layers;
}

double MedianMsPerLayer(const std::vector<double>& roundMs, int layersPerRound) {
  if (roundMs.empty() || layersPerRound <= 0) return 0.0;
  return SummarizeFrameTimes(roundMs).median / layersPerRound;
}
