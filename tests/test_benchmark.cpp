// The benchmark: nearest-rank statistics on known data, the report's table
// and JSON, and whole --benchmark runs of a short show.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <numeric>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "app/benchmark.h"
#include "app/fill_probe.h"
#include "app/frame_stats.h"
#include "core/sync_file.h"
#include "platform/this_process.h"
#include "tests/program_run.h"

namespace {

namespace fs = std::filesystem;

TEST(FrameStatsTest, NearestRankPercentilesOfKnownData) {
  // 1..100 ms in a shuffled order: the k-th percentile is k ms exactly.
  std::vector<double> times(100);
  std::iota(times.begin(), times.end(), 1.0);
  std::shuffle(times.begin(), times.end(), std::mt19937(7));
  const FrameTimeSummary summary = SummarizeFrameTimes(times);
  EXPECT_EQ(summary.frames, 100u);
  EXPECT_EQ(summary.median, 50.0);
  EXPECT_EQ(summary.p95, 95.0);
  EXPECT_EQ(summary.p99, 99.0);
  EXPECT_EQ(summary.max, 100.0);

  // 20 times: the 95th percentile is the 19th, not the slowest; the 99th is the 20th.
  std::vector<double> twenty(20);
  std::iota(twenty.begin(), twenty.end(), 1.0);
  EXPECT_EQ(NearestRankPercentile(twenty, 95.0), 19.0);
  EXPECT_EQ(NearestRankPercentile(twenty, 99.0), 20.0);
  EXPECT_EQ(NearestRankPercentile(twenty, 50.0), 10.0);
  EXPECT_EQ(NearestRankPercentile(twenty, 0.001), 1.0);
  EXPECT_EQ(NearestRankPercentile(twenty, 100.0), 20.0);

  // One slow frame among many fast ones shows in the maximum only.
  std::vector<double> spike(200, 2.0);
  spike[123] = 80.0;
  const FrameTimeSummary spiky = SummarizeFrameTimes(spike);
  EXPECT_EQ(spiky.p99, 2.0);
  EXPECT_EQ(spiky.max, 80.0);
}

TEST(FrameStatsTest, EmptyAndSingleFrameSections) {
  const FrameTimeSummary empty = SummarizeFrameTimes({});
  EXPECT_EQ(empty.frames, 0u);
  EXPECT_EQ(empty.median, 0.0);
  EXPECT_EQ(empty.max, 0.0);
  EXPECT_EQ(NearestRankPercentile({}, 50.0), 0.0);
  const FrameTimeSummary one = SummarizeFrameTimes({4.5});
  EXPECT_EQ(one.frames, 1u);
  EXPECT_EQ(one.median, 4.5);
  EXPECT_EQ(one.p99, 4.5);
  EXPECT_EQ(one.max, 4.5);
}

TEST(BenchmarkReportTest, TableAndJsonShowEveryFigure) {
  BenchmarkReport report;
  report.renderer = "llvmpipe \"test\"\\x";
  report.probe = {2.0, 1.25, 7, 24, 1600, 1200};
  report.scale = 2.0;
  report.frameWidth = 1600;
  report.frameHeight = 1200;
  report.sections[0] = SummarizeFrameTimes({1.0, 2.0, 3.0});
  report.sections[3] = SummarizeFrameTimes({10.0});
  report.sections[5] = SummarizeFrameTimes({30.0, 10.0});
  report.loadingWorkSeconds = 0.25;
  report.wallSeconds = 12.5;
  report.glErrors = 2;
  report.firstGLError = "0x0500 in frame 7";
  report.peakResidentMB = 99.5;

  const std::string json = FormatBenchmarkJson(report);
  EXPECT_NE(json.find("\"renderer\": \"llvmpipe \\\"test\\\"\\\\x\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"probe\": {\"ms_per_textured_layer\": 2.0000, \"ms_per_untextured_layer\": 1.2500, "
                      "\"rounds\": 7, \"layers_per_round\": 24, \"width\": 1600, \"height\": 1200, "
                      "\"layer_unit\": \"textured\"}"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"scale\": 2.0000,\n  \"frame_width\": 1600,\n  \"frame_height\": 1200,"), std::string::npos)
      << json;
  // Layers are the times over the textured layer's 2 ms.
  EXPECT_NE(json.find("{\"section\": 0, \"frames\": 3, \"median_ms\": 2.000, \"p95_ms\": 3.000, "
                      "\"p99_ms\": 3.000, \"max_ms\": 3.000, \"median_layers\": 1.00, \"p99_layers\": 1.50}"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"max_ms\": 30.000, \"median_layers\": 5.00, \"p99_layers\": 15.00}"), std::string::npos)
      << json;
  // A section without frames has no times, not zero times.
  EXPECT_NE(json.find("{\"section\": 1, \"frames\": 0, \"median_ms\": null"), std::string::npos);
  EXPECT_NE(json.find("\"max_ms\": null, \"median_layers\": null, \"p99_layers\": null}"), std::string::npos);
  EXPECT_EQ(json.find("meets_target"), std::string::npos);
  EXPECT_NE(json.find("\"loading_work_s\": 0.2500"), std::string::npos);
  EXPECT_NE(json.find("\"wall_time_s\": 12.500"), std::string::npos);
  EXPECT_NE(json.find("\"gl_errors\": 2"), std::string::npos);
  EXPECT_NE(json.find("\"first_gl_error\": \"0x0500 in frame 7\""), std::string::npos);
  EXPECT_NE(json.find("\"peak_resident_mb\": 99.5"), std::string::npos);
  EXPECT_EQ(std::count(json.begin(), json.end(), '{'), 2 + kShowSections);

  const std::string table = FormatBenchmarkTable(report);
  EXPECT_NE(table.find("fill probe: 2.000 ms per textured layer, 1.250 ms per untextured layer"), std::string::npos)
      << table;
  EXPECT_NE(table.find("\n3              1      10.00    10.00    10.00    10.00       5.0       5.0\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("\n5              2      10.00    30.00    30.00    30.00       5.0      15.0\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("\n1              0          -        -        -        -         -         -\n"),
            std::string::npos)
      << table;
  // 0.25 s of loading misses the 0.15 s target of the designed pictures,
  // and meets the 0.5 s of the detailed ones.
  EXPECT_NE(table.find("loading work      0.250 s   MISSED (<= 0.15 s, pictures at detail 1)"), std::string::npos)
      << table;
  report.pictureDetail = 4;
  report.textureMB = 253.7;
  EXPECT_NE(FormatBenchmarkTable(report).find("0.250 s   ok (<= 0.50 s, pictures at detail 4)\n"
                                              "picture memory    253.7 MB"),
            std::string::npos);
  EXPECT_NE(FormatBenchmarkJson(report).find("\"picture_detail\": 4,\n  \"texture_mb\": 253.7,"), std::string::npos);
  EXPECT_NE(table.find("GL errors             2     MISSED"), std::string::npos) << table;
  EXPECT_NE(table.find("peak resident      99.5 MB  ok (<= 250 MB)"), std::string::npos) << table;
  EXPECT_NE(table.find("first GL error 0x0500 in frame 7"), std::string::npos) << table;

  // Without a probe the times stay and the layer figures are null, never inf or NaN.
  report.probe = FillProbe{};
  const std::string unprobed = FormatBenchmarkJson(report);
  EXPECT_NE(unprobed.find("\"ms_per_textured_layer\": null, \"ms_per_untextured_layer\": null"), std::string::npos)
      << unprobed;
  EXPECT_NE(unprobed.find("\"median_ms\": 2.000, \"p95_ms\": 3.000, \"p99_ms\": 3.000, \"max_ms\": 3.000, "
                          "\"median_layers\": null, \"p99_layers\": null}"),
            std::string::npos)
      << unprobed;
  EXPECT_EQ(unprobed.find("inf"), std::string::npos);
  EXPECT_EQ(unprobed.find("nan"), std::string::npos);
  const std::string unprobedTable = FormatBenchmarkTable(report);
  EXPECT_NE(unprobedTable.find("fill probe: not measured"), std::string::npos) << unprobedTable;
  EXPECT_NE(unprobedTable.find("\n3              1      10.00    10.00    10.00    10.00         -         -\n"),
            std::string::npos)
      << unprobedTable;
}

TEST(FillProbeTest, LayerArithmetic) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double ms, msPerLayer;
    std::optional<double> layers;
  };
  for (const Case& c : std::initializer_list<Case>{{10.0, 2.0, 5.0},
                                                   {0.0, 2.0, 0.0},
                                                   {10.0, 0.0, std::nullopt},
                                                   {10.0, -1.0, std::nullopt},
                                                   {10.0, nan, std::nullopt},
                                                   {10.0, inf, std::nullopt},
                                                   {nan, 2.0, std::nullopt},
                                                   {inf, 2.0, std::nullopt},
                                                   {1e308, 1e-308, std::nullopt}}) {
    EXPECT_EQ(InLayers(c.ms, c.msPerLayer), c.layers) << c.ms << " / " << c.msPerLayer;
  }
  // The median round, not the mean: one disturbed round does not move it.
  EXPECT_EQ(MedianMsPerLayer({48.0, 500.0, 50.0, 52.0, 49.0}, 25), 2.0);
  EXPECT_EQ(MedianMsPerLayer({}, 25), 0.0);
  EXPECT_EQ(MedianMsPerLayer({50.0}, 0), 0.0);
}

TEST(BenchmarkReportTest, PeakResidentMemoryIsMeasured) {
  // With 64 MiB touched, the peak is at least that.
  std::vector<char> block(64u << 20);
  for (size_t i = 0; i < block.size(); i += 4096) block[i] = static_cast<char>(i / 4096);
  EXPECT_GE(PeakResidentMB(), 64.0);
  EXPECT_EQ(block[4096], 1);
}

class BenchmarkRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir("veloria_benchmark_");
    MakeShowDataDir(dir / "data");
    SyncLists lists;
    for (int k = 0; k < 8; ++k) lists.sectionEnds.push_back(0.25f * (k + 1));
    WriteSyncTrack(dir / "data", lists);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(BenchmarkRunTest, WholeShowGivesEverySectionItsFramesOfTheShowClock) {
  ASSERT_EQ(RunVeloria(dir, "--benchmark --json out/b.json", "mkdir -p out &&"), 0)
      << ReadText(dir / "stderr.txt");
  const std::string json = ReadText(dir / "out" / "b.json");
  // Sections of 0.25 s at 60 steps/s: frame i shows i / 60 s, and a section
  // holds the frames after its start up to its end, so section 0 has 16
  // frames (0 .. 15) and every later one 15.
  std::smatch match;
  for (int s = 0; s < 8; ++s) {
    const std::regex section("\\{\"section\": " + std::to_string(s) +
                             ", \"frames\": ([0-9]+), \"median_ms\": [0-9.]+");
    ASSERT_TRUE(std::regex_search(json, match, section)) << s << "\n" << json;
    EXPECT_EQ(std::stoi(match[1].str()), s == 0 ? 16 : 15) << s;
  }
  EXPECT_NE(json.find("\"gl_errors\": 0,"), std::string::npos) << json;
  // The probe measured this machine, and every section has its figures in layers.
  ASSERT_TRUE(std::regex_search(json, match, std::regex("\"ms_per_textured_layer\": ([0-9.]+), "
                                                        "\"ms_per_untextured_layer\": ([0-9.]+)")))
      << json;
  EXPECT_GT(std::stod(match[1].str()), 0.0);
  EXPECT_GT(std::stod(match[2].str()), 0.0);
  const std::regex layers("\"median_layers\": [0-9.]+, \"p99_layers\": [0-9.]+\\}");
  EXPECT_EQ(std::distance(std::sregex_iterator(json.begin(), json.end(), layers), std::sregex_iterator()), 8)
      << json;
  EXPECT_TRUE(std::regex_search(json, match, std::regex("\"renderer\": \"[^\"]+\"")));
  ASSERT_TRUE(std::regex_search(json, match, std::regex("\"loading_work_s\": ([0-9.]+)")));
  // The bar frames (99 of them) are not loading work; the loads themselves are tiny here.
  EXPECT_LT(std::stod(match[1].str()), 1.0);
  ASSERT_TRUE(std::regex_search(json, match, std::regex("\"peak_resident_mb\": ([0-9.]+)")));
  EXPECT_GT(std::stod(match[1].str()), 1.0);
  // The same figures as a table on stdout.
  const std::string table = ReadText(dir / "stdout.txt");
  EXPECT_NE(table.find("median ms"), std::string::npos);
  EXPECT_NE(table.find("\n7             15"), std::string::npos) << table;
}

// The probe's layers are the frame's size, also where a scaled window
// chooses it only once it is open (the offscreen desktop is 1024 x 768).
TEST_F(BenchmarkRunTest, TheProbeFillsLayersOfTheFramesSize) {
  ASSERT_EQ(RunVeloria(dir, "--desktop --scale native --benchmark --json b.json"), 0) << ReadText(dir / "stderr.txt");
  const std::string json = ReadText(dir / "b.json");
  EXPECT_NE(json.find("\"frame_width\": 1024,\n  \"frame_height\": 768,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"width\": 1024, \"height\": 768, \"layer_unit\""), std::string::npos) << json;
}

TEST_F(BenchmarkRunTest, UnwritableJsonIsRefusedBeforeTheRun) {
  EXPECT_EQ(RunVeloria(dir, "--benchmark --json no/such/dir/b.json"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("cannot write no/such/dir/b.json"), std::string::npos);
  EXPECT_EQ(ReadText(dir / "stdout.txt"), "");
}

}  // namespace
