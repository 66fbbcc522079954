// The frame timer on scripted counters: precision far from the counter's
// origin, the three readings of Elapsed, the millisecond fallback, and the
// fixed-step clock.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "platform/counter.h"
#include "runtime/timer.h"

namespace {

// A counter whose ticks the test sets; each reading can move it on by
// `ticksPerRead` to tell the timer's separate readings apart.
class ScriptedCounter : public CounterSource {
 public:
  uint64_t frequency = 10'000'000;  // 10 MHz, a common performance counter
  uint64_t ticks = 0;
  uint64_t ticksPerRead = 0;
  uint64_t HighResolutionFrequency() override { return frequency; }
  uint64_t HighResolutionTicks() override { return Read(); }
  uint64_t MillisecondTicks() override { return Read(); }

 private:
  uint64_t Read() {
    const uint64_t now = ticks;
    ticks += ticksPerRead;
    return now;
  }
};

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCounterSource(&counter); }
  void TearDown() override { SetCounterSource(nullptr); }
  ScriptedCounter counter;
};

TEST_F(TimerTest, StaysPreciseAMillionSecondsIntoTheCounter) {
  counter.ticks = 1'000'000ull * counter.frequency;  // about 11.6 days of uptime
  TOTimer timer;
  timer.Create();
  EXPECT_TRUE(timer.UsePerformanceCounter);
  EXPECT_FLOAT_EQ(timer.SecondsPerTick, 1e-7f);
  timer.Reset();
  EXPECT_EQ(timer.Elapsed(), 0.0f);

  counter.ticks += 166'667;  // 16.6667 ms
  EXPECT_NEAR(timer.Elapsed(), 0.0166667, 1e-7);
  EXPECT_NEAR(timer.Delta, 0.0166667, 1e-7);
  counter.ticks += 10;  // one microsecond
  timer.Elapsed();
  EXPECT_NEAR(timer.Delta, 1e-6, 1e-10);

  // Deep into a long show, Elapsed keeps a float's precision of the time
  // since Reset (a few microseconds at 100 s), not of the counter's value.
  counter.ticks += 100ull * counter.frequency + 123;
  EXPECT_NEAR(timer.Elapsed(), 100.0166790, 1e-5);
  EXPECT_NEAR(timer.Delta, 100.0000123, 1e-5);
  counter.ticks += 25;
  timer.Elapsed();
  EXPECT_NEAR(timer.Delta, 2.5e-6, 1e-10);
}

TEST_F(TimerTest, ElapsedTakesThreeReadingsAndDeltaSpansTheGap) {
  counter.frequency = 1'000'000;  // 1 us per tick
  counter.ticks = 5'000'000'000ull;
  counter.ticksPerRead = 1;
  TOTimer timer;
  timer.Create();
  timer.Reset();  // reads r
  // Readings r+1 (elapsed), r+2 (delta from the reset), r+3 (next start).
  EXPECT_NEAR(timer.Elapsed(), 1e-6, 1e-10);
  EXPECT_NEAR(timer.Delta, 2e-6, 1e-10);
  // Next call: r+4 for elapsed, r+5 for delta measured from r+3.
  EXPECT_NEAR(timer.Elapsed(), 4e-6, 1e-10);
  EXPECT_NEAR(timer.Delta, 2e-6, 1e-10);
}

TEST_F(TimerTest, MillisecondFallbackStepsInMilliseconds) {
  counter.frequency = 0;  // no high-resolution counter
  counter.ticks = 4'000'000'000ull;
  TOTimer timer;
  timer.Create();
  EXPECT_FALSE(timer.UsePerformanceCounter);
  EXPECT_FLOAT_EQ(timer.SecondsPerTick, 0.001f);
  timer.Reset();
  timer.Elapsed();
  EXPECT_EQ(timer.Delta, 0.0f);  // a frame inside one millisecond reports no time
  counter.ticks += 17;
  EXPECT_NEAR(timer.Elapsed(), 0.017, 1e-7);
  EXPECT_NEAR(timer.Delta, 0.017, 1e-7);
}

TEST_F(TimerTest, ReadingsBeforeCreateAndAfterResetStartAtZero) {
  counter.ticks = 123'456'789;
  TOTimer timer;
  EXPECT_EQ(timer.Elapsed(), 0.0f);
  timer.Create();
  counter.ticks += 20'000'000;  // 2 s
  EXPECT_NEAR(timer.ReadSeconds(), 2.0f, 1e-6);
  timer.Reset();
  EXPECT_NEAR(timer.StartTime, 2.0f, 1e-6);
  EXPECT_EQ(timer.Elapsed(), 0.0f);
  EXPECT_EQ(timer.Delta, 0.0f);
}

// Frame n reads n * seconds / steps exactly (as a float) through a whole show
// at 59.94, 50 and 144 steps per second: nothing drifts.
TEST(FixedStepClockTest, FractionalRatesStepWithoutDrift) {
  for (const auto& [steps, seconds] : {std::pair{60000u, 1001u}, {50u, 1u}, {144u, 1u}}) {
    FixedStepCounter clock(steps, seconds);
    SetCounterSource(&clock);
    TOTimer timer;
    timer.Create();
    int wrong = 0;
    for (int64_t frame = 0; frame < 200 * 144; ++frame, CounterFramePresented()) {
      wrong += timer.Elapsed() != static_cast<float>(static_cast<long double>(frame) * seconds / steps);
    }
    EXPECT_EQ(wrong, 0) << steps << "/" << seconds;
    SetCounterSource(nullptr);
  }
}

TEST(FixedStepClockTest, MovesOneStepPerPresentedFrame) {
  FixedStepCounter clock(60);
  SetCounterSource(&clock);
  TOTimer timer;
  timer.Create();
  timer.Reset();
  for (int frame = 1; frame <= 120; ++frame) {
    EXPECT_EQ(timer.Elapsed(), static_cast<float>((frame - 1) / 60.0));
    CounterFramePresented();
  }
  // Reading does not move the clock; presenting does, by exactly one step.
  EXPECT_EQ(timer.Elapsed(), 2.0f);
  EXPECT_FLOAT_EQ(timer.Delta, 1.0f / 60.0f);
  EXPECT_EQ(timer.Elapsed(), 2.0f);
  EXPECT_EQ(timer.Delta, 0.0f);
  EXPECT_EQ(clock.Steps(), 120u);
  SetCounterSource(nullptr);
  // Back on the system counter, presenting leaves the virtual clock alone.
  CounterFramePresented();
  EXPECT_EQ(clock.Steps(), 120u);
}

}  // namespace
