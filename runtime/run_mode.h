// How the driver is asked to run: on a display or headless, and on which clock.
// The command line (app/run_options) fills it in with the rest of its options.
#pragma once

#include <string>

#include "core/frame_rate.h"
#include "core/frame_scale.h"

struct RunMode {
  // --windowed: a resizable 800 x 600 window; --desktop: full screen at the
  // desktop's mode. Both show the frame scaled to fit instead of the
  // full-screen mode switch, and swap with vsync unless noVsync.
  bool windowed = false;
  bool desktop = false;
  bool noVsync = false;
  // The scale the frame is drawn at (--scale). Native and Auto are chosen
  // by a scaled window for its drawable; every other run gets a Fixed one.
  FrameScaleRequest scale;
  // The frame keeps the size it opened with, whatever the window does (a
  // capture: its encoder reads frames of one size).
  bool keepFrameSize = false;
  // No window on a display, no dialogs, silent audio, fixed-step clock.
  bool headless = false;
  // Steps per second of the fixed-step clock of headless runs.
  FrameRate fps;
  // After section 7 the show starts again from the music's start (--loop).
  bool loop = false;
  // The gentle show: pulses that would flash more than three times a second
  // are tamed (--gentle).
  bool gentle = false;
  // Not an option: the environment variable VELORIA_HOLD_FILE, for tests that
  // look at the screen. A run ended by its frame observers (--shots) creates
  // this file once its last frame is presented and keeps presenting that
  // frame, handling window messages, until the file is removed.
  std::string holdFile;
};
