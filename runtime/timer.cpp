// The show clock on the active tick counter (platform/counter.h).

#include "runtime/timer.h"

#include "platform/counter.h"

void TOTimer::Create() {
  CounterSource& counter = ActiveCounter();
  const uint64_t frequency = counter.HighResolutionFrequency();
  UsePerformanceCounter = frequency != 0;
  tickSeconds_ = UsePerformanceCounter ? 1.0 / static_cast<double>(frequency) : 0.001;
  SecondsPerTick = static_cast<float>(tickSeconds_);
  baseTicks_ = ReadTicks();
  startTicks_ = baseTicks_;
  lastTicks_ = baseTicks_;
  StartTime = 0.0f;
  LastStamp = 0.0f;
  Delta = 0.0f;
}

uint64_t TOTimer::ReadTicks() {
  CounterSource& counter = ActiveCounter();
  return UsePerformanceCounter ? counter.HighResolutionTicks() : counter.MillisecondTicks();
}

float TOTimer::Span(uint64_t from, uint64_t to) const {
  if (to <= from) return 0.0f;
  return static_cast<float>(static_cast<double>(to - from) * tickSeconds_);
}

float TOTimer::ReadSeconds() { return Span(baseTicks_, ReadTicks()); }

void TOTimer::Reset() {
  startTicks_ = ReadTicks();
  lastTicks_ = startTicks_;
  StartTime = Span(baseTicks_, startTicks_);
  LastStamp = StartTime;
}

float TOTimer::Elapsed() {
  const float elapsed = Span(startTicks_, ReadTicks());
  Delta = Span(lastTicks_, ReadTicks());
  lastTicks_ = ReadTicks();
  LastStamp = Span(baseTicks_, lastTicks_);
  return elapsed;
}
