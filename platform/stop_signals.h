// Termination signals as a request to end the show: on POSIX SIGINT, SIGTERM
// and SIGHUP, on Windows the console's Ctrl-C, Ctrl-Break, close, logoff and
// shutdown events only set a flag, which the driver reads at every frame
// boundary and between load steps, so the program leaves through its normal
// shutdown. A second request of the same kind ends it at once. The one home
// of the process's signal handling; each system's half is in
// stop_signals_posix.cpp or stop_signals_windows.cpp.
#pragma once

#include <cstdint>
#include <string>

// Installs the handlers, once, at the start of main (before SDL starts and
// before any thread). POSIX: a stop signal the process inherited ignored
// (nohup, a script's background job) stays ignored; SIGPIPE is ignored, so a
// closed stderr or pipe is only a failed write; every other signal whose
// default action ends the process still does, after removing the files of
// AbruptEndRemoval. SDL is told never to install handlers of its own (it
// would turn SIGINT and SIGTERM into a quit message, which the show does not
// act on).
void CatchStopSignals();

// The request that asked for a stop (a signal number, or the console event's
// stand-in signal on Windows); 0 while none has. May be read anywhere.
int StopSignal();
// The exit status of a run once a stop came (128 + the signal on POSIX,
// Windows' own codes there), else `status`.
int ExitStatusAfterStop(int status);

// A child process as the system names it: a process id on POSIX, a process
// handle on Windows.
using ChildProcess = std::intptr_t;

// A child process the handler kills the moment a stop request comes, also
// when one came before: its work is thrown away with the show, and one that
// stalls (neither reads nor exits) would otherwise hold the shutdown. Returns
// the watch's slot for ForgetChildOnStop, or -1 when four are watched already
// (the child is then not watched). Forget it before the process is reaped (or
// its handle closed): once ForgetChildOnStop returns, no handler touches it.
int KillChildOnStop(ChildProcess child);
void ForgetChildOnStop(int slot);

// A file removed even when the process ends at once (a second stop request;
// on POSIX SIGQUIT, SIGABRT, a crash...); its owner removes it otherwise.
// At most four at a time, each path under 4096 bytes; more are not watched.
class AbruptEndRemoval {
 public:
  explicit AbruptEndRemoval(const std::string& path);
  ~AbruptEndRemoval();
  AbruptEndRemoval(const AbruptEndRemoval&) = delete;
  AbruptEndRemoval& operator=(const AbruptEndRemoval&) = delete;

 private:
  int slot_;
};
