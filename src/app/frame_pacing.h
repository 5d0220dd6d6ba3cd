// How the window's frame loop spaces its frames.
//
// Frames follow the display: when the swap waits for the display (vsync that took effect)
// the display sets the pace; when it does not (vsync refused, or a swap that returns at once:
// some drivers, compositors and software renderers), the loop sleeps to an absolute deadline
// one refresh period after the last one. Whether swaps block is told by the first frames:
// drawn without waiting, do they come faster than the display refreshes? The menu, the pause,
// the abort question and game over run at 30 frames a second. The game's speed never depends
// on any of this: each step still takes the frame time it measures.
//
// Times here are microseconds of a steady clock; the game's millisecond clock is not used.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "device/clock.h"

namespace zt {

// Returns once the clock has moved on from `lastFrameTick`, napping meanwhile, so no two
// frames start in the same millisecond (each would count as a whole one and the game would
// run ahead of the clock). The tick it returns is the new frame's.
uint32_t WaitForNextMillisecond(Clock& clock, uint32_t lastFrameTick);

constexpr double kStaticScreenRate = 30;    // frames a second of the menu, pause, abort question, game over
constexpr double kUnknownRefreshRate = 60;  // Hz, when the display does not say

struct PacingSetup {
  double RefreshRate = kUnknownRefreshRate;  // Hz of the window's display; 0 or less: unknown
  bool VsyncOn = true;                       // the swap interval the driver reports is not 0
  int FixedRate = -1;  // --fps N: N frames a second on every screen, 0 as fast as they come; -1: none
};

class FramePacer {
 public:
  explicit FramePacer(const PacingSetup& setup);

  // The time the next frame may start at: `now` when it may start at once. `staticScreen`:
  // the menu, the pause, the abort question or game over.
  uint64_t NextFrameStart(uint64_t now, bool staticScreen);
  // The frame NextFrameStart let start has been presented at `presented`.
  void FramePresented(uint64_t presented);
  // Forgets the display's pace, to learn it again (a new device, a window back from the task bar).
  void Restart();

  bool Learning() const { return measured_ < kLearningFrames; }
  bool SwapsBlock() const { return swapsBlock_; }
  uint64_t RefreshPeriod() const { return refreshPeriod_; }

 private:
  static constexpr size_t kLearningFrames = 15;  // frames drawn without waiting before deciding
  uint64_t DeadlineAfter(uint64_t period, uint64_t now);
  void Measure(uint64_t interval);

  uint64_t refreshPeriod_;  // µs
  bool vsyncOn_;
  int fixedRate_;
  bool swapsBlock_ = true;
  std::array<uint64_t, kLearningFrames> intervals_{};  // of the last frames drawn without waiting
  size_t measured_ = 0;
  uint64_t lastDeadline_ = 0;   // the start the last paced frame was given
  uint64_t lastPresented_ = 0;  // 0: nothing presented yet
  bool lastWaited_ = false;     // the frame in progress was held back by the pacer
};

// Waits until `deadline` on the clock `now`: asleep (`sleep` µs at a time) for most of the
// wait, awake at most for the last half millisecond, where a sleep would overshoot.
void SleepUntil(uint64_t deadline, const std::function<uint64_t()>& now, const std::function<void(uint64_t)>& sleep);

}  // namespace zt
