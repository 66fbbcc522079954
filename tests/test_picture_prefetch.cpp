// The picture prefetch: a reader that takes a prefetched picture makes the
// texture and says the messages it makes without one, for good, missing and
// refused files of every kind; each picture is handed over once.

#include <GL/gl.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"
#include "tests/message_capture.h"
#include "tests/picture_bytes.h"
#include "textures/ORV2Textures.h"
#include "textures/picture_prefetch.h"
#include "tools/generate/picture_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;

class PicturePrefetchTest : public GLTest {
 protected:
  void TearDown() override {
    DropPrefetchedPictures();
    GLTest::TearDown();
  }
};

constexpr int32_t kSide = 8;

// An 8 x 8 RGB picture with a different value in every byte.
TImage Gradient() {
  TImage image{kSide, kSide, 3, {}};
  for (int i = 0; i < kSide * kSide; ++i) {
    image.Pixels.insert(image.Pixels.end(), {uint8_t(i * 4), uint8_t(255 - i * 3), uint8_t(i * 7)});
  }
  return image;
}

Bytes GradientTga() {
  Bytes body;
  for (int i = 0; i < kSide * kSide; ++i) body.insert(body.end(), {uint8_t(i * 7), uint8_t(255 - i * 3), uint8_t(i * 4)});
  return MakeTga(2, kSide, kSide, 24, body);
}

struct Outcome {
  int32_t texture = -1;
  std::vector<ShownMessage> messages;
  Bytes pixels;  // level 0 of the texture, when there is one
};

Outcome Load(const std::string& name, bool standAloneTga) {
  Outcome outcome;
  MessageCapture capture;
  if (standAloneTga) {
    LoadTGAFile(name, outcome.texture);
  } else {
    LoadImageTexture(name, outcome.texture);
  }
  outcome.messages = capture.messages;
  if (outcome.texture != -1) outcome.pixels = ReadTextureLevel0(outcome.texture, kSide);
  return outcome;
}

TEST_F(PicturePrefetchTest, ReadersGiveWhatTheyGiveWithoutAPrefetch) {
  const Bytes jpeg = EncodeJPEG(Gradient(), 90);
  BmpSpec bmp{kSide, kSide, 24, 0, 0, Gradient().Pixels};
  const std::string missing = (std::filesystem::temp_directory_path() / "veloria_no_such_picture").string();
  struct Case {
    const char* what;
    std::string name;
    bool standAloneTga;
  };
  const Case cases[] = {
      {"a JPEG", WriteTempFile("prefetch.jpg", jpeg), false},
      {"a BMP", WriteTempFile("prefetch.bmp", MakeBmp(bmp)), false},
      {"a TGA", WriteTempFile("prefetch.tga", GradientTga()), false},
      {"a TGA for the stand-alone reader", WriteTempFile("prefetch_alone.tga", GradientTga()), true},
      {"a JPEG cut short", WriteTempFile("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + 200)), false},
      {"a BMP of 8 bits", WriteTempFile("eight.bmp", MakeBmp(BmpSpec{kSide, kSide, 8, 0, 0, Gradient().Pixels})), false},
      {"a colour-mapped TGA", WriteTempFile("mapped.tga", MakeTga(2, kSide, kSide, 24, {}, 1)), false},
      {"a missing JPEG", missing + ".jpg", false},
      {"a missing BMP", missing + ".bmp", false},
      {"a missing TGA", missing + ".tga", true},
  };
  std::vector<Outcome> plain;
  std::vector<std::string> names;
  for (const Case& c : cases) {
    plain.push_back(Load(c.name, c.standAloneTga));
    names.push_back(c.name);
  }
  PrefetchPictures(names);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    const Outcome prefetched = Load(cases[i].name, cases[i].standAloneTga);
    EXPECT_EQ(prefetched.texture == -1, plain[i].texture == -1);
    EXPECT_EQ(prefetched.messages, plain[i].messages);
    EXPECT_EQ(prefetched.pixels, plain[i].pixels);
    EXPECT_FALSE(TakePrefetchedPicture(cases[i].name));  // the reader took it
  }
  // The good files loaded, the others said why they did not.
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(plain[i].texture != -1, i < 4) << cases[i].what;
}

// A picture is handed over once: a later load (a reload) reads the file as
// it is then. Names outside the list get nothing.
TEST_F(PicturePrefetchTest, EachPictureIsTakenOnce) {
  const std::string name = WriteTempFile("once.tga", GradientTga());
  PrefetchPictures({name});
  EXPECT_FALSE(TakePrefetchedPicture(name + ".other"));
  const std::optional<TDecodeResult> first = TakePrefetchedPicture(name);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Image.Width, kSide);
  EXPECT_FALSE(TakePrefetchedPicture(name));

  WriteTempFile("once.tga", MakeTga(2, 1, 1, 24, {1, 2, 3}));
  int32_t reloaded = -1;
  LoadImageTexture(name, reloaded);
  ASSERT_NE(reloaded, -1);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(reloaded));
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 1);
}

// A file changed after the worker read it is not handed over: its reader
// reads it as it is now.
TEST_F(PicturePrefetchTest, AFileChangedAfterItsPrefetchIsNotHandedOver) {
  const std::string name = WriteTempFile("changed.tga", GradientTga());
  PrefetchPictures({name, name + ".none"});
  TakePrefetchedPicture(name + ".none");  // waits until the worker is past `name`
  WriteTempFile("changed.tga", MakeTga(2, 1, 1, 24, {1, 2, 3}));
  EXPECT_FALSE(TakePrefetchedPicture(name));
}

// A worker that cannot be started (the failure injected as std::thread
// throws it under process limits) is no error: the reader does the work.
TEST_F(PicturePrefetchTest, WithoutAWorkerTheReaderReadsTheFile) {
  const std::string name = WriteTempFile("unhelped.tga", GradientTga());
  PrefetchPictures({name}, [](auto) -> std::thread { throw std::system_error(EAGAIN, std::generic_category()); });
  EXPECT_FALSE(TakePrefetchedPicture(name));
  EXPECT_NE(Load(name, false).texture, -1);
}

// Dropped while the worker is busy: it stops, and nothing is handed over.
TEST_F(PicturePrefetchTest, DropEndsABusyPrefetch) {
  const std::string name = WriteTempFile("busy.jpg", EncodeJPEG(Gradient(), 90));
  PrefetchPictures(std::vector<std::string>(2000, name));
  DropPrefetchedPictures();
  EXPECT_FALSE(TakePrefetchedPicture(name));
}

}  // namespace
