// The flash meter on synthetic frame series with known answers, and the
// spans and warning its log makes of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/flash_report.h"
#include "core/flash_meter.h"
#include "core/sync_file.h"
#include "platform/png_file.h"
#include "tests/program_run.h"

namespace {

// Small frames keep the test quick; the meter's grid is the same at any size.
constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr int kCell = kWidth / 40;
constexpr int kFps = 60;

struct Rgb {
  uint8_t r, g, b;
};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGrey{124, 124, 124};  // about the luminance of saturated red

// A square wave of `hz` between `a` and `b`, starting on `a` for half a
// period, each change taking `rampFrames`.
std::function<Rgb(int)> Swing(double hz, Rgb a, Rgb b, int rampFrames = 1) {
  return [=](int frame) {
    const double half = kFps / hz / 2.0;
    const double inHalf = std::fmod(frame, half);
    const int phase = static_cast<int>(frame / half);
    if (phase == 0) return a;
    const bool toB = phase % 2 == 1;
    const double f = std::min(1.0, (inHalf + 1.0) / rampFrames);
    const double w = toB ? f : 1.0 - f;
    const auto mix = [w](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * w)); };
    return Rgb{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
  };
}

struct Series {
  const char* name;
  std::function<Rgb(int)> color;
  double areaShare;  // the share of the screen that shows `color`; the rest stays black
  bool scattered;    // instead: each cell's block black or `color` at random, anew each frame
  double general;    // the expected worst counts
  double red;
  bool fails;
};

TEST(FlashMeterTest, SyntheticSeriesGiveTheRulesAnswers) {
  const std::vector<Series> series = {
      {"5 Hz full-screen swing", Swing(5, kBlack, kWhite), 1.0, false, 5.0, 0.0, true},
      {"3 Hz full-screen swing", Swing(3, kBlack, kWhite), 1.0, false, 3.0, 0.0, false},
      {"5 Hz over a twentieth", Swing(5, kBlack, kWhite), 1.0 / 20.0, false, 0.0, 0.0, false},
      {"5 Hz over a quarter", Swing(5, kBlack, kWhite), 0.25, false, 5.0, 0.0, true},
      // Blocks turning up and down at random, as moving detail does, are no flash.
      {"scattered blocks", [](int) { return kWhite; }, 1.0, true, 0.0, 0.0, false},
      {"slow fade",
       [](int f) {
         const uint8_t v = static_cast<uint8_t>(f * 2);
         return Rgb{v, v, v};
       },
       1.0, false, 0.5, 0.0, false},
      {"red 5 Hz swing of equal luminance", Swing(5, kGrey, kRed), 1.0, false, 0.0, 5.0, true},
      // Each change built over four frames is still one change.
      {"5 Hz swing over four frames", Swing(5, kBlack, kWhite, 4), 1.0, false, 5.0, 0.0, true},
      // Bright states only: the darker one is not below 0.8.
      {"5 Hz swing between brights", Swing(5, Rgb{235, 235, 235}, kWhite), 1.0, false, 0.0, 0.0, false},
  };
  for (const Series& s : series) {
    // The lit part: a centred rectangle of the screen's shape.
    const double side = std::sqrt(s.areaShare);
    const int w = static_cast<int>(kWidth * side), h = static_cast<int>(kHeight * side);
    const int x0 = (kWidth - w) / 2, y0 = (kHeight - h) / 2;
    std::vector<uint8_t> pixels(kWidth * kHeight * 3, 0);
    FlashCells cells;
    FlashMeter meter;
    FlashLog log(8);
    for (int frame = 0; frame < 2 * kFps; ++frame) {
      const Rgb c = s.color(frame);
      for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
          uint8_t* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 3];
          const uint32_t block = static_cast<uint32_t>((frame * 30 + y / kCell) * 40 + x / kCell);
          const bool lit = !s.scattered || ((block * 2654435761u) >> 16) % 2 == 1;
          p[0] = lit ? c.r : 0, p[1] = lit ? c.g : 0, p[2] = lit ? c.b : 0;
        }
      }
      ReduceFrame(pixels.data(), kWidth, kHeight, 3, cells);
      const double t = static_cast<double>(frame) / kFps;
      log.Add(t, 3, meter.AddFrame(cells, t));
    }
    EXPECT_DOUBLE_EQ(log.Worst().general, s.general) << s.name;
    EXPECT_DOUBLE_EQ(log.Worst().red, s.red) << s.name;
    EXPECT_EQ(log.FailingSeconds() > 0.0, s.fails) << s.name;
    EXPECT_EQ(FlashWarning(log, false).empty(), !s.fails) << s.name;
    if (s.fails) {
      // Failing from the first frame: every second ending from 0.7 s holds seven changes.
      ASSERT_EQ(log.Spans().size(), 1u) << s.name;
      EXPECT_DOUBLE_EQ(log.Spans()[0].start, 0.0) << s.name;
      EXPECT_DOUBLE_EQ(log.Spans()[0].end, 119.0 / kFps) << s.name;
      EXPECT_EQ(log.Spans()[0].kind, s.red > 0.0 ? FlashKind::Red : FlashKind::General) << s.name;
      EXPECT_EQ(FlashWarning(log, false),
                "this video flashes more than three times a second for 2 s; `--gentle` makes one that does not");
    }
  }
}

TEST(FlashMeterTest, SpansMergeAndFailingSecondsCountOnce) {
  FlashLog log(8);
  // General fails at 2.0-2.5 and 2.8 (one span from 1.0), red at 2.2-2.4,
  // general again at 5.0; the red span lies inside the general one.
  for (int i = 0; i <= 600; ++i) {
    const double t = i / 100.0;
    const bool general = (t >= 2.0 && t <= 2.5) || std::fabs(t - 2.8) < 1e-9 || std::fabs(t - 5.0) < 1e-9;
    const bool red = t >= 2.2 && t <= 2.4;
    log.Add(t, t < 4.0 ? 3 : 4, {general ? 3.5 : 1.0, red ? 4.0 : 0.0});
  }
  const std::vector<FlashSpan> spans = log.Spans();
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_NEAR(spans[0].start, 1.0, 1e-9);
  EXPECT_NEAR(spans[0].end, 2.8, 1e-9);
  EXPECT_EQ(spans[1].kind, FlashKind::Red);
  EXPECT_NEAR(spans[2].start, 4.0, 1e-9);
  EXPECT_NEAR(log.FailingSeconds(), 2.8, 1e-9);
  EXPECT_NEAR(log.FailingSeconds(0.0, 2.0), 1.0, 1e-9);
  EXPECT_DOUBLE_EQ(log.Sections()[3].worst.red, 4.0);
  EXPECT_DOUBLE_EQ(log.Sections()[4].worst.general, 3.5);
  EXPECT_EQ(FlashWarning(log, true), "this video flashes more than three times a second for 3 s");
}

}  // namespace

namespace {

namespace fs = std::filesystem;

// A short show whose section 3 (the landscape, 0.3 to 3.5 s) beats at the
// show's own tempo; section 5 (3.6 to 3.7 s) has nothing to tame. The report
// leaves out the quick cuts of the sections after 3.
class GentleRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir("veloria-gentle");
    MakeShowDataDir(dir / "data");
    fs::create_directory_symlink(fs::path(VELORIA_DATA_DIR) / "gfx", dir / "data" / "gfx");
    SyncLists lists;
    lists.sectionEnds = {0.1f, 0.2f, 0.3f, 3.5f, 3.6f, 3.7f, 3.8f, 3.9f};
    for (int i = 0; i < 7; ++i) lists.channels[0].push_back(0.5f + 0.48f * i);
    WriteSyncTrack(dir / "data", lists);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(GentleRunTest, TamesTheFastBeatsAndLeavesTheRestAsDesigned) {
  // The gentle show has no failing second.
  ASSERT_EQ(RunVeloria(dir, "--flash-report --span 0,3.4 --json gentle.json --gentle"), 0)
      << ReadText(dir / "stderr.txt");
  EXPECT_NE(ReadText(dir / "gentle.json").find("\"spans\": []"), std::string::npos) << ReadText(dir / "gentle.json");
  EXPECT_NE(ReadText(dir / "stdout.txt").find("passes: 0.0 s"), std::string::npos);
  // In section 3 the frames differ; in section 5 the frame is the designed one.
  for (const bool gentle : {false, true}) {
    ASSERT_EQ(RunVeloria(dir, std::string("--shots 1.35,3.65 --fps 20 --out ") + (gentle ? "g" : "d") + (gentle ? " --gentle" : "")),
              0)
        << ReadText(dir / "stderr.txt");
  }
  TImage designed, tamed;
  std::string error;
  for (const auto& [shot, same] : {std::pair{"shot-1.35.png", false}, {"shot-3.65.png", true}}) {
    ASSERT_TRUE(ReadPng((dir / "d" / shot).string(), designed, error)) << error;
    ASSERT_TRUE(ReadPng((dir / "g" / shot).string(), tamed, error)) << error;
    EXPECT_EQ(designed.Pixels == tamed.Pixels, same) << shot;
  }
}

}  // namespace
