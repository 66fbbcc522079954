// --flash-report: the show rendered headlessly on the fixed-step clock and
// every frame of it put through the flash meter (core/flash_meter.h); the
// failing seconds and worst counts per section, then the whole show's. The
// capture measures its frames the same way for the warning of its end line.
#pragma once

#include <string>

#include "app/run_options.h"
#include "core/flash_meter.h"
#include "core/show.h"
#include "platform/picture.h"
#include "runtime/ORV2Base.h"

// The meter and its log over the timeline frames of a run, from `from` to
// `to` seconds of show time (every frame when not given).
class FlashWatch {
 public:
  explicit FlashWatch(double from = 0.0, double to = 1e300) : from_(from), to_(to) {}
  // Measures `frame`, whose picture is `image` (RGB or RGBA), when it is a
  // timeline frame in the range.
  void Add(const DemoFrame& frame, const TImage& image);
  // Whether `frame` is one Add measures.
  bool Wants(const DemoFrame& frame) const;
  // Whether the run is past the range.
  bool Done(const DemoFrame& frame) const;
  const FlashLog& Log() const { return log_; }

 private:
  double from_, to_;
  FlashCells cells_;
  FlashMeter meter_;
  FlashLog log_{kShowSections};
};

// The report as a table for a terminal: per section its time, seconds that
// fail, worst counts and failing spans, then the whole show's.
std::string FormatFlashTable(const FlashLog& log, const std::string& heading);
// The report as JSON: the per-section figures, the totals and every failing
// span with its start, end, kind and count.
std::string FormatFlashJson(const FlashLog& log, const RunOptions& options, double scale);

// The capture's warning for its end line; empty when no second fails.
std::string FlashWarning(const FlashLog& log, bool gentle);

// The --flash-report run. 0 when it measured, whatever it found; 1 with a
// message on stderr when it could not (no frame measured, the JSON file
// cannot be written).
int RunFlashReport(const RunOptions& options);
