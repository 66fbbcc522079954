// The driver's own pictures on a headless run with the generated data set:
// the progress picture fading in, the loading bar, the pre-show darkening,
// the first second's fade-in, the opening and the title.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

#include "core/sync_file.h"
#include "runtime/ORV2Base.h"
#include "tests/gl_test_context.h"
#include "tests/program_run.h"
#include "textures/image_decode.h"

namespace {

namespace fs = std::filesystem;

int Brightness(const Pixel& p) { return p.r + p.g + p.b; }

// The brightest of a coarse grid of samples over the screen.
int PeakBrightness() {
  int peak = 0;
  for (int y = 20; y < 600; y += 40) {
    for (int x = 20; x < 800; x += 40) peak = std::max(peak, Brightness(ReadPixel(x, y)));
  }
  return peak;
}

class DriverPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::current_path();
    dir = fs::temp_directory_path() / ("veloria_driver_pictures_" + std::to_string(::getpid()));
    MakeShowDataDir(dir / "data");
    fs::copy(fs::path(VELORIA_DATA_DIR) / "gfx", dir / "data" / "gfx", fs::copy_options::recursive);
    SyncLists lists;
    lists.sectionEnds = {1.5f, 2.5f, 2.75f, 3.0f, 3.25f, 3.5f, 3.75f, 4.0f};
    lists.channels[2] = {1.6f};  // the ring picture flares once in section 1
    WriteSyncTrack(dir / "data", lists);
    fs::current_path(dir);
  }
  void TearDown() override {
    ClearFrameObservers();
    fs::current_path(home);
    fs::remove_all(dir);
  }
  fs::path home, dir;
};

TEST_F(DriverPicturesTest, LoadingScreenOpeningAndTitle) {
  // Samples taken from chosen frames, keyed by a name.
  std::map<std::string, Pixel> at;
  std::map<std::string, int> peak;
  int progressFrames = 0;
  AddFrameObserver([&](const DemoFrame& f) {
    if (f.phase == DemoPhase::ProgressFade) {
      ++progressFrames;
      if (progressFrames == 119) {
        at["title late"] = ReadPixel(400, 380);
        at["slot"] = ReadPixel(400, 288);
        at["background"] = ReadPixel(100, 100);
      }
    }
    if (f.phase == DemoPhase::Loading && f.loadingBar == 0.5f) {
      at["bar inside"] = ReadPixel(220 + 183 - 4, 288);
      at["bar beyond"] = ReadPixel(220 + 183 + 4, 288);
      at["bar above"] = ReadPixel(300, 295);
    }
    if (f.phase == DemoPhase::PreShowFade) at["fading title"] = ReadPixel(400, 380);
    if (f.phase == DemoPhase::Timeline) {
      if (f.showTime == 0.0f) peak["first frame"] = PeakBrightness();
      if (f.showTime > 1.2f && f.showTime < 1.22f) peak["opening"] = PeakBrightness();
      if (f.showTime > 2.3f && f.showTime < 2.32f) peak["title"] = PeakBrightness();
    }
    return true;
  });
  RunMode options;
  options.headless = true;
  ASSERT_EQ(RunDemo(options), 0);

  // The progress picture fades in by repeated blending onto whatever the
  // buffer held; after 2 s only the picture is left.
  const TDecodeResult progress = DecodeJPEG(ReadBytes(fs::path(VELORIA_DATA_DIR) / "gfx/progress.jpg"));
  ASSERT_EQ(progress.Status, TDecodeStatus::Ok);
  for (const auto& [name, x, y] : {std::tuple{"title late", 400, 380}, std::tuple{"slot", 400, 288},
                                   std::tuple{"background", 100, 100}}) {
    const uint8_t* expected = &progress.Image.Pixels[(static_cast<size_t>(y) * 800 + x) * 4];
    EXPECT_NEAR(at[name].r, expected[0], 24) << name;
    EXPECT_NEAR(at[name].b, expected[2], 24) << name;
  }
  EXPECT_LT(Brightness(at["slot"]), 60);
  // The bar at 0.5 ends at x 403, 7 units high from y 285.
  EXPECT_EQ(Brightness(at["bar inside"]), 765);
  EXPECT_LT(Brightness(at["bar beyond"]), 100);
  EXPECT_LT(Brightness(at["bar above"]), 200);
  // The pre-show fade darkens the loading screen.
  EXPECT_LT(Brightness(at["fading title"]), Brightness(at["title late"]) / 3);
  // The show opens black, then the opening and the title show.
  EXPECT_EQ(peak["first frame"], 0);
  EXPECT_GT(peak["opening"], 300);
  EXPECT_GT(peak["title"], 500);
}

// Textures die with the context that made them: a second show in the same
// process must load its pictures again, not draw with the first one's
// texture names (an untextured white progress picture).
TEST_F(DriverPicturesTest, ASecondRunInTheSameProcessDrawsTheSameLoadingScreen) {
  std::vector<std::vector<uint8_t>> progress;
  for (int run = 0; run < 2; ++run) {
    int progressFrames = 0;
    RunMode options;
    options.headless = true;
    ASSERT_EQ(RunDemoObserved(options, [&](const DemoFrame& f) {
                if (f.phase != DemoPhase::ProgressFade || ++progressFrames < 119) return true;
                progress.push_back(ReadFrame());
                return false;
              }),
              0);
  }
  ASSERT_EQ(progress.size(), 2u);
  const uint8_t* slot = &progress[0][(288 * 800 + 400) * 4];
  EXPECT_LT(slot[0] + slot[1] + slot[2], 60) << "the picture's slot is dark, not an untextured white";
  EXPECT_TRUE(progress[0] == progress[1]);
}

}  // namespace
