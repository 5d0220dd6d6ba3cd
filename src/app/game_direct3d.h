// The OpenGL Direct3D object a run of the game draws with on its window.
#pragma once

#include "core/settings.h"
#include "device/device.h"
#include "platform/sdl_window.h"

namespace zt {

// Edges smoothed as "Options"/"Antialiasing" chose, or when it left the choice to the renderer,
// as the window's renderer suits (SmoothEdgesFor). Notes in `settings` what this run draws with,
// which the controls page tells apart from the choice for the next start.
Direct3DPtr CreateGameDirect3D(SdlGlWindow& window, Settings& settings);

}  // namespace zt
