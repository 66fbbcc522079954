// Termination signals as a request to end the show: SIGINT, SIGTERM and
// SIGHUP only set a flag, which the driver reads at every frame boundary and
// between load steps, so the program leaves through its normal shutdown and
// exits with 128 + the signal's number. A second signal of the same kind ends
// it at once. The one home of the process's signal handling.
#pragma once

#include <sys/types.h>

#include <string>

// Installs the handlers, once, at the start of main (before SDL starts and
// before any thread). SIGINT, SIGTERM and SIGHUP ask for a stop; a signal the
// process inherited ignored (nohup, a script's background job) stays
// ignored. SIGPIPE is ignored, so a closed stderr or pipe is only a failed
// write. Every other signal whose default action ends the process still does,
// after removing the files of AbruptEndRemoval. SDL is told never to install
// handlers of its own (it would turn SIGINT and SIGTERM into a quit message,
// which the show does not act on).
void CatchStopSignals();

// The signal that asked for a stop; 0 while none has. May be read anywhere.
int StopSignal();
// The exit status of a run: 128 + the stop signal's number once one came,
// else `status`.
int ExitStatusAfterStop(int status);

// A child process the handler kills (SIGKILL) the moment a stop signal comes,
// also when one came before: its work is thrown away with the show, and one
// that stalls (neither reads nor exits) would otherwise hold the shutdown.
// Forget it before the process is reaped, so a reused id is never hit.
// At most four at a time; more are not watched.
void KillChildOnStop(pid_t child);
void ForgetChildOnStop(pid_t child);

// A file removed even when a signal ends the process at once (a second stop
// signal, SIGQUIT, SIGABRT, a crash...); its owner removes it otherwise.
// At most four at a time; more are not watched.
class AbruptEndRemoval {
 public:
  explicit AbruptEndRemoval(std::string path);
  ~AbruptEndRemoval();
  AbruptEndRemoval(const AbruptEndRemoval&) = delete;
  AbruptEndRemoval& operator=(const AbruptEndRemoval&) = delete;

 private:
  std::string path_;
};
