// Frame-time statistics: nearest-rank percentiles over a sorted copy.

#include "app/frame_stats.h"

#include <algorithm>
#include <cmath>

double NearestRankPercentile(const std::vector<double>& sortedTimes, double percent) {
  if (sortedTimes.empty()) return 0.0;
  const double n = static_cast<double>(sortedTimes.size());
  // Rank 1..n; the small tolerance keeps 95% of 20 at rank 19, not 20, when
  // the product lands a rounding error above a whole number.
  double rank = std::ceil(percent / 100.0 * n - 1e-9);
  rank = std::clamp(rank, 1.0, n);
  return sortedTimes[static_cast<size_t>(rank) - 1];
}

FrameTimeSummary SummarizeFrameTimes(std::vector<double> times) {
  FrameTimeSummary summary;
  if (times.empty()) return summary;
  std::sort(times.begin(), times.end());
  summary.frames = times.size();
  summary.median = NearestRankPercentile(times, 50.0);
  summary.p95 = NearestRankPercentile(times, 95.0);
  summary.p99 = NearestRankPercentile(times, 99.0);
  summary.max = times.back();
  return summary;
}
