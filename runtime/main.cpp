// veloria: the show. Parses the command line, picks the run mode, and shows
// any error the runtime raises before the show could run.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "runtime/ORV2Base.h"
#include "runtime/run_options.h"
#include "runtime/shots.h"

int main(int argc, char** argv) {
  RunOptions options;
  std::string error;
  if (!ParseRunOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
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
  const std::string unbuilt = UnbuiltOption(options);
  if (!unbuilt.empty()) {
    std::fprintf(stderr, "veloria: %s is not built yet in this version of the show.\n",
                 unbuilt.c_str());
    return 3;
  }

  if (options.headless) {
    // Headless runs need no display and make no sound, unless the user chose
    // drivers of their own.
    setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
  }
  SetDialogsEnabled(!options.headless);
  try {
    return options.shots.empty() ? RunDemo(options) : RunShots(options);
  } catch (const std::exception& e) {
    ShowErrorMessage("Error", e.what());
    return 1;
  }
}
