// --benchmark: the whole show headless on the fixed-step clock, every frame
// finished (glFinish) and timed in wall-clock time, summarised per section.
// Sections come from the show clock, so every machine counts the same frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/ORV2Base.h"
#include "app/frame_stats.h"
#include "app/run_options.h"

constexpr int32_t kBenchmarkSections = 8;  // sections 0..7

// What the show must reach on a 2-core machine with Mesa's software renderer
// at 800 x 600: 60 frames per second with few slow frames, a short load and
// a modest memory footprint.
constexpr double kTargetMedianMs = 16.7;
constexpr double kTargetP99Ms = 25.0;
constexpr double kTargetLoadingSeconds = 0.5;
constexpr double kTargetPeakResidentMB = 250.0;

// True when `section`'s median and 99th percentile are within the targets
// (a section without frames is).
bool SectionMeetsTargets(const FrameTimeSummary& section);

struct BenchmarkReport {
  int fps = 60;                                    // steps per second of the clock
  std::string renderer;                            // GL_RENDERER
  FrameTimeSummary sections[kBenchmarkSections];  // frame times in ms
  double loadingWorkSeconds = 0.0;                 // the load steps, without the bar frames
  double wallSeconds = 0.0;                        // the whole run
  int64_t glErrors = 0;                            // glGetError results over every frame
  std::string firstGLError;                        // where the first one was seen; empty if none
  double peakResidentMB = 0.0;                     // peak resident memory, MiB
};

// The report as a table for a terminal, each figure marked against its target.
std::string FormatBenchmarkTable(const BenchmarkReport& report);
// The report as a JSON object; the times of a section without frames are
// null. Each section says whether it meets the frame-time targets.
std::string FormatBenchmarkJson(const BenchmarkReport& report);

// The frame observer of a benchmark. Each frame: glFinish, the wall time
// since the previous frame finished (recorded for timeline frames of
// sections 0..7), then every pending GL error counted. Needs the context
// current; never ends the run.
class BenchmarkRecorder {
 public:
  bool OnFrame(const DemoFrame& frame);
  // The summaries and the GL figures gathered so far (times in ms).
  BenchmarkReport Report() const;

 private:
  std::vector<double> times_[kBenchmarkSections];
  bool started_ = false;
  int64_t lastFinishNs_ = 0;
  int64_t glErrors_ = 0;
  std::string firstGLError_;
  std::string renderer_;
};

// Peak resident memory of this process in MiB; 0 when unknown.
double PeakResidentMB();

// The --benchmark run: prints the table on stdout, writes the JSON file of
// --json if given. 0 after the show; 1 with a message on stderr when the
// JSON file cannot be written (the table is printed regardless).
int RunBenchmark(const RunOptions& options);
