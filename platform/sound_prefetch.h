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

class SoundPrefetch {
 public:
  SoundPrefetch() = default;
  ~SoundPrefetch() { Drop(); }
  SoundPrefetch(const SoundPrefetch&) = delete;
  SoundPrefetch& operator=(const SoundPrefetch&) = delete;

  // Starts reading and decoding the file at `path` (a native path) for a
  // 16-bit stereo device of `rate` Hz; replaces an earlier prefetch.
  void Start(const std::string& path, int rate);
  // When `path` and `rate` are those of the prefetch: waits for its worker
  // and hands over the outcome, which ends the prefetch. Otherwise nothing,
  // and the prefetch stays for a later Take.
  std::optional<DecodedSound> Take(const std::string& path, int rate);
  // Asks the worker to stop, waits for it and forgets the prefetch. Safe
  // when there is none.
  void Drop();

 private:
  std::string path_;
  int rate_ = 0;
  std::atomic<bool> cancel_{false};
  DecodedSound result_;  // written by the worker, read after it is joined
  std::thread worker_;
};
