#include "app/frame_pacing.h"

#include <gtest/gtest.h>

#include "game/game_step.h"

namespace zt {
namespace {

// A clock of a very fast machine: each reading moves it by a tenth of a millisecond.
class FineClock final : public Clock {
 public:
  uint32_t Now() override {
    tenths_ += 1;
    return static_cast<uint32_t>(tenths_ / 10);
  }

 private:
  uint64_t tenths_ = 10000;
};

TEST(FramePacing, NoTwoFramesStartInTheSameMillisecond) {
  FineClock clock;
  TimeBase time;
  time.LastTick = clock.Now();
  uint32_t lastFrame = time.LastTick;
  uint64_t frameMsTotal = 0;
  const uint32_t start = lastFrame;
  for (int frame = 0; frame < 500; ++frame) {
    const uint32_t tick = WaitForNextMillisecond(clock, lastFrame);
    EXPECT_NE(tick, lastFrame);
    lastFrame = tick;
    TakeFrameTime(time, clock);
    frameMsTotal += time.FrameMs;
  }
  // The game's time follows the clock instead of running ahead of it.
  const uint32_t elapsed = clock.Now() - start;
  EXPECT_LE(frameMsTotal, elapsed + 1);
  EXPECT_GE(frameMsTotal, 500u);
}

}  // namespace
}  // namespace zt
