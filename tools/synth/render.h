// Renders a score to 44.1 kHz stereo: every note into its part, the bass and
// pads ducked under the kick, delay and reverb sends, the master fade and a
// peak limiter. Deterministic: the same score gives the same samples.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/synth/score.h"

// Highest master amplitude after the limiter (about -1.4 dBFS): headroom for
// the peaks a lossy encoder adds.
constexpr float kMasterCeiling = 0.85f;

// Interleaved left/right 16-bit samples, TickSample(score.lengthTicks) frames,
// each starting exactly at its tick (the limiter's latency is compensated).
std::vector<int16_t> RenderScore(const Score& score);
