// The rate of the fixed-step clock of headless runs and of the videos they
// make: a fraction of whole numbers, so the rates displays run at (60000/1001,
// the 59.94 of video) step exactly, frame n at n * denominator / numerator
// seconds, with nothing carried from frame to frame that could drift.
//
// Pure arithmetic and text, no GL, no SDL.
#pragma once

#include <cstdint>
#include <string>

// The slowest and the fastest rate a run may ask for, in frames per second.
constexpr double kSlowestFrameRate = 1.0;
constexpr double kFastestFrameRate = 1000.0;

struct FrameRate {
  uint32_t numerator = 60;   // frames ...
  uint32_t denominator = 1;  // ... per this many seconds; the fraction in lowest terms
  bool operator==(const FrameRate&) const = default;
};

// Frames per second as a number (59.94005994... for 60000/1001).
double FramesPerSecond(FrameRate rate);

// Seconds from frame 0 to frame `frame`: frame * denominator / numerator.
double FrameSeconds(FrameRate rate, int64_t frame);

// The rate `text` names, kSlowestFrameRate .. kFastestFrameRate frames per
// second: a whole number ("50"), a fraction ("60000/1001"), or a decimal. A
// decimal that is N * 1000 / 1001 for a whole N, written to its digits
// ("59.94", "29.97", "23.976"), is that rate, as video names it; any other
// decimal is itself ("12.5" is 25/2). False for anything else.
bool ParseFrameRate(const std::string& text, FrameRate& rate);

// "60" or "60000/1001": the rate as ffmpeg and the command line take it.
std::string FrameRateFraction(FrameRate rate);
// "60", "59.94" or "23.976": the rate for people, to at most three decimals.
std::string FrameRateText(FrameRate rate);
