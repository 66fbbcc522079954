// The sync track: section and event cursors, the envelope, loading files as
// the show does (odd ones too), and the file encoder, against hand-made lists.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/shared_state.h"
#include "core/sync.h"
#include "core/sync_file.h"
#include "platform/stream_errors.h"

namespace {

// A sync track loaded from the bytes EncodeSyncFile makes of `lists`.
std::unique_ptr<TSync> Track(const SyncLists& lists) {
  auto track = std::make_unique<TSync>();
  const std::vector<uint8_t> bytes = EncodeSyncFile(lists);
  track->LoadFromBytes(bytes.data(), bytes.size());
  track->Rewind();
  return track;
}

SyncLists Sections(std::vector<float> ends) {
  SyncLists lists;
  lists.sectionEnds = std::move(ends);
  return lists;
}

class SyncTest : public ::testing::Test {
 protected:
  void SetUp() override { DemoTime = 0.0f; }
  void TearDown() override { DemoTime = 0.0f; }
};

TEST_F(SyncTest, SectionEndTimeItselfBelongsToTheSection) {
  auto track = Track(Sections({1.0f, 2.0f, 3.0f}));
  DemoTime = 1.0f;
  EXPECT_EQ(track->SyncSection(), 0);
  DemoTime = std::nextafter(1.0f, 2.0f);
  EXPECT_EQ(track->SyncSection(), 1);
  DemoTime = 2.0f;
  EXPECT_EQ(track->SyncSection(), 1);
  // Several ends passed in one frame move the index over all of them.
  DemoTime = 10.0f;
  EXPECT_EQ(track->SyncSection(), 3);  // resting on the terminating 0
  EXPECT_EQ(track->SyncSection(), 3);
}

TEST_F(SyncTest, SeveralEventsInOneFrameFireOnce) {
  SyncLists lists;
  lists.channels[2] = {1.0f, 1.1f, 1.2f, 5.0f};
  auto track = Track(lists);
  DemoTime = 0.5f;
  EXPECT_FALSE(track->SyncEventFired(3));
  DemoTime = 1.5f;
  EXPECT_TRUE(track->SyncEventFired(3));
  EXPECT_EQ(track->Cursors[3], 3);
  EXPECT_FALSE(track->SyncEventFired(3));  // a second caller in the same frame sees nothing
  DemoTime = 5.0f;                         // exactly on the event: not passed yet
  EXPECT_FALSE(track->SyncEventFired(3));
  DemoTime = 5.01f;
  EXPECT_TRUE(track->SyncEventFired(3));
  // Channels are independent.
  EXPECT_FALSE(track->SyncEventFired(1));
}

TEST_F(SyncTest, EnvelopeSharesTheCursorButNotTheReport) {
  SyncLists lists;
  lists.channels[0] = {1.0f, 3.0f};
  auto track = Track(lists);
  DemoTime = 1.5f;
  const float envelope = track->SyncEnvelope(1, 0.5f, 2.0f);
  EXPECT_EQ(track->Cursors[1], 1);
  EXPECT_FLOAT_EQ(envelope, (1.0f + 2.0f - 1.5f) / 2.0f);
  EXPECT_TRUE(track->SyncEventFired(1));
  EXPECT_FALSE(track->SyncEventFired(1));
}

TEST_F(SyncTest, RestartedClockMovesNoCursorBack) {
  SyncLists lists = Sections({4.0f, 20.0f});
  lists.channels[0] = {1.0f, 2.0f, 10.0f};
  auto track = Track(lists);
  DemoTime = 5.0f;
  EXPECT_EQ(track->SyncSection(), 1);
  EXPECT_TRUE(track->SyncEventFired(1));
  // Space restarts the clock: the section stays, nothing fires until the
  // clock passes the pending event again, and the fall term exceeds 1.
  DemoTime = 0.5f;
  EXPECT_EQ(track->SyncSection(), 1);
  EXPECT_FALSE(track->SyncEventFired(1));
  EXPECT_FLOAT_EQ(track->SyncEnvelope(1, 0.0f, 4.0f), (2.0f + 4.0f - 0.5f) / 4.0f);
  DemoTime = 9.0f;
  EXPECT_FALSE(track->SyncEventFired(1));
  DemoTime = 10.5f;
  EXPECT_TRUE(track->SyncEventFired(1));
}

TEST_F(SyncTest, FullListWithoutTerminatorStopsOnItsLastEntry) {
  SyncLists lists;
  for (int i = 1; i <= kSyncListLength; ++i) {
    lists.sectionEnds.push_back(0.01f * i);
    lists.channels[2].push_back(0.01f * i);
  }
  auto track = Track(lists);
  DemoTime = 1000.0f;
  EXPECT_EQ(track->SyncSection(), 1000);
  EXPECT_TRUE(track->SyncEventFired(3));
  EXPECT_EQ(track->Cursors[3], 1000);
  EXPECT_FALSE(track->SyncEventFired(3));
  // The cursor rests on the last entry, which has passed: the fall is
  // measured from the entry before it and has long ended.
  EXPECT_EQ(track->SyncEnvelope(3, 0.0f, 4.0f), 0.0f);
  DemoTime = 10.0f + 0.5f;
  EXPECT_FLOAT_EQ(track->SyncEnvelope(3, 0.0f, 4.0f), (10.0f + 4.0f - 10.5f) / 4.0f);
}

// A sync file written to disk and loaded by the show's own loader; `findings`
// gets what LoadFromFile said about it.
class SyncFileLoadTest : public SyncTest {
 protected:
  void SetUp() override {
    SyncTest::SetUp();
    dir = std::filesystem::temp_directory_path() / ("veloria_sync_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "music");
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    SyncTest::TearDown();
  }
  std::unique_ptr<TSync> Load(const std::vector<uint8_t>& bytes, std::vector<std::string>& findings) {
    std::ofstream(dir / "music" / "sync.snc", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    auto track = std::make_unique<TSync>();
    // A data name, as the show spells it.
    findings = track->LoadFromFile((dir / "music").string() + "\\sync.snc");
    track->Rewind();
    return track;
  }
  std::filesystem::path dir;
};

void PutFloat(std::vector<uint8_t>& bytes, int list, int entry, float value) {
  std::memcpy(bytes.data() + (list * kSyncListLength + entry) * sizeof(float), &value, sizeof value);
}

std::vector<uint8_t> EightSections() {
  return EncodeSyncFile(Sections({1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f}));
}

// Files the show plays although they are odd: each reads as far as it goes,
// says once what is odd, and the sections follow what was read.
TEST_F(SyncFileLoadTest, OddFilesPlayAsTheyRead) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<std::string> findings;
    std::vector<std::pair<float, int32_t>> sectionAt;  // DemoTime, SyncSection, in order
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {},
                   {"0 bytes, expected 16016; the lists past byte 0 are empty",
                    "section ends: no entries; the show stays in section 0 until Escape"},
                   {{1.0f, 0}, {1000.0f, 0}}});
  std::vector<uint8_t> cut = EightSections();
  cut.resize(3 * sizeof(float));
  cases.push_back({"cut in the section list", cut,
                   {"12 bytes, expected 16016; the lists past byte 12 are empty",
                    "section ends: 3 entries; the show stays in section 3 until Escape"},
                   {{2.5f, 2}, {1000.0f, 3}}});
  std::vector<uint8_t> longer = EightSections();
  longer.resize(kSyncFileSize + 64, 0xFF);
  cases.push_back({"longer", longer, {"16080 bytes, expected 16016; the 64 bytes past byte 16016 are ignored"},
                   {{7.5f, 7}, {8.5f, 8}}});
  std::vector<uint8_t> allZero = EightSections();
  for (int i = 0; i < 8; ++i) PutFloat(allZero, 0, i, 0.0f);
  cases.push_back({"all section ends 0", allZero,
                   {"section ends: no entries; the show stays in section 0 until Escape"}, {{1000.0f, 0}}});
  std::vector<uint8_t> pastEnd = EightSections();
  PutFloat(pastEnd, 0, 2, 0.0f);
  cases.push_back({"entries after the terminator", pastEnd,
                   {"section ends: 5 non-zero entries after the terminating 0 at entry 2 are never read",
                    "section ends: 2 entries; the show stays in section 2 until Escape"},
                   {{3.5f, 2}, {1000.0f, 2}}});
  std::vector<uint8_t> oddOrder = EightSections();
  PutFloat(oddOrder, 0, 0, -1.0f);
  PutFloat(oddOrder, 0, 2, 2.0f);
  cases.push_back({"negative and equal neighbours", oddOrder,
                   {"section ends: entry 0 is -1 s, before the music starts; it passes as soon as it is reached",
                    "section ends: entry 2 (2 s) is not later than entry 1 (2 s), so it passes with it"},
                   {{0.0f, 1}, {2.5f, 3}, {8.5f, 8}}});
  std::vector<uint8_t> nan = EightSections();
  PutFloat(nan, 0, 4, NAN);
  cases.push_back({"not a number", nan,
                   {"section ends: entry 4 is nan, which no time passes; the show stays in section 4 until Escape",
                    "section ends: 3 entries after entry 4 are never reached"},
                   {{4.5f, 4}, {INFINITY, 4}}});
  std::vector<uint8_t> infinite = EightSections();
  PutFloat(infinite, 0, 7, INFINITY);
  cases.push_back({"infinite", infinite,
                   {"section ends: entry 7 is inf, which no time passes; the show stays in section 7 until Escape"},
                   {{1000.0f, 7}}});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> findings;
    auto track = Load(c.bytes, findings);
    EXPECT_EQ(findings, c.findings);
    for (const auto& [time, section] : c.sectionAt) {
      DemoTime = time;
      EXPECT_EQ(track->SyncSection(), section) << "at " << time << " s";
    }
  }
}

TEST_F(SyncFileLoadTest, WellFormedFileHasNoFindings) {
  std::vector<std::string> findings;
  auto track = Load(EightSections(), findings);
  EXPECT_TRUE(findings.empty());
  EXPECT_FLOAT_EQ(track->SectionEnds[7], 8.0f);
}

TEST_F(SyncFileLoadTest, EmptyFileNeverFires) {
  std::vector<std::string> findings;
  auto track = Load({}, findings);
  for (float t : {0.0f, 1.0f, 500.0f}) {
    DemoTime = t;
    for (int c = 1; c <= 3; ++c) EXPECT_FALSE(track->SyncEventFired(c));
  }
  // With no events, the fall is measured from time 0.
  DemoTime = 1.0f;
  EXPECT_FLOAT_EQ(track->SyncEnvelope(2, 0.5f, 4.0f), 0.75f);
}

TEST_F(SyncFileLoadTest, ShortFileFillsListsUpToItsEnd) {
  SyncLists lists = Sections({1.0f, 2.0f});
  lists.channels[0] = {0.5f, 1.5f, 2.5f};
  lists.channels[2] = {0.7f};
  std::vector<uint8_t> bytes = EncodeSyncFile(lists);
  // Keep the section list and the first two events of channel 1.
  bytes.resize(kSyncListLength * 4 + 8);
  std::vector<std::string> findings;
  auto track = Load(bytes, findings);
  EXPECT_EQ(findings.front(), "4012 bytes, expected 16016; the lists past byte 4012 are empty");
  EXPECT_FLOAT_EQ(track->SectionEnds[1], 2.0f);
  EXPECT_FLOAT_EQ(track->Channels[1][1], 1.5f);
  EXPECT_EQ(track->Channels[1][2], 0.0f);
  EXPECT_EQ(track->Channels[3][0], 0.0f);
  DemoTime = 3.0f;
  EXPECT_TRUE(track->SyncEventFired(1));
  EXPECT_EQ(track->Cursors[1], 2);
  EXPECT_FALSE(track->SyncEventFired(3));
}

TEST_F(SyncFileLoadTest, EventsStopAtAnEntryNoTimePasses) {
  SyncLists lists;
  lists.channels[0] = {0.5f, 1.0f, 2.0f};
  std::vector<uint8_t> bytes = EncodeSyncFile(lists);
  PutFloat(bytes, 1, 1, NAN);
  std::vector<std::string> findings;
  auto track = Load(bytes, findings);
  EXPECT_EQ(findings, (std::vector<std::string>{
                          "section ends: no entries; the show stays in section 0 until Escape",
                          "channel 1: entry 1 is nan, which no time passes; no later event of channel 1 passes",
                          "channel 1: 1 entry after entry 1 is never reached"}));
  DemoTime = 0.75f;
  EXPECT_TRUE(track->SyncEventFired(1));
  DemoTime = 5.0f;
  EXPECT_FALSE(track->SyncEventFired(1));
  EXPECT_EQ(track->Cursors[1], 1);
}

TEST_F(SyncFileLoadTest, MissingFileIsTheOneError) {
  TSync track;
  try {
    track.LoadFromFile("music\\missing.snc");
    FAIL() << "no error for a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file music\\missing.snc");
  }
}

TEST_F(SyncTest, ZeroRiseSwitchesTheRampOff) {
  SyncLists lists;
  lists.channels[2] = {2.0f, 3.0f};
  auto track = Track(lists);
  // Just before the next event a rise of 0 gives minus infinity: the fall
  // after the previous event decides.
  DemoTime = 2.9f;
  EXPECT_FLOAT_EQ(track->SyncEnvelope(3, 0.0f, 4.0f), (2.0f + 4.0f - 2.9f) / 4.0f);
  DemoTime = 1.0f;
  auto fresh = Track(lists);
  EXPECT_FLOAT_EQ(fresh->SyncEnvelope(3, 0.0f, 4.0f), (4.0f - 1.0f) / 4.0f);
  DemoTime = 8.0f;
  EXPECT_EQ(fresh->SyncEnvelope(3, 0.0f, 4.0f), 0.0f);
}

TEST_F(SyncTest, EnvelopeRisesTowardsTheNextEvent) {
  SyncLists lists;
  lists.channels[0] = {5.0f};
  auto track = Track(lists);
  DemoTime = 4.5f;
  EXPECT_FLOAT_EQ(track->SyncEnvelope(1, 1.0f, 2.0f), 0.5f);
  // Before the ramp starts, the fall from time 0 applies while it lasts.
  DemoTime = 1.0f;
  EXPECT_FLOAT_EQ(track->SyncEnvelope(1, 1.0f, 2.0f), 0.5f);
  DemoTime = 3.0f;
  EXPECT_EQ(track->SyncEnvelope(1, 1.0f, 2.0f), 0.0f);
}

TEST_F(SyncTest, EnvelopeWithNoPendingEventFallsFromTheLastOne) {
  SyncLists lists;
  lists.channels[0] = {1.0f, 2.0f};
  auto track = Track(lists);
  // Exactly on an event: no rising value, so the fall from the one before.
  DemoTime = 2.0f;
  EXPECT_FLOAT_EQ(track->SyncEnvelope(1, 1.0f, 4.0f), (1.0f + 4.0f - 2.0f) / 4.0f);
  // Past the last event the cursor rests on the terminator.
  DemoTime = 3.0f;
  EXPECT_FLOAT_EQ(track->SyncEnvelope(1, 1.0f, 4.0f), (2.0f + 4.0f - 3.0f) / 4.0f);
  EXPECT_EQ(track->Cursors[1], 2);
  DemoTime = 7.0f;
  EXPECT_EQ(track->SyncEnvelope(1, 1.0f, 4.0f), 0.0f);
}

TEST_F(SyncTest, RewindKeepsTheReportedCursors) {
  SyncLists lists = Sections({1.0f, 2.0f});
  lists.channels[0] = {0.5f, 0.6f};
  auto track = Track(lists);
  DemoTime = 1.5f;
  EXPECT_EQ(track->SyncSection(), 1);
  EXPECT_TRUE(track->SyncEventFired(1));
  track->Rewind();
  EXPECT_EQ(track->SectionIndex, 0);
  EXPECT_EQ(track->Cursors[1], 0);
  EXPECT_EQ(track->Reported[1], 2);
  // The cursor now differs from the report before any event passed again.
  DemoTime = 0.1f;
  EXPECT_TRUE(track->SyncEventFired(1));
  EXPECT_EQ(track->Reported[1], 0);
}

TEST(SyncFileTest, LayoutIsFourLittleEndianListsWithTerminators) {
  SyncLists lists = Sections({1.0f});
  lists.channels[0] = {0.25f, 0.5f};
  lists.channels[2] = {3.0f};
  const std::vector<uint8_t> bytes = EncodeSyncFile(lists);
  ASSERT_EQ(bytes.size(), 16016u);
  auto at = [&](size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
  };
  EXPECT_EQ(at(0), 0x3F800000u);      // 1.0
  EXPECT_EQ(at(4), 0u);               // terminator
  EXPECT_EQ(at(4004), 0x3E800000u);   // 0.25
  EXPECT_EQ(at(4008), 0x3F000000u);   // 0.5
  EXPECT_EQ(at(8008), 0u);            // channel 2 empty
  EXPECT_EQ(at(12012), 0x40400000u);  // 3.0
  EXPECT_EQ(at(16012), 0u);
}

TEST(SyncFileTest, RejectsListsTheShowWouldMisread) {
  auto encode = [](std::vector<float> ends) { EncodeSyncFile(Sections(std::move(ends))); };
  EXPECT_THROW(encode({1.0f, 0.0f, 2.0f}), std::invalid_argument);  // an early terminator
  EXPECT_THROW(encode({-1.0f}), std::invalid_argument);
  EXPECT_THROW(encode({2.0f, 1.0f}), std::invalid_argument);
  EXPECT_THROW(encode({1.0f, 1.0f}), std::invalid_argument);
  EXPECT_THROW(encode({NAN}), std::invalid_argument);
  EXPECT_THROW(encode({INFINITY}), std::invalid_argument);
  std::vector<float> full;
  for (int i = 1; i <= kSyncListLength; ++i) full.push_back(static_cast<float>(i));
  EXPECT_NO_THROW(encode(full));
  full.push_back(2000.0f);
  EXPECT_THROW(encode(full), std::invalid_argument);
  SyncLists channel;
  channel.channels[1] = {1.0f, 0.5f};
  EXPECT_THROW(EncodeSyncFile(channel), std::invalid_argument);
}

#ifndef NDEBUG
// A channel outside 1..3 is a caller's mistake, not bad data: the checked
// builds, which keep asserts, stop on it with a text that says what to use.
TEST(SyncDeathTest, ChannelsOutsideOneToThreeStopWithTheFix) {
  TSync sync;
  for (const int32_t channel : {0, 4}) {
    EXPECT_DEATH(sync.SyncEventFired(channel), "channels are 1..3") << channel;
    EXPECT_DEATH(sync.SyncEnvelope(channel, 0.1f, 0.1f), "channels are 1..3") << channel;
  }
}
#endif

}  // namespace
