// The system keyboard on SDL: which keys are down right now.
#pragma once

#include <cstdint>

// True when the system keyboard can be read (SDL's video subsystem is up).
bool SystemKeyboardAvailable();
// The pressed flag (non-zero = down) of every key, indexed by SDL scancode;
// `count` receives the number of entries. Current as of the last message
// taken from the queue.
const uint8_t* SystemKeyStates(int& count);
