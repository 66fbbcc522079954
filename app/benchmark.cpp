// The benchmark: per-frame timing with glFinish, GL error counting, the
// report's table and JSON.

#include "app/benchmark.h"

#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "app/json_text.h"
#include "core/frame_scale.h"
#include "core/gl_window.h"
#include "platform/this_process.h"
#include "textures/texture_registry.h"

namespace {

namespace fs = std::filesystem;
using WallClock = std::chrono::steady_clock;

// A lost context can report errors forever; a frame counts at most this many.
constexpr int kMaxErrorsPerFrame = 64;

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(WallClock::now().time_since_epoch())
      .count();
}

const char* PhaseName(DemoPhase phase) {
  switch (phase) {
    case DemoPhase::ProgressFade: return "progress fade";
    case DemoPhase::Loading: return "loading";
    case DemoPhase::PreShowFade: return "fade to the show";
    case DemoPhase::Timeline: return "show";
  }
  return "?";
}

}  // namespace

bool BenchmarkRecorder::OnFrame(const DemoFrame& frame) {
  glFinish();
  const int64_t now = NowNs();
  if (!started_) {
    const GLubyte* renderer = glGetString(GL_RENDERER);
    renderer_ = renderer != nullptr ? reinterpret_cast<const char*>(renderer) : "unknown";
  }
  if (started_ && frame.phase == DemoPhase::Timeline && frame.section >= 0 &&
      frame.section < kShowSections) {
    times_[frame.section].push_back(static_cast<double>(now - lastFinishNs_) / 1e6);
  }
  started_ = true;
  if (frame.phase == DemoPhase::Timeline && textureMB_ < 0.0) {
    pictureDetail_ = PictureDetail();
    textureMB_ = static_cast<double>(RegisteredTextureBytes()) / (1024.0 * 1024.0);
  }
  for (int i = 0; i < kMaxErrorsPerFrame; ++i) {
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) break;
    if (glErrors_ == 0) {
      char where[160];
      std::snprintf(where, sizeof where, "0x%04x in frame %lld (%s, show time %.3f s, section %d)",
                    error, static_cast<long long>(frame.number), PhaseName(frame.phase),
                    frame.showTime, frame.section);
      firstGLError_ = where;
    }
    ++glErrors_;
  }
  // The time spent here is not the frame's: the next frame counts from now.
  lastFinishNs_ = NowNs();
  return true;
}

BenchmarkReport BenchmarkRecorder::Report() const {
  BenchmarkReport report;
  report.renderer = renderer_;
  for (int s = 0; s < kShowSections; ++s) report.sections[s] = SummarizeFrameTimes(times_[s]);
  report.glErrors = glErrors_;
  report.firstGLError = firstGLError_;
  report.pictureDetail = pictureDetail_;
  report.textureMB = std::max(textureMB_, 0.0);
  return report;
}

double LoadingTargetSeconds(int pictureDetail) {
  return pictureDetail > 1 ? kTargetDetailedLoadingSeconds : kTargetLoadingSeconds;
}

std::string FormatBenchmarkTable(const BenchmarkReport& report) {
  auto mark = [](bool ok) { return ok ? "ok" : "MISSED"; };
  const double unit = report.probe.msPerTexturedLayer;
  auto layers = [unit](double ms) {
    const std::optional<double> value = InLayers(ms, unit);
    char text[64] = "-";
    if (value) std::snprintf(text, sizeof text, "%.1f", *value);
    return std::string(text);
  };
  std::string text = "veloria benchmark: " + FrameRateText(report.fps) +
                     " steps/s, renderer " + report.renderer + "\n";
  char line[400];  // room for any double printed with %f
  std::snprintf(line, sizeof line, "frame: %dx%d (scale %.2f)\n", report.frameWidth, report.frameHeight,
                report.scale);
  text += line;
  if (unit > 0.0) {
    std::snprintf(line, sizeof line,
                  "fill probe: %.3f ms per textured layer, %.3f ms per untextured layer "
                  "(%dx%d, median of %d rounds of %d)\n\n",
                  report.probe.msPerTexturedLayer, report.probe.msPerUntexturedLayer, report.probe.width,
                  report.probe.height, report.probe.rounds, report.probe.layersPerRound);
  } else {
    std::snprintf(line, sizeof line, "fill probe: not measured, no figures in layers\n\n");
  }
  text += line;
  std::snprintf(line, sizeof line, "%-8s %7s %10s %8s %8s %8s %9s %9s\n", "section", "frames",
                "median ms", "p95 ms", "p99 ms", "max ms", "median L", "p99 L");
  text += line;
  for (int s = 0; s < kShowSections; ++s) {
    const FrameTimeSummary& t = report.sections[s];
    if (t.frames == 0) {
      std::snprintf(line, sizeof line, "%-8d %7d %10s %8s %8s %8s %9s %9s\n", s, 0, "-", "-", "-", "-",
                    "-", "-");
    } else {
      std::snprintf(line, sizeof line, "%-8d %7zu %10.2f %8.2f %8.2f %8.2f %9s %9s\n", s, t.frames,
                    t.median, t.p95, t.p99, t.max, layers(t.median).c_str(), layers(t.p99).c_str());
    }
    text += line;
  }
  text += "(L: the time in textured layers of the fill probe)\n";
  const double loadingTarget = LoadingTargetSeconds(report.pictureDetail);
  std::snprintf(line, sizeof line, "\nloading work   %8.3f s   %s (<= %.2f s, pictures at detail %d)\n",
                report.loadingWorkSeconds, mark(report.loadingWorkSeconds <= loadingTarget), loadingTarget,
                report.pictureDetail);
  text += line;
  std::snprintf(line, sizeof line, "picture memory %8.1f MB  (GL textures)\n", report.textureMB);
  text += line;
  std::snprintf(line, sizeof line, "wall time      %8.2f s\n", report.wallSeconds);
  text += line;
  std::snprintf(line, sizeof line, "GL errors      %8lld     %s (none)\n",
                static_cast<long long>(report.glErrors), mark(report.glErrors == 0));
  text += line;
  std::snprintf(line, sizeof line, "peak resident  %8.1f MB  %s (<= %.0f MB)\n", report.peakResidentMB,
                mark(report.peakResidentMB <= kTargetPeakResidentMB), kTargetPeakResidentMB);
  text += line;
  if (!report.firstGLError.empty()) text += "first GL error " + report.firstGLError + "\n";
  return text;
}

std::string FormatBenchmarkJson(const BenchmarkReport& report) {
  const FillProbe& probe = report.probe;
  auto probeMs = [](double ms) { return ms > 0.0 ? JsonNumber(ms, "%.4f") : std::string("null"); };
  std::string json = "{\n";
  json += "  \"renderer\": " + JsonString(report.renderer) + ",\n";
  json += "  \"steps_per_second\": " +
          (report.fps.denominator == 1 ? std::to_string(report.fps.numerator)
                                       : JsonNumber(FramesPerSecond(report.fps), "%.6f")) +
          ",\n";
  json += "  \"scale\": " + JsonNumber(report.scale, "%.4f") + ",\n";
  json += "  \"frame_width\": " + std::to_string(report.frameWidth) + ",\n";
  json += "  \"frame_height\": " + std::to_string(report.frameHeight) + ",\n";
  json += "  \"probe\": {\"ms_per_textured_layer\": " + probeMs(probe.msPerTexturedLayer) +
          ", \"ms_per_untextured_layer\": " + probeMs(probe.msPerUntexturedLayer) +
          ", \"rounds\": " + std::to_string(probe.rounds) +
          ", \"layers_per_round\": " + std::to_string(probe.layersPerRound) +
          ", \"width\": " + std::to_string(probe.width) + ", \"height\": " + std::to_string(probe.height) +
          ", \"layer_unit\": \"textured\"},\n";
  json += "  \"sections\": [\n";
  for (int s = 0; s < kShowSections; ++s) {
    const FrameTimeSummary& t = report.sections[s];
    auto ms = [&](double value) { return t.frames == 0 ? std::string("null") : JsonNumber(value); };
    auto layers = [&](double value) {
      const std::optional<double> inLayers = InLayers(value, probe.msPerTexturedLayer);
      return t.frames == 0 || !inLayers ? std::string("null") : JsonNumber(*inLayers, "%.2f");
    };
    json += "    {\"section\": " + std::to_string(s) + ", \"frames\": " + std::to_string(t.frames) +
            ", \"median_ms\": " + ms(t.median) + ", \"p95_ms\": " + ms(t.p95) +
            ", \"p99_ms\": " + ms(t.p99) + ", \"max_ms\": " + ms(t.max) +
            ", \"median_layers\": " + layers(t.median) + ", \"p99_layers\": " + layers(t.p99) + "}" +
            (s + 1 < kShowSections ? ",\n" : "\n");
  }
  json += "  ],\n";
  json += "  \"loading_work_s\": " + JsonNumber(report.loadingWorkSeconds, "%.4f") + ",\n";
  json += "  \"picture_detail\": " + std::to_string(report.pictureDetail) + ",\n";
  json += "  \"texture_mb\": " + JsonNumber(report.textureMB, "%.1f") + ",\n";
  json += "  \"wall_time_s\": " + JsonNumber(report.wallSeconds) + ",\n";
  json += "  \"gl_errors\": " + std::to_string(report.glErrors) + ",\n";
  json += "  \"first_gl_error\": " +
          (report.firstGLError.empty() ? std::string("null") : JsonString(report.firstGLError)) + ",\n";
  json += "  \"peak_resident_mb\": " + JsonNumber(report.peakResidentMB, "%.1f") + "\n";
  return json + "}\n";
}

int RunBenchmark(const RunOptions& options) {
  // The JSON path is made absolute first: the show changes the current directory.
  std::error_code error;
  const fs::path json =
      options.jsonFile.empty() ? fs::path() : fs::absolute(options.jsonFile, error);
  // A JSON file that could never be written is reported before the long run.
  if (!json.empty() && !fs::is_directory(json.parent_path(), error)) {
    std::fprintf(stderr, "veloria: cannot write %s: no directory %s\n", options.jsonFile.c_str(),
                 json.parent_path().string().c_str());
    return 1;
  }
  BenchmarkRecorder recorder;
  const WallClock::time_point start = WallClock::now();
  const int status = RunDemoObserved(
      options, [&recorder](const DemoFrame& frame) { return recorder.OnFrame(frame); });
  BenchmarkReport report = recorder.Report();
  report.fps = options.fps;
  report.scale = ActiveFrame.Scale;
  report.frameWidth = ActiveFrame.Width;
  report.frameHeight = ActiveFrame.Height;
  report.wallSeconds = std::chrono::duration<double>(WallClock::now() - start).count();
  report.loadingWorkSeconds = LoadingWorkSeconds();
  report.peakResidentMB = PeakResidentMB();
  // The probe runs after the show, in a context of its own, at the size of
  // the frame the show drew (a scaled window picks it only once it is open),
  // so layer figures compare across scales.
  report.probe = MeasureFillProbe(report.frameWidth, report.frameHeight);
  std::fputs(FormatBenchmarkTable(report).c_str(), stdout);
  std::fflush(stdout);
  if (!json.empty()) {
    errno = 0;
    std::ofstream out(json, std::ios::trunc);
    out << FormatBenchmarkJson(report);
    out.close();
    if (!out) {
      std::fprintf(stderr, "veloria: cannot write %s: %s\n", options.jsonFile.c_str(),
                   errno != 0 ? std::strerror(errno) : "write error");
      return 1;
    }
  }
  return status;
}
