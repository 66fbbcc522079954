// The fill probe: full-screen layers timed in a hidden window and context of
// its own, and the arithmetic that turns frame times into layers.

#include "app/fill_probe.h"

#include <cmath>
#include <string>

#include "platform/video.h"

namespace {

// The rounds in the probe's current context, in its window's back buffer.
FillProbe ProbeCurrentContext(int width, int height) {
  FillRoundPlan plan;
  plan.width = width;
  plan.height = height;
  plan.rounds = kProbeRounds;
  plan.layersPerRound = kProbeLayersPerRound;
  plan.untextured = true;
  const FillRoundTimes times = TimeFillRounds(plan);
  FillProbe probe;
  if (times.texturedMs.empty()) return probe;
  probe.msPerTexturedLayer = MedianMsPerLayer(times.texturedMs, kProbeLayersPerRound);
  probe.msPerUntexturedLayer = MedianMsPerLayer(times.untexturedMs, kProbeLayersPerRound);
  probe.rounds = kProbeRounds;
  probe.layersPerRound = kProbeLayersPerRound;
  probe.width = width;
  probe.height = height;
  return probe;
}

}  // namespace

FillProbe MeasureFillProbe(int width, int height) {
  VideoSystem& video = ActiveVideo();
  std::string error;
  if (!video.LoadGLLibrary(error)) return FillProbe{};
  FillProbe probe;
  if (WindowHandle window = video.CreateWindow("veloria fill probe", width, height, /*highDpi=*/false)) {
    if (ContextHandle context = video.CreateGLContext(window)) {
      if (video.MakeContextCurrent(window, context)) {
        probe = ProbeCurrentContext(width, height);
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
