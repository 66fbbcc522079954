// What the two halves of the stop-signal module share: the stop flag and the
// watched children and files, kept in fixed static slots that a handler can
// read while another thread releases them. A handler only ever touches a slot
// it has marked busy, and a release waits until no handler has it, so nothing
// a handler reads is freed or reused under it.
#pragma once

#include "platform/stop_signals.h"

namespace stop_signals {

// How a request relates to the ones before it.
enum class Request { kFirst, kRepeated, kOther };
// Records `signal` as the stop request if it is the first; async-signal-safe.
Request RecordStop(int signal);

// Calls `kill` on each watched child and `remove` on each watched file;
// async-signal-safe as long as they are.
void ForEachWatchedChild(void (*kill)(ChildProcess));
void ForEachWatchedFile(void (*remove)(const char* path));

// The system's half: ends `child` at once (async-signal-safe).
void KillNow(ChildProcess child);

}  // namespace stop_signals
