// The instruments: one function per voice, each a short chain of the
// building blocks in dsp.h rendered straight into the part's buffer.

#include "tools/synth/voices.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/synth/dsp.h"

namespace {

// Inharmonic square frequencies of an analogue hi-hat (Hz).
constexpr float kMetalHz[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};

struct PanGains {
  float left, right;
};

PanGains Pan(float gain, float pan) {
  const float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * std::numbers::pi_v<float> / 4.0f;
  return {gain * std::cos(angle), gain * std::sin(angle)};
}

// Samples of a note lasting `seconds` that still fit into `out` from `start`.
size_t Length(const StereoBuffer& out, size_t start, float seconds) {
  if (start >= out.Frames()) return 0;
  return std::min(out.Frames() - start, static_cast<size_t>(seconds * kSampleRate));
}

// Time for exp(-t / tau) to fall by `db` decibels, where a note ends: 80 dB
// by default, 60 dB for the quiet metallic voices, which cost the most.
float DecayTime(float tau, float db = 80.0f) { return tau * db * 0.1151f; }

// Adds a mono voice: out[start + i] += f(i) panned.
template <typename Sample>
void AddMono(StereoBuffer& out, const NotePlacement& at, size_t length, Sample&& sample) {
  const PanGains g = Pan(at.gain, at.pan);
  float* l = out.left.data() + at.start;
  float* r = out.right.data() + at.start;
  for (size_t i = 0; i < length; ++i) {
    const float v = sample(i);
    l[i] += g.left * v;
    r[i] += g.right * v;
  }
}

// The metallic hat source: six band-limited squares and some noise.
struct Metal {
  Oscillator squares[6];
  Noise noise;
  explicit Metal(uint32_t seed, float ratio) : noise(seed) {
    for (int k = 0; k < 6; ++k) {
      squares[k].SetFrequency(kMetalHz[k] * ratio);
      squares[k].SetPhase(0.5f * (noise.Next() + 1.0f));
    }
  }
  float Next() {
    float v = 0.0f;
    for (Oscillator& s : squares) v += s.Square();
    return v * (1.0f / 6.0f) + 0.6f * noise.Next();
  }
};

}  // namespace

float NoteHz(float midiNote) { return 440.0f * std::exp2((midiNote - 69.0f) / 12.0f); }

// ---------------------------------------------------------------------------
void RenderKick(StereoBuffer& out, const NotePlacement& at, const KickSound& sound) {
  constexpr size_t kChokeFade = 132;  // 3 ms
  size_t length = Length(out, at.start, DecayTime(sound.ampDecay));
  if (at.gateSamples > 0) length = std::min(length, at.gateSamples + kChokeFade);
  Oscillator body;
  Noise noise(at.seed);
  OnePole clickTone;
  clickTone.Set(3000.0f);
  const float norm = 1.0f / std::tanh(sound.drive);
  const float pitchCoef = std::exp(-1.0f / (sound.pitchDecay * kSampleRate));
  const float ampCoef = std::exp(-1.0f / (sound.ampDecay * kSampleRate));
  const float clickCoef = std::exp(-1.0f / (0.002f * kSampleRate));
  float sweep = sound.startHz - sound.endHz, amp = 1.0f, click = sound.click;
  AddMono(out, at, length, [&](size_t i) {
    body.SetFrequency(sound.endHz + sweep);
    const float v = std::tanh(sound.drive * body.Sine()) * norm * amp + click * clickTone.Low(noise.Next());
    sweep *= pitchCoef;
    amp *= ampCoef;
    if (at.gateSamples > 0 && i >= at.gateSamples) amp = std::max(0.0f, amp - 1.0f / kChokeFade);
    click *= clickCoef;
    return v;
  });
}

void RenderSnare(StereoBuffer& out, const NotePlacement& at, float tail, float tone) {
  const size_t length = Length(out, at.start, DecayTime(tail));
  Oscillator low, high;
  low.SetFrequency(225.0f);
  high.SetFrequency(345.0f);
  Noise noise(at.seed);
  Svf band;
  band.Set(2000.0f + 3000.0f * tone, 0.8f);
  const float bodyCoef = std::exp(-1.0f / (0.05f * kSampleRate));
  const float tailCoef = std::exp(-1.0f / (tail * kSampleRate));
  float body = 0.55f, hiss = 1.0f;
  AddMono(out, at, length, [&](size_t) {
    const Svf::Outputs f = band.Process(noise.Next());
    const float v = body * (0.6f * low.Sine() + 0.4f * high.Sine()) + hiss * (f.band + 0.35f * f.high);
    body *= bodyCoef;
    hiss *= tailCoef;
    return v;
  });
}

void RenderClap(StereoBuffer& out, const NotePlacement& at) {
  constexpr float kBurstGap = 0.009f;
  const size_t length = Length(out, at.start, 3.0f * kBurstGap + DecayTime(0.11f));
  Noise noise(at.seed);
  Svf band;
  band.Set(1100.0f, 1.6f);
  const size_t gap = static_cast<size_t>(kBurstGap * kSampleRate);
  const float burstCoef = std::exp(-1.0f / (0.003f * kSampleRate));
  const float tailCoef = std::exp(-1.0f / (0.11f * kSampleRate));
  float burst = 1.0f, tail = 0.0f;
  AddMono(out, at, length, [&](size_t i) {
    if (i == gap || i == 2 * gap) burst = 1.0f;
    if (i == 2 * gap) tail = 0.7f;
    const float v = 2.2f * band.Band(noise.Next()) * (burst + tail);
    burst *= burstCoef;
    tail *= tailCoef;
    return v;
  });
}

void RenderHat(StereoBuffer& out, const NotePlacement& at, float decay) {
  const size_t length = Length(out, at.start, DecayTime(decay, 60.0f));
  Metal metal(at.seed, 1.9f);
  Svf high, air;
  high.Set(7000.0f, 0.7f);
  air.Set(13000.0f, 0.7f);
  const float coef = std::exp(-1.0f / (decay * kSampleRate));
  float amp = 1.0f;
  AddMono(out, at, length, [&](size_t) {
    // The top octave is rolled off: hats that sparkle without hiss.
    const float v = air.Low(high.High(metal.Next())) * amp;
    amp *= coef;
    return v;
  });
}

void RenderCrash(StereoBuffer& out, const NotePlacement& at) {
  const size_t length = Length(out, at.start, DecayTime(1.1f, 60.0f));
  Metal metalL(at.seed, 2.3f), metalR(at.seed ^ 0x5bd1e995u, 2.31f);
  Svf highL, highR, airL, airR;
  for (Svf* f : {&highL, &highR}) f->Set(4500.0f, 0.7f);
  for (Svf* f : {&airL, &airR}) f->Set(12000.0f, 0.7f);
  const float coef = std::exp(-1.0f / (1.1f * kSampleRate));
  float amp = at.gain;
  float* l = out.left.data() + at.start;
  float* r = out.right.data() + at.start;
  for (size_t i = 0; i < length; ++i) {
    l[i] += amp * airL.Low(highL.High(metalL.Next()));
    r[i] += amp * airR.Low(highR.High(metalR.Next()));
    amp *= coef;
  }
}

void RenderRiser(StereoBuffer& out, const NotePlacement& at) {
  const size_t length = Length(out, at.start, static_cast<float>(at.gateSamples) / kSampleRate);
  if (length == 0) return;
  Noise noiseL(at.seed), noiseR(at.seed ^ 0x27d4eb2du);
  Svf bandL, bandR;
  const size_t fade = static_cast<size_t>(0.005f * kSampleRate);
  float* l = out.left.data() + at.start;
  float* r = out.right.data() + at.start;
  for (size_t i = 0; i < length; ++i) {
    const float x = static_cast<float>(i) / static_cast<float>(at.gateSamples);
    // The cutoff moves every 16 samples: smooth enough, and tan() stays cheap.
    if (i % 16 == 0) {
      const float hz = 250.0f * std::pow(36.0f, x);
      bandL.Set(hz, 2.5f);
      bandR.Set(hz * 1.04f, 2.5f);
    }
    float amp = at.gain * x * x;
    if (length - i < fade) amp *= static_cast<float>(length - i) / fade;
    l[i] += amp * bandL.Band(noiseL.Next());
    r[i] += amp * bandR.Band(noiseR.Next());
  }
}

// ---------------------------------------------------------------------------
void RenderBass(StereoBuffer& out, const NotePlacement& at, float midiNote, const BassSound& sound) {
  constexpr float kRelease = 0.04f;
  const float gate = static_cast<float>(at.gateSamples) / kSampleRate;
  const size_t length = Length(out, at.start, gate + kRelease * 2.5f);
  Adsr env(sound.attack, 0.2f, 0.75f, kRelease);
  Oscillator saw, sine;
  const float hz = NoteHz(midiNote);
  saw.SetFrequency(hz);
  sine.SetFrequency(hz);
  Svf filter, highPass;
  highPass.Set(sound.highPassHz, 0.7071f);
  const float envCoef = std::exp(-1.0f / (0.09f * kSampleRate));
  float sweep = sound.envHz;
  AddMono(out, at, length, [&](size_t i) {
    if (i == at.gateSamples) env.NoteOff();
    if (i % 8 == 0) filter.Set(sound.cutoffHz + sweep, sound.q);
    sweep *= envCoef;
    const float v = filter.Low(saw.Saw()) + sound.sub * sine.Sine();
    return env.Next() * (sound.highPassHz > 0.0f ? highPass.High(v) : v);
  });
}

void RenderPad(StereoBuffer& out, const NotePlacement& at, float midiNote, const PadSound& sound) {
  const float gate = static_cast<float>(at.gateSamples) / kSampleRate;
  const size_t length = Length(out, at.start, gate + sound.release * 2.4f);
  Adsr env(sound.attack, 1.0f, 0.8f, sound.release);
  Noise noise(at.seed);
  Oscillator saws[3];
  const float detune[3] = {-0.11f, 0.0f, 0.11f};
  for (int k = 0; k < 3; ++k) {
    saws[k].SetFrequency(NoteHz(midiNote + detune[k]));
    saws[k].SetPhase(0.5f * (noise.Next() + 1.0f));
  }
  Svf filterL, filterR;
  filterL.Set(sound.cutoffHz, 0.9f);
  filterR.Set(sound.cutoffHz, 0.9f);
  const PanGains g = Pan(at.gain, at.pan);
  float* l = out.left.data() + at.start;
  float* r = out.right.data() + at.start;
  for (size_t i = 0; i < length; ++i) {
    if (i == at.gateSamples) env.NoteOff();
    const float a = saws[0].Saw(), b = saws[1].Saw(), c = saws[2].Saw();
    const float e = env.Next();
    l[i] += g.left * e * filterL.Low(a + 0.7f * b + 0.3f * c);
    r[i] += g.right * e * filterR.Low(c + 0.7f * b + 0.3f * a);
  }
}

void RenderLead(StereoBuffer& out, const NotePlacement& at, float midiNote, float cutoffHz) {
  const float gate = static_cast<float>(at.gateSamples) / kSampleRate;
  const size_t length = Length(out, at.start, gate + 0.15f * 2.4f);
  Adsr env(0.008f, 0.3f, 0.65f, 0.15f);
  Oscillator saw, square, vibrato;
  vibrato.SetFrequency(5.5f);
  Svf filter;
  const float envCoef = std::exp(-1.0f / (0.25f * kSampleRate));
  const size_t vibratoStart = static_cast<size_t>(0.15f * kSampleRate);
  float sweep = 2500.0f, depth = 0.0f;
  AddMono(out, at, length, [&](size_t i) {
    if (i == at.gateSamples) env.NoteOff();
    const float wobble = depth * vibrato.Sine();
    if (i >= vibratoStart) depth = std::min(0.12f, depth + 0.12f / (0.3f * kSampleRate));
    if (i % 8 == 0) {
      saw.SetFrequency(NoteHz(midiNote + wobble));
      square.SetFrequency(NoteHz(midiNote + 0.06f + wobble));
      filter.Set(cutoffHz + sweep, 1.1f);
    }
    sweep *= envCoef;
    return env.Next() * filter.Low(0.6f * saw.Saw() + 0.4f * square.Square());
  });
}

void RenderPluck(StereoBuffer& out, const NotePlacement& at, float midiNote, float brightHz) {
  const size_t length = Length(out, at.start, static_cast<float>(at.gateSamples) / kSampleRate + 0.1f);
  const float hz = NoteHz(midiNote);
  Oscillator pulse, saw;
  pulse.SetFrequency(hz);
  saw.SetFrequency(hz * 1.003f);
  Svf filter;
  const float attackStep = 1.0f / (0.002f * kSampleRate);
  const float decayCoef = std::exp(-1.0f / (0.22f * kSampleRate));
  const float releaseCoef = std::exp(-1.0f / (0.02f * kSampleRate / 4.0f));
  const float envCoef = std::exp(-1.0f / (0.07f * kSampleRate));
  float amp = 0.0f, peak = 1.0f, sweep = brightHz;
  AddMono(out, at, length, [&](size_t i) {
    amp = std::min(amp + attackStep, peak);
    peak *= i < at.gateSamples ? decayCoef : releaseCoef;
    if (i % 8 == 0) filter.Set(250.0f + sweep, 1.3f);
    sweep *= envCoef;
    return amp * filter.Low(0.5f * pulse.Square(0.3f) + 0.5f * saw.Saw());
  });
}
