// Frame-time statistics of the benchmark: the median and the tail of a list
// of frame times. Pure arithmetic; times are in milliseconds throughout.
#pragma once

#include <cstddef>
#include <vector>

struct FrameTimeSummary {
  size_t frames = 0;  // how many times were summarised; 0 leaves the rest 0
  double median = 0.0;
  double p95 = 0.0;
  double p99 = 0.0;
  double max = 0.0;
};

// The nearest-rank percentile: the smallest time with at least `percent`
// (0 < percent <= 100) of all times at or below it. 0 for an empty list.
// `sortedTimes` must be in ascending order.
double NearestRankPercentile(const std::vector<double>& sortedTimes, double percent);

// Count, median (the 50th nearest-rank percentile), 95th and 99th
// percentiles and maximum of `times` in any order. All zero when empty.
FrameTimeSummary SummarizeFrameTimes(std::vector<double> times);
