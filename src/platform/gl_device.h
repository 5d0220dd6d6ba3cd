// The Direct3D-style device on OpenGL 3.3 core: one shader pair emulating the
// fixed-function pipeline, a back buffer of its own (a framebuffer object the size
// of the presentation parameters) shown on the window by Present, and consecutive
// small draws that share their states merged into one GL draw call.
#pragma once

#include <memory>

#include "device/device.h"
#include "platform/sdl_window.h"

namespace zt {

// Direct3DCreate8's counterpart: the Direct3D object of the window's GL context.
Direct3DPtr CreateGlDirect3D(SdlGlWindow& window);

// Figures of the last presented frame, for the timing report and the tests.
struct GlFrameCounts {
  int DrawPrimitiveCalls = 0;  // the game's draws
  int GlDrawCalls = 0;         // what reached OpenGL after merging
  int TextureBinds = 0;        // textures bound for drawing (none bound counts too)
  int UniformCalls = 0;        // uniform uploads of the drawing states
};
GlFrameCounts LastFrameCounts(const Device& device);  // zeros for a device that is not a GL device

}  // namespace zt
