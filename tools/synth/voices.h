// The instruments: each renders one note, start to silence, and adds it into
// a stereo buffer at a sample offset. Notes are independent, so a whole part
// is rendered note by note without a voice allocator. Deterministic: every
// random element comes from a Noise seeded by the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Two channels of float samples, 44100 per second.
struct StereoBuffer {
  std::vector<float> left, right;
  explicit StereoBuffer(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
  size_t Frames() const { return left.size(); }
};

// Where and how loud a note goes. `pan` -1 (left) .. 1 (right), constant
// power: gl = cos((pan + 1) pi / 4), gr = sin((pan + 1) pi / 4).
struct NotePlacement {
  size_t start;        // first sample
  size_t gateSamples;  // held length of pitched notes and risers; for a kick the
                       // choke point (0: rings out); other drums ignore it
  float gain;
  float pan;
  uint32_t seed;  // noise seed and phase start, so every note is reproducible
};

// MIDI note number to Hz: 440 * 2^((note - 69) / 12).
float NoteHz(float midiNote);

// Kick: a sine whose pitch falls exp(-t / pitchDecay) from startHz to endHz,
// amplitude exp(-t / ampDecay), soft-clipped by tanh(drive x) / tanh(drive),
// plus a 2 ms noise click. Its first sample is its onset. A kick is one drum:
// the next kick chokes it (a 3 ms fade from gateSamples on).
struct KickSound {
  float startHz = 165.0f, endHz = 47.0f, pitchDecay = 0.03f, ampDecay = 0.17f, drive = 1.6f, click = 0.12f;
};
void RenderKick(StereoBuffer& out, const NotePlacement& at, const KickSound& sound);

// Snare: two sines (body) with exp(-t / 0.05) plus band-passed noise with
// exp(-t / tail). `tone` 0..1 moves the noise band from 2 to 5 kHz.
void RenderSnare(StereoBuffer& out, const NotePlacement& at, float tail, float tone);

// Clap: band-passed noise at 1.1 kHz in three 9 ms-spaced bursts
// (exp(-t / 3 ms) each) and a tail exp(-t / 0.11 s) from the third.
void RenderClap(StereoBuffer& out, const NotePlacement& at);

// Hi-hat: six squares at the classic inharmonic ratios plus noise, kept
// between 7 and 13 kHz by a high-pass and a low-pass, amplitude
// exp(-t / decay): about 0.03 s closed, 0.25 s open.
void RenderHat(StereoBuffer& out, const NotePlacement& at, float decay);

// Crash: like the hat but decorrelated left and right, exp(-t / 1.1 s).
void RenderCrash(StereoBuffer& out, const NotePlacement& at);

// Riser: noise through a band-pass whose centre sweeps exponentially from
// 250 Hz to 9 kHz over the gate, amplitude (t / gate)^2, stopping at the
// gate's end with a 5 ms fade. Stereo, decorrelated.
void RenderRiser(StereoBuffer& out, const NotePlacement& at);

// Bass: a saw plus `sub` times a sine at the fundamental, through a resonant
// low-pass whose cutoff is cutoffHz + envHz exp(-t / 0.09), then a high-pass
// at highPassHz (0: none) that leaves the lowest octave to the kick;
// ADSR attack / 0.2 s / 0.75 / 40 ms. A long attack makes a drone that does
// not thump.
struct BassSound {
  float cutoffHz = 220.0f, envHz = 900.0f, q = 1.2f, attack = 0.004f, sub = 0.6f, highPassHz = 0.0f;
};
void RenderBass(StereoBuffer& out, const NotePlacement& at, float midiNote, const BassSound& sound);

// Pad: three saws detuned by -11, 0, +11 cents; the left side leans on the
// flat one, the right on the sharp one, the centre one is in both; each side
// through a low-pass at `cutoffHz` (Q 0.9); ADSR attack / 1 s / 0.8 / release.
struct PadSound {
  float cutoffHz = 1400.0f, attack = 0.6f, release = 1.2f;
};
void RenderPad(StereoBuffer& out, const NotePlacement& at, float midiNote, const PadSound& sound);

// Lead: saw and square 6 cents apart with a 5.5 Hz vibrato of 0.12
// semitones fading in after 0.15 s, through a low-pass at
// cutoffHz + 2500 exp(-t / 0.25) Hz; ADSR 8 ms / 0.3 s / 0.65 / 0.15 s.
void RenderLead(StereoBuffer& out, const NotePlacement& at, float midiNote, float cutoffHz);

// Pluck (arpeggio): a narrow pulse plus a saw through a low-pass at
// 250 + brightHz exp(-t / 0.07) Hz, amplitude exp(-t / 0.22) after a 2 ms
// attack, cut at the gate with a 20 ms release.
void RenderPluck(StereoBuffer& out, const NotePlacement& at, float midiNote, float brightHz);
