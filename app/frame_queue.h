// A bounded queue of frames between the thread that renders and the thread
// that writes them out. Frames move by swapping byte vectors, so once every
// buffer has reached a frame's size no frame allocates. One producer, one
// consumer; every call may be made from either thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

class FrameQueue {
 public:
  // A queue holding at most `capacity` frames and at most `maxBytes` bytes of
  // them, but always room for one frame however large.
  explicit FrameQueue(size_t capacity, size_t maxBytes = SIZE_MAX);

  // Appends `frame`, leaving in it a buffer to fill next (a used one once the
  // queue has cycled). Blocks while the queue is full: it holds `capacity`
  // frames, or `frame` would take it past `maxBytes`. False, `frame` kept,
  // once the queue is closed or cancelled.
  bool Push(std::vector<uint8_t>& frame);
  // Swaps the oldest frame into `frame` (its old contents go back into
  // circulation). Blocks while the queue is empty and open. False when it is
  // closed and drained, or cancelled.
  bool Pop(std::vector<uint8_t>& frame);
  // No more frames: Push fails from now on, Pop still gives the queued ones.
  void Close();
  // Stop at once: the queued frames are dropped, Push and Pop fail from now on.
  void Cancel();

 private:
  const size_t capacity_;
  const size_t maxBytes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<uint8_t>> frames_;  // oldest first
  size_t queuedBytes_ = 0;                    // their sizes together
  std::vector<std::vector<uint8_t>> spare_;  // emptied buffers, handed back to Push
  bool closed_ = false;
  bool cancelled_ = false;
};
