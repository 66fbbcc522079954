// DirectInput8: the keyboard's vocabulary. DirectInput key scan codes (the
// index into the 256-byte key state), the result codes the keyboard reports
// with their texts, and the translation from the system's key numbering.
#pragma once

#include <cstdint>
#include <string>

// Key scan codes (DIK_*) the show and its tests name; the full set is in the
// translation table.
constexpr uint8_t DIK_ESCAPE = 0x01;
constexpr uint8_t DIK_1 = 0x02;
constexpr uint8_t DIK_0 = 0x0B;
constexpr uint8_t DIK_Q = 0x10;
constexpr uint8_t DIK_RETURN = 0x1C;
constexpr uint8_t DIK_A = 0x1E;
constexpr uint8_t DIK_Z = 0x2C;
constexpr uint8_t DIK_SPACE = 0x39;
constexpr uint8_t DIK_F1 = 0x3B;
constexpr uint8_t DIK_F10 = 0x44;
constexpr uint8_t DIK_F11 = 0x57;
constexpr uint8_t DIK_F12 = 0x58;
constexpr uint8_t DIK_UP = 0xC8;
constexpr uint8_t DIK_LEFT = 0xCB;
constexpr uint8_t DIK_RIGHT = 0xCD;
constexpr uint8_t DIK_DOWN = 0xD0;

// A key-state entry with this bit set is a pressed key.
constexpr uint8_t kKeyPressed = 0x80;

// Result codes.
constexpr int32_t DI_OK = 0;
constexpr int32_t DIERR_NOTINITIALIZED = static_cast<int32_t>(0x80070015u);

// The text for a DirectInput result code; empty for a code not in the list.
std::string DIErrorString(int32_t Code);

// The DirectInput scan code of a system key (an SDL scancode, which is the
// key's USB HID usage number); 0 for keys DirectInput has no code for.
uint8_t ScanCodeOfSystemKey(int systemKey);
// Fills `keyState` from the pressed flags of `count` system keys: the entry of
// each mapped key is kKeyPressed when it is down, 0 otherwise.
void TranslateSystemKeys(const uint8_t* pressed, int count, uint8_t (&keyState)[256]);
