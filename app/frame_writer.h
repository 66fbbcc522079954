// The writer thread of --capture: takes frames from a FrameQueue and hands
// each to a sink (the pipe into ffmpeg), so the renderer reads back the next
// frame while the last one is still being written.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/frame_queue.h"

// Writes one frame; false with `error` filled when it could not.
using FrameSink = std::function<bool(const std::vector<uint8_t>& frame, std::string& error)>;

class FrameWriter {
 public:
  FrameWriter() = default;
  // Cancels the queue and joins the thread (see Join).
  ~FrameWriter();
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  // Starts the thread: it pops frames from `queue` in order and writes each
  // with `sink` until the queue is closed and drained or cancelled. The first
  // failed write is recorded and cancels the queue, so a Push waiting on a
  // full queue returns. Call once; `queue` must outlive the thread.
  void Start(FrameQueue& queue, FrameSink sink);
  // True once a write has failed; may be called at any time from any thread.
  bool Failed() const { return failed_.load(); }
  // The failed write's message; empty while none failed.
  std::string Error() const;
  // Waits for the thread to end. It ends by itself once the queue is closed
  // and drained or cancelled; a write blocked inside the sink must be made
  // to return by its owner first (the encoder killed). No-op when not running.
  void Join();

 private:
  void Run(FrameQueue& queue, FrameSink sink);

  std::thread thread_;
  FrameQueue* queue_ = nullptr;
  std::atomic<bool> failed_{false};
  mutable std::mutex errorMutex_;
  std::string error_;
};
