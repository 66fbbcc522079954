// The program-wide values shared by the driver and the scenes.

#include "core/shared_state.h"

float DemoTime;
float FrameDelta;
TSync* SyncTrack = nullptr;
int32_t BeatIndex;
bool LateFlag3;
bool LateFlag4;
bool GentleShow = false;

int32_t MapTexture = -1;
int32_t GlowTexture = -1;
int32_t FeedbackTexture = -1;
int32_t RingPictures[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};

void ResetRunValues() {
  DemoTime = 0.0f;
  FrameDelta = 0.0f;
  BeatIndex = 1;
  LateFlag3 = true;
  LateFlag4 = false;
}

namespace {
// The program starts with the values of a fresh run.
const bool runValuesSet = (ResetRunValues(), true);
}  // namespace
