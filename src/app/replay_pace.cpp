#include "app/replay_pace.h"

namespace zt {

void ReplayPace::SetSpeed(int speed, uint32_t wallNow, uint64_t recorded) {
  if (speed != 1 && speed != 2 && speed != 4) return;
  speed_ = speed;
  Anchor(wallNow, recorded);
}

void ReplayPace::TogglePause(uint32_t wallNow, uint64_t recorded) {
  paused_ = !paused_;
  Anchor(wallNow, recorded);
}

}  // namespace zt
