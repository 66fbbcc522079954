// Rendering the score: parts, side-chain, sends, master. One part at a time
// is rendered into a scratch buffer and mixed down, which keeps memory to a
// few song-length buffers.

#include "tools/synth/render.h"

#include <algorithm>
#include <cmath>

#include "tools/synth/dsp.h"
#include "tools/synth/voices.h"

#if defined(__SSE__)
// Reverb and delay tails decay into denormal numbers, which are very slow on
// x86; flushing them to zero changes nothing audible and keeps the render fast.
#include <numbers>
#include <xmmintrin.h>
#endif

namespace {

// Mixer parts: instruments that share ducking and effect sends.
enum class Part { Kick, Percussion, Bass, Pads, Lead, Plucks, Effects, Count };

struct PartMix {
  float duck;        // depth of the side-chain dip under each kick, 0..1
  float delaySend;   // into the ping-pong delay
  float reverbSend;  // into the reverb
};

constexpr PartMix kPartMix[static_cast<int>(Part::Count)] = {
    {0.0f, 0.0f, 0.0f},    // Kick: dry, centred, the floor of the mix
    {0.0f, 0.0f, 0.12f},   // Percussion
    {0.75f, 0.0f, 0.0f},   // Bass: dry, out of the kick's way
    {0.45f, 0.0f, 0.35f},  // Pads
    {0.25f, 0.22f, 0.3f},  // Lead
    {0.3f, 0.3f, 0.25f},   // Plucks
    {0.2f, 0.0f, 0.4f},    // Effects
};

// Echo time: a dotted eighth (0.36 s at 125 BPM), the classic trance delay.
constexpr float kDelaySeconds = 0.36f;
// Side-chain dip recovery, time constant in seconds.
constexpr float kDuckRecovery = 0.07f;

struct InstrumentMix {
  Part part;
  float gain;  // amplitude at velocity 1
};

InstrumentMix Mix(Instrument instrument) {
  switch (instrument) {
    case Instrument::Kick: return {Part::Kick, 0.72f};
    case Instrument::Snare: return {Part::Percussion, 0.36f};
    case Instrument::Clap: return {Part::Percussion, 0.34f};
    case Instrument::ClosedHat: return {Part::Percussion, 0.24f};
    case Instrument::OpenHat: return {Part::Percussion, 0.17f};
    case Instrument::Crash: return {Part::Percussion, 0.08f};
    case Instrument::Riser: return {Part::Effects, 0.1f};
    case Instrument::Bass: return {Part::Bass, 0.22f};
    case Instrument::BassDrone: return {Part::Bass, 0.13f};
    case Instrument::Pad: return {Part::Pads, 0.08f};
    case Instrument::PadStab: return {Part::Pads, 0.06f};
    case Instrument::Lead: return {Part::Lead, 0.2f};
    case Instrument::Pluck: return {Part::Plucks, 0.19f};
  }
  return {Part::Effects, 0.0f};
}

// Renders one note, mapping its 0..1 tone to the instrument's parameters.
// `chokeTick` is where the next note of the same drum starts (0: none).
void RenderNote(StereoBuffer& out, const ScoreNote& note, int64_t chokeTick, uint32_t seed) {
  const InstrumentMix mix = Mix(note.instrument);
  const int64_t gateTicks = note.instrument == Instrument::Kick ? (chokeTick > 0 ? chokeTick - note.tick : 0)
                                                                : note.lengthTicks;
  const NotePlacement at{TickSample(note.tick), TickSample(gateTicks), mix.gain * note.velocity, note.pan, seed};
  const float tone = note.tone;
  switch (note.instrument) {
    case Instrument::Kick: {
      KickSound kick;
      kick.ampDecay = 0.12f + 0.25f * tone;
      kick.pitchDecay = 0.025f + 0.03f * tone;
      RenderKick(out, at, kick);
      break;
    }
    case Instrument::Snare: RenderSnare(out, at, 0.09f + 0.06f * tone, tone); break;
    case Instrument::Clap: RenderClap(out, at); break;
    case Instrument::ClosedHat: RenderHat(out, at, 0.025f + 0.03f * tone); break;
    case Instrument::OpenHat: RenderHat(out, at, 0.15f + 0.2f * tone); break;
    case Instrument::Crash: RenderCrash(out, at); break;
    case Instrument::Riser: RenderRiser(out, at); break;
    case Instrument::Bass: {
      const BassSound bass{220.0f + 800.0f * tone, 400.0f + 2000.0f * tone, 0.9f + 4.0f * tone * tone, 0.004f, 0.0f, 80.0f};
      RenderBass(out, at, note.pitch, bass);
      break;
    }
    case Instrument::BassDrone: {
      const BassSound drone{90.0f + 200.0f * tone, 60.0f, 0.8f, 0.12f, 0.4f};
      RenderBass(out, at, note.pitch, drone);
      break;
    }
    case Instrument::Pad: RenderPad(out, at, note.pitch, {300.0f * std::exp2(4.0f * tone), 0.7f, 1.0f}); break;
    case Instrument::PadStab: RenderPad(out, at, note.pitch, {300.0f * std::exp2(4.0f * tone), 0.004f, 0.12f}); break;
    case Instrument::Lead: RenderLead(out, at, note.pitch, 400.0f + 2500.0f * tone); break;
    case Instrument::Pluck: RenderPluck(out, at, note.pitch, 500.0f + 5000.0f * tone); break;
  }
}

// The tick of the next note after notes[n] on the same instrument, 0 if none.
int64_t NextStart(const Score& score, size_t n) {
  for (size_t m = n + 1; m < score.notes.size(); ++m) {
    if (score.notes[m].instrument == score.notes[n].instrument && score.notes[m].tick > score.notes[n].tick) {
      return score.notes[m].tick;
    }
  }
  return 0;
}

// Side-chain envelope: 1 at each kick's start, falling exp(-t / kDuckRecovery).
std::vector<float> KickEnvelope(const Score& score, size_t frames) {
  std::vector<float> env(frames, 0.0f);
  const float coef = std::exp(-1.0f / (kDuckRecovery * kSampleRate));
  const size_t length = static_cast<size_t>(kDuckRecovery * 9.3f * kSampleRate);
  for (const ScoreNote& note : score.notes) {
    if (note.instrument != Instrument::Kick) continue;
    float v = note.velocity;
    for (size_t i = TickSample(note.tick); i < std::min(frames, TickSample(note.tick) + length); ++i) {
      env[i] = std::max(env[i], v);
      v *= coef;
    }
  }
  return env;
}

// Master gain at `frame`: 1, then a cosine fall to 0 over the score's fade.
float FadeGain(const Score& score, size_t frame) {
  const size_t start = TickSample(score.fadeStartTick), end = TickSample(score.fadeEndTick);
  if (end <= start || frame < start) return 1.0f;
  if (frame >= end) return 0.0f;
  const float x = static_cast<float>(frame - start) / static_cast<float>(end - start);
  return 0.5f * (1.0f + std::cos(std::numbers::pi_v<float> * x));
}

}  // namespace

std::vector<int16_t> RenderScore(const Score& score) {
#if defined(__SSE__)
  const unsigned int savedCsr = _mm_getcsr();
  _mm_setcsr(savedCsr | 0x8040);  // flush-to-zero and denormals-are-zero
#endif
  const size_t frames = TickSample(score.lengthTicks);
  Limiter limiter(kMasterCeiling, 64, 0.12f);
  // The limiter delays its output; render that much longer and drop the head.
  const size_t padded = frames + limiter.Latency();
  StereoBuffer master(padded), part(padded), delaySend(padded), reverbSend(padded);
  const std::vector<float> duck = KickEnvelope(score, padded);

  for (int p = 0; p < static_cast<int>(Part::Count); ++p) {
    std::fill(part.left.begin(), part.left.end(), 0.0f);
    std::fill(part.right.begin(), part.right.end(), 0.0f);
    bool used = false;
    for (size_t n = 0; n < score.notes.size(); ++n) {
      const ScoreNote& note = score.notes[n];
      if (static_cast<int>(Mix(note.instrument).part) != p) continue;
      RenderNote(part, note, NextStart(score, n), static_cast<uint32_t>(n + 1) * 2654435761u);
      used = true;
    }
    if (!used) continue;
    const PartMix& mix = kPartMix[p];
    for (size_t i = 0; i < padded; ++i) {
      const float g = 1.0f - mix.duck * duck[i];
      const float l = part.left[i] * g, r = part.right[i] * g;
      master.left[i] += l;
      master.right[i] += r;
      delaySend.left[i] += mix.delaySend * l;
      delaySend.right[i] += mix.delaySend * r;
      reverbSend.left[i] += mix.reverbSend * l;
      reverbSend.right[i] += mix.reverbSend * r;
    }
  }

  StereoDelay delay(kDelaySeconds, 0.45f, 3500.0f);
  delay.Process(delaySend.left.data(), delaySend.right.data(), padded);
  for (size_t i = 0; i < padded; ++i) {
    master.left[i] += delaySend.left[i];
    master.right[i] += delaySend.right[i];
    reverbSend.left[i] += 0.3f * delaySend.left[i];
    reverbSend.right[i] += 0.3f * delaySend.right[i];
  }
  Reverb reverb(0.86f, 0.3f);
  reverb.Process(reverbSend.left.data(), reverbSend.right.data(), padded);
  for (size_t i = 0; i < padded; ++i) {
    const float fade = FadeGain(score, i);
    master.left[i] = (master.left[i] + reverbSend.left[i]) * fade;
    master.right[i] = (master.right[i] + reverbSend.right[i]) * fade;
  }
  limiter.Process(master.left.data(), master.right.data(), padded);

  std::vector<int16_t> pcm(2 * frames);
  const size_t skip = limiter.Latency();
  for (size_t i = 0; i < frames; ++i) {
    pcm[2 * i] = static_cast<int16_t>(std::lrint(master.left[i + skip] * 32767.0f));
    pcm[2 * i + 1] = static_cast<int16_t>(std::lrint(master.right[i + skip] * 32767.0f));
  }
#if defined(__SSE__)
  _mm_setcsr(savedCsr);
#endif
  return pcm;
}
