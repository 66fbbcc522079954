// OINKeyboard: the keyboard as a 256-byte key state indexed by DirectInput
// scan codes (runtime/DirectInput8.h), read once per frame by PollKeyboard.
//
// Call order: OpenKeyboard (after the window exists) -> PollKeyboard per
// frame -> KeyDown any time -> CloseKeyboard (after KillGLWindow).
// Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "runtime/OrvikGL2.h"

class TOINKeyboardDevice {
 public:
  // Result of opening the keyboard: DI_OK, or why it cannot be read.
  int32_t LastResult = 0;
  // Last polled state: entry k is scan code k, pressed when bit 0x80 is set.
  uint8_t KeyState[256] = {};
};

// The one keyboard; null before OpenKeyboard and after CloseKeyboard.
extern std::unique_ptr<TOINKeyboardDevice> KeyboardDevice;

// Where PollKeyboard takes the key state from. It fills all 256 entries.
using KeySource = std::function<void(uint8_t (&KeyState)[256])>;
// Replaces the system keyboard with `source` (scripted keys for tests and
// headless runs); an empty source gives the system keyboard back.
void SetKeySource(KeySource source);

// Creates KeyboardDevice. Keys are read whether or not the window has the
// focus in the source's sense; `Exclusive` is accepted for the call's shape.
// When the keyboard cannot be read, the text of the result code is shown in
// a message (caption "Error"), and every poll then reports no key down.
void OpenKeyboard(TGLWindow Window, bool Exclusive);
// Reads the key state. DI_OK, or DIERR_NOTINITIALIZED when the keyboard is
// not open or cannot be read (the state keeps what it held).
int32_t PollKeyboard();
// True when the key's entry has its high bit set; false when no keyboard is open.
bool KeyDown(uint8_t ScanCode);
// Frees KeyboardDevice. Safe when not open.
void CloseKeyboard();
