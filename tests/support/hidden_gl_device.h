// The OpenGL device the drawing tests and the benchmarks draw through: a hidden window (SDL's
// offscreen driver and Mesa's software renderer unless the run chose others) and a windowed
// device on it with a 16-bit depth buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device/device.h"
#include "platform/sdl_window.h"

namespace zt::testing {

struct HiddenGlDevice {
  std::unique_ptr<SdlGlWindow> Window;  // released last
  Direct3DPtr D3D;
  DevicePtr Device;   // empty when the window or the device could not be made
  std::string Error;  // then what went wrong

  void Close() {  // the device first, the window last
    Device.reset();
    D3D.reset();
    Window.reset();
  }
};

// A device of width x height pixels (0: the window's) on a window of `options`, drawing with
// smooth edges when asked.
HiddenGlDevice OpenHiddenGlDevice(const GlWindowOptions& options, uint32_t width, uint32_t height,
                                  bool smoothEdges = false);
// A device on a hidden window of its own size.
HiddenGlDevice OpenHiddenGlDevice(uint32_t width, uint32_t height);

}  // namespace zt::testing
