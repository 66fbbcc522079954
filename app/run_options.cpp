// Command-line parsing and the help text.

#include "app/run_options.h"

#include <cctype>
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

bool ParseFps(const std::string& text, FrameRate& fps, std::string& error) {
  if (!ParseFrameRate(text, fps)) {
    error = "--fps: '" + text +
            "' is not a rate from 1 to 1000 frames per second (a whole number, a fraction such as "
            "60000/1001, or a decimal such as 59.94)";
    return false;
  }
  return true;
}

bool ParseVideoQuality(const std::string& text, VideoQuality& quality, std::string& error) {
  if (text == "master") {
    quality = VideoQuality::Master;
  } else if (text == "web") {
    quality = VideoQuality::Web;
  } else if (text == "draft") {
    quality = VideoQuality::Draft;
  } else {
    error = "--video-quality: '" + text + "' is not 'master', 'web' or 'draft'";
    return false;
  }
  return true;
}

// Whether `path` ends in `extension` (".mkv"), in any case.
bool HasExtension(const std::string& path, const std::string& extension) {
  if (path.size() < extension.size()) return false;
  for (size_t i = 0; i < extension.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(path[path.size() - extension.size() + i])) != extension[i]) return false;
  }
  return true;
}

// Even sizes only: H.264 in the usual 4:2:0 colour format needs them, and
// the centred picture then sits on whole chroma samples.
bool ParseVideoSize(const std::string& text, VideoSize& size, std::string& error) {
  constexpr long kLargest = 16384;
  const char* start = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long width = std::isdigit(static_cast<unsigned char>(*start)) ? std::strtol(start, &end, 10) : 0;
  long height = 0;
  if (width > 0 && *end == 'x' && std::isdigit(static_cast<unsigned char>(end[1]))) {
    height = std::strtol(end + 1, &end, 10);
  }
  if (errno != 0 || height == 0 || *end != '\0' || width > kLargest || height > kLargest || width % 2 != 0 ||
      height % 2 != 0) {
    error = "--video-size: '" + text + "' is not WIDTHxHEIGHT in even numbers of pixels from 2 to 16384";
    return false;
  }
  size.width = static_cast<int>(width);
  size.height = static_cast<int>(height);
  return true;
}

// "FROM,TO": show seconds, 0 <= FROM < TO.
bool ParseSpan(const std::string& text, RunOptions& options, std::string& error) {
  const char* start = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double from = std::strtod(start, &end);
  double to = -1.0;
  if (end != start && *end == ',') {
    const char* second = end + 1;
    to = std::strtod(second, &end);
    if (end == second) to = -1.0;
  }
  if (errno != 0 || *end != '\0' || !std::isfinite(from) || !std::isfinite(to) || !(from >= 0.0) || !(to > from)) {
    error = "--span: '" + text + "' is not FROM,TO in seconds of the show with FROM < TO";
    return false;
  }
  options.spanFrom = from;
  options.spanTo = to;
  return true;
}

// A number from 1 to 8, "native" or "auto".
bool ParseScale(const std::string& text, FrameScaleRequest& scale, std::string& error) {
  if (text == "native" || text == "auto") {
    scale = {text == "native" ? ScaleChoice::Native : ScaleChoice::Auto, 1.0};
    return true;
  }
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno != 0 || !(value >= kSmallestScale && value <= kLargestScale)) {
    error = "--scale: '" + text + "' is not a number from 1 to 8, 'native' or 'auto'";
    return false;
  }
  scale = {ScaleChoice::Fixed, value};
  return true;
}

// The scale of a run without a scaled window, where nothing is measured:
// `native` and `auto` draw a capture at its video's largest 4:3 rectangle,
// shots and the benchmark at the designed size.
double HeadlessNativeScale(const RunOptions& options) {
  if (options.captureFile.empty() || options.videoSize.width == 0) return kSmallestScale;
  return NativeScale(options.videoSize.width, options.videoSize.height);
}

}  // namespace

bool ParseRunOptions(const std::vector<std::string>& args, RunOptions& options,
                     std::string& error) {
  options = RunOptions{};
  bool fpsGiven = false;
  bool scaleGiven = false;
  bool qualityGiven = false;
  bool spanGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "--shots" || arg == "--out" || arg == "--capture" ||
                            arg == "--fps" || arg == "--json" || arg == "--video-size" ||
                            arg == "--scale" || arg == "--video-quality" || arg == "--span";
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
    } else if (arg == "--desktop") {
      options.desktop = true;
    } else if (arg == "--no-vsync") {
      options.noVsync = true;
    } else if (arg == "--hud") {
      options.hud = true;
    } else if (arg == "--loop") {
      options.loop = true;
    } else if (arg == "--video-size") {
      if (!ParseVideoSize(args[++i], options.videoSize, error)) return false;
    } else if (arg == "--video-quality") {
      if (!ParseVideoQuality(args[++i], options.videoQuality, error)) return false;
      qualityGiven = true;
    } else if (arg == "--scale") {
      if (!ParseScale(args[++i], options.scale, error)) return false;
      scaleGiven = true;
    } else if (arg == "--benchmark") {
      options.benchmark = true;
    } else if (arg == "--flash-report") {
      options.flashReport = true;
    } else if (arg == "--span") {
      if (!ParseSpan(args[++i], options, error)) return false;
      spanGiven = true;
    } else if (arg == "--gentle") {
      options.gentle = true;
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

  if (options.windowed && options.desktop) {
    error = "--windowed and --desktop cannot be combined";
    return false;
  }
  if (options.noVsync && !options.windowed && !options.desktop) {
    error = "--no-vsync is only used with --windowed or --desktop";
    return false;
  }
  const int modes = (options.shots.empty() ? 0 : 1) + (options.captureFile.empty() ? 0 : 1) +
                    (options.benchmark ? 1 : 0) + (options.flashReport ? 1 : 0);
  if (modes > 1) {
    error = "--shots, --capture, --benchmark and --flash-report cannot be combined";
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
  if (!options.jsonFile.empty() && !options.benchmark && !options.flashReport) {
    error = "--json is only used with --benchmark or --flash-report";
    return false;
  }
  if (spanGiven && !options.flashReport) {
    error = "--span is only used with --flash-report";
    return false;
  }
  if (options.videoSize.width > 0 && options.captureFile.empty()) {
    error = "--video-size is only used with --capture";
    return false;
  }
  if (qualityGiven && options.captureFile.empty()) {
    error = "--video-quality is only used with --capture";
    return false;
  }
  if (options.videoQuality == VideoQuality::Master && !HasExtension(options.captureFile, ".mkv")) {
    error = "--video-quality master writes Matroska: the file's name must end in .mkv";
    return false;
  }
  options.headless = modes == 1;
  if (options.loop && options.headless) {
    error = "--loop cannot be combined with --shots, --capture, --benchmark or --flash-report";
    return false;
  }
  if (fpsGiven && !options.headless) {
    error = "--fps is only used with --shots, --capture, --benchmark or --flash-report";
    return false;
  }
  // The designed run switches the display to the frame's own size.
  const bool scaledWindow = options.windowed || options.desktop;
  if (scaleGiven && !scaledWindow && !options.headless) {
    error = "--scale is only used with --desktop, --windowed, --shots, --capture, --benchmark or --flash-report";
    return false;
  }
  // A window on a display measures the machine unless told otherwise; shots,
  // captures and the benchmark draw the designed frame unless told otherwise.
  if (!scaleGiven) {
    options.scale = {scaledWindow && !options.headless ? ScaleChoice::Auto : ScaleChoice::Fixed, 1.0};
  } else if (options.scale.choice != ScaleChoice::Fixed && !scaledWindow) {
    options.scale = {ScaleChoice::Fixed, HeadlessNativeScale(options)};
  }
  return true;
}

std::string UsageText() {
  return
      "usage: veloria [options]\n"
      "\n"
      "WARNING: the show flashes. Sections of it flash more than three times a\n"
      "second over much of the screen, which can trigger seizures in people with\n"
      "photosensitive epilepsy. --gentle tames most of them (not yet the figure's).\n"
      "\n"
      "With no options the show plays full screen at 800x600; Escape ends it,\n"
      "Space restarts its clock. With --desktop or --windowed, Alt+Enter switches\n"
      "between the window and full screen. Data is read from ./data, or else from\n"
      "data/ beside the program, or else from ../share/veloria/data beside it.\n"
      "\n"
      "  --desktop            full screen at the desktop's own resolution, without\n"
      "                       changing the display mode: the picture is drawn at\n"
      "                       the scale of --scale and fits the screen, black bars\n"
      "                       at the sides\n"
      "  --windowed           an 800x600 window instead of full screen, which may be\n"
      "                       resized or maximized; the picture fits it the same way\n"
      "  --no-vsync           with --desktop or --windowed: swap as fast as possible\n"
      "                       instead of in step with the display\n"
      "  --scale K            draw the frame at K times 800x600 pixels: K a number\n"
      "                       from 1 to 8, 'native' (the largest that fits the\n"
      "                       screen, the window or the video, one to one) or 'auto'\n"
      "                       (native if the machine keeps up, measured at start;\n"
      "                       the default of --desktop and --windowed). --shots\n"
      "                       and --benchmark draw at 1 unless a number is given;\n"
      "                       --capture's native is its --video-size's 4:3 part\n"
      "  --shots T1,T2,...    render without a display and write DIR/shot-<T>.png\n"
      "                       (800x600 at scale 1) when the show clock first\n"
      "                       reaches each T, then exit. T is in seconds from the\n"
      "                       start of the music. A negative T shoots the loading\n"
      "                       screen instead: -T seconds after the window opened\n"
      "                       (-0 is its first frame; the loading screen lasts\n"
      "                       about 4.75 s).\n"
      "  --out DIR            where --shots writes (created if missing)\n"
      "  --capture FILE.mp4   render the show from the start of its music to its end\n"
      "                       into a video with sound through ffmpeg (H.264 for\n"
      "                       .mp4, .mov, .mkv; other extensions pick their format)\n"
      "  --video-size WxH     with --capture: a video of W x H pixels (even numbers),\n"
      "                       the picture scaled to fit and centred between black\n"
      "                       bars (for example 1920x1080; with --scale native\n"
      "                       drawn at that size instead of scaled)\n"
      "  --video-quality Q    with --capture: 'master' (lossless FFV1 with FLAC\n"
      "                       sound, the exact pixels of --shots; the file must be\n"
      "                       .mkv), 'web' (H.264 High near visually lossless, AAC\n"
      "                       384 kb/s, BT.709, ready to stream; the default) or\n"
      "                       'draft' (the fastest H.264)\n"
      "  --fps N              steps per second of the fixed-step clock of --shots,\n"
      "                       --capture, --benchmark and --flash-report, and the\n"
      "                       video's frame rate\n"
      "                       (default 60): a whole number, a fraction (60000/1001)\n"
      "                       or a decimal (59.94 is 60000/1001, as video has it)\n"
      "  --benchmark          play the whole show without a display as fast as it\n"
      "                       renders and print per-section frame times, the loading\n"
      "                       work, GL errors and peak memory\n"
      "  --json FILE          with --benchmark or --flash-report: also write the\n"
      "                       figures as JSON\n"
      "  --flash-report       play the whole show without a display and measure its\n"
      "                       flashes by the broadcast and web rules (more than\n"
      "                       three in any second fail): per section the seconds\n"
      "                       that fail and the worst count in a second, then the\n"
      "                       whole show's; exit status 0 whenever it measured\n"
      "  --span FROM,TO       with --flash-report: measure show seconds FROM to TO\n"
      "                       only (the show still plays from its start)\n"
      "  --gentle             with any mode: the same show with the pulses that\n"
      "                       flash more than three times a second tamed; the\n"
      "                       beat still lifts the picture, by less, and every\n"
      "                       other frame is the designed one\n"
      "  --loop               start the show again from the beginning of its music\n"
      "                       each time it ends, until Escape\n"
      "  --hud                draw the show time, section, beat and frame rate in the\n"
      "                       top-left corner (with any other option)\n"
      "  --help               this text\n"
      "  --version            the program's version\n"
      "\n"
      "--shots, --capture, --benchmark and --flash-report run headless: SDL's\n"
      "offscreen video and dummy audio drivers (unless SDL_VIDEODRIVER /\n"
      "SDL_AUDIODRIVER say otherwise), no dialogs, and a clock that moves exactly\n"
      "1/N s per frame, so two runs give the same pictures, and two captures with\n"
      "the same options the same file.\n";
}
