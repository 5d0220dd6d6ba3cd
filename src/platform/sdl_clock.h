// The game's millisecond clock on SDL.
#pragma once

#include "device/clock.h"

namespace zt {

class SdlClock final : public Clock {
 public:
  uint32_t Now() override;
};

}  // namespace zt
