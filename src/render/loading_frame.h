// The frame shown while the game loads: the intro picture behind the glass and the
// loading bar growing from its left end.
#pragma once

#include "device/device.h"
#include "render/scene_resources.h"

namespace zt {

// Draws and presents one complete loading frame with the bar at `fraction` (0..1).
void DrawLoadingProgress(Device& device, SceneResources& scene, float fraction);

}  // namespace zt
