// TOTimer, the show clock: seconds since the last Reset and the time between
// two successive readings (the frame delta). All values are in seconds.
//
// Readings are kept as 64-bit counter ticks and only differences become
// floats, so Elapsed is as precise as a float of the time since Reset and
// Delta stays accurate to the microsecond however long the machine has been up.
#pragma once

#include <cstdint>

class TOTimer {
 public:
  // Length of one counter tick: 1 / frequency, or 0.001 with the millisecond counter.
  float SecondsPerTick = 0.0f;
  // True when the high-resolution counter is available.
  bool UsePerformanceCounter = false;
  // Seconds from Create to the last Reset.
  float StartTime = 0.0f;
  // Seconds from Create to the last reading of Elapsed (or to Reset).
  float LastStamp = 0.0f;
  // The frame delta of the last Elapsed: from the last reading of the call
  // before to the second reading of that call.
  float Delta = 0.0f;

  // Chooses the counter of the active CounterSource and takes the base.
  // Before Create every reading is 0.
  void Create();
  // Seconds since Create.
  float ReadSeconds();
  // Restarts the clock; the next Delta measures from here.
  void Reset();
  // Seconds since the last Reset, from the first of three counter readings;
  // the second updates Delta, the third becomes the next Delta's start.
  float Elapsed();

 private:
  uint64_t ReadTicks();
  // Seconds from `from` to `to`, 0 if the counter went backwards.
  float Span(uint64_t from, uint64_t to) const;

  double tickSeconds_ = 0.0;  // exact tick length; SecondsPerTick is its float
  uint64_t baseTicks_ = 0;
  uint64_t startTicks_ = 0;
  uint64_t lastTicks_ = 0;
};
