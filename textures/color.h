// The colour record every colour-taking drawing routine gets by reference.
#pragma once

// Four 32-bit channels, 0..1 (values outside are left to the GL's clamping).
struct TColorRGBA {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 0.0f;
};

// Fills `Color` with the four channels.
inline void SetRGBA(TColorRGBA& Color, float r, float g, float b, float a) { Color = {r, g, b, a}; }
