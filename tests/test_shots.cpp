// Screenshots: the PNG files, reading back the frame the right way up, when a
// shot is due, and the program's --shots runs end to end.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/frame_grab.h"
#include "app/shots.h"
#include "core/sync_file.h"
#include "platform/png_file.h"
#include "tests/gl_test_context.h"
#include "tests/program_run.h"

namespace {

namespace fs = std::filesystem;

TEST(PngFileTest, WritesAndReadsBackRowsTopFirst) {
  const fs::path dir = TempDir("veloria_png_");
  TImage image;
  image.Width = 3;
  image.Height = 2;
  image.BytesPerPixel = 3;
  image.Pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
  std::string error;
  ASSERT_TRUE(WritePng((dir / "a.png").string(), image, error)) << error;
  TImage back;
  ASSERT_TRUE(ReadPng((dir / "a.png").string(), back, error)) << error;
  EXPECT_EQ(back.Width, 3);
  EXPECT_EQ(back.Height, 2);
  EXPECT_EQ(back.BytesPerPixel, 3);
  EXPECT_EQ(back.Pixels, image.Pixels);

  image.Pixels.pop_back();
  EXPECT_FALSE(WritePng((dir / "b.png").string(), image, error));
  EXPECT_NE(error.find("b.png"), std::string::npos);
  image.Pixels.push_back(0);
  EXPECT_FALSE(WritePng((dir / "missing" / "c.png").string(), image, error));
  EXPECT_NE(error.find("c.png"), std::string::npos);
  std::ofstream(dir / "not.png") << "not a picture";
  EXPECT_FALSE(ReadPng((dir / "not.png").string(), back, error));
  fs::remove_all(dir);
}

using FrameGrabTest = GLTest;

TEST_F(FrameGrabTest, TopRowOfTheScreenComesFirst) {
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 500, 800, 100);  // the top 100 rows, GL counting from the bottom
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  const TImage frame = GrabFrame(800, 600);
  ASSERT_EQ(frame.Pixels.size(), 800u * 600u * 3u);
  // y counts pixel rows from the top; the picture's rows run bottom-up.
  auto red = [&](int x, int y) { return frame.Pixels[(static_cast<size_t>(599 - y) * 800 + x) * 3]; };
  EXPECT_EQ(red(0, 0), 255);
  EXPECT_EQ(red(799, 99), 255);
  EXPECT_EQ(red(0, 100), 0);
  EXPECT_EQ(red(400, 599), 0);
}

TEST(ShotDueTest, ShowAndLoadingShotsUseTheirOwnClocks) {
  ShotTime show{false, 1.0, "1"};
  ShotTime loading{true, 2.0, "-2"};
  DemoFrame frame;
  frame.phase = DemoPhase::Loading;
  frame.loadingTime = 2.0f;
  frame.showTime = 5.0f;
  EXPECT_TRUE(ShotDue(loading, frame));
  EXPECT_FALSE(ShotDue(show, frame));  // the show clock means nothing before the timeline
  frame.loadingTime = 1.99f;
  EXPECT_FALSE(ShotDue(loading, frame));
  frame.phase = DemoPhase::Timeline;
  frame.loadingTime = 9.0f;
  frame.showTime = 0.99f;
  EXPECT_FALSE(ShotDue(loading, frame));  // the loading screen is over
  EXPECT_FALSE(ShotDue(show, frame));
  frame.showTime = 1.0f;
  EXPECT_TRUE(ShotDue(show, frame));
}


class ShotsRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir("veloria_shots_");
    MakeShowDataDir(dir / "data");
  }
  void TearDown() override { fs::remove_all(dir); }
  void WriteShortSync() {
    SyncLists lists;
    for (int k = 0; k < 8; ++k) lists.sectionEnds.push_back(0.25f * (k + 1));
    WriteSyncTrack(dir / "data", lists);
  }
  fs::path dir;
};

TEST_F(ShotsRunTest, TwoRunsWriteTheSamePictures) {
  WriteShortSync();
  ASSERT_EQ(RunVeloria(dir, "--shots -0.5,0.5,1.5 --out a"), 0) << ReadText(dir / "stderr.txt");
  ASSERT_EQ(RunVeloria(dir, "--shots -0.5,0.5,1.5 --out b"), 0) << ReadText(dir / "stderr.txt");
  for (const char* name : {"shot--0.5.png", "shot-0.5.png", "shot-1.5.png"}) {
    TImage a, b;
    std::string error;
    ASSERT_TRUE(ReadPng((dir / "a" / name).string(), a, error)) << error;
    ASSERT_TRUE(ReadPng((dir / "b" / name).string(), b, error)) << error;
    EXPECT_EQ(a.Width, 800);
    EXPECT_EQ(a.Height, 600);
    EXPECT_EQ(a.Pixels, b.Pixels) << name;
  }
}

TEST_F(ShotsRunTest, ShotAfterTheEndOfTheShowFails) {
  WriteShortSync();
  EXPECT_EQ(RunVeloria(dir, "--shots 1,50 --out a"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("ended before the shot time(s) 50"),
            std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "a" / "shot-1.png"));
}

TEST_F(ShotsRunTest, MissingSyncFileIsReportedNotCrashedOn) {
  EXPECT_EQ(RunVeloria(dir, "--shots 1 --out a"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("Cannot open file music\\sync.snc"),
            std::string::npos);
}

TEST_F(ShotsRunTest, MissingSyncTrackAndBadOptionsExitNonZero) {
  EXPECT_EQ(RunVeloria(dir, "--benchmark"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("Cannot open file music\\sync.snc"), std::string::npos);
  EXPECT_EQ(RunVeloria(dir, "--shots 1"), 2);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("--shots needs --out DIR"), std::string::npos);
  EXPECT_EQ(RunVeloria(dir, "--version"), 0);
  EXPECT_EQ(ReadText(dir / "stdout.txt").rfind("veloria ", 0), 0u);
}

}  // namespace
