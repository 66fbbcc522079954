// The texture registry: each picture decoded once, failed loads retried with
// their message, exact name matching, last entry wins.

#include <GL/gl.h>

#include <filesystem>

#include "tests/gl_test_context.h"
#include "tests/message_capture.h"
#include "tests/picture_bytes.h"
#include "textures/ORV2Materials.h"
#include "textures/ORV2Textures.h"
#include "tools/generate/picture_encode.h"

namespace {

using RegistryTest = GLTest;

TEST_F(RegistryTest, APictureIsDecodedOnceAndSharedByName) {
  const std::string name =
      WriteTempFile("once.jpg", EncodeJPEG(TImage{8, 8, 3, std::vector<uint8_t>(192, 77)}, 90));
  const int32_t entries = RegisteredTextureCount();
  const int32_t first = LoadTexture(name);
  ASSERT_NE(first, NoTexture);
  EXPECT_TRUE(glIsTexture(static_cast<GLuint>(first)));
  // With the file gone, a second decode would fail: the registry must answer.
  std::filesystem::remove(name);
  MessageCapture capture;
  EXPECT_EQ(LoadTexture(name), first);
  EXPECT_TRUE(capture.messages.empty());
  EXPECT_EQ(RegisteredTextureCount(), entries + 1);
  EXPECT_EQ(FindTexture(name), first);
}

TEST_F(RegistryTest, AFailedLoadIsRetriedWithItsMessageEachTime) {
  const std::string name = "gfx\\registry_missing.jpg";
  const int32_t entries = RegisteredTextureCount();
  MessageCapture capture;
  EXPECT_EQ(LoadTexture(name), NoTexture);
  EXPECT_EQ(LoadTexture(name), NoTexture);
  EXPECT_EQ(capture.messages.size(), 2u);
  EXPECT_EQ(RegisteredTextureCount(), entries + 2);
  EXPECT_EQ(FindTexture(name), NoTexture);
}

TEST_F(RegistryTest, StandAloneTgaReaderIsLoadedOnceToo) {
  const std::string name = WriteTempFile("once.tga", MakeTga(2, 1, 1, 32, {1, 2, 3, 4}));
  const int32_t first = LoadTGAFileOnce(name);
  ASSERT_NE(first, NoTexture);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(first));
  GLint minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
  std::filesystem::remove(name);
  EXPECT_EQ(LoadTGAFileOnce(name), first);
}

TEST(Registry, NamesMatchExactlyAndTheLastEntryWins) {
  RegisterTexture("gfx\\Case.jpg", 41);
  EXPECT_EQ(FindTexture("gfx\\Case.jpg"), 41);
  EXPECT_EQ(FindTexture("gfx\\case.jpg"), NoTexture);
  EXPECT_EQ(FindTexture("gfx\\Case.jp"), NoTexture);
  RegisterTexture("gfx\\Case.jpg", 42);
  EXPECT_EQ(FindTexture("gfx\\Case.jpg"), 42);
  EXPECT_EQ(FindTexture("never registered"), NoTexture);
}

}  // namespace
