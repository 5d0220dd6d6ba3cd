#include "platform/sdl_clock.h"

#include <SDL.h>

namespace zt {

uint32_t SdlClock::Now() { return SDL_GetTicks(); }

}  // namespace zt
