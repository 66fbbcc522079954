// --shots: screenshots of the show at given times, written as PNG files.
#pragma once

#include <string>
#include <vector>

#include "runtime/ORV2Base.h"
#include "app/run_options.h"

// True when `frame` is at or past `shot`'s time in the shot's own clock: the
// show clock in the timeline, the loading clock before it.
bool ShotDue(const ShotTime& shot, const DemoFrame& frame);

// A frame observer that writes outDir/shot-<label>.png (800x600 RGB) for each
// shot on the first frame at or past its time.
class ShotTaker {
 public:
  ShotTaker(std::vector<ShotTime> shots, std::string outDir);
  // Writes the shots due now. False (end the run) once every shot is written
  // or a file could not be written.
  bool OnFrame(const DemoFrame& frame);
  // The write error that ended the run; empty if none.
  const std::string& Error() const { return error_; }
  // Labels of the shots not written.
  std::vector<std::string> Missing() const;

 private:
  std::vector<ShotTime> shots_;
  std::vector<bool> taken_;
  std::string outDir_;
  std::string error_;
};

// The --shots run: RunDemo with a ShotTaker. 0 when every shot was written;
// 1 with a message on stderr when the output directory cannot be made, a file
// cannot be written or the show ended before a shot's time.
int RunShots(const RunOptions& options);
