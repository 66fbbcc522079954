// A helper program fed through a pipe to its standard input (the video
// encoder of --capture). POSIX processes or Windows ones
// (pipe_process_posix.cpp, pipe_process_windows.cpp); no SDL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The full path of the program `name` (POSIX: as execvp finds it, on PATH
// unless it holds a '/'; Windows: beside this program, then on PATH, ".exe"
// added when it has no extension); empty when there is no such file.
std::string FindOnPath(const std::string& name);

// One child process. Write may run on one thread while Running and Kill run
// on another. Destroying it while the child runs closes the pipe,
// kills the child and waits for it, so no process outlives its owner. A stop
// signal (platform/stop_signals) kills the child at once, so a child that
// neither reads nor exits cannot hold the program's end.
class PipeProcess {
 public:
  PipeProcess() = default;
  ~PipeProcess();
  PipeProcess(const PipeProcess&) = delete;
  PipeProcess& operator=(const PipeProcess&) = delete;

  // Starts argv[0] (looked up like FindOnPath) with the rest of `argv` as its
  // arguments, its standard output and error appended to `logPath`. False with
  // `error` filled when the program is not found or cannot be started.
  bool Start(const std::vector<std::string>& argv, const std::string& logPath, std::string& error);
  // Writes all `size` bytes to the child's input. False with `error` filled
  // when the child has closed its input or exited (never raises SIGPIPE).
  bool Write(const void* data, size_t size, std::string& error);
  // True while the child has not exited; reaps it once it has.
  bool Running();
  // Ends a child not yet reaped at once (SIGKILL), so a Write blocked on its
  // full input fails; Finish or the destructor still reaps it. May be called
  // while another thread is inside Write (but not Running or Finish).
  void Kill();
  // Closes the child's input and waits for it. True when it exited with
  // status 0; otherwise `how` says how it ended ("exit status 1", "signal 9").
  bool Finish(std::string& how);

 private:
  void Reap(bool wait);

  std::intptr_t pid_ = -1;    // the process id (POSIX) or handle (Windows)
  std::intptr_t input_ = -1;  // write end of the child's standard input, a descriptor or a handle
  int status_ = 0;            // the wait status (POSIX) or exit code (Windows) once reaped
  bool reaped_ = false;
  int stopWatch_ = -1;  // the stop handler's slot for the child
};
