// Command-line parsing and the help text.

#include "app/run_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool ParseShotTimes(const std::string& list, std::vector<ShotTime>& shots, std::string& error) {
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(',', start);
    const std::string token =
        list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const char* text = token.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (token.empty() || end != text + token.size() || errno != 0 || !std::isfinite(value)) {
      error = "--shots: '" + token + "' is not a time in seconds";
      return false;
    }
    ShotTime shot;
    shot.loading = std::signbit(value);
    shot.seconds = std::fabs(value);
    shot.label = token;
    shots.push_back(shot);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

bool ParseFps(const std::string& text, int& fps, std::string& error) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < 1 || value > 1000) {
    error = "--fps: '" + text + "' is not a whole number from 1 to 1000";
    return false;
  }
  fps = static_cast<int>(value);
  return true;
}

}  // namespace

bool ParseRunOptions(const std::vector<std::string>& args, RunOptions& options,
                     std::string& error) {
  options = RunOptions{};
  bool fpsGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "--shots" || arg == "--out" || arg == "--capture" ||
                            arg == "--fps" || arg == "--json";
    if (takesValue && i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--windowed") {
      options.windowed = true;
    } else if (arg == "--hud") {
      options.hud = true;
    } else if (arg == "--benchmark") {
      options.benchmark = true;
    } else if (arg == "--shots") {
      options.shots.clear();
      if (!ParseShotTimes(args[++i], options.shots, error)) return false;
    } else if (arg == "--out") {
      options.outDir = args[++i];
    } else if (arg == "--capture") {
      options.captureFile = args[++i];
    } else if (arg == "--json") {
      options.jsonFile = args[++i];
    } else if (arg == "--fps") {
      if (!ParseFps(args[++i], options.fps, error)) return false;
      fpsGiven = true;
    } else {
      error = "unknown option '" + arg + "'";
      return false;
    }
  }

  const int modes = (options.shots.empty() ? 0 : 1) + (options.captureFile.empty() ? 0 : 1) +
                    (options.benchmark ? 1 : 0);
  if (modes > 1) {
    error = "--shots, --capture and --benchmark cannot be combined";
    return false;
  }
  if (!options.shots.empty() && options.outDir.empty()) {
    error = "--shots needs --out DIR";
    return false;
  }
  if (!options.outDir.empty() && options.shots.empty()) {
    error = "--out is only used with --shots";
    return false;
  }
  if (!options.jsonFile.empty() && !options.benchmark) {
    error = "--json is only used with --benchmark";
    return false;
  }
  options.headless = modes == 1;
  if (fpsGiven && !options.headless) {
    error = "--fps is only used with --shots, --capture or --benchmark";
    return false;
  }
  return true;
}

std::string UsageText() {
  return
      "usage: veloria [options]\n"
      "\n"
      "With no options the show plays full screen at 800x600; Escape ends it,\n"
      "Space restarts its clock. Data is read from ./data, or else from data/\n"
      "beside the program.\n"
      "\n"
      "  --windowed           an 800x600 window instead of full screen\n"
      "  --shots T1,T2,...    render without a display and write DIR/shot-<T>.png\n"
      "                       (800x600) when the show clock first reaches each T,\n"
      "                       then exit. T is in seconds from the start of the\n"
      "                       music. A negative T shoots the loading screen instead:\n"
      "                       -T seconds after the window opened (-0 is its first\n"
      "                       frame; the loading screen lasts about 4.75 s).\n"
      "  --out DIR            where --shots writes (created if missing)\n"
      "  --capture FILE.mp4   render the show from the start of its music to its end\n"
      "                       into a video with sound through ffmpeg (H.264 for\n"
      "                       .mp4, .mov, .mkv; other extensions pick their format)\n"
      "  --fps N              steps per second of the fixed-step clock of --shots,\n"
      "                       --capture and --benchmark, and the video's frame rate\n"
      "                       (default 60)\n"
      "  --benchmark          play the whole show without a display as fast as it\n"
      "                       renders and print per-section frame times, the loading\n"
      "                       work, GL errors and peak memory\n"
      "  --json FILE          with --benchmark: also write the figures as JSON\n"
      "  --hud                draw the show time, section, beat and frame rate in the\n"
      "                       top-left corner (with any other option)\n"
      "  --help               this text\n"
      "  --version            the program's version\n"
      "\n"
      "--shots, --capture and --benchmark run headless: SDL's offscreen video and\n"
      "dummy audio drivers (unless SDL_VIDEODRIVER / SDL_AUDIODRIVER say otherwise),\n"
      "no dialogs, and a clock that moves exactly 1/N s per frame, so two runs\n"
      "give the same pictures.\n";
}
