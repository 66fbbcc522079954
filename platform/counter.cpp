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

FixedStepCounter::FixedStepCounter(uint32_t steps, uint32_t seconds)
    : ticksPerSecond_(steps == 0 ? 1 : steps), ticksPerStep_(seconds == 0 ? 1 : seconds) {}

uint64_t FixedStepCounter::HighResolutionFrequency() { return ticksPerSecond_; }
uint64_t FixedStepCounter::HighResolutionTicks() { return steps_ * ticksPerStep_; }
uint64_t FixedStepCounter::MillisecondTicks() { return steps_ * ticksPerStep_ * 1000 / ticksPerSecond_; }
void FixedStepCounter::FramePresented() { ++steps_; }

CounterSource& ActiveCounter() { return *activeCounter; }

void SetCounterSource(CounterSource* source) {
  activeCounter = source != nullptr ? source : &systemCounter;
}

void CounterFramePresented() { activeCounter->FramePresented(); }
