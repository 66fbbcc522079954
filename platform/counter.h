// The tick counters the frame timer reads: the system's high-resolution
// counter with a millisecond fallback, or a replacement (the fixed-step
// virtual clock of headless runs, a scripted counter in tests).
#pragma once

#include <cstdint>

// One source of time. Ticks only ever grow.
class CounterSource {
 public:
  virtual ~CounterSource() = default;
  // Ticks per second of HighResolutionTicks; 0 when there is no such counter.
  virtual uint64_t HighResolutionFrequency() = 0;
  virtual uint64_t HighResolutionTicks() = 0;
  // Milliseconds since some fixed start: the fallback counter.
  virtual uint64_t MillisecondTicks() = 0;
  // Called once per presented frame; only virtual clocks move here.
  virtual void FramePresented() {}
};

// A virtual clock that stands still while a frame is drawn and moves on by
// exactly `seconds` / `steps` seconds each time a frame is presented (1001 /
// 60000 for 59.94 steps per second), so runs that render at any speed see the
// same times. It counts in ticks of 1 / `steps` s, `seconds` ticks a step, so
// step n reads n * seconds ticks exactly. Starts at 0.
class FixedStepCounter : public CounterSource {
 public:
  explicit FixedStepCounter(uint32_t steps, uint32_t seconds = 1);
  uint64_t HighResolutionFrequency() override;
  uint64_t HighResolutionTicks() override;
  uint64_t MillisecondTicks() override;
  void FramePresented() override;
  // Frames presented since the clock was made.
  uint64_t Steps() const { return steps_; }

 private:
  uint32_t ticksPerSecond_;
  uint32_t ticksPerStep_;
  uint64_t steps_ = 0;
};

// The source every reading goes to: the system counter unless replaced.
CounterSource& ActiveCounter();
// Replaces the active source; the caller keeps `source` alive while it is
// active. nullptr gives the system counter back.
void SetCounterSource(CounterSource* source);
// Tells the active source that a frame was presented (PresentFrame calls it).
void CounterFramePresented();
