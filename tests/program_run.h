// Helpers for tests that run the built programs: scratch directories, whole
// files, and the show run from a directory with its output captured.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/sync_file.h"

// An empty directory named `name` plus the process id under the temp directory.
std::filesystem::path TempDir(const char* name);

// Creates `dataDir` with an empty music folder and a copy of the generated
// models in mod/: the scenes load them, and a missing model ends the show.
void MakeShowDataDir(const std::filesystem::path& dataDir);

// Writes `lists` as the sync track of the data folder `dataDir`.
void WriteSyncTrack(const std::filesystem::path& dataDir, const SyncLists& lists);

// The whole text of `path`; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& path);
// The whole file `path` as bytes; empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);

// Runs the show in `dir` with `args` (shell words) after the shell assignments
// of `environment` (e.g. "PATH=/x"); stdout goes to dir/stdout.txt, stderr to
// dir/stderr.txt. The exit status as the shell reports it: a program killed
// by signal N gives 128 + N. With `limitSeconds` the program is killed once
// it has run that long (through timeout(1), which `environment` must leave on
// the PATH), so a hang fails as kRunTimedOut instead of stalling the suite.
int RunVeloria(const std::filesystem::path& dir, const std::string& args,
               const std::string& environment = "", int limitSeconds = 0);

// RunVeloria's status for a run stopped at its limit (128 + SIGKILL).
constexpr int kRunTimedOut = 137;

// The show started in the background, for tests that look at it while it
// runs. The destructor kills it if it still runs.
class BackgroundRun {
 public:
  // As RunVeloria, but returns at once; SIGINT, SIGTERM and SIGHUP start at
  // their default actions, whatever the test runner inherited.
  BackgroundRun(const std::filesystem::path& dir, const std::string& args,
                const std::string& environment = "");
  ~BackgroundRun();
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;

  // Sends `signal` to the program while it runs.
  void Signal(int signal);
  // True once `path` exists; false when the program ended first or
  // `limitSeconds` passed.
  bool WaitForFile(const std::filesystem::path& path, int limitSeconds);
  // The exit status (as RunVeloria's), or kRunTimedOut after killing it when
  // it has not ended within `limitSeconds`.
  int Wait(int limitSeconds);

 private:
  int pid_ = -1;
  int status_ = -1;
};
