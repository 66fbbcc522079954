// The system keyboard on SDL.

#include "platform/keyboard.h"

#include <SDL.h>

bool SystemKeyboardAvailable() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

const uint8_t* SystemKeyStates(int& count) { return SDL_GetKeyboardState(&count); }
