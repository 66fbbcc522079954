// The polled keyboard on the system keyboard or a scripted key source.

#include "runtime/OINKeyboard.h"

#include <utility>

#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "runtime/DirectInput8.h"

std::unique_ptr<TOINKeyboardDevice> KeyboardDevice;

namespace {

KeySource keySource;

}  // namespace

void SetKeySource(KeySource source) { keySource = std::move(source); }

void OpenKeyboard(TGLWindow, bool) {
  KeyboardDevice = std::make_unique<TOINKeyboardDevice>();
  KeyboardDevice->LastResult =
      (keySource || SystemKeyboardAvailable()) ? DI_OK : DIERR_NOTINITIALIZED;
  if (KeyboardDevice->LastResult != DI_OK) {
    ShowErrorMessage("Error", DIErrorString(KeyboardDevice->LastResult));
  }
}

int32_t PollKeyboard() {
  if (!KeyboardDevice || KeyboardDevice->LastResult != DI_OK) return DIERR_NOTINITIALIZED;
  if (keySource) {
    keySource(KeyboardDevice->KeyState);
    return DI_OK;
  }
  if (!SystemKeyboardAvailable()) return DIERR_NOTINITIALIZED;
  int count = 0;
  const uint8_t* pressed = SystemKeyStates(count);
  TranslateSystemKeys(pressed, count, KeyboardDevice->KeyState);
  return DI_OK;
}

bool KeyDown(uint8_t ScanCode) {
  return KeyboardDevice && (KeyboardDevice->KeyState[ScanCode] & kKeyPressed) != 0;
}

void CloseKeyboard() { KeyboardDevice.reset(); }
