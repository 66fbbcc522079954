// The show's score and the sync track read off it: section ends, the rules of
// each channel, and the musical landmarks the scenes are timed to.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "core/sync_file.h"
#include "tools/synth/score.h"

namespace {

bool IsDrum(Instrument i) {
  return i == Instrument::Kick || i == Instrument::Snare || i == Instrument::Clap || i == Instrument::ClosedHat ||
         i == Instrument::OpenHat;
}

// Start times (s) of the notes of `instrument` in [from, to) seconds.
std::vector<double> Starts(Instrument instrument, double from, double to) {
  std::vector<double> times;
  for (const ScoreNote& note : ShowScore().notes) {
    const double t = TickSeconds(note.tick);
    if (note.instrument == instrument && t >= from && t < to) times.push_back(t);
  }
  return times;
}

TEST(Score, SectionEndsMatchTheTimeline) {
  const SyncLists lists = ScoreSyncLists(ShowScore());
  const std::vector<float> expected = {15.36f, 46.08f, 61.44f, 99.84f, 138.24f, 153.60f, 184.32f, 199.68f};
  EXPECT_EQ(lists.sectionEnds, expected);
  EXPECT_FLOAT_EQ(static_cast<float>(TickSeconds(ShowScore().lengthTicks)), 199.68f);
  EXPECT_DOUBLE_EQ(TickSeconds(kTicksPerBar), 1.92);  // 125 BPM, 4/4
}

TEST(Score, ChannelsFollowTheirRules) {
  const Score& score = ShowScore();
  const SyncLists lists = ScoreSyncLists(score);
  std::set<float> kicks, snares;
  for (const ScoreNote& note : score.notes) {
    const float t = static_cast<float>(TickSeconds(note.tick));
    if (note.instrument == Instrument::Kick) kicks.insert(t);
    if (note.instrument == Instrument::Snare || note.instrument == Instrument::Clap) snares.insert(t);
  }
  EXPECT_EQ(lists.channels[0], std::vector<float>(kicks.begin(), kicks.end()));
  EXPECT_EQ(lists.channels[1], std::vector<float>(snares.begin(), snares.end()));

  ASSERT_EQ(lists.channels[2].size(), 48u);  // bars 9, 11, ... 103
  for (size_t k = 0; k < lists.channels[2].size(); ++k) {
    EXPECT_NEAR(lists.channels[2][k], 15.36 + 3.84 * static_cast<double>(k), 1e-4) << k;
  }
  for (const std::vector<float>& list : {lists.channels[0], lists.channels[1], lists.channels[2]}) {
    ASSERT_FALSE(list.empty());
    EXPECT_LE(list.size(), 1001u);
    EXPECT_GT(list.front(), 0.0f);  // 0.0 would end the list
    EXPECT_LT(list.back(), 199.68f);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
  }
  // The encoder's own checks (strictly ascending, positive, at most 1001)
  // and the reader's agree with the score.
  SyncLists back;
  EXPECT_TRUE(DecodeSyncFile(EncodeSyncFile(lists), back).empty());
}

TEST(Score, NotesStayInsideTheShowAndInOrder) {
  const Score& score = ShowScore();
  EXPECT_TRUE(std::is_sorted(score.notes.begin(), score.notes.end(),
                             [](const ScoreNote& a, const ScoreNote& b) { return a.tick < b.tick; }));
  for (const ScoreNote& note : score.notes) {
    ASSERT_GE(note.tick, 0);
    ASSERT_LE(note.tick + note.lengthTicks, score.lengthTicks);
    ASSERT_GT(note.velocity, 0.0f);
    ASSERT_LE(note.velocity, 1.0f);
  }
  EXPECT_EQ(score.fadeEndTick, score.lengthTicks);  // silent at the show's end
  EXPECT_LT(score.fadeStartTick, score.fadeEndTick);
}

TEST(Score, SectionsHaveTheirCharacter) {
  // 0: no drums at all.
  for (const ScoreNote& note : ShowScore().notes) {
    if (TickSeconds(note.tick) < 15.36) {
      EXPECT_FALSE(IsDrum(note.instrument)) << TickSeconds(note.tick);
    }
  }
  // 1: hats and bass from its first beat, the kick from bar 17 (30.72 s).
  EXPECT_DOUBLE_EQ(Starts(Instrument::ClosedHat, 15.36, 46.08).front(), 15.36 + 0.24);
  EXPECT_DOUBLE_EQ(Starts(Instrument::Bass, 15.36, 46.08).front(), 15.36 + 0.24);
  EXPECT_DOUBLE_EQ(Starts(Instrument::Kick, 0.0, 46.08).front(), 30.72);
  // Kick in every bar of the grooves: sections 2, 3, 4 and 6.
  for (const auto& [from, to] : {std::pair{46.08, 61.44}, {61.44, 99.84}, {99.84, 138.24}, {153.60, 184.32}}) {
    for (double bar = from; bar < to - 0.01; bar += 1.92) {
      EXPECT_FALSE(Starts(Instrument::Kick, bar, bar + 1.92).empty()) << "bar at " << bar;
    }
  }
  // The melody leads sections 3 and 4; section 4 has a theme of its own.
  EXPECT_FALSE(Starts(Instrument::Lead, 61.44, 99.84).empty());
  EXPECT_FALSE(Starts(Instrument::Lead, 99.84, 138.24).empty());
  // 7: the last four bars fade with no drums.
  for (const ScoreNote& note : ShowScore().notes) {
    if (TickSeconds(note.tick) >= 192.0) {
      EXPECT_FALSE(IsDrum(note.instrument)) << TickSeconds(note.tick);
    }
  }
}

TEST(Score, MarksTheScenesLandmarks) {
  // The late shapes of sections 3 and 4 start 27.9 s in: a crash lands on the
  // drop there, after a half bar without kick.
  for (const double late : {61.44 + 27.9, 99.84 + 27.9}) {
    const std::vector<double> crashes = Starts(Instrument::Crash, late - 0.1, late + 0.1);
    ASSERT_EQ(crashes.size(), 1u) << late;
    EXPECT_TRUE(Starts(Instrument::Kick, crashes[0] - 0.96, crashes[0]).empty()) << late;
    EXPECT_FALSE(Starts(Instrument::Kick, crashes[0], crashes[0] + 0.01).empty()) << late;
  }
  // Section 5: no kick for its first 7 s, then the heart returns with one.
  EXPECT_TRUE(Starts(Instrument::Kick, 138.24, 138.24 + 6.9).empty());
  const std::vector<double> heart = Starts(Instrument::Kick, 138.24 + 6.9, 138.24 + 7.1);
  EXPECT_EQ(heart.size(), 1u);
}

}  // namespace
