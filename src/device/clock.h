// The millisecond clock of the game (the tick counter every timer reads).
#pragma once

#include <cstdint>

namespace zt {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t Now() = 0;  // ms; wraps around after 49.7 days
};

// A clock that moves only when told to: replays and tests.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(uint32_t start = 1000) : now_(start) {}
  uint32_t Now() override { return now_; }
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t now) { now_ = now; }

 private:
  uint32_t now_;
};

// A clock that holds still within a frame: every reading of one frame gives the tick the
// frame began at, so a recorded game's frames replay with exactly the times they saw.
class LatchedClock final : public Clock {
 public:
  explicit LatchedClock(Clock& source) : source_(source), now_(source.Now()) {}
  uint32_t Now() override { return now_; }
  uint32_t Latch() { return now_ = source_.Now(); }  // the next frame's tick

 private:
  Clock& source_;
  uint32_t now_;
};

}  // namespace zt
