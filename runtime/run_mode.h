// How the driver is asked to run: on a display or headless, and on which clock.
// The command line (app/run_options) fills it in with the rest of its options.
#pragma once

struct RunMode {
  // An 800 x 600 window instead of the full-screen mode switch.
  bool windowed = false;
  // No window on a display, no dialogs, silent audio, fixed-step clock.
  bool headless = false;
  // Steps per second of the fixed-step clock of headless runs.
  int fps = 60;
};
