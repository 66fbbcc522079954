// --benchmark: the whole show headless on the fixed-step clock, every frame
// finished (glFinish) and timed in wall-clock time, summarised per section.
// Sections come from the show clock, so every machine counts the same frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/fill_probe.h"
#include "app/frame_stats.h"
#include "app/run_options.h"
#include "core/show.h"
#include "runtime/ORV2Base.h"


// What the show must reach besides its frame times, which depend on the
// machine and are read in layers of the fill probe instead: a short load and
// a modest memory footprint.
constexpr double kTargetLoadingSeconds = 0.15;
// The load at detail 4, whose pictures hold 16 times the texels.
constexpr double kTargetDetailedLoadingSeconds = 0.5;
// The loading target at a picture detail: kTargetLoadingSeconds for the
// designed pictures, kTargetDetailedLoadingSeconds above.
double LoadingTargetSeconds(int pictureDetail);
constexpr double kTargetPeakResidentMB = 250.0;

struct BenchmarkReport {
  FrameRate fps;                                   // steps per second of the clock
  std::string renderer;                            // GL_RENDERER
  double scale = 1.0;                              // the frame's scale and its pixels
  int frameWidth = 0;
  int frameHeight = 0;
  FrameTimeSummary sections[kShowSections];  // frame times in ms
  FillProbe probe;                                 // the machine's cost of a full-screen layer
  double loadingWorkSeconds = 0.0;                 // the load steps, without the bar frames
  int pictureDetail = 1;                           // the detail the pictures were read at
  double textureMB = 0.0;                          // the GL memory of the show's pictures, MiB
  double wallSeconds = 0.0;                        // the whole run
  int64_t glErrors = 0;                            // glGetError results over every frame
  std::string firstGLError;                        // where the first one was seen; empty if none
  double peakResidentMB = 0.0;                     // peak resident memory, MiB
};

// The report as a table for a terminal: each section's times in ms and its
// median and 99th percentile in textured layers of the probe, the loading,
// error and memory figures marked against their targets.
std::string FormatBenchmarkTable(const BenchmarkReport& report);
// The report as a JSON object, with the probe as an object "probe". A
// section's "median_layers" and "p99_layers" are its times in textured
// layers; they are null, as are the times of a section without frames, when
// there is no figure.
std::string FormatBenchmarkJson(const BenchmarkReport& report);

// The frame observer of a benchmark. Each frame: glFinish, the wall time
// since the previous frame finished (recorded for timeline frames of
// sections 0..7), then every pending GL error counted; at the first timeline
// frame the detail and GL memory of the loaded pictures. Needs the context
// current; never ends the run.
class BenchmarkRecorder {
 public:
  bool OnFrame(const DemoFrame& frame);
  // The summaries and the GL figures gathered so far (times in ms).
  BenchmarkReport Report() const;

 private:
  std::vector<double> times_[kShowSections];
  bool started_ = false;
  int64_t lastFinishNs_ = 0;
  int64_t glErrors_ = 0;
  int pictureDetail_ = 1;
  double textureMB_ = -1.0;  // measured at the first timeline frame
  std::string firstGLError_;
  std::string renderer_;
};

// The --benchmark run: plays the show, measures the fill probe at the size of
// the show's frame, prints the
// table on stdout, writes the JSON file of --json if given. 0 after the
// show; 1 with a message on stderr when the JSON file cannot be written (the
// table is printed regardless).
int RunBenchmark(const RunOptions& options);
