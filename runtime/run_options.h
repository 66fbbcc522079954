// The command line. With no arguments the program plays the show full screen;
// options only add ways to run it. Parsing is pure: nothing here touches SDL.
#pragma once

#include <string>
#include <vector>

// One screenshot time of --shots.
struct ShotTime {
  // false: seconds from the start of the music (the show clock, DemoTime).
  // true: seconds on the loading screen, counted from the first frame after
  // the window opened; written on the command line as a negative number.
  bool loading = false;
  double seconds = 0.0;
  std::string label;  // the number as written; names the file shot-<label>.png
};

struct RunOptions {
  bool help = false;
  bool version = false;
  // --windowed: a resizable window; --desktop: full screen at the desktop's
  // mode. Both scale the 800x600 frame to fit, and swap with vsync unless noVsync.
  bool windowed = false;
  bool desktop = false;
  bool noVsync = false;
  bool hud = false;
  std::vector<ShotTime> shots;  // --shots, in the order given
  std::string outDir;           // --out
  std::string captureFile;      // --capture
  bool benchmark = false;
  std::string jsonFile;         // --json
  // Steps per second of the fixed-step clock (--fps); also the capture's frame rate.
  int fps = 60;
  // No window on a display, no dialogs, silent audio, fixed-step clock: set by
  // the parser for --shots, --capture and --benchmark.
  bool headless = false;
  // Not an option: the environment variable VELORIA_HOLD_FILE, for tests that
  // look at the screen. A run ended by its frame observers (--shots) creates
  // this file once its last frame is presented and keeps presenting that
  // frame, handling window messages, until the file is removed.
  std::string holdFile;
};

// Parses the arguments after the program name. False with `error` filled
// (one sentence naming the option) on an unknown option, a missing or bad
// value, or options that do not go together.
bool ParseRunOptions(const std::vector<std::string>& args, RunOptions& options,
                     std::string& error);

// The text of --help.
std::string UsageText();
