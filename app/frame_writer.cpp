// The capture's writer thread: pop, write, and on the first failure record
// it and cancel the queue so the renderer never waits on a dead encoder.

#include "app/frame_writer.h"

#include <utility>

FrameWriter::~FrameWriter() {
  if (queue_ != nullptr) queue_->Cancel();
  Join();
}

void FrameWriter::Start(FrameQueue& queue, FrameSink sink) {
  queue_ = &queue;
  thread_ = std::thread([this, &queue, sink = std::move(sink)]() mutable { Run(queue, std::move(sink)); });
}

std::string FrameWriter::Error() const {
  std::lock_guard<std::mutex> lock(errorMutex_);
  return error_;
}

void FrameWriter::Join() {
  if (thread_.joinable()) thread_.join();
}

void FrameWriter::Run(FrameQueue& queue, FrameSink sink) {
  std::vector<uint8_t> frame;
  while (queue.Pop(frame)) {
    std::string error;
    if (sink(frame, error)) continue;
    {
      std::lock_guard<std::mutex> lock(errorMutex_);
      error_ = error;
    }
    failed_.store(true);
    queue.Cancel();
    return;
  }
}
