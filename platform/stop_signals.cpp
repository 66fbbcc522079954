// Signal handling: a stop flag, and the children and files the handlers see to.
// Handlers touch only lock-free atomics and async-signal-safe calls.

#include "platform/stop_signals.h"

#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <utility>

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Signals whose default action ends the process, other than the stop signals
// and SIGKILL (which cannot be caught).
constexpr int kEndingSignals[] = {SIGQUIT, SIGABRT, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
                                  SIGVTALRM, SIGPROF, SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr size_t kWatched = 4;

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<pid_t>::is_always_lock_free &&
              std::atomic<const char*>::is_always_lock_free);

std::atomic<int> stopSignal{0};
std::array<std::atomic<pid_t>, kWatched> childrenToKill{};
std::array<std::atomic<const char*>, kWatched> filesToRemove{};

// Puts `value` into the first empty slot; nothing when all are taken.
template <typename T>
void Watch(std::array<std::atomic<T>, kWatched>& slots, T value) {
  for (std::atomic<T>& slot : slots) {
    T empty{};
    if (slot.compare_exchange_strong(empty, value)) return;
  }
}

template <typename T>
void Unwatch(std::array<std::atomic<T>, kWatched>& slots, T value) {
  for (std::atomic<T>& slot : slots) {
    T expected = value;
    if (slot.compare_exchange_strong(expected, T{})) return;
  }
}

void KillChildren() {
  for (const std::atomic<pid_t>& child : childrenToKill) {
    const pid_t pid = child.load();
    if (pid > 0) ::kill(pid, SIGKILL);
  }
}

// Removes the watched files, then lets `signal` do what it does by default.
void EndAtOnce(int signal) {
  for (const std::atomic<const char*>& file : filesToRemove) {
    if (const char* path = file.load()) ::unlink(path);
  }
  ::signal(signal, SIG_DFL);
  // The signal is blocked while its handler runs: it ends the process as
  // soon as the handler returns (a fault's instruction faults again).
  ::raise(signal);
}

void OnStopSignal(int signal) {
  const int savedErrno = errno;
  int none = 0;
  if (stopSignal.compare_exchange_strong(none, signal)) {
    KillChildren();
  } else if (none == signal) {
    EndAtOnce(signal);
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

void CatchStopSignals() {
  SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
  ::signal(SIGPIPE, SIG_IGN);
  for (int signal : kStopSignals) CatchIfDefault(signal, OnStopSignal);
  for (int signal : kEndingSignals) CatchIfDefault(signal, OnEndingSignal);
}

int StopSignal() { return stopSignal.load(); }

int ExitStatusAfterStop(int status) {
  const int signal = StopSignal();
  return signal != 0 ? 128 + signal : status;
}

void KillChildOnStop(pid_t child) {
  Watch(childrenToKill, child);
  // A stop that came before the child was watched ends it here.
  if (StopSignal() != 0) ::kill(child, SIGKILL);
}

void ForgetChildOnStop(pid_t child) { Unwatch(childrenToKill, child); }

AbruptEndRemoval::AbruptEndRemoval(std::string path) : path_(std::move(path)) {
  Watch(filesToRemove, path_.c_str());
}

AbruptEndRemoval::~AbruptEndRemoval() { Unwatch(filesToRemove, path_.c_str()); }
