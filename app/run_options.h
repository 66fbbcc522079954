// The command line. With no arguments the program plays the show full screen;
// options only add ways to run it. Parsing is pure: nothing here touches SDL.
#pragma once

#include <string>
#include <vector>

#include "runtime/run_mode.h"

// One screenshot time of --shots.
struct ShotTime {
  // false: seconds from the start of the music (the show clock, DemoTime).
  // true: seconds on the loading screen, counted from the first frame after
  // the window opened; written on the command line as a negative number.
  bool loading = false;
  double seconds = 0.0;
  std::string label;  // the number as written; names the file shot-<label>.png
};

// The frame size of a video: --video-size WxH.
struct VideoSize {
  int width = 0;  // 0: the show's own 800x600
  int height = 0;
};

// How --capture encodes (--video-quality).
enum class VideoQuality {
  Master,  // lossless: FFV1 with the frame's exact RGB and FLAC sound, in Matroska
  Web,     // what video sites ask for: H.264 High, near visually lossless, AAC
  Draft,   // the fastest H.264 that still looks right
};

// The driver's RunMode (display, clock, loop, hold file) and what the run
// modes of this program add to it.
struct RunOptions : RunMode {
  bool help = false;
  bool version = false;
  bool hud = false;
  std::vector<ShotTime> shots;  // --shots, in the order given
  std::string outDir;           // --out
  std::string captureFile;      // --capture
  VideoSize videoSize;          // --video-size, with --capture
  VideoQuality videoQuality = VideoQuality::Web;  // --video-quality, with --capture
  bool benchmark = false;
  bool flashReport = false;     // --flash-report
  double spanFrom = 0.0;        // --span, with --flash-report: show seconds measured
  double spanTo = 1e300;
  std::string jsonFile;         // --json
};

// Parses the arguments after the program name. False with `error` filled
// (one sentence naming the option) on an unknown option, a missing or bad
// value, or options that do not go together.
bool ParseRunOptions(const std::vector<std::string>& args, RunOptions& options,
                     std::string& error);

// The text of --help.
std::string UsageText();
