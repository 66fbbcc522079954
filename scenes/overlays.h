// The scrolling overlays of section 3: a picture band scrolling in three
// parallax copies that flash on the beat, the landscape in the middle, and a
// transparent frame picture in front that smears on every beat.
#pragma once

// Load step (after the landscape's): the band "gfx\backscroll.jpg" (repeating)
// and the frame "gfx\overlay.tga" (clamped). Missing pictures are the registry's.
void InitOverlays();
// Draws section 3 for DemoTime and channel 1 of SyncTrack: back layer, then
// DrawLandscape, then the front layer. Needs InitOverlays, InitLandscape and
// SyncTrack. Leaves what the front layer's last copy leaves: back-face culling
// on (from the landscape), texturing, colour material and additive blending
// (source alpha, one) on with the frame bound, colour (1, 1, 1, 0.2),
// lighting and depth test on, the perspective projection in place.
void DrawOverlays();

// The band's scroll position in texture widths at time t (seconds) with the
// channel-1 surge e0 (0..1): (e0 + t) / 3. Copy i (1..3) starts at u = P / i.
float BandScroll(float t, float e0);
