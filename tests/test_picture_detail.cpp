// Pictures at detail 2 and 4: the generated files average down to the
// designed ones and carry more detail than the designed ones magnified; the
// registry reads them at the detail in use and falls back quietly; the show
// picks the detail from its scale.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "tests/gl_test_context.h"
#include "tests/message_capture.h"
#include "tests/program_run.h"
#include "textures/ORV2Materials.h"
#include "textures/image_decode.h"
#include "textures/picture_detail.h"
#include "textures/picture_prefetch.h"
#include "tools/generate/data_files.h"
#include "tools/generate/picture_art.h"

namespace {

namespace fs = std::filesystem;

// The smallest PSNR, in dB, of a detailed picture averaged down against the
// designed one (measured: 33.9 dB at the least, the loading picture at
// detail 2; most are above 40), and the least ratio of a detailed picture's
// neighbour-difference energy to the designed one's magnified (measured:
// 1.15 for the glow sprite at detail 2, a soft glow with nothing finer to
// show; 1.4 to 4.4 for the rest).
constexpr double kLeastPsnr = 32.0;
constexpr double kLeastDetailGain = 1.1;

TImage DecodedFile(const fs::path& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  const TDecodeResult r = path.extension() == ".tga" ? DecodeTGA(bytes) : DecodeJPEG(bytes);
  EXPECT_EQ(r.Status, TDecodeStatus::Ok) << path;
  return r.Image;
}

double At(const TImage& image, int x, int y, int c) {
  return image.Pixels[(static_cast<size_t>(y) * image.Width + x) * image.BytesPerPixel + c];
}

// The picture's colour (alpha too) averaged over D x D blocks.
TImage AveragedDown(const TImage& image, int d) {
  TImage out{image.Width / d, image.Height / d, image.BytesPerPixel, {}};
  for (int y = 0; y < out.Height; ++y) {
    for (int x = 0; x < out.Width; ++x) {
      for (int c = 0; c < image.BytesPerPixel; ++c) {
        double sum = 0.0;
        for (int k = 0; k < d * d; ++k) sum += At(image, x * d + k % d, y * d + k / d, c);
        out.Pixels.push_back(static_cast<uint8_t>(std::lround(sum / (d * d))));
      }
    }
  }
  return out;
}

double Psnr(const TImage& a, const TImage& b) {
  double squares = 0.0;
  for (size_t k = 0; k < a.Pixels.size(); ++k) squares += std::pow(static_cast<double>(a.Pixels[k]) - b.Pixels[k], 2.0);
  return 10.0 * std::log10(255.0 * 255.0 / std::max(squares / static_cast<double>(a.Pixels.size()), 1e-9));
}

// The energy of the differences between neighbouring pixels (across and up)
// of the D-times-larger picture `at(x, y, c)`: what its highest frequencies hold.
template <typename Sample>
double NeighbourEnergy(int width, int height, int channels, Sample at) {
  double energy = 0.0;
  for (int y = 0; y + 1 < height; ++y) {
    for (int x = 0; x + 1 < width; ++x) {
      for (int c = 0; c < channels; ++c) {
        energy += std::pow(at(x + 1, y, c) - at(x, y, c), 2.0) + std::pow(at(x, y + 1, c) - at(x, y, c), 2.0);
      }
    }
  }
  return energy;
}

// The designed picture magnified D times with linear filtering, as the GL
// magnifies it, at pixel (x, y) of the larger picture.
double Magnified(const TImage& image, int d, int x, int y, int c) {
  const double u = (x + 0.5) / d - 0.5, v = (y + 0.5) / d - 0.5;
  const int x0 = std::clamp(static_cast<int>(std::floor(u)), 0, image.Width - 1);
  const int y0 = std::clamp(static_cast<int>(std::floor(v)), 0, image.Height - 1);
  const int x1 = std::min(x0 + 1, image.Width - 1), y1 = std::min(y0 + 1, image.Height - 1);
  const double fx = std::clamp(u - x0, 0.0, 1.0), fy = std::clamp(v - y0, 0.0, 1.0);
  const double bottom = At(image, x0, y0, c) + (At(image, x1, y0, c) - At(image, x0, y0, c)) * fx;
  const double top = At(image, x0, y1, c) + (At(image, x1, y1, c) - At(image, x0, y1, c)) * fx;
  return bottom + (top - bottom) * fy;
}

TEST(PictureDetail, DetailedPicturesAverageDownToTheDesignedOnesWithMoreDetail) {
  for (const TPictureFile& picture : ShowPictures()) {
    const fs::path dir = VELORIA_DATA_DIR;
    const TImage designed = DecodedFile(DataFilePath(dir, picture.name));
    for (const int detail : {2, 4}) {
      const fs::path file = DataFilePath(dir, DetailedPictureName(picture.name, detail));
      EXPECT_EQ(fs::exists(file), PictureHasDetails(picture.name)) << file;
      if (!PictureHasDetails(picture.name)) continue;
      SCOPED_TRACE(file.string());
      const TImage detailed = DecodedFile(file);
      ASSERT_EQ(detailed.Width, designed.Width * detail);
      ASSERT_EQ(detailed.Height, designed.Height * detail);
      EXPECT_GE(Psnr(AveragedDown(detailed, detail), designed), kLeastPsnr);
      const int channels = std::min(designed.BytesPerPixel, 3);
      const double sharp = NeighbourEnergy(detailed.Width, detailed.Height, channels,
                                           [&](int x, int y, int c) { return At(detailed, x, y, c); });
      const double soft = NeighbourEnergy(detailed.Width, detailed.Height, channels, [&](int x, int y, int c) {
        return Magnified(designed, detail, x, y, c);
      });
      EXPECT_GE(sharp, soft * kLeastDetailGain);
    }
  }
}

TEST(PictureDetail, NamesAndTheDetailAScaleAsksFor) {
  EXPECT_EQ(DetailedPictureName("gfx\\love\\3.jpg", 4), "gfx\\love\\3@4x.jpg");
  EXPECT_EQ(DetailedPictureName("gfx\\overlay.tga", 1), "gfx\\overlay.tga");
  EXPECT_EQ(DetailedPictureName("gfx.x\\noext", 2), "gfx.x\\noext@2x");
  for (const auto& [file, detail] : {std::pair{"gfx\\love\\3@4x.jpg", 4}, {"gfx\\veloria@2x.jpg", 2},
                                     {"gfx\\veloria.jpg", 1}, {"gfx\\a@4x\\b.jpg", 1}, {"gfx\\b@3x.jpg", 1}}) {
    EXPECT_EQ(DetailOfPictureFile(file), detail) << file;
  }
  // Scale, GL_MAX_TEXTURE_SIZE, the detail.
  const struct {
    double scale;
    int maxTexture;
    int detail;
  } cases[] = {{1.0, 16384, 1}, {1.01, 16384, 2}, {2.0, 16384, 2}, {2.01, 16384, 4}, {3.6, 16384, 4},
               {8.0, 16384, 4}, {3.6, 2048, 2},   {3.6, 1024, 1},  {3.6, 0, 1},      {0.5, 16384, 1}};
  for (const auto& c : cases) EXPECT_EQ(PictureDetailFor(c.scale, c.maxTexture), c.detail) << c.scale << " " << c.maxTexture;
}

// Loads through the registry in a data folder that holds `files` of the
// generated set, at `detail`.
class DetailRegistryTest : public GLTest {
 protected:
  void TearDown() override {
    DropPrefetchedPictures();
    fs::current_path(home_);
    ForgetTextures();  // the next test finds none of these pictures, at the designed detail
    fs::remove_all(dir_);
    GLTest::TearDown();
  }
  void UseFolderWith(const std::vector<std::string>& files) {
    dir_ = TempDir("veloria_detail_registry_");
    for (const std::string& file : files) {
      fs::create_directories(DataFilePath(dir_, file).parent_path());
      fs::copy_file(DataFilePath(VELORIA_DATA_DIR, file), DataFilePath(dir_, file));
    }
    fs::current_path(dir_);
  }
  fs::path home_ = fs::current_path();
  fs::path dir_;
};

TEST_F(DetailRegistryTest, PicturesLoadAtTheDetailInUseAndFallBackQuietly) {
  UseFolderWith({"gfx\\veloria.jpg", "gfx\\veloria@2x.jpg", "gfx\\veloria@4x.jpg", "gfx\\overlay.tga",
                 "gfx\\overlay@2x.tga", "gfx\\vantrel.jpg", "gfx\\part.jpg", "gfx\\part@4x.jpg"});
  // Name, reader, detail in use, the detail read, its designed width.
  const struct {
    const char* name;
    bool standAloneTGA;
    int detail;
    int read;
    int designedWidth;
  } cases[] = {
      {"gfx\\veloria.jpg", false, 4, 4, 1024},
      {"gfx\\overlay.tga", true, 4, 1, 512},  // no @4x: the designed file, quietly
      {"gfx\\vantrel.jpg", false, 4, 1, 512},  // smeared: always designed
      {"gfx\\part.jpg", false, 2, 1, 128},     // no @2x
  };
  MessageCapture messages;
  testing::internal::CaptureStderr();
  for (const auto& c : cases) {
    SetPictureDetail(c.detail);
    const int32_t texture = c.standAloneTGA ? LoadTGAFileOnce(c.name) : LoadTexture(c.name);
    ASSERT_NE(texture, NoTexture) << c.name;
    EXPECT_EQ(TextureDetail(texture), c.read) << c.name;
    EXPECT_EQ(DesignedSize(texture).Width, c.designedWidth) << c.name;
    EXPECT_EQ(StoredPictureSize(texture).Width, c.designedWidth * c.read) << c.name;
  }
  // Going back to the designed pictures and up again while the show plays.
  const int32_t title = FindTexture("gfx\\veloria.jpg");
  ChangePictureDetail(2);
  while (FillNextPictureDetail()) {
  }
  EXPECT_EQ(TextureDetail(title), 2);
  EXPECT_EQ(StoredPictureSize(title).Width, 2048);
  EXPECT_EQ(TextureDetail(FindTexture("gfx\\overlay.tga")), 2);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(messages.messages.empty());
  // Once per missing detail, naming the first file found missing.
  EXPECT_EQ(said,
            "veloria: gfx\\overlay@4x.tga is missing or unreadable: pictures without their detail-4 file are drawn "
            "from the designed one\n"
            "veloria: gfx\\part@2x.jpg is missing or unreadable: pictures without their detail-2 file are drawn "
            "from the designed one\n");
}

// The show's own choice: the detail said on stderr for each scale, and a
// folder without the @4x files still showing its loading screen.
TEST(PictureDetailRun, TheScaleChoosesTheDetailAndMissingFilesFallBack) {
  const fs::path dir = TempDir("veloria_detail_run_");
  MakeShowDataDir(dir / "data");
  fs::copy(fs::path(VELORIA_DATA_DIR) / "gfx", dir / "data" / "gfx", fs::copy_options::recursive);
  const struct {
    const char* scale;
    const char* said;
  } cases[] = {{"1", ""}, {"2", "veloria: pictures at detail 2\n"}, {"3.6", "veloria: pictures at detail 4\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scale);
    ASSERT_EQ(RunVeloria(dir, std::string("--scale ") + c.scale + " --fps 10 --shots -0.5 --out shots"), 0);
    const std::string said = ReadText(dir / "stderr.txt");
    const size_t at = said.find("veloria: pictures at detail");
    EXPECT_EQ(at == std::string::npos ? std::string() : said.substr(at, said.find('\n', at) + 1 - at), c.said);
  }
  const std::vector<uint8_t> detailed = ReadBytes(dir / "shots" / "shot--0.5.png");
  for (const fs::directory_entry& file : fs::recursive_directory_iterator(dir / "data" / "gfx")) {
    if (file.path().filename().string().find("@4x") != std::string::npos) fs::remove(file.path());
  }
  ASSERT_EQ(RunVeloria(dir, "--scale 3.6 --fps 10 --shots -0.5 --out shots"), 0);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("veloria: gfx\\progress@4x.jpg is missing or unreadable"),
            std::string::npos);
  const std::vector<uint8_t> designed = ReadBytes(dir / "shots" / "shot--0.5.png");
  EXPECT_FALSE(designed.empty());
  EXPECT_NE(designed, detailed);
  fs::remove_all(dir);
}

}  // namespace
