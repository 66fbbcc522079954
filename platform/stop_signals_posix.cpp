// POSIX signals into the stop flag: SIGINT, SIGTERM and SIGHUP ask for a
// stop, and the signals that end the process remove the watched files first.
// Handlers touch only the static slots and async-signal-safe calls.

#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/stop_signal_slots.h"

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Signals whose default action ends the process, other than the stop signals
// and SIGKILL (which cannot be caught).
constexpr int kEndingSignals[] = {SIGQUIT, SIGABRT, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
                                  SIGVTALRM, SIGPROF, SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// Removes the watched files, then lets `signal` do what it does by default.
void EndAtOnce(int signal) {
  stop_signals::ForEachWatchedFile([](const char* path) { ::unlink(path); });
  ::signal(signal, SIG_DFL);
  // The signal is blocked while its handler runs: it ends the process as
  // soon as the handler returns (a fault's instruction faults again).
  ::raise(signal);
}

void OnStopSignal(int signal) {
  const int savedErrno = errno;
  switch (stop_signals::RecordStop(signal)) {
    case stop_signals::Request::kFirst:
      stop_signals::ForEachWatchedChild(stop_signals::KillNow);
      break;
    case stop_signals::Request::kRepeated:
      EndAtOnce(signal);
      break;
    case stop_signals::Request::kOther:
      break;
  }
  errno = savedErrno;
}

void OnEndingSignal(int signal) {
  const int savedErrno = errno;
  EndAtOnce(signal);
  errno = savedErrno;
}

// Installs `handler` unless the signal's action is not the default: one
// inherited ignored stays ignored, and a handler that something installed
// before main (a sanitizer's) is left in place.
void CatchIfDefault(int signal, void (*handler)(int)) {
  struct sigaction current {};
  if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
      (current.sa_flags & SA_SIGINFO) != 0) {
    return;
  }
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

// A watched child is not reaped before it is forgotten, so its id cannot
// have passed to another process yet.
void stop_signals::KillNow(ChildProcess child) {
  if (child > 0) ::kill(static_cast<pid_t>(child), SIGKILL);
}

void CatchStopSignals() {
  SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
  ::signal(SIGPIPE, SIG_IGN);
  for (int signal : kStopSignals) CatchIfDefault(signal, OnStopSignal);
  for (int signal : kEndingSignals) CatchIfDefault(signal, OnEndingSignal);
}

int ExitStatusAfterStop(int status) {
  const int signal = StopSignal();
  return signal != 0 ? 128 + signal : status;
}
