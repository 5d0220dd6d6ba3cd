// The pace of a replay shown in the window: as it was recorded, twice or four times as fast,
// or paused. Times are milliseconds: the window's clock, and the time into the replay.
#pragma once

#include <cstdint>

namespace zt {

class ReplayPace {
 public:
  explicit ReplayPace(uint32_t wallNow) : wallAnchor_(wallNow) {}

  // Whether the frame that ends `recorded` ms into the replay may be shown at `wallNow`.
  bool Due(uint64_t recorded, uint32_t wallNow) const {
    return !paused_ && static_cast<uint64_t>(wallNow - wallAnchor_) * speed_ >= recorded - recordedAnchor_;
  }
  // The speed (1, 2 or 4) and the pause change from the frame shown now, `recorded` ms in.
  void SetSpeed(int speed, uint32_t wallNow, uint64_t recorded);
  void Faster(uint32_t wallNow, uint64_t recorded) { SetSpeed(speed_ >= 2 ? 4 : 2, wallNow, recorded); }
  void Slower(uint32_t wallNow, uint64_t recorded) { SetSpeed(speed_ <= 2 ? 1 : 2, wallNow, recorded); }
  void TogglePause(uint32_t wallNow, uint64_t recorded);
  int Speed() const { return speed_; }
  bool Paused() const { return paused_; }

 private:
  void Anchor(uint32_t wallNow, uint64_t recorded) {
    wallAnchor_ = wallNow;
    recordedAnchor_ = recorded;
  }
  uint32_t wallAnchor_;
  uint64_t recordedAnchor_ = 0;
  int speed_ = 1;
  bool paused_ = false;
};

}  // namespace zt
