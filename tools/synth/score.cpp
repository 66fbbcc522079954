// The show's score: harmony, melodies and drum patterns as tables, and the
// eight sections written out bar by bar from them. A minor, 125 BPM.

#include "tools/synth/score.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// ---------------------------------------------------------------------------
// Harmony. `bass` is the bass note, `notes` the pad voicing (MIDI numbers),
// voiced so neighbouring chords move by small steps.
struct Chord {
  int bass;
  int notes[4];
};

constexpr Chord kAm{33, {57, 60, 64, 67}};  // A minor 7
constexpr Chord kF{29, {53, 57, 60, 64}};   // F major 7
constexpr Chord kC{36, {55, 60, 64, 67}};   // C major over G
constexpr Chord kG{31, {55, 59, 62, 67}};   // G major
constexpr Chord kDm{38, {53, 57, 60, 62}};  // D minor 7
constexpr Chord kE{40, {52, 56, 59, 64}};   // E major: leads home to A minor

// The first theme's four bars and the second theme's.
constexpr Chord kThemeA[4] = {kAm, kF, kC, kG};
constexpr Chord kThemeB[4] = {kDm, kG, kC, kE};

// ---------------------------------------------------------------------------
// Melodies: bar within the phrase, step (16th) within the bar, length in
// steps, MIDI note.
struct MelodyNote {
  int bar, step, length, pitch;
};

// Eight bars over the first theme: a question (bars 0-3) and its answer.
constexpr MelodyNote kMelodyA[] = {
    {0, 0, 2, 69}, {0, 2, 2, 72}, {0, 4, 4, 76}, {0, 8, 2, 74}, {0, 10, 2, 72}, {0, 12, 4, 74},
    {1, 0, 6, 72}, {1, 6, 2, 69}, {1, 8, 2, 72}, {1, 10, 6, 76},
    {2, 0, 2, 76}, {2, 2, 2, 79}, {2, 4, 4, 76}, {2, 8, 2, 74}, {2, 10, 2, 72}, {2, 12, 4, 76},
    {3, 0, 6, 74}, {3, 6, 2, 71}, {3, 8, 4, 74}, {3, 12, 4, 67},
    {4, 0, 2, 76}, {4, 2, 4, 81}, {4, 6, 2, 79}, {4, 8, 4, 76}, {4, 12, 2, 74}, {4, 14, 2, 76},
    {5, 0, 4, 77}, {5, 4, 2, 76}, {5, 6, 2, 72}, {5, 8, 8, 69},
    {6, 0, 2, 67}, {6, 2, 2, 72}, {6, 4, 2, 76}, {6, 6, 6, 79}, {6, 12, 4, 76},
    {7, 0, 6, 74}, {7, 6, 2, 76}, {7, 8, 2, 74}, {7, 10, 6, 71},
};

// Eight bars over the second theme, played twice through its chords; the
// second half climbs higher.
constexpr MelodyNote kMelodyB[] = {
    {0, 0, 6, 81}, {0, 6, 2, 77}, {0, 8, 4, 74}, {0, 12, 4, 76},
    {1, 0, 6, 74}, {1, 6, 2, 71}, {1, 8, 4, 67}, {1, 12, 4, 71},
    {2, 0, 4, 72}, {2, 4, 4, 76}, {2, 8, 6, 79}, {2, 14, 2, 76},
    {3, 0, 6, 71}, {3, 6, 2, 68}, {3, 8, 4, 71}, {3, 12, 4, 76},
    {4, 0, 6, 81}, {4, 6, 2, 79}, {4, 8, 4, 77}, {4, 12, 4, 76},
    {5, 0, 6, 74}, {5, 6, 2, 79}, {5, 8, 4, 83}, {5, 12, 4, 79},
    {6, 0, 4, 84}, {6, 4, 4, 79}, {6, 8, 6, 76}, {6, 14, 2, 79},
    {7, 0, 8, 80}, {7, 8, 4, 76}, {7, 12, 4, 83},
};

// Order in which the arpeggio walks the four chord notes, one per step.
constexpr int kArpOrder[8] = {0, 1, 2, 3, 1, 2, 3, 2};

// ---------------------------------------------------------------------------
// Drum patterns, one character per step: X accent, x normal, o soft, . rest.
constexpr const char* kFourToFloor = "X...X...X...X...";
constexpr const char* kHeartbeat = "X..X....X..X....";
constexpr const char* kHeartbeatHalf = "X..X............";
constexpr const char* kKickSkip = "X...X...X...X.x.";
constexpr const char* kBackbeat = "....X.......X...";
constexpr const char* kBackbeatGhost = "....X..o....X..o";
constexpr const char* kHatOffbeat = "..x...x...x...x.";
constexpr const char* kHatSixteenths = "xoxoxoxoxoxoxoxo";
constexpr const char* kHatAroundOpen = "xo.oxo.oxo.oxo.o";
constexpr const char* kOpenOffbeat = "..x...x...x...x.";
constexpr const char* kOpenLate = "..............x.";
constexpr const char* kSnareRollHalf = "........ooxxxxXX";
constexpr const char* kSnareRollBar = "o.o.o.o.ooxxxxXX";

// Bass patterns: x root, o octave up, f fifth, . rest.
constexpr const char* kBassOffbeat = "..x...x...x...x.";
constexpr const char* kBassBounce = "..xo..x...xo..xf";
constexpr const char* kBassRolling = "..xo..xo..xo..xf";
constexpr const char* kBassAcid = "x.xoo.xox.xoo.f.";

// Pad stabs: x a short chord.
constexpr const char* kStabs = "..x..x....x..x..";

float StepVelocity(char c) {
  switch (c) {
    case 'X': return 1.0f;
    case 'x': return 0.8f;
    case 'o': return 0.45f;
    default: return 0.0f;
  }
}

// ---------------------------------------------------------------------------
// Writes notes into a score; bars and steps as in the tables above.
class ScoreWriter {
 public:
  explicit ScoreWriter(Score& score) : score_(score) {}

  void Note(Instrument instrument, int bar, int tick, int lengthTicks, float pitch, float velocity,
            float pan, float tone) {
    score_.notes.push_back({instrument, static_cast<int64_t>(bar) * kTicksPerBar + tick, lengthTicks, pitch,
                            velocity, pan, tone});
  }

  void Hit(Instrument instrument, int bar, int step, float velocity, float tone = 0.5f, float pan = 0.0f) {
    Note(instrument, bar, step * kTicksPerStep, 0, 0.0f, velocity, pan, tone);
  }

  // One bar of a drum pattern, velocities scaled by `level`.
  void Drums(Instrument instrument, int bar, const char* pattern, float level, float tone = 0.5f,
             float pan = 0.0f) {
    for (int s = 0; s < kStepsPerBar; ++s) {
      const float v = StepVelocity(pattern[s]);
      if (v > 0.0f) Hit(instrument, bar, s, v * level, tone, pan);
    }
  }

  // A riser from (bar, step) lasting `steps` steps.
  void Riser(int bar, int step, int steps, float level) {
    Note(Instrument::Riser, bar, step * kTicksPerStep, steps * kTicksPerStep, 0.0f, level, 0.0f, 0.5f);
  }

  // One bar of bass on `chord`, each note 2/3 of a step.
  void Bass(int bar, const Chord& chord, const char* pattern, float level, float tone) {
    for (int s = 0; s < kStepsPerBar; ++s) {
      const char c = pattern[s];
      if (c == '.') continue;
      const int pitch = chord.bass + (c == 'o' ? 12 : c == 'f' ? 7 : 0);
      const float accent = (s % 4 == 2) ? 1.0f : 0.8f;
      Note(Instrument::Bass, bar, s * kTicksPerStep, 4, static_cast<float>(pitch), level * accent, 0.0f, tone);
    }
  }

  // A sustained bass note through `bars` bars.
  void Drone(int bar, int bars, const Chord& chord, float level) {
    Note(Instrument::BassDrone, bar, 0, bars * kTicksPerBar - 3, static_cast<float>(chord.bass), level, 0.0f, 0.2f);
  }

  // The chord held for `bars` bars, its notes spread across the stereo field.
  void Pad(int bar, int bars, const Chord& chord, float level, float tone) {
    const float pans[4] = {-0.5f, 0.3f, -0.2f, 0.5f};
    for (int k = 0; k < 4; ++k) {
      Note(Instrument::Pad, bar, 0, bars * kTicksPerBar - 2, static_cast<float>(chord.notes[k]), level, pans[k], tone);
    }
  }

  void Stabs(int bar, const Chord& chord, float level, float tone) {
    const float pans[4] = {-0.4f, 0.4f, -0.1f, 0.1f};
    for (int s = 0; s < kStepsPerBar; ++s) {
      if (kStabs[s] != 'x') continue;
      for (int k = 0; k < 4; ++k) {
        Note(Instrument::PadStab, bar, s * kTicksPerStep, 4, static_cast<float>(chord.notes[k] + 12), level,
             pans[k], tone);
      }
    }
  }

  // One bar of 16th-note arpeggio over `chord`, `octave` octaves above the pad.
  void Arpeggio(int bar, const Chord& chord, float level, float tone, int octave = 1) {
    for (int s = 0; s < kStepsPerBar; ++s) {
      const int pitch = chord.notes[kArpOrder[s % 8]] + 12 * octave;
      const float accent = (s % 4 == 0) ? 1.0f : 0.7f;
      const float pan = (s % 2 == 0) ? -0.35f : 0.35f;
      Note(Instrument::Pluck, bar, s * kTicksPerStep, 4, static_cast<float>(pitch), level * accent, pan, tone);
    }
  }

  // Bars [fromBar, toBar) of a melody, played from `bar` on, transposed.
  template <size_t N>
  void Melody(const MelodyNote (&melody)[N], Instrument instrument, int bar, int fromBar, int toBar, float level,
              float tone, int transpose = 0, float pan = 0.0f) {
    for (const MelodyNote& n : melody) {
      if (n.bar < fromBar || n.bar >= toBar) continue;
      Note(instrument, bar + n.bar - fromBar, n.step * kTicksPerStep, n.length * kTicksPerStep - 1,
           static_cast<float>(n.pitch + transpose), level, pan, tone);
    }
  }

 private:
  Score& score_;
};

const Chord& ThemeA(int bar) { return kThemeA[bar % 4]; }
const Chord& ThemeB(int bar) { return kThemeB[bar % 4]; }

// ---------------------------------------------------------------------------
// The sections, bars from kSectionBars.

// 0: intro. Pads swell in over two bars per chord, a soft arpeggio joins,
// a riser leads into the first hats.
void WriteIntro(ScoreWriter& w) {
  for (int b = 0; b < 8; b += 2) w.Pad(b, 2, kThemeA[b / 2], 0.75f + 0.04f * b, 0.25f + 0.035f * b);
  for (int b = 2; b < 8; ++b) w.Arpeggio(b, kThemeA[b / 2], 0.3f + 0.05f * b, 0.2f + 0.03f * b);
  w.Riser(6, 0, 32, 0.7f);
}

// 1: build. Hats and bass from its first bar, the kick from bar 16, claps
// from bar 20; a snare roll and a riser into the heartbeat.
void WriteBuild(ScoreWriter& w) {
  for (int b = 8; b < 24; ++b) {
    const float rise = (b - 8) / 15.0f;
    w.Pad(b, 1, ThemeA(b), 0.75f, 0.3f + 0.15f * rise);
    w.Arpeggio(b, ThemeA(b), 0.5f + 0.2f * rise, 0.3f + 0.3f * rise);
    w.Bass(b, ThemeA(b), kBassOffbeat, 0.85f, 0.25f + 0.2f * rise);
    w.Drums(Instrument::ClosedHat, b, b < 16 ? kHatOffbeat : kHatSixteenths, 0.6f + 0.3f * rise, 0.3f, 0.15f);
    if (b >= 16) w.Drums(Instrument::Kick, b, b == 23 ? "X...X..........." : kFourToFloor, 1.0f, 0.2f);
    if (b >= 20 && b < 23) w.Drums(Instrument::Clap, b, kBackbeat, 1.0f);
  }
  w.Drums(Instrument::Snare, 23, kSnareRollHalf, 0.9f, 0.4f);
  w.Riser(22, 0, 32, 0.8f);
}

// 2: the heartbeat. Kicks in pairs like a pulse over a dark bass drone,
// echoing plucks; a full-bar snare roll into the groove.
void WriteHeartbeat(ScoreWriter& w) {
  w.Hit(Instrument::Crash, 24, 0, 0.8f);
  for (int b = 24; b < 32; b += 2) {
    const Chord& chord = kThemeA[(b - 24) / 2];
    w.Pad(b, 2, chord, 0.55f, 0.18f);
    w.Drone(b, 2, chord, 0.9f);
  }
  for (int b = 24; b < 32; ++b) {
    w.Drums(Instrument::Kick, b, b == 31 ? kHeartbeatHalf : kHeartbeat, 1.0f, 0.35f);
    if (b >= 28) w.Drums(Instrument::ClosedHat, b, kHatOffbeat, 0.45f, 0.2f, 0.2f);
  }
  // The melody's first notes, sparse, into the delay.
  w.Melody(kMelodyA, Instrument::Pluck, 24, 0, 4, 0.6f, 0.35f);
  w.Melody(kMelodyA, Instrument::Pluck, 28, 4, 8, 0.7f, 0.45f);
  w.Drums(Instrument::Snare, 31, kSnareRollBar, 0.85f, 0.5f);
  w.Riser(30, 0, 32, 0.9f);
}

// One bar of the full groove: kick, clap, hats round an open offbeat hat.
void Groove(ScoreWriter& w, int bar, float hatLevel) {
  w.Drums(Instrument::Kick, bar, kFourToFloor, 1.0f, 0.2f);
  w.Drums(Instrument::Clap, bar, kBackbeat, 1.0f);
  w.Drums(Instrument::ClosedHat, bar, kHatAroundOpen, hatLevel, 0.3f, 0.15f);
  w.Drums(Instrument::OpenHat, bar, kOpenOffbeat, hatLevel * 0.8f, 0.3f, -0.15f);
}

// A half-bar break at `bar`: the first two beats keep only hats and a roll,
// the drop on its third beat (with a crash) brings everything back.
void BreakAndDrop(ScoreWriter& w, int bar, float hatLevel) {
  w.Drums(Instrument::ClosedHat, bar, "xoxoxoxo........", hatLevel, 0.3f, 0.15f);
  w.Drums(Instrument::Snare, bar, "ooxxXXXX........", 0.8f, 0.6f);
  w.Riser(bar, 0, 8, 0.9f);
  w.Hit(Instrument::Crash, bar, 8, 1.0f);
  w.Drums(Instrument::Kick, bar, "........X...X...", 1.0f, 0.2f);
  w.Drums(Instrument::Clap, bar, "............X...", 1.0f);
  w.Drums(Instrument::ClosedHat, bar, "........xo.oxo.o", hatLevel, 0.3f, 0.15f);
  w.Drums(Instrument::OpenHat, bar, "..........x...x.", hatLevel * 0.8f, 0.3f, -0.15f);
}

// 3: the full groove on the first theme with its melody; halfway through
// bar 46 (when the landscape takes its late shape) a break and a drop
// bring the acid bass and the melody an octave up.
void WriteGroove(ScoreWriter& w) {
  constexpr int kDropBar = 46;
  w.Hit(Instrument::Crash, 32, 0, 1.0f);
  for (int b = 32; b < 52; ++b) {
    const bool late = b > kDropBar;
    w.Pad(b, 1, ThemeA(b), 0.7f, late ? 0.55f : 0.42f);
    if (b == kDropBar) {
      BreakAndDrop(w, b, 0.85f);
      w.Bass(b, ThemeA(b), "........x.xo..xf", 0.9f, 0.8f);
      continue;
    }
    Groove(w, b, 0.85f);
    w.Bass(b, ThemeA(b), late ? kBassRolling : kBassBounce, 0.9f, late ? 0.8f : 0.4f);
    if (b >= 40 || late) w.Arpeggio(b, ThemeA(b), late ? 0.55f : 0.4f, late ? 0.65f : 0.4f);
  }
  w.Melody(kMelodyA, Instrument::Lead, 32, 0, 8, 0.8f, 0.35f);
  w.Melody(kMelodyA, Instrument::Lead, 40, 0, 6, 0.8f, 0.4f);
  w.Melody(kMelodyA, Instrument::Lead, 48, 4, 8, 0.75f, 0.5f, 12);
  w.Melody(kMelodyA, Instrument::Lead, 48, 4, 8, 0.45f, 0.3f);
  w.Drums(Instrument::Snare, 51, kSnareRollHalf, 0.8f, 0.5f);
  w.Riser(50, 0, 32, 0.9f);
}

// 4: the second theme. At bar 66's third beat (the red background, the
// climax) a break and a drop open everything up: lead doubled an octave up,
// brighter pads, busier hats.
void WriteSecondTheme(ScoreWriter& w) {
  constexpr int kClimaxBar = 66;
  w.Hit(Instrument::Crash, 52, 0, 1.0f);
  for (int b = 52; b < 72; ++b) {
    const bool climax = b > kClimaxBar;
    w.Pad(b, 1, ThemeB(b), climax ? 0.8f : 0.7f, climax ? 0.7f : 0.45f);
    if (b == kClimaxBar) {
      BreakAndDrop(w, b, 0.9f);
      w.Bass(b, ThemeB(b), "........x.xo..xf", 0.9f, 0.6f);
      w.Arpeggio(b, ThemeB(b), 0.5f, 0.7f);
      continue;
    }
    Groove(w, b, climax ? 1.0f : 0.85f);
    if (climax) w.Drums(Instrument::ClosedHat, b, kHatSixteenths, 0.5f, 0.1f, -0.3f);
    w.Bass(b, ThemeB(b), climax ? kBassRolling : kBassBounce, 0.9f, climax ? 0.65f : 0.45f);
    w.Arpeggio(b, ThemeB(b), climax ? 0.5f : 0.35f, climax ? 0.75f : 0.35f);
  }
  w.Melody(kMelodyB, Instrument::Lead, 52, 0, 8, 0.8f, 0.4f);
  w.Melody(kMelodyB, Instrument::Lead, 60, 0, 6, 0.8f, 0.45f);
  w.Melody(kMelodyB, Instrument::Lead, 67, 7, 8, 0.8f, 0.5f);
  w.Melody(kMelodyB, Instrument::Lead, 68, 4, 8, 0.8f, 0.55f);
  w.Melody(kMelodyB, Instrument::Lead, 68, 4, 8, 0.45f, 0.35f, 12);
  w.Drums(Instrument::Snare, 71, kSnareRollHalf, 0.8f, 0.5f);
}

// 5: breakdown. Pads and the melody alone; a riser lands on a long kick at
// the moment the heart comes back (bar 75, step 10: 7.2 s into the section)
// and the heartbeat carries on to a roll into the variant.
void WriteBreakdown(ScoreWriter& w) {
  constexpr int kHeartBar = 75, kHeartStep = 10;
  w.Hit(Instrument::Crash, 72, 0, 0.9f);
  for (int b = 72; b < 80; ++b) {
    w.Pad(b, 1, ThemeA(b), 0.8f, 0.25f + 0.04f * (b - 72));
  }
  w.Melody(kMelodyA, Instrument::Lead, 72, 4, 8, 0.55f, 0.1f);
  w.Riser(74, 0, kStepsPerBar + kHeartStep, 0.9f);
  w.Hit(Instrument::Kick, kHeartBar, kHeartStep, 1.0f, 1.0f);
  w.Hit(Instrument::Crash, kHeartBar, kHeartStep, 0.9f);
  for (int b = 76; b < 80; ++b) {
    w.Drums(Instrument::Kick, b, b == 79 ? kHeartbeatHalf : kHeartbeat, 1.0f, 0.35f);
    w.Arpeggio(b, ThemeA(b), 0.3f + 0.05f * (b - 76), 0.3f + 0.1f * (b - 76));
    w.Drone(b, 1, ThemeA(b), 0.8f);
  }
  w.Drums(Instrument::Snare, 79, kSnareRollHalf, 0.85f, 0.5f);
  w.Riser(78, 0, 32, 0.9f);
}

// 6: the groove variant: a skipping kick, snares with ghost notes, an acid
// bass whose filter breathes over four bars, chord stabs, and the melody on
// the pluck in its second half.
void WriteVariant(ScoreWriter& w) {
  w.Hit(Instrument::Crash, 80, 0, 1.0f);
  for (int b = 80; b < 96; ++b) {
    const float breath = 0.5f + 0.35f * std::sin(2.0f * std::numbers::pi_v<float> * (b - 80) / 4.0f);
    w.Pad(b, 1, ThemeA(b), 0.35f, 0.3f);
    w.Stabs(b, ThemeA(b), 0.6f, 0.6f);
    w.Drums(Instrument::Kick, b, b % 2 == 1 && b != 95 ? kKickSkip : kFourToFloor, 1.0f, 0.2f);
    w.Drums(Instrument::Snare, b, b == 95 ? "....X...o.xxXXXX" : kBackbeatGhost, 0.9f, 0.35f);
    w.Drums(Instrument::ClosedHat, b, kHatSixteenths, 0.8f, 0.2f, 0.2f);
    w.Drums(Instrument::OpenHat, b, kOpenLate, 0.7f, 0.2f, -0.2f);
    w.Bass(b, ThemeA(b), kBassAcid, 0.7f, breath);
    if (b < 88) w.Arpeggio(b, ThemeA(b), 0.35f, 0.5f, 2);
  }
  w.Melody(kMelodyA, Instrument::Pluck, 88, 0, 8, 0.9f, 0.7f, 12);
  w.Riser(94, 0, 32, 0.8f);
}

// 7: outro. Four bars of groove under the melody's answer, then the pads and
// a fading arpeggio settle on A minor while the master fades to silence at
// the show's end.
void WriteOutro(ScoreWriter& w, Score& score) {
  w.Hit(Instrument::Crash, 96, 0, 1.0f);
  for (int b = 96; b < 100; ++b) {
    Groove(w, b, 0.75f);
    w.Pad(b, 1, ThemeA(b), 0.7f, 0.45f);
    w.Bass(b, ThemeA(b), kBassOffbeat, 0.85f, 0.35f);
  }
  w.Melody(kMelodyA, Instrument::Lead, 96, 4, 8, 0.75f, 0.35f);
  w.Pad(100, 2, kF, 0.75f, 0.35f);
  w.Pad(102, 2, kAm, 0.75f, 0.3f);
  for (int b = 100; b < 104; ++b) w.Arpeggio(b, b < 102 ? kF : kAm, 0.45f, 0.3f);
  score.fadeStartTick = 100 * kTicksPerBar;
  score.fadeEndTick = 104 * kTicksPerBar;
}

Score BuildShowScore() {
  Score score;
  ScoreWriter w(score);
  WriteIntro(w);
  WriteBuild(w);
  WriteHeartbeat(w);
  WriteGroove(w);
  WriteSecondTheme(w);
  WriteBreakdown(w);
  WriteVariant(w);
  WriteOutro(w, score);
  score.lengthTicks = static_cast<int64_t>(kBars) * kTicksPerBar;
  std::stable_sort(score.notes.begin(), score.notes.end(),
                   [](const ScoreNote& a, const ScoreNote& b) { return a.tick < b.tick; });
  return score;
}

// Appends the time of `tick` unless the list already ends there.
void AddEvent(std::vector<float>& list, int64_t tick) {
  const float t = static_cast<float>(TickSeconds(tick));
  if (list.empty() || list.back() != t) list.push_back(t);
}

}  // namespace

const Score& ShowScore() {
  static const Score score = BuildShowScore();
  return score;
}

double TickSeconds(int64_t tick) { return static_cast<double>(TickSample(tick)) / 44100.0; }

SyncLists ScoreSyncLists(const Score& score) {
  SyncLists lists;
  for (int s = 1; s <= kSections; ++s) {
    lists.sectionEnds.push_back(static_cast<float>(TickSeconds(int64_t{kSectionBars[s]} * kTicksPerBar)));
  }
  for (const ScoreNote& note : score.notes) {
    if (note.instrument == Instrument::Kick) AddEvent(lists.channels[0], note.tick);
    if (note.instrument == Instrument::Snare || note.instrument == Instrument::Clap) {
      AddEvent(lists.channels[1], note.tick);
    }
  }
  for (int bar = kSectionBars[1]; bar < kBars; bar += 2) AddEvent(lists.channels[2], int64_t{bar} * kTicksPerBar);
  return lists;
}
