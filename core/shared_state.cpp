// The program-wide values shared by the driver and the scenes.

#include "core/shared_state.h"

float DemoTime = 0.0f;
float FrameDelta = 0.0f;
TSync* SyncTrack = nullptr;
int32_t BeatIndex = 1;
bool LateFlag3 = true;
bool LateFlag4 = false;

int32_t MapTexture = -1;
int32_t GlowTexture = -1;
int32_t FeedbackTexture = -1;
int32_t RingPictures[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};

namespace {
uint32_t randomSeed = 0;
}

double Random() {
  randomSeed = randomSeed * 134775813u + 1u;  // wraps modulo 2^32
  return randomSeed / 4294967296.0;
}
