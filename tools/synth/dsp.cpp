// Synthesizer building blocks: the per-sample arithmetic behind every voice
// and effect. Formulas are in the header next to each declaration.

#include "tools/synth/dsp.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Freeverb's delay lengths in samples at 44.1 kHz: mutually prime-ish so the
// combs' echoes do not pile up on the same samples.
constexpr size_t kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr size_t kAllpassLengths[4] = {556, 441, 341, 225};
constexpr size_t kStereoSpread = 23;
// Input gain of the comb bank: eight combs with feedback near 0.85 add up.
constexpr float kReverbInputGain = 0.015f;

}  // namespace

float Oscillator::Sine() {
  const float v = std::sin(2.0f * std::numbers::pi_v<float> * phase_);
  Step();
  return v;
}

// ---------------------------------------------------------------------------
Adsr::Adsr(float attack, float decay, float sustain, float release)
    : attackStep_(attack > 0.0f ? 1.0f / (attack * kSampleRate) : 1.0f),
      decayCoef_(1.0f - std::exp(-4.0f / (std::max(decay, 1e-4f) * kSampleRate))),
      sustain_(sustain),
      releaseCoef_(std::exp(-4.0f / (std::max(release, 1e-4f) * kSampleRate))) {}

float Adsr::Next() {
  const float out = level_;
  if (releasing_) {
    level_ *= releaseCoef_;
  } else if (attacking_) {
    level_ += attackStep_;
    if (level_ >= 1.0f) {
      level_ = 1.0f;
      attacking_ = false;
    }
  } else {
    level_ += (sustain_ - level_) * decayCoef_;
  }
  return out;
}

// ---------------------------------------------------------------------------
void Svf::Set(float cutoffHz, float q) {
  const float fc = std::clamp(cutoffHz, 10.0f, 0.45f * kSampleRate);
  const float g = std::tan(std::numbers::pi_v<float> * fc / kSampleRate);
  k_ = 1.0f / std::max(q, 0.5f);
  a1_ = 1.0f / (1.0f + g * (g + k_));
  a2_ = g * a1_;
  a3_ = g * a2_;
}

void OnePole::Set(float cutoffHz) { a_ = 1.0f - std::exp(-2.0f * std::numbers::pi_v<float> * cutoffHz / kSampleRate); }

// ---------------------------------------------------------------------------
StereoDelay::StereoDelay(float delaySeconds, float feedback, float dampHz)
    : bufL_(std::max<size_t>(1, static_cast<size_t>(delaySeconds * kSampleRate + 0.5f)), 0.0f),
      bufR_(bufL_.size(), 0.0f),
      feedback_(feedback) {
  dampL_.Set(dampHz);
  dampR_.Set(dampHz);
}

void StereoDelay::Process(float* left, float* right, size_t n) {
  const size_t len = bufL_.size();
  for (size_t i = 0; i < n; ++i) {
    const float wetL = bufL_[pos_];
    const float wetR = bufR_[pos_];
    bufL_[pos_] = 0.5f * (left[i] + right[i]) + feedback_ * dampR_.Low(wetR);
    bufR_[pos_] = feedback_ * dampL_.Low(wetL);
    left[i] = wetL;
    right[i] = wetR;
    if (++pos_ == len) pos_ = 0;
  }
}

// ---------------------------------------------------------------------------
Reverb::Reverb(float room, float damp) : room_(room), damp_(damp) {
  for (int side = 0; side < 2; ++side) {
    const size_t spread = side == 0 ? 0 : kStereoSpread;
    for (int c = 0; c < 8; ++c) combs_[side][c].buf.assign(kCombLengths[c] + spread, 0.0f);
    for (int a = 0; a < 4; ++a) allpasses_[side][a].buf.assign(kAllpassLengths[a] + spread, 0.0f);
  }
}

void Reverb::Process(float* left, float* right, size_t n) {
  float* io[2] = {left, right};
  for (size_t i = 0; i < n; ++i) {
    const float input = (left[i] + right[i]) * kReverbInputGain;
    for (int side = 0; side < 2; ++side) {
      float out = 0.0f;
      for (Comb& comb : combs_[side]) {
        const float y = comb.buf[comb.pos];
        comb.store = y * (1.0f - damp_) + comb.store * damp_;
        comb.buf[comb.pos] = input + comb.store * room_;
        if (++comb.pos == comb.buf.size()) comb.pos = 0;
        out += y;
      }
      for (Allpass& ap : allpasses_[side]) {
        const float delayed = ap.buf[ap.pos];
        ap.buf[ap.pos] = out + delayed * 0.5f;
        if (++ap.pos == ap.buf.size()) ap.pos = 0;
        out = delayed - out;
      }
      io[side][i] = out;
    }
  }
}

// ---------------------------------------------------------------------------
Limiter::Limiter(float ceiling, size_t lookahead, float releaseSeconds)
    : ceiling_(ceiling),
      lookahead_(std::max<size_t>(1, lookahead)),
      releaseCoef_(std::exp(-1.0f / (releaseSeconds * kSampleRate))),
      delayL_(lookahead_, 0.0f),
      delayR_(lookahead_, 0.0f),
      window_(lookahead_, 1.0f),
      held_(lookahead_, 1.0f),
      heldSum_(static_cast<double>(lookahead_)) {}

void Limiter::Process(float* left, float* right, size_t n) {
  // A hair below the exact ratio so rounding in the average cannot lift a
  // sample above the ceiling.
  const float margin = 1.0f - 1e-5f;
  for (size_t i = 0; i < n; ++i) {
    const float peak = std::max(std::fabs(left[i]), std::fabs(right[i]));
    window_[pos_] = peak > ceiling_ ? margin * ceiling_ / peak : 1.0f;
    const float floorGain = *std::min_element(window_.begin(), window_.end());
    // Fall at once, rise slowly: never above the window minimum.
    smoothed_ = floorGain < smoothed_ ? floorGain : floorGain + (smoothed_ - floorGain) * releaseCoef_;
    heldSum_ += static_cast<double>(smoothed_) - held_[pos_];
    held_[pos_] = smoothed_;
    const float gain = static_cast<float>(heldSum_ / static_cast<double>(lookahead_));

    // The ring slot at pos_ holds the sample from lookahead - 1 steps ago
    // once the next position is read: write the new one after reading.
    const size_t oldest = pos_ + 1 == lookahead_ ? 0 : pos_ + 1;
    delayL_[pos_] = left[i];
    delayR_[pos_] = right[i];
    left[i] = delayL_[oldest] * gain;
    right[i] = delayR_[oldest] * gain;
    pos_ = oldest;
  }
}
