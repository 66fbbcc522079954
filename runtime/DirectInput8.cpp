// DirectInput result texts and the table from system keys to DirectInput scan
// codes. SDL_scancode.h is included only for the names of the system keys
// (SDL numbers keys by their USB HID usage); nothing here calls SDL.

#include "runtime/DirectInput8.h"

#include <SDL_scancode.h>

#include <cstring>

namespace {

struct ResultText {
  int32_t code;
  const char* text;
};

const ResultText kResultTexts[] = {
    {static_cast<int32_t>(0x00000000u),
     "The operation completed successfully."},
    {static_cast<int32_t>(0x00000001u),
     "\"The operation had no effect.\" or \"The device buffer overflowed and some input was lost.\" or \"The device exists but is not currently attached.\" or \"The change in device properties had no effect.\""},
    {static_cast<int32_t>(0x00000002u),
     "The device is a polled device. As a result, device buffering will not collect any data and event notifications will not be signaled until the IDirectInputDevice2::Poll method is called."},
    {static_cast<int32_t>(0x00000003u),
     "The parameters of the effect were successfully updated, but the effect could not be downloaded because the associated device was not acquired in exclusive mode."},
    {static_cast<int32_t>(0x00000004u),
     "The effect was stopped, the parameters were updated, and the effect was restarted."},
    {static_cast<int32_t>(0x00000008u),
     "The parameters of the effect were successfully updated, but some of them were beyond the capabilities of the device and were truncated to the nearest supported value."},
    {static_cast<int32_t>(0x0000000Bu),
     "The action map was applied to the device, but the settings could not be saved."},
    {static_cast<int32_t>(0x0000000Cu),
     "Equal to DI_EFFECTRESTARTED | DI_TRUNCATED."},
    {static_cast<int32_t>(0x80004001u),
     "The function called is not supported at this time. This value is equal to the E_NOTIMPL standard COM return value."},
    {static_cast<int32_t>(0x80004002u),
     "The specified interface is not supported by the object. This value is equal to the E_NOINTERFACE standard COM return value."},
    {static_cast<int32_t>(0x80004003u),
     "An invalid Pointer, usually NULL, was passed as a parameter."},
    {static_cast<int32_t>(0x80004005u),
     "An undetermined error occurred inside the DirectInput subsystem. This value is equal to the E_FAIL standard COM return value."},
    {static_cast<int32_t>(0x80040110u),
     "This object does not support aggregation."},
    {static_cast<int32_t>(0x80040154u),
     "The device or device instance is not registered with DirectInput. This value is equal to the REGDB_E_CLASSNOTREG standard COM return value."},
    {static_cast<int32_t>(0x80040201u),
     "The device is full."},
    {static_cast<int32_t>(0x80040202u),
     "Not all the requested information fitted into the buffer."},
    {static_cast<int32_t>(0x80040203u),
     "The effect is not downloaded."},
    {static_cast<int32_t>(0x80040204u),
     "The device cannot be reinitialized because there are still effects attached to it."},
    {static_cast<int32_t>(0x80040205u),
     "The operation cannot be performed unless the device is acquired in DISCL_EXCLUSIVE mode."},
    {static_cast<int32_t>(0x80040206u),
     "The effect could not be downloaded because essential information is missing. For example, no axes have been associated with the effect, or no type-specific information has been supplied."},
    {static_cast<int32_t>(0x80040207u),
     "The device is not buffered. Set the DIPROP_BUFFERSIZE property to enable buffering."},
    {static_cast<int32_t>(0x80040208u),
     "The parameters were updated in memory but were not downloaded to the device because the device does not support updating an effect while it is still playing."},
    {static_cast<int32_t>(0x80040209u),
     "The operation could not be completed because the device is not plugged in."},
    {static_cast<int32_t>(0x8004020Au),
     "More information was requested to be sent than can be sent to the device."},
    {static_cast<int32_t>(0x8004020Bu),
     "An error has occured either reading the vendor-supplied action-mapping file for the device or reading or writing the user configuration mapping file for the device."},
    {static_cast<int32_t>(0x800405CCu),
     "No more memory for effects of this kind (not documented)"},
    {static_cast<int32_t>(0x80070002u),
     "The requested object does not exist."},
    {static_cast<int32_t>(0x80070005u),
     "\"The device already has an event notification associated with it.\" or \"The specified property cannot be changed.\" or \"Another application has a higher priority level, preventing this call from succeeding. \""},
    {static_cast<int32_t>(0x80070006u),
     "The HWND parameter is not a valid top-level window that belongs to the process."},
    {static_cast<int32_t>(0x80070007u),
     "Data is not yet available."},
    {static_cast<int32_t>(0x8007000Cu),
     "The operation cannot be performed unless the device is acquired."},
    {static_cast<int32_t>(0x8007000Eu),
     "The DirectInput subsystem could not allocate sufficient memory to complete the call. This value is equal to the E_OUTOFMEMORY standard COM return value."},
    {static_cast<int32_t>(0x80070015u),
     "This object has not been initialized."},
    {static_cast<int32_t>(0x8007001Eu),
     "Access to the input device has been lost. It must be reacquired."},
    {static_cast<int32_t>(0x80070057u),
     "An invalid parameter was passed to the returning function, or the object was not in a state that permitted the function to be called. This value is equal to the E_INVALIDARG standard COM return value."},
    {static_cast<int32_t>(0x80070077u),
     "The object could not be created due to an incompatible driver version or mismatched or incomplete driver components."},
    {static_cast<int32_t>(0x800700AAu),
     "The operation cannot be performed while the device is acquired."},
    {static_cast<int32_t>(0x8007047Eu),
     "The application requires a newer version of DirectInput."},
    {static_cast<int32_t>(0x80070481u),
     "The application was written for an unsupported prerelease version of DirectInput."},
    {static_cast<int32_t>(0x800704DFu),
     "This object is already initialized"},
};

struct KeyCode {
  SDL_Scancode key;
  uint8_t scanCode;
};

// Every key of a PC keyboard that DirectInput numbers; the main block follows
// the order of the scan codes.
const KeyCode kKeyCodes[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05}, {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07},
    {SDL_SCANCODE_7, 0x08}, {SDL_SCANCODE_8, 0x09}, {SDL_SCANCODE_9, 0x0A},
    {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C}, {SDL_SCANCODE_EQUALS, 0x0D},
    {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13}, {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_I, 0x17}, {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20},
    {SDL_SCANCODE_F, 0x21}, {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25}, {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F}, {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_N, 0x31},
    {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33}, {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_LALT, 0x38}, {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C}, {SDL_SCANCODE_F3, 0x3D},
    {SDL_SCANCODE_F4, 0x3E}, {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40},
    {SDL_SCANCODE_F7, 0x41}, {SDL_SCANCODE_F8, 0x42}, {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47}, {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F}, {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
    {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_F13, 0x64}, {SDL_SCANCODE_F14, 0x65}, {SDL_SCANCODE_F15, 0x66},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70},  // kana
    {SDL_SCANCODE_INTERNATIONAL1, 0x73},  // ABNT C1 / ro
    {SDL_SCANCODE_INTERNATIONAL4, 0x79},  // convert
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B},  // no convert
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D},  // yen
    {SDL_SCANCODE_KP_EQUALS, 0x8D},
    {SDL_SCANCODE_AUDIOPREV, 0x90},
    {SDL_SCANCODE_AUDIONEXT, 0x99},
    {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_MUTE, 0xA0}, {SDL_SCANCODE_CALCULATOR, 0xA1},
    {SDL_SCANCODE_AUDIOPLAY, 0xA2}, {SDL_SCANCODE_AUDIOSTOP, 0xA4},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE}, {SDL_SCANCODE_VOLUMEUP, 0xB0},
    {SDL_SCANCODE_AC_HOME, 0xB2}, {SDL_SCANCODE_KP_COMMA, 0xB3},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_PRINTSCREEN, 0xB7},
    {SDL_SCANCODE_RALT, 0xB8}, {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF}, {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC}, {SDL_SCANCODE_APPLICATION, 0xDD},
    {SDL_SCANCODE_POWER, 0xDE}, {SDL_SCANCODE_SLEEP, 0xDF},
    {SDL_SCANCODE_AC_SEARCH, 0xE5}, {SDL_SCANCODE_AC_BOOKMARKS, 0xE6},
    {SDL_SCANCODE_AC_REFRESH, 0xE7}, {SDL_SCANCODE_AC_STOP, 0xE8},
    {SDL_SCANCODE_AC_FORWARD, 0xE9}, {SDL_SCANCODE_AC_BACK, 0xEA},
    {SDL_SCANCODE_COMPUTER, 0xEB}, {SDL_SCANCODE_MAIL, 0xEC},
    {SDL_SCANCODE_MEDIASELECT, 0xED},
};

}  // namespace

std::string DIErrorString(int32_t Code) {
  for (const ResultText& entry : kResultTexts) {
    if (entry.code == Code) return entry.text;
  }
  return std::string();
}

uint8_t ScanCodeOfSystemKey(int systemKey) {
  for (const KeyCode& entry : kKeyCodes) {
    if (entry.key == systemKey) return entry.scanCode;
  }
  return 0;
}

void TranslateSystemKeys(const uint8_t* pressed, int count, uint8_t (&keyState)[256]) {
  std::memset(keyState, 0, sizeof keyState);
  for (const KeyCode& entry : kKeyCodes) {
    if (entry.key < count && pressed[entry.key] != 0) keyState[entry.scanCode] = kKeyPressed;
  }
}
