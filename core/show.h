// The show's fixed facts, each written once: the frame every scene draws, the
// sections of its timeline, and the sample rate of its music.
#pragma once

#include <cstdint>

// The show's frame in pixels; screen space runs 0..kShowWidth, 0..kShowHeight.
constexpr int32_t kShowWidth = 800;
constexpr int32_t kShowHeight = 600;

// Sections 0..7 are drawn; the sync track reaching section 8 ends the show.
constexpr int32_t kShowSections = 8;

// Frames per second of the music file and of the mixer that plays it.
constexpr int kMusicSampleRate = 44100;
