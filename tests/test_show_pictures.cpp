// The generated pictures: every file the show loads exists, decodes with the
// show's readers, has the size and shape its use needs, and comes out the
// same every time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "tests/program_run.h"
#include "textures/image_decode.h"
#include "tools/generate/data_files.h"
#include "tools/generate/picture_art.h"

namespace {

namespace fs = std::filesystem;

// The decoded picture of a show data name, made fresh by its maker.
TImage Decoded(const std::string& name) {
  for (const TPictureFile& picture : ShowPictures()) {
    if (name == picture.name) {
      const std::vector<uint8_t> bytes = picture.make(kDesignedDetail);
      const TDecodeResult r = name.ends_with(".tga") ? DecodeTGA(bytes) : DecodeJPEG(bytes);
      EXPECT_EQ(r.Status, TDecodeStatus::Ok) << name;
      return r.Image;
    }
  }
  ADD_FAILURE() << "no maker for " << name;
  return {};
}

// Channel c of pixel (x, y), y from the bottom.
int Channel(const TImage& image, int x, int y, int c) {
  return image.Pixels[(static_cast<size_t>(y) * image.Width + x) * image.BytesPerPixel + c];
}
int Brightness(const TImage& image, int x, int y) {
  return Channel(image, x, y, 0) + Channel(image, x, y, 1) + Channel(image, x, y, 2);
}

TEST(ShowPictures, EveryPictureTheShowLoadsIsMade) {
  std::set<std::string> names;
  for (const TPictureFile& picture : ShowPictures()) names.insert(picture.name);
  for (const char* name : {"gfx\\progress.jpg", "gfx\\logo2.jpg", "gfx\\flush.jpg", "gfx\\part.jpg", "gfx\\map.jpg",
                           "gfx\\backscroll.jpg", "gfx\\overlay.tga", "gfx\\heart.jpg", "gfx\\vantrel.jpg",
                           "gfx\\veloria.jpg", "gfx\\author.jpg", "gfx\\greets.jpg", "gfx\\end.jpg"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
  for (int k = 1; k <= 8; ++k) EXPECT_TRUE(names.count("gfx\\love\\" + std::to_string(k) + ".jpg")) << k;
}

TEST(ShowPictures, GeneratingTwiceGivesTheSameBytes) {
  const fs::path base = fs::temp_directory_path() / ("veloria_pictures_" + std::to_string(::getpid()));
  WritePictures(base / "a", kDesignedDetail);
  WritePictures(base / "b", kDesignedDetail);
  for (const TPictureFile& picture : ShowPictures()) {
    const std::vector<uint8_t> a = ReadBytes(DataFilePath(base / "a", picture.name));
    EXPECT_FALSE(a.empty()) << picture.name;
    EXPECT_EQ(a, ReadBytes(DataFilePath(base / "b", picture.name))) << picture.name;
  }
  fs::remove_all(base);
}

TEST(ShowPictures, BlurredPicturesAreExactly512Square) {
  for (const char* name : {"gfx\\vantrel.jpg", "gfx\\author.jpg", "gfx\\greets.jpg", "gfx\\end.jpg"}) {
    const TImage image = Decoded(name);
    EXPECT_EQ(image.Width, 512) << name;
    EXPECT_EQ(image.Height, 512) << name;
  }
}

TEST(ShowPictures, AdditivePicturesAreBrightArtOnBlack) {
  std::vector<std::string> names = {"gfx\\vantrel.jpg", "gfx\\veloria.jpg", "gfx\\author.jpg", "gfx\\greets.jpg",
                                    "gfx\\end.jpg", "gfx\\part.jpg"};
  for (int k = 1; k <= 8; ++k) names.push_back("gfx\\love\\" + std::to_string(k) + ".jpg");
  for (const std::string& name : names) {
    const TImage image = Decoded(name);
    const int w = image.Width, h = image.Height;
    int peak = 0;
    for (int y = 0; y < h; y += 3) {
      for (int x = 0; x < w; x += 3) peak = std::max(peak, Brightness(image, x, y));
    }
    EXPECT_GT(peak, 600) << name;
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w / 2, 1}}) {
      EXPECT_LE(Brightness(image, x, y), 12) << name << " at " << x << "," << y;
    }
  }
}

TEST(ShowPictures, LoadingScreenLeavesADarkSlotForTheBar) {
  const TImage image = Decoded("gfx\\progress.jpg");
  ASSERT_EQ(image.Width, 800);
  ASSERT_EQ(image.Height, 600);
  for (int y = 285; y <= 292; ++y) {
    for (int x = 220; x < 586; x += 5) EXPECT_LE(Brightness(image, x, y), 45) << x << "," << y;
  }
  EXPECT_GT(Brightness(image, 400, 380), 300);  // the name glows above the bar
}

TEST(ShowPictures, FrameOverlayIsRunLengthRgbaWithAClearMiddle) {
  const std::vector<uint8_t> bytes = MakeFrameOverlay(kDesignedDetail);
  ASSERT_GE(bytes.size(), 18u);
  EXPECT_EQ(bytes[2], 10);  // run-length true colour
  EXPECT_EQ(bytes[16], 32);
  EXPECT_LT(bytes.size(), 512u * 512u * 4u);
  const TImage image = Decoded("gfx\\overlay.tga");
  ASSERT_EQ(image.BytesPerPixel, 4);
  EXPECT_EQ(Channel(image, 256, 256, 3), 0);
  EXPECT_EQ(Brightness(image, 256, 256), 0);
  EXPECT_GT(Channel(image, 10, 256, 3), 200);  // the border line
  // Alpha falls off from the edge towards the middle.
  EXPECT_GT(Channel(image, 256, 40, 3), Channel(image, 256, 60, 3));
  EXPECT_GT(Channel(image, 256, 60, 3), Channel(image, 256, 150, 3));
}

TEST(ShowPictures, ScrollingPicturesTileAcross) {
  for (const char* name : {"gfx\\backscroll.jpg", "gfx\\flush.jpg", "gfx\\heart.jpg"}) {
    const TImage image = Decoded(name);
    long seam = 0, inside = 0;
    for (int y = 0; y < image.Height; ++y) {
      seam += std::abs(Brightness(image, image.Width - 1, y) - Brightness(image, 0, y));
      inside += std::abs(Brightness(image, image.Width / 2 - 1, y) - Brightness(image, image.Width / 2, y));
    }
    EXPECT_LT(seam, inside * 3 + 8 * image.Height) << name;
  }
  EXPECT_GT(Decoded("gfx\\backscroll.jpg").Width, 2 * Decoded("gfx\\backscroll.jpg").Height);
}

TEST(ShowPictures, HeartSurfaceIsRed) {
  const TImage image = Decoded("gfx\\heart.jpg");
  long r = 0, g = 0, b = 0;
  for (size_t k = 0; k < image.Pixels.size(); k += 4) {
    r += image.Pixels[k];
    g += image.Pixels[k + 1];
    b += image.Pixels[k + 2];
  }
  EXPECT_GT(r, 3 * g);
  EXPECT_GT(r, 3 * b);
}

}  // namespace
