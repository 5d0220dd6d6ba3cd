#include "app/frame_pacing.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

// The window's loop on a simulated display: each frame waits as the pacer says, takes
// `WorkUs` to draw, and is presented either at once or at the display's next refresh.
struct SimulatedLoop {
  uint64_t RefreshUs = 16667;
  bool SwapWaits = false;
  uint64_t WorkUs = 2000;
  uint64_t Now = 5'000'000;
  std::vector<uint64_t> Starts;
  std::vector<bool> Held;  // the pacer kept the frame waiting

  void Frames(FramePacer& pacer, int count, bool staticScreen) {
    for (int i = 0; i < count; ++i) {
      const uint64_t start = pacer.NextFrameStart(Now, staticScreen);
      Held.push_back(start > Now);
      Now = std::max(Now, start);
      Starts.push_back(Now);
      Now += WorkUs;
      if (SwapWaits) Now = (Now / RefreshUs + 1) * RefreshUs;
      pacer.FramePresented(Now);
      Now += 100;  // the window's events
    }
  }
  // The gaps between the starts of the last `count` frames.
  std::vector<uint64_t> LastIntervals(size_t count) const {
    std::vector<uint64_t> gaps;
    for (size_t i = Starts.size() - count; i < Starts.size(); ++i) gaps.push_back(Starts[i] - Starts[i - 1]);
    return gaps;
  }
};

TEST(FramePacing, SwapsThatReturnAtOnceArePacedToTheRefreshRate) {
  FramePacer pacer(PacingSetup{60, true, -1});
  SimulatedLoop loop;
  loop.Frames(pacer, 20, false);
  EXPECT_FALSE(pacer.Learning());
  EXPECT_FALSE(pacer.SwapsBlock());
  for (int i = 0; i < 15; ++i) EXPECT_FALSE(loop.Held[static_cast<size_t>(i)]) << "learning frames are not held";
  loop.Frames(pacer, 600, false);
  // Deadlines are absolute: every gap is one refresh, and ten seconds hold 600 frames.
  for (uint64_t gap : loop.LastIntervals(590)) EXPECT_EQ(gap, 16667u);
  EXPECT_EQ(loop.Starts.back() - loop.Starts[loop.Starts.size() - 601], 600u * 16667u);
}

// A 60 Hz display with vsync on, whose swaps wait for the refresh.
struct WaitingSwaps : ::testing::Test {
  WaitingSwaps() { loop.SwapWaits = true; }
  FramePacer pacer{PacingSetup{60, true, -1}};
  SimulatedLoop loop;
};

TEST_F(WaitingSwaps, SwapsThatWaitForTheDisplayAreLeftToIt) {
  loop.Frames(pacer, 200, false);
  EXPECT_TRUE(pacer.SwapsBlock());
  for (bool held : loop.Held) EXPECT_FALSE(held);
  for (uint64_t gap : loop.LastIntervals(150)) EXPECT_EQ(gap, 16667u);

  // Slow frames (a big software-drawn window) are not held either, whatever they are taken for.
  FramePacer slow(PacingSetup{60, true, -1});
  SimulatedLoop heavy;
  heavy.WorkUs = 40000;
  heavy.Frames(slow, 100, false);
  for (bool held : heavy.Held) EXPECT_FALSE(held);
}

TEST(FramePacing, StaticScreensRunAtThirtyFramesASecond) {
  struct Case {
    double refresh;
    bool swapWaits;
    uint64_t gap;  // µs between frames
  };
  const Case cases[] = {
      {60, false, 33333},  // paced by the deadline
      {60, true, 33334},   // every second refresh
      {144, true, 34720},  // every fifth refresh of 6944 µs
      {30, true, 33333},   // every refresh
  };
  for (const Case& c : cases) {
    FramePacer pacer(PacingSetup{c.refresh, true, -1});
    SimulatedLoop loop;
    loop.RefreshUs = static_cast<uint64_t>(1e6 / c.refresh + 0.5);
    loop.SwapWaits = c.swapWaits;
    loop.WorkUs = 5000;
    loop.Frames(pacer, 20, false);  // learning in a game
    loop.Frames(pacer, 90, true);   // then the menu
    for (uint64_t gap : loop.LastIntervals(80)) EXPECT_EQ(gap, c.gap) << c.refresh << " Hz";
  }
}

TEST(FramePacing, AnUnknownRateIsSixtyAndTheCommandLineOverridesEverything) {
  FramePacer unknown(PacingSetup{0, false, -1});
  EXPECT_FALSE(unknown.Learning());  // no vsync: nothing to learn
  SimulatedLoop loop;
  loop.Frames(unknown, 60, false);
  for (uint64_t gap : loop.LastIntervals(59)) EXPECT_EQ(gap, 16667u);

  FramePacer twenty(PacingSetup{60, true, 20});
  SimulatedLoop fixed;
  fixed.Frames(twenty, 40, false);
  fixed.Frames(twenty, 40, true);
  for (uint64_t gap : fixed.LastIntervals(79)) EXPECT_EQ(gap, 50000u);

  FramePacer unlimited(PacingSetup{60, true, 0});
  SimulatedLoop fast;
  fast.Frames(unlimited, 40, true);
  for (bool held : fast.Held) EXPECT_FALSE(held);
}

TEST(FramePacing, AStallStartsTheDeadlinesAnewInsteadOfRushingToCatchUp) {
  FramePacer pacer(PacingSetup{60, false, -1});
  SimulatedLoop loop;
  loop.Frames(pacer, 30, false);
  loop.Now += 500000;  // half a second away (minimised, a slow disk)
  loop.Frames(pacer, 10, false);
  for (uint64_t gap : loop.LastIntervals(9)) EXPECT_EQ(gap, 16667u);
}

TEST_F(WaitingSwaps, ADisplayThatStopsWaitingIsNoticedAndPaced) {
  loop.Frames(pacer, 40, false);
  ASSERT_TRUE(pacer.SwapsBlock());
  loop.SwapWaits = false;  // a compositor that stopped waiting, a window moved
  loop.Frames(pacer, 40, false);
  EXPECT_FALSE(pacer.SwapsBlock());
  for (uint64_t gap : loop.LastIntervals(20)) EXPECT_EQ(gap, 16667u);

  pacer.Restart();  // a new device: learnt again
  EXPECT_TRUE(pacer.Learning());
}

TEST(FramePacing, TheGameTakesTheTimeItMeasuresWhateverThePace) {
  FramePacer pacer(PacingSetup{60, false, -1});
  SimulatedLoop loop;
  loop.Frames(pacer, 1, true);
  ManualClock clock(static_cast<uint32_t>(loop.Starts.back() / 1000));
  TimeBase time;
  time.LastTick = clock.Now();
  uint64_t gameMs = 0;
  for (int frame = 1; frame < 300; ++frame) {
    loop.Frames(pacer, 1, frame % 100 < 50);  // menu and game in turn
    clock.Set(static_cast<uint32_t>(loop.Starts.back() / 1000));
    TakeFrameTime(time, clock);
    gameMs += time.FrameMs;
    EXPECT_GE(time.FrameMs, 16u);
    EXPECT_LE(time.FrameMs, 34u);
  }
  const uint64_t wallMs = loop.Starts.back() / 1000 - loop.Starts.front() / 1000;
  EXPECT_EQ(gameMs, wallMs);
}

TEST(FramePacing, WaitingSleepsAndStaysAwakeOnlyForItsLastHalfMillisecond) {
  for (uint64_t overshoot : {0u, 80u, 400u}) {
    uint64_t time = 1000;
    uint64_t slept = 0;
    int sleeps = 0;
    const uint64_t deadline = time + 12000;
    SleepUntil(
        deadline, [&] { return time += 1; },
        [&](uint64_t us) {
          ++sleeps;
          slept += us + overshoot;
          time += us + overshoot;
        });
    EXPECT_GE(time, deadline);
    EXPECT_LE(time - deadline, overshoot + 2);
    EXPECT_LE(time - 1000 - slept, 1000u) << "awake too long with an overshoot of " << overshoot;
    EXPECT_LE(sleeps, 3);
  }
}

}  // namespace
}  // namespace zt
