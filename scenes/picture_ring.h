// The picture ring: eight small pictures, one at a time, travelling as a
// 256 x 256 additive sprite around an ellipse on top of sections 1 to 7.
#pragma once

#include <cstdint>

// Load step: RingPictures[k] := LoadTexture("gfx\\love\\k.jpg") for k = 1..8.
void LoadRingPictures();
// Draws RingPictures[Index] (Index 1..8; others draw nothing) additively with
// its lower-left corner at screen position (X, Y) and opacity Alpha, inside
// its own overlay bracket.
void DrawRingPicture(int32_t Index, int32_t X, int32_t Y, float Alpha);

// Where the sprite's corner is at time `t` (seconds, used as radians): on the
// ellipse X = 300 + 272 sin t, Y = 200 + 172 cos t, rounded to the nearest
// integer (ties to even): x 28..572, y 28..372. Near the right and top ends
// of the ellipse up to 28 columns or rows of the sprite pass the screen's edge.
struct TRingPosition {
  int32_t X;
  int32_t Y;
};
TRingPosition RingPosition(float t);
// The timeline's call: DrawRingPicture at RingPosition(t).
void DrawTravellingPicture(int32_t Index, float t, float Alpha);
