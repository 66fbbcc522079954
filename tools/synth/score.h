// The show's score: the one description of the music. The audio is rendered
// from it and the sync track is read off it, so every beat a scene reacts to
// is a beat one hears. Time is counted in ticks of 1/96 bar: at 125 BPM in
// 4/4 a bar is 1.92 s, a tick 20 ms = 882 samples at 44.1 kHz, a 16th note
// (a step) 6 ticks. Bars count from 0 here (bar 0 is the first bar heard).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/sync_file.h"

constexpr int kBars = 104;
constexpr int kTicksPerBar = 96;
constexpr int kTicksPerStep = 6;
constexpr int kStepsPerBar = 16;
constexpr int kSamplesPerTick = 882;
constexpr int kSections = 8;
// First bar of each section; the last entry is the end of the music.
constexpr int kSectionBars[kSections + 1] = {0, 8, 24, 32, 52, 72, 80, 96, 104};

// What plays a note. Kick notes are channel 1 of the sync track, Snare and
// Clap notes channel 2.
enum class Instrument {
  Kick,       // tone: 0 tight .. 1 long boom
  Snare,      // tone: noise band 2 .. 5 kHz
  Clap,
  ClosedHat,  // tone: a little longer decay
  OpenHat,
  Crash,
  Riser,      // length: the sweep, ending where the next part begins
  Bass,       // tone: filter cutoff, envelope and resonance (1 = acid)
  BassDrone,  // slow attack, dark: a bass that does not thump
  Pad,        // tone: filter cutoff (0 dark .. 1 open); slow attack
  PadStab,    // short chord hits
  Lead,       // tone: filter cutoff
  Pluck,      // tone: brightness of the filter envelope
};

struct ScoreNote {
  Instrument instrument;
  int64_t tick;      // start
  int lengthTicks;   // held length (pitched notes, risers); 0 for drums
  float pitch;       // MIDI note number (pitched instruments)
  float velocity;    // 0..1
  float pan;         // -1 left .. 1 right
  float tone;        // 0..1, meaning per instrument above
};

struct Score {
  std::vector<ScoreNote> notes;  // ascending by tick
  int64_t fadeStartTick = 0;     // master gain falls from 1 here ...
  int64_t fadeEndTick = 0;       // ... to 0 here (cosine shape)
  int64_t lengthTicks = 0;       // the end of the music
};

// The score of the show, built on first use.
const Score& ShowScore();

// The first sample of `tick` and its time in seconds.
constexpr size_t TickSample(int64_t tick) { return static_cast<size_t>(tick) * kSamplesPerTick; }
double TickSeconds(int64_t tick);

// The sync track of `score`: the section ends (the bars of kSectionBars),
// channel 1 every Kick start, channel 2 every Snare or Clap start, channel 3
// the first beat of every second bar from bar 8 (the ninth bar heard) on.
// Notes sharing a start time give one event.
SyncLists ScoreSyncLists(const Score& score);
