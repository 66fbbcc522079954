// Screenshots at show times.

#include "app/shots.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/frame_grab.h"
#include "core/gl_window.h"
#include "platform/png_file.h"

bool ShotDue(const ShotTime& shot, const DemoFrame& frame) {
  if (shot.loading) return frame.phase != DemoPhase::Timeline && frame.loadingTime >= shot.seconds;
  return frame.phase == DemoPhase::Timeline && frame.showTime >= shot.seconds;
}

ShotTaker::ShotTaker(std::vector<ShotTime> shots, std::string outDir)
    : shots_(std::move(shots)), taken_(shots_.size(), false), outDir_(std::move(outDir)) {}

bool ShotTaker::OnFrame(const DemoFrame& frame) {
  if (!error_.empty()) return false;
  bool allTaken = true;
  for (size_t i = 0; i < shots_.size(); ++i) {
    if (!taken_[i] && ShotDue(shots_[i], frame)) {
      const TImage image = GrabFrame(ActiveFrame.Width, ActiveFrame.Height);
      const std::string path = outDir_ + "/shot-" + shots_[i].label + ".png";
      if (!WritePng(path, image, error_)) return false;
      taken_[i] = true;
    }
    allTaken = allTaken && taken_[i];
  }
  return !allTaken;
}

std::vector<std::string> ShotTaker::Missing() const {
  std::vector<std::string> missing;
  for (size_t i = 0; i < shots_.size(); ++i) {
    if (!taken_[i]) missing.push_back(shots_[i].label);
  }
  return missing;
}

int RunShots(const RunOptions& options) {
  // The output directory is made absolute first: the show changes the
  // current directory to its data.
  std::error_code error;
  const std::filesystem::path outDir = std::filesystem::absolute(options.outDir, error);
  if (!error) std::filesystem::create_directories(outDir, error);
  if (error) {
    std::fprintf(stderr, "veloria: cannot create %s: %s\n", options.outDir.c_str(),
                 error.message().c_str());
    return 1;
  }
  ShotTaker taker(options.shots, outDir.string());
  const int status = RunDemoObserved(
      options, [&taker](const DemoFrame& frame) { return taker.OnFrame(frame); });
  if (!taker.Error().empty()) {
    std::fprintf(stderr, "veloria: %s\n", taker.Error().c_str());
    return 1;
  }
  const std::vector<std::string> missing = taker.Missing();
  if (!missing.empty()) {
    std::string list;
    for (const std::string& label : missing) list += (list.empty() ? "" : ", ") + label;
    std::fprintf(stderr, "veloria: the show ended before the shot time(s) %s\n", list.c_str());
    return 1;
  }
  return status;
}
