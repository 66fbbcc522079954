// veloria: the show. Parses the command line, picks the run mode, and shows
// any error the runtime raises before the show could run.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/benchmark.h"
#include "app/capture.h"
#include "app/flash_report.h"
#include "app/hud.h"
#include "app/run_options.h"
#include "app/shots.h"
#include "platform/message_box.h"
#include "platform/program_start.h"
#include "platform/stop_signals.h"
#include "platform/video.h"
#include "runtime/ORV2Base.h"

namespace {

int RunSelectedMode(const RunOptions& options) {
  if (options.benchmark) return RunBenchmark(options);
  if (options.flashReport) return RunFlashReport(options);
  if (!options.captureFile.empty()) return RunCapture(options);
  if (!options.shots.empty()) return RunShots(options);
  return RunDemo(options);
}

}  // namespace

int main(int argc, char** argv) {
  // Before SDL and before any thread, so every thread shares the handlers.
  CatchStopSignals();
  const std::vector<std::string> arguments = StartProgram(argc, argv);
  RunOptions options;
  std::string error;
  if (!ParseRunOptions(arguments, options, error)) {
    std::fprintf(stderr, "veloria: %s\nTry 'veloria --help'.\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("veloria " VELORIA_VERSION);
    return 0;
  }
  if (options.headless) {
    // Headless runs need no display and make no sound, unless the user chose
    // drivers of their own.
    UseHeadlessDrivers();
  }
  // Made absolute here: the show changes the current directory to its data.
  if (const char* hold = std::getenv("VELORIA_HOLD_FILE")) {
    options.holdFile = std::filesystem::absolute(hold).string();
  }
  SetDialogsEnabled(!options.headless);
  // The HUD is drawn first, so shots and captures show it too.
  ShowHud hud;
  if (options.hud) AddFrameObserver([&hud](const DemoFrame& frame) { return hud.OnFrame(frame); });
  int status = 1;
  try {
    status = RunSelectedMode(options);
  } catch (const std::exception& e) {
    ShowErrorMessage("Error", e.what());
  }
  // A run that SIGINT, SIGTERM or SIGHUP ended says so in its status.
  return ExitStatusAfterStop(status);
}
