#include "app/frame_pacing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace zt {

namespace {

constexpr double kMicroseconds = 1e6;
constexpr double kBlockingShare = 0.85;  // frames at least this part of a refresh apart: the swap waited
constexpr uint64_t kAwakeUs = 500;       // the end of a wait spent awake

uint64_t PeriodOf(double rate) { return static_cast<uint64_t>(std::llround(kMicroseconds / rate)); }

}  // namespace

uint32_t WaitForNextMillisecond(Clock& clock, uint32_t lastFrameTick) {
  uint32_t now = clock.Now();
  while (now == lastFrameTick) {
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    now = clock.Now();
  }
  return now;
}

FramePacer::FramePacer(const PacingSetup& setup)
    : refreshPeriod_(PeriodOf(setup.RefreshRate > 0 ? setup.RefreshRate : kUnknownRefreshRate)),
      vsyncOn_(setup.VsyncOn),
      fixedRate_(setup.FixedRate) {
  Restart();
}

void FramePacer::Restart() {
  swapsBlock_ = vsyncOn_;
  measured_ = vsyncOn_ && fixedRate_ < 0 ? 0 : kLearningFrames;
  lastDeadline_ = 0;
  lastPresented_ = 0;
  lastWaited_ = false;
}

uint64_t FramePacer::NextFrameStart(uint64_t now, bool staticScreen) {
  uint64_t start = now;
  if (fixedRate_ > 0) {
    start = DeadlineAfter(PeriodOf(fixedRate_), now);
  } else if (fixedRate_ == 0 || Learning()) {
    start = now;
  } else if (!swapsBlock_) {
    start = DeadlineAfter(staticScreen ? PeriodOf(kStaticScreenRate) : refreshPeriod_, now);
  } else if (staticScreen && lastPresented_ != 0) {
    // The swap will wait for the display: start one refresh before the one to be shown at,
    // so the frame has a whole period to be drawn in.
    const uint64_t refreshes =
        std::max<uint64_t>(1, (PeriodOf(kStaticScreenRate) + refreshPeriod_ / 2) / refreshPeriod_);
    start = std::max(now, lastPresented_ + (refreshes - 1) * refreshPeriod_);
  }
  lastWaited_ = start > now;
  return start;
}

uint64_t FramePacer::DeadlineAfter(uint64_t period, uint64_t now) {
  uint64_t deadline = lastDeadline_ + period;
  if (lastDeadline_ == 0 || deadline + period < now) deadline = now;  // first paced frame, or far behind
  lastDeadline_ = deadline;
  return std::max(deadline, now);
}

void FramePacer::FramePresented(uint64_t presented) {
  if (!lastWaited_ && lastPresented_ != 0 && presented > lastPresented_) Measure(presented - lastPresented_);
  lastPresented_ = presented;
}

void FramePacer::Measure(uint64_t interval) {
  if (!vsyncOn_ || fixedRate_ >= 0) return;
  intervals_[measured_ % kLearningFrames] = interval;
  ++measured_;
  if (measured_ < kLearningFrames) return;
  if (measured_ >= 2 * kLearningFrames) measured_ -= kLearningFrames;  // keeps the count small, the ring in place
  std::array<uint64_t, kLearningFrames> sorted = intervals_;
  std::nth_element(sorted.begin(), sorted.begin() + kLearningFrames / 2, sorted.end());
  swapsBlock_ =
      static_cast<double>(sorted[kLearningFrames / 2]) >= kBlockingShare * static_cast<double>(refreshPeriod_);
}

void SleepUntil(uint64_t deadline, const std::function<uint64_t()>& now, const std::function<void(uint64_t)>& sleep) {
  for (uint64_t time = now(); time < deadline; time = now())
    if (deadline - time > kAwakeUs) sleep(deadline - time - kAwakeUs);
}

}  // namespace zt
