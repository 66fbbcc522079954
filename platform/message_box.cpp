// Error messages for the viewer: stderr always, an SDL dialog when interactive,
// closed again when a stop signal comes while it is open.

#include "platform/message_box.h"

#include <SDL.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <utility>

#include "platform/stop_signals.h"

namespace {

// How often the waiting thread looks for a stop signal while a dialog is open.
constexpr std::chrono::milliseconds kStopPoll{20};

bool dialogsEnabled = false;
MessageSink messageSink;

#ifdef _WIN32
using ThreadId = DWORD;
ThreadId CurrentThread() { return GetCurrentThreadId(); }
// Closes the dialogs that thread `thread` shows (SDL's is a system dialog).
void CloseDialogsOfThread(ThreadId thread) {
  EnumThreadWindows(thread, [](HWND window, LPARAM) { return PostMessageW(window, WM_CLOSE, 0, 0); }, 0);
}
#else
using ThreadId = pid_t;
ThreadId CurrentThread() { return ::gettid(); }
// Ends every child process that thread `thread` of this process started.
void CloseDialogsOfThread(ThreadId thread) {
  std::ifstream children("/proc/self/task/" + std::to_string(thread) + "/children");
  for (pid_t child = 0; children >> child;) ::kill(child, SIGKILL);
}
#endif

// One dialog, shown on the thread that runs ShowDialogOn.
struct DialogCall {
  const std::string& caption;
  const std::string& text;
  std::atomic<ThreadId> thread{0};  // the thread's id once it runs
  std::atomic<bool> closed{false};
};

int ShowDialogOn(void* data) {
  DialogCall& call = *static_cast<DialogCall*>(data);
  call.thread = CurrentThread();
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, call.caption.c_str(), call.text.c_str(), nullptr);
  call.closed = true;
  return 0;
}

// SDL shows its dialog from a child process that it starts and waits for (a
// fork of this one on X11, zenity on Wayland), however long the viewer takes.
// The dialog is asked for on a thread of its own, so this thread can end that
// child when a stop signal comes: SDL's wait returns and the shutdown runs.
// An SDL thread, so that SDL frees what it kept for the thread (an error
// text) when it ends. Without a thread to spare the dialog is shown here,
// unwatched.
void ShowDialog(const std::string& caption, const std::string& text) {
  DialogCall call{caption, text};
  SDL_Thread* shower = SDL_CreateThread(ShowDialogOn, "veloria dialog", &call);
  if (shower == nullptr) {
    ShowDialogOn(&call);
    return;
  }
  while (!call.closed) {
    if (StopSignal() != 0 && call.thread != 0) CloseDialogsOfThread(call.thread);
    std::this_thread::sleep_for(kStopPoll);
  }
  SDL_WaitThread(shower, nullptr);
}

}  // namespace

void ShowErrorMessage(const std::string& caption, const std::string& text) {
  if (messageSink) {
    messageSink(caption, text);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  // Once the show is ending nothing waits for the viewer.
  if (dialogsEnabled && StopSignal() == 0) ShowDialog(caption, text);
}

void SetDialogsEnabled(bool enabled) { dialogsEnabled = enabled; }

void SetMessageSink(MessageSink sink) { messageSink = std::move(sink); }
