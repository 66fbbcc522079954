// Synthesizer building blocks: noise, band-limited oscillators, envelopes,
// filters, a delay, a reverb and a peak limiter. Pure arithmetic, no audio
// device. Units, once for the whole synthesizer: time in seconds, frequency in
// Hz, 44100 samples per second per channel, amplitude 1.0 = full scale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kSampleRate = 44100;

// Deterministic white noise from a seeded xorshift32 generator.
class Noise {
 public:
  explicit Noise(uint32_t seed = 0x9E3779B9u) : state_(seed != 0 ? seed : 1) {}
  // Uniform in [-1, 1).
  float Next();

 private:
  uint32_t state_;
};

// The polyBLEP correction for a unit step at phase 0 of a wave whose phase
// advances by `dt` (cycles) per sample; `t` is the phase in [0, 1).
float PolyBlep(float t, float dt);

// A phase accumulator with band-limited waveforms. Each waveform call returns
// the current sample and advances the phase by one sample.
class Oscillator {
 public:
  // Frequency in Hz; may change every sample.
  void SetFrequency(float hz) { dt_ = hz / kSampleRate; }
  // Phase in cycles, [0, 1).
  void SetPhase(float phase) { phase_ = phase; }
  // Sawtooth, 2t - 1 with its downward jump smoothed by polyBLEP.
  float Saw();
  // Pulse of duty `width` (0..1), +1 then -1, both edges smoothed by polyBLEP.
  float Square(float width = 0.5f);
  // sin(2 pi t).
  float Sine();

 private:
  void Step();
  float phase_ = 0.0f;
  float dt_ = 0.0f;
};

// Attack-decay-sustain-release envelope, level 0..1. Attack rises linearly
// over `attack` s; decay approaches `sustain` exponentially with time
// constant decay/4 (within 2 % after `decay` s); release falls exponentially
// with time constant release/4 from wherever the level is at NoteOff.
class Adsr {
 public:
  Adsr(float attack, float decay, float sustain, float release);
  // Starts the release.
  void NoteOff() { releasing_ = true; }
  // The level of this sample, then advances one sample.
  float Next();
  // True once the release has fallen below -80 dB.
  bool Done() const { return releasing_ && level_ < 1e-4f; }

 private:
  float attackStep_, decayCoef_, sustain_, releaseCoef_;
  float level_ = 0.0f;
  bool attacking_ = true;
  bool releasing_ = false;
};

// Trapezoidal state-variable filter (zero-delay feedback), stable for any
// cutoff below Nyquist and any resonance, also when both move every sample.
// g = tan(pi fc / fs), k = 1 / Q; low, band and high outputs of one input.
class Svf {
 public:
  struct Outputs {
    float low, band, high;
  };
  // Cutoff in Hz (kept within 10 Hz .. 0.45 fs), Q >= 0.5 (0.707 = no peak).
  void Set(float cutoffHz, float q);
  Outputs Process(float x);
  float Low(float x) { return Process(x).low; }
  float High(float x) { return Process(x).high; }
  float Band(float x) { return Process(x).band; }

 private:
  float a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f, k_ = 1.4142f;
  float ic1_ = 0.0f, ic2_ = 0.0f;
};

// One-pole low-pass y += a (x - y), a = 1 - exp(-2 pi fc / fs).
class OnePole {
 public:
  void Set(float cutoffHz);
  float Low(float x) { return y_ += a_ * (x - y_); }
  float High(float x) { return x - Low(x); }

 private:
  float a_ = 1.0f, y_ = 0.0f;
};

// Ping-pong delay for a stereo send: the left input echoes first on the left,
// then alternates sides. wetL[n] = bufL[n - d], bufL <- inMono + fb lp(wetR),
// bufR <- fb lp(wetL); the feedback is darkened by a one-pole at `dampHz`.
class StereoDelay {
 public:
  StereoDelay(float delaySeconds, float feedback, float dampHz);
  // Replaces the send in `left`/`right` (n samples) by the wet echoes.
  void Process(float* left, float* right, size_t n);

 private:
  std::vector<float> bufL_, bufR_;
  size_t pos_ = 0;
  float feedback_;
  OnePole dampL_, dampR_;
};

// Schroeder-Moorer reverb: eight damped feedback combs in parallel then four
// allpasses in series per side, the right side's delays 23 samples longer.
// Comb: y = buf[n - d]; s = y (1 - damp) + s damp; buf[n] = x + s room.
// Allpass: y = buf[n - d] - x; buf[n] = x + 0.5 buf[n - d].
class Reverb {
 public:
  // room: comb feedback 0..1 (tail length), damp: 0..1 (darkness).
  Reverb(float room, float damp);
  // Replaces the send in `left`/`right` (n samples) by the wet tail.
  void Process(float* left, float* right, size_t n);

 private:
  struct Comb {
    std::vector<float> buf;
    size_t pos = 0;
    float store = 0.0f;
  };
  struct Allpass {
    std::vector<float> buf;
    size_t pos = 0;
  };
  float room_, damp_;
  Comb combs_[2][8];
  Allpass allpasses_[2][4];
};

// Look-ahead peak limiter on a stereo pair, linked so the image stays put.
// Required gain r[n] = min(1, ceiling / max(|L[n]|, |R[n]|)); the applied
// gain is the moving average over `lookahead` samples of the running minimum
// of r over the same window (with a slow exponential return towards 1), and
// the signal is delayed by lookahead - 1 samples. Every sample the average
// takes in lies at or below the delayed sample's own r, so the output never
// exceeds the ceiling.
class Limiter {
 public:
  Limiter(float ceiling, size_t lookahead, float releaseSeconds);
  // Limits `left`/`right` (n samples) in place; the output is the input
  // delayed by Latency() samples.
  void Process(float* left, float* right, size_t n);
  size_t Latency() const { return lookahead_ - 1; }

 private:
  float ceiling_;
  size_t lookahead_;
  float releaseCoef_;
  std::vector<float> delayL_, delayR_, window_, held_;
  size_t pos_ = 0;
  double heldSum_;
  float smoothed_ = 1.0f;
};

// ---------------------------------------------------------------------------
// Inline definitions: the per-sample hot path, kept where the compiler can
// fold it into each voice's loop.

inline float Noise::Next() {
  // xorshift32 (Marsaglia): period 2^32 - 1, never reaches 0.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(static_cast<int32_t>(state_)) * (1.0f / 2147483648.0f);
}

inline float PolyBlep(float t, float dt) {
  // Two-sample polynomial residual of a band-limited step: -(1 - x)^2 before
  // the jump, (1 + x)^2 after it (x = t / dt or (t - 1) / dt).
  if (t < dt) {
    const float x = t / dt;
    return x + x - x * x - 1.0f;
  }
  if (t > 1.0f - dt) {
    const float x = (t - 1.0f) / dt;
    return x * x + x + x + 1.0f;
  }
  return 0.0f;
}

inline void Oscillator::Step() {
  phase_ += dt_;
  if (phase_ >= 1.0f) phase_ -= 1.0f;
}

inline float Oscillator::Saw() {
  const float v = 2.0f * phase_ - 1.0f - PolyBlep(phase_, dt_);
  Step();
  return v;
}

inline float Oscillator::Square(float width) {
  float v = phase_ < width ? 1.0f : -1.0f;
  v += PolyBlep(phase_, dt_);
  float falling = phase_ + 1.0f - width;
  if (falling >= 1.0f) falling -= 1.0f;
  v -= PolyBlep(falling, dt_);
  Step();
  return v;
}

inline Svf::Outputs Svf::Process(float x) {
  const float v3 = x - ic2_;
  const float v1 = a1_ * ic1_ + a2_ * v3;
  const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
  ic1_ = 2.0f * v1 - ic1_;
  ic2_ = 2.0f * v2 - ic2_;
  return {v2, v1, x - k_ * v1 - v2};
}
