// Console events into the stop flag: Ctrl-C, Ctrl-Break, the console closed,
// logoff and shutdown ask for a stop, as SIGINT and SIGTERM do on POSIX. The
// handler runs on a thread of its own that the system starts, so it may wait:
// for the close, logoff and shutdown events the system ends the process once
// the handler returns, so it waits there for the orderly shutdown to finish.

#include <SDL.h>
#include <signal.h>
#include <windows.h>

#include "platform/stop_signal_slots.h"

namespace {

// Windows' own exit status for a program ended by Ctrl-C or Ctrl-Break.
constexpr int kControlCExit = static_cast<int>(0xC000013AU);
// How long a close, logoff or shutdown waits for the show's shutdown; the
// system itself gives a console program 5 s before it ends it.
constexpr DWORD kShutdownWaitMs = 4500;

// The stand-in signal of each console event, as StopSignal reports it.
int SignalOf(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: return SIGINT;
    case CTRL_BREAK_EVENT: return SIGBREAK;
    default: return SIGTERM;  // the console closed, logoff, shutdown
  }
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  const int signal = SignalOf(event);
  switch (stop_signals::RecordStop(signal)) {
    case stop_signals::Request::kFirst:
      stop_signals::ForEachWatchedChild(stop_signals::KillNow);
      break;
    case stop_signals::Request::kRepeated:
      stop_signals::ForEachWatchedFile([](const char* path) {
        wchar_t wide[MAX_PATH * 4];
        if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, MAX_PATH * 4) > 0) DeleteFileW(wide);
      });
      ExitProcess(static_cast<UINT>(kControlCExit));
    case stop_signals::Request::kOther:
      break;
  }
  // The process ends when this returns for these events: give the show the
  // time to shut down the way Escape does.
  if (signal == SIGTERM) Sleep(kShutdownWaitMs);
  return TRUE;
}

}  // namespace

void stop_signals::KillNow(ChildProcess child) {
  if (child != 0) TerminateProcess(reinterpret_cast<HANDLE>(child), static_cast<UINT>(kControlCExit));
}

void CatchStopSignals() {
  SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

int ExitStatusAfterStop(int status) { return StopSignal() != 0 ? kControlCExit : status; }
