// The loading screen's frames: the progress picture fading in and the
// loading bar. Each call draws one frame's worth without presenting it.
#pragma once

#include <cstdint>

// The progress picture over the whole screen with opacity elapsed / 2
// (seconds); the screen is not cleared, so repeated frames fade it in.
void DrawProgressFade(int32_t texture, float elapsed);
// The white bar at `progress` (0..1): from x 220 to 220 + 366 * progress,
// y 285..292. Leaves lighting and depth test off.
void DrawLoadingBarFrame(float progress);
