#include "app/frame_pacing.h"

#include <thread>

namespace zt {

uint32_t WaitForNextMillisecond(Clock& clock, uint32_t lastFrameTick) {
  uint32_t now = clock.Now();
  while (now == lastFrameTick) {
    std::this_thread::yield();
    now = clock.Now();
  }
  return now;
}

}  // namespace zt
