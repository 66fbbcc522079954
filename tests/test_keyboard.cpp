// The keyboard: the system-key table, the result texts, and the polled state
// through a scripted key source.

#include <gtest/gtest.h>

#include <SDL_scancode.h>

#include <cstring>
#include <map>
#include <string>

#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "runtime/DirectInput8.h"
#include "runtime/OINKeyboard.h"

namespace {

TEST(KeyTableTest, MapsThePcKeyboardToDirectInputCodes) {
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_ESCAPE), 1);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_SPACE), 57);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_RETURN), DIK_RETURN);
  const char* qwerty[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  const uint8_t rowStart[] = {DIK_Q, DIK_A, DIK_Z};
  for (int row = 0; row < 3; ++row) {
    for (int i = 0; qwerty[row][i] != '\0'; ++i) {
      const int key = SDL_SCANCODE_A + (qwerty[row][i] - 'A');
      EXPECT_EQ(ScanCodeOfSystemKey(key), rowStart[row] + i) << qwerty[row][i];
    }
  }
  for (int d = 0; d < 9; ++d) EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_1 + d), DIK_1 + d);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_0), DIK_0);
  for (int f = 0; f < 10; ++f) EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_F1 + f), DIK_F1 + f);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_F11), DIK_F11);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_F12), DIK_F12);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_UP), DIK_UP);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_DOWN), DIK_DOWN);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_LEFT), DIK_LEFT);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_RIGHT), DIK_RIGHT);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(ScanCodeOfSystemKey(SDL_SCANCODE_F24), 0);
}

TEST(KeyTableTest, NoTwoKeysShareACode) {
  std::map<int, int> owner;
  int mapped = 0;
  for (int key = 0; key < SDL_NUM_SCANCODES; ++key) {
    const int code = ScanCodeOfSystemKey(key);
    if (code == 0) continue;
    ++mapped;
    EXPECT_TRUE(owner.emplace(code, key).second)
        << "scan code " << code << " for keys " << owner[code] << " and " << key;
  }
  EXPECT_GE(mapped, 100);
}

TEST(KeyTableTest, TranslateMarksPressedKeysAndClearsTheRest) {
  uint8_t pressed[SDL_NUM_SCANCODES] = {};
  pressed[SDL_SCANCODE_ESCAPE] = 1;
  pressed[SDL_SCANCODE_KP_ENTER] = 1;
  uint8_t state[256];
  std::memset(state, 0xFF, sizeof state);
  TranslateSystemKeys(pressed, SDL_NUM_SCANCODES, state);
  for (int k = 0; k < 256; ++k) {
    const uint8_t expected = (k == DIK_ESCAPE || k == 0x9C) ? kKeyPressed : 0;
    EXPECT_EQ(state[k], expected) << k;
  }
  // A short pressed array (an older system table) is read only as far as it goes.
  TranslateSystemKeys(pressed, SDL_SCANCODE_ESCAPE, state);
  EXPECT_EQ(state[DIK_ESCAPE], 0);
}

TEST(DIErrorStringTest, KeepsTheResultTextsExactly) {
  EXPECT_EQ(DIErrorString(0), "The operation completed successfully.");
  EXPECT_EQ(DIErrorString(static_cast<int32_t>(0x80070005u)),
            "\"The device already has an event notification associated with it.\" or \"The "
            "specified property cannot be changed.\" or \"Another application has a higher "
            "priority level, preventing this call from succeeding. \"");
  EXPECT_EQ(DIErrorString(1).front(), '"');
  EXPECT_EQ(DIErrorString(1).back(), '"');
  EXPECT_EQ(DIErrorString(static_cast<int32_t>(0x800405CCu)),
            "No more memory for effects of this kind (not documented)");
  EXPECT_EQ(DIErrorString(static_cast<int32_t>(0x800704DFu)), "This object is already initialized");
  EXPECT_EQ(DIErrorString(DIERR_NOTINITIALIZED), "This object has not been initialized.");
  EXPECT_EQ(DIErrorString(static_cast<int32_t>(0x80070057u)).substr(0, 33),
            "An invalid parameter was passed t");
  EXPECT_EQ(DIErrorString(5), "");
  EXPECT_EQ(DIErrorString(static_cast<int32_t>(0x80040200u)), "");
}

class KeyboardTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseKeyboard();
    SetKeySource({});
    SetMessageSink({});
  }
};

TEST_F(KeyboardTest, ScriptedSourceFillsTheStateOncePerPoll) {
  uint8_t script[256] = {};
  int polls = 0;
  SetKeySource([&](uint8_t (&state)[256]) {
    ++polls;
    std::memcpy(state, script, sizeof script);
  });
  EXPECT_FALSE(KeyDown(DIK_ESCAPE));  // no keyboard yet
  OpenKeyboard(TGLWindow{}, false);
  EXPECT_EQ(KeyboardDevice->LastResult, DI_OK);
  for (int k = 0; k < 256; ++k) EXPECT_FALSE(KeyDown(static_cast<uint8_t>(k)));

  script[DIK_SPACE] = 0x80;
  EXPECT_FALSE(KeyDown(DIK_SPACE));  // not polled yet
  EXPECT_EQ(PollKeyboard(), DI_OK);
  EXPECT_TRUE(KeyDown(DIK_SPACE));
  EXPECT_EQ(polls, 1);

  // Only the high bit counts.
  script[DIK_SPACE] = 0x7F;
  script[DIK_ESCAPE] = 0xFF;
  PollKeyboard();
  EXPECT_FALSE(KeyDown(DIK_SPACE));
  EXPECT_TRUE(KeyDown(DIK_ESCAPE));

  CloseKeyboard();
  EXPECT_FALSE(KeyDown(DIK_ESCAPE));
  EXPECT_EQ(PollKeyboard(), DIERR_NOTINITIALIZED);
  EXPECT_EQ(polls, 2);
}

TEST_F(KeyboardTest, UnreadableKeyboardSaysSoAndReportsNoKeys) {
  if (SystemKeyboardAvailable()) GTEST_SKIP() << "video already started in this process";
  std::string caption, text;
  SetMessageSink([&](const std::string& c, const std::string& t) {
    caption = c;
    text = t;
  });
  OpenKeyboard(TGLWindow{}, false);
  EXPECT_EQ(KeyboardDevice->LastResult, DIERR_NOTINITIALIZED);
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(text, "This object has not been initialized.");
  EXPECT_EQ(PollKeyboard(), DIERR_NOTINITIALIZED);
  EXPECT_FALSE(KeyDown(DIK_ESCAPE));
}

}  // namespace
