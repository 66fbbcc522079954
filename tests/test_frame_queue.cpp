// The capture's frame queue and writer thread: order, buffers that
// circulate, blocking on a full or empty queue, and closing or cancelling
// while the other side waits.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <thread>
#include <vector>

#include "app/frame_queue.h"
#include "app/frame_writer.h"

namespace {

using namespace std::chrono_literals;

std::vector<uint8_t> Frame(uint8_t value) { return std::vector<uint8_t>(4096, value); }

// Runs `call` on a thread and says whether it is still blocked a moment later.
class Waiter {
 public:
  template <typename Call>
  explicit Waiter(Call call) : thread_([this, call]() mutable { result_ = call(); done_ = true; }) {}
  ~Waiter() { if (thread_.joinable()) thread_.join(); }
  bool StillWaiting() {
    std::this_thread::sleep_for(50ms);
    return !done_;
  }
  bool Result() {
    thread_.join();
    return result_;
  }

 private:
  std::atomic<bool> done_{false};
  bool result_ = false;
  std::thread thread_;
};

TEST(FrameQueueTest, FramesComeOutInOrderAndAFullQueueBlocksThePush) {
  FrameQueue queue(3);
  for (uint8_t v = 1; v <= 3; ++v) {
    std::vector<uint8_t> frame = Frame(v);
    ASSERT_TRUE(queue.Push(frame));
  }
  std::vector<uint8_t> fourth = Frame(4);
  Waiter push([&] { return queue.Push(fourth); });
  EXPECT_TRUE(push.StillWaiting());
  std::vector<uint8_t> out;
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(out, Frame(1));
  EXPECT_TRUE(push.Result());
  for (uint8_t v = 2; v <= 4; ++v) {
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out, Frame(v));
  }
  // An empty queue blocks the pop until a frame comes.
  Waiter pop([&] { return queue.Pop(out); });
  EXPECT_TRUE(pop.StillWaiting());
  std::vector<uint8_t> fifth = Frame(5);
  ASSERT_TRUE(queue.Push(fifth));
  EXPECT_TRUE(pop.Result());
  EXPECT_EQ(out, Frame(5));
}

// Under 10000 bytes: two frames of 4096 bytes, and one of 20000 however large.
TEST(FrameQueueTest, TheQueuedBytesAreBoundedButOneFrameAlwaysFits) {
  for (const auto& [frameBytes, fitting] : {std::pair{size_t{4096}, 2}, {size_t{20000}, 1}}) {
    FrameQueue queue(3, 10000);
    std::vector<uint8_t> frame(frameBytes);
    for (int i = 0; i < fitting; ++i, frame.resize(frameBytes)) ASSERT_TRUE(queue.Push(frame));
    Waiter push([&] { return queue.Push(frame); });
    EXPECT_TRUE(push.StillWaiting()) << frameBytes;
    queue.Cancel();
  }
}

TEST(FrameQueueTest, BuffersCirculateInsteadOfBeingAllocatedPerFrame) {
  FrameQueue queue(3);
  std::vector<uint8_t> produced, consumed;
  std::set<const uint8_t*> buffers;
  for (int i = 0; i < 200; ++i) {
    produced.resize(4096);  // what filling a frame does: no allocation once sized
    produced[0] = static_cast<uint8_t>(i);
    if (i >= 20) {
      EXPECT_EQ(buffers.count(produced.data()), 1u) << "frame " << i << " got a new buffer";
    }
    buffers.insert(produced.data());
    ASSERT_TRUE(queue.Push(produced));
    if (i % 3 == 2) {  // the consumer falls behind and catches up
      for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(queue.Pop(consumed));
        EXPECT_EQ(consumed[0], static_cast<uint8_t>(i - 2 + k));
      }
    }
  }
  // Capacity, plus one with each side.
  EXPECT_LE(buffers.size(), 5u);
}

TEST(FrameQueueTest, CloseDrainsThenEndsAndWakesAWaitingConsumer) {
  FrameQueue queue(2);
  std::vector<uint8_t> out;
  Waiter pop([&] { return queue.Pop(out); });
  EXPECT_TRUE(pop.StillWaiting());
  queue.Close();
  EXPECT_FALSE(pop.Result());

  FrameQueue drained(2);
  std::vector<uint8_t> frame = Frame(7);
  ASSERT_TRUE(drained.Push(frame));
  drained.Close();
  std::vector<uint8_t> late = Frame(8);
  EXPECT_FALSE(drained.Push(late));
  EXPECT_EQ(late, Frame(8));  // a refused frame is left with its owner
  ASSERT_TRUE(drained.Pop(out));
  EXPECT_EQ(out, Frame(7));
  EXPECT_FALSE(drained.Pop(out));
}

TEST(FrameQueueTest, CancelWakesAWaitingProducerAndDropsTheFrames) {
  FrameQueue queue(1);
  std::vector<uint8_t> first = Frame(1), second = Frame(2);
  ASSERT_TRUE(queue.Push(first));
  Waiter push([&] { return queue.Push(second); });
  EXPECT_TRUE(push.StillWaiting());
  queue.Cancel();
  EXPECT_FALSE(push.Result());
  std::vector<uint8_t> out;
  EXPECT_FALSE(queue.Pop(out));
}

TEST(FrameWriterTest, WritesInOrderAndAFailedWriteReleasesTheProducer) {
  FrameQueue queue(2);
  std::vector<uint8_t> written;
  FrameWriter writer;
  writer.Start(queue, [&](const std::vector<uint8_t>& frame, std::string& error) {
    if (frame[0] == 3) {
      error = "the program stopped reading its input";
      return false;
    }
    written.push_back(frame[0]);
    return true;
  });
  // Frames after the failing one meet a cancelled queue instead of blocking.
  bool refused = false;
  for (uint8_t v = 1; v <= 50 && !refused; ++v) {
    std::vector<uint8_t> frame = Frame(v);
    refused = !queue.Push(frame);
  }
  EXPECT_TRUE(refused);
  writer.Join();
  EXPECT_TRUE(writer.Failed());
  EXPECT_EQ(writer.Error(), "the program stopped reading its input");
  EXPECT_EQ(written, (std::vector<uint8_t>{1, 2}));

  FrameQueue closed(2);
  FrameWriter finished;
  std::vector<uint8_t> all;
  finished.Start(closed, [&](const std::vector<uint8_t>& frame, std::string&) {
    all.push_back(frame[0]);
    return true;
  });
  for (uint8_t v = 1; v <= 9; ++v) {
    std::vector<uint8_t> frame = Frame(v);
    ASSERT_TRUE(closed.Push(frame));
  }
  closed.Close();
  finished.Join();  // the queued frames are written before the thread ends
  EXPECT_FALSE(finished.Failed());
  EXPECT_EQ(all, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace
