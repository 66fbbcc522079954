// One MP3 file decoded on a worker thread ahead of the load that needs it, so
// the load takes finished samples instead of decoding while the show waits.
// No SDL: the caller turns the samples into a mixer sound.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound_decode.h"
#include "platform/worker_thread.h"

// A prefetch serves the one load that follows it: once that load cannot use
// it, it is cancelled rather than left decoding and holding the samples.
class SoundPrefetch {
 public:
  SoundPrefetch() = default;
  ~SoundPrefetch() { Drop(); }
  SoundPrefetch(const SoundPrefetch&) = delete;
  SoundPrefetch& operator=(const SoundPrefetch&) = delete;

  // Starts reading and decoding the file at `path` (a native path) for a
  // 16-bit stereo device of `rate` Hz, on a thread from `make`; replaces an
  // earlier prefetch. When no thread can be started there is no prefetch.
  void Start(const std::string& path, int rate, ThreadMaker make = MakeThread);
  // When `path` and `rate` are those of the prefetch: waits for its worker
  // and hands over the outcome. Otherwise nothing, and the prefetch, which
  // no load can use now, is dropped. Either way the prefetch has ended.
  std::optional<DecodedSound> Take(const std::string& path, int rate);
  // Drops the prefetch unless it decodes for a device of `rate` Hz (0: a
  // device it cannot serve at all).
  void DropUnlessFor(int rate);
  // Asks the worker to stop, waits for it and forgets the prefetch. Safe
  // when there is none.
  void Drop();

 private:
  std::string path_;
  int rate_ = 0;
  std::atomic<bool> cancel_{false};
  DecodedSound result_;  // written by the worker, read after it is joined
  std::thread worker_;   // not joinable: no prefetch
};
