// The command line: every option, the headless modes, and the mistakes the
// parser must refuse.

#include <gtest/gtest.h>

#include <string>
#include <utility>
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
  EXPECT_EQ(options.fps, (FrameRate{60, 1}));
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
  EXPECT_EQ(options.fps, (FrameRate{30, 1}));
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
  EXPECT_EQ(options.fps, (FrameRate{25, 1}));
  EXPECT_FALSE(options.benchmark);
  // The frame rate defaults to 60 and the HUD goes with any mode.
  ASSERT_TRUE(Parse({"--hud", "--capture", "v.webm"}, options, error)) << error;
  EXPECT_EQ(options.fps, (FrameRate{60, 1}));
  EXPECT_TRUE(options.hud);
  EXPECT_EQ(options.captureFile, "v.webm");
  EXPECT_EQ(options.videoQuality, VideoQuality::Web);
  ASSERT_TRUE(Parse({"--video-quality", "master", "--capture", "a.MKV"}, options, error)) << error;
  EXPECT_EQ(options.videoQuality, VideoQuality::Master);
  // Rates as video names them are their exact fractions.
  for (const auto& [text, rate] : {std::pair{"60000/1001", FrameRate{60000, 1001}}, {"59.94", {60000, 1001}},
                                   {"23.976", {24000, 1001}}, {"144", {144, 1}}, {"24.5", {49, 2}}, {"120/2", {60, 1}}}) {
    ASSERT_TRUE(Parse({"--benchmark", "--fps", text}, options, error)) << text << ": " << error;
    EXPECT_EQ(options.fps, rate) << text;
  }
  ASSERT_TRUE(Parse({"--benchmark", "--json", "b.json"}, options, error));
  EXPECT_TRUE(options.headless);
  EXPECT_TRUE(options.benchmark);
  EXPECT_EQ(options.jsonFile, "b.json");
  // --json may come first; the later of two --json wins.
  ASSERT_TRUE(Parse({"--json", "a.json", "--benchmark", "--json", "c.json"}, options, error));
  EXPECT_EQ(options.jsonFile, "c.json");
  ASSERT_TRUE(Parse({"--benchmark"}, options, error));
  EXPECT_TRUE(options.jsonFile.empty());
  // The flash report is headless, takes --json and a span; --gentle goes with any mode.
  ASSERT_TRUE(Parse({"--flash-report", "--json", "f.json", "--span", "60,104.5", "--gentle"}, options, error))
      << error;
  EXPECT_TRUE(options.headless && options.flashReport && options.gentle);
  EXPECT_EQ(options.jsonFile, "f.json");
  EXPECT_EQ(options.spanFrom, 60.0);
  EXPECT_EQ(options.spanTo, 104.5);
  ASSERT_TRUE(Parse({"--gentle", "--desktop"}, options, error)) << error;
  EXPECT_TRUE(options.gentle && !options.headless);
  ASSERT_TRUE(Parse({"--windowed", "--hud"}, options, error));
  EXPECT_TRUE(options.windowed);
  EXPECT_TRUE(options.hud);
  EXPECT_FALSE(options.headless);
  ASSERT_TRUE(Parse({"--loop", "--windowed"}, options, error)) << error;
  EXPECT_TRUE(options.loop);
  EXPECT_FALSE(options.headless);
  ASSERT_TRUE(Parse({"--capture", "v.mp4", "--video-size", "1920x1080"}, options, error)) << error;
  EXPECT_EQ(options.videoSize.width, 1920);
  EXPECT_EQ(options.videoSize.height, 1080);
  ASSERT_TRUE(Parse({"--video-size", "2x16384", "--capture", "v.mp4"}, options, error)) << error;
  EXPECT_EQ(options.videoSize.width, 2);
  EXPECT_EQ(options.videoSize.height, 16384);
  // The scaled modes swap with vsync unless told not to, and go with the headless modes.
  ASSERT_TRUE(Parse({"--desktop"}, options, error)) << error;
  EXPECT_TRUE(options.desktop);
  EXPECT_FALSE(options.windowed);
  EXPECT_FALSE(options.noVsync);
  EXPECT_FALSE(options.headless);
  ASSERT_TRUE(Parse({"--no-vsync", "--windowed"}, options, error)) << error;
  EXPECT_TRUE(options.windowed);
  EXPECT_TRUE(options.noVsync);
  ASSERT_TRUE(Parse({"--desktop", "--shots", "1", "--out", "d"}, options, error)) << error;
  EXPECT_TRUE(options.desktop);
  EXPECT_TRUE(options.headless);
  ASSERT_TRUE(Parse({"--help"}, options, error));
  EXPECT_TRUE(options.help);
  ASSERT_TRUE(Parse({"--version"}, options, error));
  EXPECT_TRUE(options.version);
}

// Windows on a display measure the machine by default; headless runs draw
// the designed frame, or with native a capture's largest 4:3 rectangle.
TEST(RunOptionsTest, ScaleDefaultsAndNativeOfHeadlessRuns) {
  const std::vector<std::pair<std::vector<std::string>, FrameScaleRequest>> cases = {
      {{"--desktop"}, {ScaleChoice::Auto, 1.0}},
      {{"--windowed", "--scale", "native"}, {ScaleChoice::Native, 1.0}},
      {{"--desktop", "--shots", "1", "--out", "d"}, {ScaleChoice::Fixed, 1.0}},
      {{"--desktop", "--scale", "native", "--shots", "1", "--out", "d"}, {ScaleChoice::Native, 1.0}},
      {{"--benchmark", "--scale", "native"}, {ScaleChoice::Fixed, 1.0}},
      {{"--benchmark", "--scale", "8"}, {ScaleChoice::Fixed, 8.0}},
      {{"--capture", "v.mp4", "--scale", "native", "--video-size", "3840x2160"}, {ScaleChoice::Fixed, 3.6}},
      {{"--capture", "v.mp4", "--scale", "auto"}, {ScaleChoice::Fixed, 1.0}},
      // 20.48 would be frames of 805 MB: K stops at 8.
      {{"--capture", "v.mp4", "--scale", "native", "--video-size", "16384x12288"}, {ScaleChoice::Fixed, 8.0}},
  };
  RunOptions options;
  std::string error;
  for (const auto& [args, scale] : cases) {
    ASSERT_TRUE(Parse(args, options, error)) << args[0] << " " << error;
    EXPECT_EQ(options.scale, scale) << args[0] << " " << args.size();
  }
  EXPECT_FALSE(Parse({"--scale", "2"}, options, error));
  EXPECT_EQ(error, "--scale is only used with --desktop, --windowed, --shots, --capture, --benchmark or --flash-report");
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
      {"--capture", "a.mp4", "--fps", "1/2"},
      {"--capture", "a.mp4", "--fps", "60000/0"},
      {"--capture", "a.mp4", "--fps", "24."},
      {"--capture", "a.mp4", "--fps", "59,94"},
      {"--capture", "a.mp4", "--video-quality", "lossless"},
      {"--capture", "a.mp4", "--video-quality", "master"},
      {"--benchmark", "--video-quality", "web"},
      {"--capture"},
      {"--benchmark", "--json"},
      {"--capture", "a.mp4", "--json", "b.json"},
      {"--capture", "a.mp4", "--capture", "b.mp4", "--benchmark"},
      {"--hud", "--fps", "30"},
      {"--benchmark", "--fps", "1001"},
      {"--video-size", "1920x1080"},
      {"--loop", "--capture", "a.mp4"},
      {"--loop", "--benchmark"},
      {"--desktop", "--windowed"},
      {"--no-vsync"},
      {"--no-vsync", "--benchmark"},
      {"--windowed", "--scale", "0.5"},
      {"--windowed", "--scale", "8.01"},
      {"--windowed", "--scale", "nan"},
      {"--windowed", "--scale", "2x"},
      {"--windowed", "--scale"},
      {"--flash-report", "--benchmark"},
      {"--span", "1,2"},
      {"--flash-report", "--span", "2,1"},
      {"--flash-report", "--span", "-1,2"},
      {"--flash-report", "--span", "1"},
      {"--flash-report", "--span", "1,2,"},
      {"--flash-report", "--span", "1,inf"},
      {"--flash-report", "--loop"},
  };
  // Sizes that are not two even numbers of pixels in range.
  for (const char* size : {"", "1920", "1920x", "x1080", "1921x1080", "1920x1081", "0x0", "-2x2", "+2x2",
                           "2x+2", "16386x2", "1920x1080x2", "1920X1080", "99999999999999999999x2"}) {
    RunOptions options;
    std::string error;
    EXPECT_FALSE(Parse({"--capture", "a.mp4", "--video-size", size}, options, error)) << size;
    EXPECT_NE(error.find("--video-size: '" + std::string(size) + "'"), std::string::npos) << error;
  }
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
  for (const char* option : {"--windowed", "--desktop", "--no-vsync", "Alt+Enter", "--shots", "--out", "--capture",
                             "--video-size", "--video-quality", "--fps", "--benchmark", "--json", "--loop",
                             "--flash-report", "--span", "--gentle", "WARNING: the show flashes", "--hud", "--help", "--version", "--scale",
                             "Escape", "Space"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
