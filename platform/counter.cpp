// The system tick counters on SDL, the fixed-step virtual clock, and the
// switch between them.

#include "platform/counter.h"

#include <SDL.h>

namespace {

class SystemCounter : public CounterSource {
 public:
  uint64_t HighResolutionFrequency() override { return SDL_GetPerformanceFrequency(); }
  uint64_t HighResolutionTicks() override { return SDL_GetPerformanceCounter(); }
  uint64_t MillisecondTicks() override { return SDL_GetTicks64(); }
};

SystemCounter systemCounter;
CounterSource* activeCounter = &systemCounter;

}  // namespace

FixedStepCounter::FixedStepCounter(uint32_t stepsPerSecond)
    : stepsPerSecond_(stepsPerSecond == 0 ? 1 : stepsPerSecond) {}

uint64_t FixedStepCounter::HighResolutionFrequency() { return stepsPerSecond_; }
uint64_t FixedStepCounter::HighResolutionTicks() { return steps_; }
uint64_t FixedStepCounter::MillisecondTicks() { return steps_ * 1000 / stepsPerSecond_; }
void FixedStepCounter::FramePresented() { ++steps_; }

CounterSource& ActiveCounter() { return *activeCounter; }

void SetCounterSource(CounterSource* source) {
  activeCounter = source != nullptr ? source : &systemCounter;
}

void CounterFramePresented() { activeCounter->FramePresented(); }
