// The command line: every option, the headless modes, and the mistakes the
// parser must refuse.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_options.h"

namespace {

bool Parse(std::vector<std::string> args, RunOptions& options, std::string& error) {
  return ParseRunOptions(args, options, error);
}

TEST(RunOptionsTest, NoArgumentsPlayTheShowFullScreen) {
  RunOptions options;
  std::string error;
  ASSERT_TRUE(Parse({}, options, error));
  EXPECT_FALSE(options.windowed);
  EXPECT_FALSE(options.headless);
  EXPECT_EQ(options.fps, 60);
  EXPECT_FALSE(options.benchmark);
  EXPECT_TRUE(options.captureFile.empty());
  EXPECT_FALSE(options.hud);
}

TEST(RunOptionsTest, ShotsAreHeadlessAndKeepTheirLabels) {
  RunOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--shots", "1,20.5,-2,-0", "--out", "pics", "--fps", "30"}, options, error))
      << error;
  EXPECT_TRUE(options.headless);
  EXPECT_EQ(options.outDir, "pics");
  EXPECT_EQ(options.fps, 30);
  ASSERT_EQ(options.shots.size(), 4u);
  EXPECT_FALSE(options.shots[0].loading);
  EXPECT_EQ(options.shots[0].seconds, 1.0);
  EXPECT_EQ(options.shots[1].seconds, 20.5);
  EXPECT_EQ(options.shots[1].label, "20.5");
  EXPECT_TRUE(options.shots[2].loading);
  EXPECT_EQ(options.shots[2].seconds, 2.0);
  EXPECT_EQ(options.shots[2].label, "-2");
  // -0 is the loading screen's first frame, not the show's.
  EXPECT_TRUE(options.shots[3].loading);
  EXPECT_EQ(options.shots[3].seconds, 0.0);
}

TEST(RunOptionsTest, CaptureBenchmarkAndHudModes) {
  RunOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--capture", "show.mp4", "--fps", "25"}, options, error));
  EXPECT_TRUE(options.headless);
  EXPECT_EQ(options.captureFile, "show.mp4");
  EXPECT_EQ(options.fps, 25);
  EXPECT_FALSE(options.benchmark);
  // The frame rate defaults to 60 and the HUD goes with any mode.
  ASSERT_TRUE(Parse({"--hud", "--capture", "v.webm"}, options, error)) << error;
  EXPECT_EQ(options.fps, 60);
  EXPECT_TRUE(options.hud);
  EXPECT_EQ(options.captureFile, "v.webm");
  ASSERT_TRUE(Parse({"--benchmark", "--json", "b.json"}, options, error));
  EXPECT_TRUE(options.headless);
  EXPECT_TRUE(options.benchmark);
  EXPECT_EQ(options.jsonFile, "b.json");
  // --json may come first; the later of two --json wins.
  ASSERT_TRUE(Parse({"--json", "a.json", "--benchmark", "--json", "c.json"}, options, error));
  EXPECT_EQ(options.jsonFile, "c.json");
  ASSERT_TRUE(Parse({"--benchmark"}, options, error));
  EXPECT_TRUE(options.jsonFile.empty());
  ASSERT_TRUE(Parse({"--windowed", "--hud"}, options, error));
  EXPECT_TRUE(options.windowed);
  EXPECT_TRUE(options.hud);
  EXPECT_FALSE(options.headless);
  ASSERT_TRUE(Parse({"--help"}, options, error));
  EXPECT_TRUE(options.help);
  ASSERT_TRUE(Parse({"--version"}, options, error));
  EXPECT_TRUE(options.version);
}

TEST(RunOptionsTest, RefusesMistakesWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--fullscreen"},
      {"show"},
      {"--shots"},
      {"--shots", "1,2"},
      {"--out", "dir"},
      {"--shots", "1,,2", "--out", "d"},
      {"--shots", "1,x", "--out", "d"},
      {"--shots", "nan", "--out", "d"},
      {"--shots", "1e999", "--out", "d"},
      {"--shots", "1", "--out", "d", "--benchmark"},
      {"--capture", "a.mp4", "--benchmark"},
      {"--json", "b.json"},
      {"--fps", "30"},
      {"--capture", "a.mp4", "--fps", "0"},
      {"--capture", "a.mp4", "--fps", "24.5"},
      {"--capture"},
      {"--benchmark", "--json"},
      {"--capture", "a.mp4", "--json", "b.json"},
      {"--capture", "a.mp4", "--capture", "b.mp4", "--benchmark"},
      {"--hud", "--fps", "30"},
      {"--benchmark", "--fps", "1001"},
  };
  for (const auto& args : bad) {
    RunOptions options;
    std::string error;
    std::string joined;
    for (const std::string& a : args) joined += a + " ";
    EXPECT_FALSE(Parse(args, options, error)) << joined;
    EXPECT_FALSE(error.empty()) << joined;
  }
  RunOptions options;
  std::string error;
  Parse({"--bogus"}, options, error);
  EXPECT_EQ(error, "unknown option '--bogus'");
}

TEST(RunOptionsTest, HelpNamesEveryOption) {
  const std::string usage = UsageText();
  for (const char* option : {"--windowed", "--shots", "--out", "--capture", "--fps", "--benchmark",
                             "--json", "--hud", "--help", "--version", "Escape", "Space"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
