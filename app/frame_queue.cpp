// The frame queue: a mutex, one condition variable for both directions, and
// buffers that circulate instead of being allocated per frame.

#include "app/frame_queue.h"

#include <algorithm>
#include <utility>

FrameQueue::FrameQueue(size_t capacity, size_t maxBytes)
    : capacity_(std::max<size_t>(capacity, 1)), maxBytes_(maxBytes) {}

bool FrameQueue::Push(std::vector<uint8_t>& frame) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto room = [this, &frame] {
    return frames_.empty() ||
           (frames_.size() < capacity_ && queuedBytes_ <= maxBytes_ && frame.size() <= maxBytes_ - queuedBytes_);
  };
  changed_.wait(lock, [&] { return closed_ || cancelled_ || room(); });
  if (closed_ || cancelled_) return false;
  queuedBytes_ += frame.size();
  std::vector<uint8_t> next;
  if (!spare_.empty()) {
    next = std::move(spare_.back());
    spare_.pop_back();
  }
  frames_.push_back(std::move(frame));
  frame = std::move(next);
  changed_.notify_all();
  return true;
}

bool FrameQueue::Pop(std::vector<uint8_t>& frame) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return cancelled_ || closed_ || !frames_.empty(); });
  if (cancelled_ || frames_.empty()) return false;
  spare_.push_back(std::move(frame));
  frame = std::move(frames_.front());
  frames_.pop_front();
  queuedBytes_ -= frame.size();
  changed_.notify_all();
  return true;
}

void FrameQueue::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  changed_.notify_all();
}

void FrameQueue::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  frames_.clear();
  queuedBytes_ = 0;
  changed_.notify_all();
}
