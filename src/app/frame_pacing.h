// The frame loop never starts two frames within the same millisecond: at more than a
// thousand frames a second every frame would be counted as a whole millisecond and the
// game would run faster than the clock.
#pragma once

#include <cstdint>

#include "device/clock.h"

namespace zt {

// Returns once the clock has moved on from `lastFrameTick` (yielding the processor
// meanwhile); the tick it returns is the new frame's.
uint32_t WaitForNextMillisecond(Clock& clock, uint32_t lastFrameTick);

}  // namespace zt
