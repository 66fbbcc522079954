// The picture readers on a real GL context: the texture they create, its wrap
// and filter modes, row order, and every message with its exact text and caption.

#include <GL/gl.h>

#include <optional>

#include "tests/gl_test_context.h"
#include "tests/message_capture.h"
#include "tests/picture_bytes.h"
#include "textures/ORV2Textures.h"
#include "tools/generate/picture_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;
using LoaderTest = GLTest;

GLint TexParameter(GLenum name) {
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
  return value;
}

GLint LevelParameter(GLenum name) {
  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
  return value;
}

// Level 0 of `texture` as RGBA rows, bottom row first.
Bytes ReadTexture(int32_t texture, int width, int height) {
  Bytes pixels(static_cast<size_t>(width) * height * 4);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return pixels;
}

TEST_F(LoaderTest, JpegBecomesMipmappedRgbaWithItsTopRowAtTheTop) {
  TImage image{8, 8, 3, {}};
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) image.Pixels.insert(image.Pixels.end(), {uint8_t(y < 4 ? 0 : 250), 0, 0});
  }
  const std::string name = WriteTempFile("top_red.JPG", EncodeJPEG(image, 95));
  int32_t texture = -1;
  MessageCapture capture;
  LoadImageTexture(name, texture);
  ASSERT_NE(texture, -1);
  EXPECT_TRUE(capture.messages.empty());
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(LevelParameter(GL_TEXTURE_WIDTH), 8);
  EXPECT_GT(LevelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
  const Bytes pixels = ReadTexture(texture, 8, 8);
  EXPECT_LT(pixels[(1 * 8 + 3) * 4], 40);   // bottom rows dark
  EXPECT_GT(pixels[(6 * 8 + 3) * 4], 200);  // top rows (t near 1) red
}

TEST_F(LoaderTest, RgbRowsOfOddByteLengthAreNotSheared) {
  // 2 x 2 BMP: rows of 6 bytes. Read with the GL's default alignment of 4 the
  // second row would start two bytes late.
  BmpSpec spec{2, 2, 24, 0, 0, {10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42}};
  int32_t texture = -1;
  ASSERT_TRUE(LoadBMPTexture(WriteTempFile("odd.bmp", MakeBmp(spec)), texture));
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  EXPECT_EQ(LevelParameter(GL_TEXTURE_ALPHA_SIZE), 0);  // created as RGB
  ASSERT_EQ(LevelParameter(GL_TEXTURE_WIDTH), 2);
  const Bytes pixels = ReadTexture(texture, 2, 2);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(pixels[k * 4], (k + 1) * 10) << k;
    EXPECT_EQ(pixels[k * 4 + 2], (k + 1) * 10 + 2) << k;
  }
}

TEST_F(LoaderTest, ClampFlagAppliesToTexturesCreatedWhileSet) {
  const Bytes tga = MakeTga(10, 2, 2, 32, {0x83, 1, 2, 3, 4});
  const std::string name = WriteTempFile("frame.tga", tga);
  int32_t before = -1, clamped = -1, after = -1;
  ASSERT_TRUE(LoadTGATexture(name, before));
  SetTextureClamp(true);
  ASSERT_TRUE(LoadTGAFile(name, clamped));
  SetTextureClamp(false);
  ASSERT_TRUE(LoadTGAFile(name, after));

  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(clamped));
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), GL_CLAMP);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_CLAMP);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);  // the stand-alone reader
  EXPECT_GT(LevelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(before));
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(after));
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
}

TEST_F(LoaderTest, DispatchByExtension) {
  const std::string jpeg = WriteTempFile("pic.jpg", EncodeJPEG(TImage{8, 8, 3, Bytes(192, 128)}, 90));
  const std::string asJpeg = WriteTempFile("pic.jpeg", EncodeJPEG(TImage{8, 8, 3, Bytes(192, 128)}, 90));
  MessageCapture capture;
  int32_t texture = -7;
  LoadImageTexture(asJpeg, texture);
  EXPECT_EQ(texture, -7);
  LoadImageTexture("gfx\\unknown.png", texture);
  EXPECT_EQ(texture, -7);
  EXPECT_TRUE(capture.messages.empty());
  LoadImageTexture(jpeg, texture);
  EXPECT_GT(texture, 0);
}

// Each case: the file's bytes (or none: the file is missing), the reader, and
// the message it must show. The output argument must keep its value.
struct MessageCase {
  const char* fileName;
  std::optional<Bytes> bytes;
  bool (*load)(const std::string&, int32_t&);
  ShownMessage expected;  // NAME in the text stands for the name passed in
};

bool Bmp(const std::string& n, int32_t& t) { return LoadBMPTexture(n, t); }
bool Jpg(const std::string& n, int32_t& t) { return LoadJPGTexture(n, t); }
bool Tga(const std::string& n, int32_t& t) { return LoadTGATexture(n, t); }
bool TgaFile(const std::string& n, int32_t& t) { return LoadTGAFile(n, t); }

TEST_F(LoaderTest, EveryReaderMessageWithItsCaption) {
  BmpSpec bmp{2, 2, 24, 0, 0, Bytes(12, 1)};
  Bytes shortBmp = MakeBmp(bmp);
  shortBmp.pop_back();
  BmpSpec palette = bmp;
  palette.colorsUsed = 64;
  Bytes shortPalette = MakeBmp(palette);
  shortPalette.resize(70);
  BmpSpec eightBit = bmp;
  eightBit.bitCount = 8;
  const Bytes jpeg = EncodeJPEG(TImage{16, 16, 3, Bytes(768, 60)}, 90);

  const std::vector<MessageCase> cases = {
      {"missing.bmp", std::nullopt, Bmp, {"BMP Unit", "Error opening NAME"}},
      {"palette.bmp", shortPalette, Bmp, {"BMP Unit", "Error reading palette"}},
      {"short.bmp", shortBmp, Bmp, {"BMP Unit", "Error reading bitmap data"}},
      {"8bit.bmp", MakeBmp(eightBit), Bmp, {"BMP Unit", "Error reading bitmap data"}},
      {"missing.jpg", std::nullopt, Jpg, {"BMP Unit", "Couldn't load JPG - \"NAME\""}},
      {"half.jpg", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), Jpg,
       {"BMP Unit", "Couldn't load JPG - \"NAME\""}},
      {"missing.tga", std::nullopt, Tga, {"TGA Texture", "File not found  - NAME"}},
      {"missing2.tga", std::nullopt, TgaFile, {"TGA Texture", "File not found  - NAME"}},
      {"mapped.tga", MakeTga(1, 1, 1, 8, {0}, 1), Tga,
       {"TGA File Error", "Couldn't load \"NAME\". Only 24 and 32bit TGA supported."}},
      {"map2.tga", MakeTga(2, 1, 1, 24, {1, 2, 3}, 1), TgaFile,
       {"TGA File Error", "Couldn't load \"NAME\". Colormapped TGA files not supported."}},
      {"16bit.tga", MakeTga(2, 1, 1, 16, {1, 2}), Tga,
       {"TGA File Error", "Couldn't load \"NAME\". Only 24 and 32 bit TGA files supported."}},
      {"short.tga", MakeTga(2, 2, 2, 24, Bytes(11, 1)), Tga, {"TGA File Error", "Couldn't read file \"NAME\"."}},
      {"header.tga", Bytes(10, 0), TgaFile, {"TGA File Error", "Couldn't read file \"NAME\"."}},
      {"zero.tga", MakeTga(10, 0, 5, 32, {}), Tga, {"TGA File Error", "Couldn't read file \"NAME\"."}},
  };
  for (const MessageCase& c : cases) {
    const std::string name =
        c.bytes ? WriteTempFile(c.fileName, *c.bytes) : std::string("gfx\\nowhere\\") + c.fileName;
    ShownMessage expected = c.expected;
    if (const size_t at = expected.text.find("NAME"); at != std::string::npos) expected.text.replace(at, 4, name);
    MessageCapture capture;
    int32_t texture = 1234;
    EXPECT_FALSE(c.load(name, texture)) << c.fileName;
    EXPECT_EQ(texture, 1234) << c.fileName;
    ASSERT_EQ(capture.messages.size(), 1u) << c.fileName;
    EXPECT_EQ(capture.messages[0], expected) << c.fileName;
  }
}

TEST_F(LoaderTest, ResourceReadsReportTheMissingResource) {
  MessageCapture capture;
  int32_t texture = 5;
  EXPECT_FALSE(LoadBMPTexture("logo.bmp", texture, true));
  EXPECT_FALSE(LoadJPGTexture("logo.jpg", texture, true));
  EXPECT_FALSE(LoadTGATexture("logo.tga", texture, true));
  EXPECT_EQ(texture, 5);
  const std::vector<ShownMessage> expected = {
      {"BMP Texture", "File not found in resource - logo.bmp"},
      {"JPG Texture", "File not found in resource - logo.jpg"},
      {"TGA Texture", "File not found in resource - logo.tga"}};
  EXPECT_EQ(capture.messages, expected);
}

}  // namespace
