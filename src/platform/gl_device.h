// The Direct3D-style device on OpenGL 3.3 core: shader variants emulating the
// fixed-function pipeline; frames of the window's size drawn straight into the window,
// others (and every frame of a window that keeps them) into a back buffer of the
// device's own, a framebuffer object scaled onto the window by Present; consecutive
// small draws that share their states merged into one GL draw call.
#pragma once

#include <memory>

#include "device/device.h"
#include "platform/sdl_window.h"

namespace zt {

// Direct3DCreate8's counterpart: the Direct3D object of the window's GL context. Its devices
// draw with smooth edges when asked: frames with four samples a pixel (fewer, or one, where the
// driver offers no more), averaged as they are shown or read, and pictures minified linearly
// without a mip filter sampled trilinearly from levels GL makes for them.
Direct3DPtr CreateGlDirect3D(SdlGlWindow& window, bool smoothEdges = false);

// Figures of the last presented frame, for the timing report and the tests.
struct GlFrameCounts {
  int DrawPrimitiveCalls = 0;  // the game's draws
  int GlDrawCalls = 0;         // what reached OpenGL after merging
  int TextureBinds = 0;        // textures bound for drawing (none bound counts too)
  int UniformCalls = 0;        // uniform uploads of the drawing states
  int BackBufferCopies = 0;    // the device's back buffer scaled or copied onto the window
};
GlFrameCounts LastFrameCounts(const Device& device);  // zeros for a device that is not a GL device

}  // namespace zt
