#include "support/hidden_gl_device.h"

#include <cstdlib>

#include "platform/gl_device.h"

namespace zt::testing {

HiddenGlDevice OpenHiddenGlDevice(const GlWindowOptions& options, uint32_t width, uint32_t height, bool smoothEdges) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  HiddenGlDevice gl;
  gl.Window = SdlGlWindow::Create(options, gl.Error);
  if (!gl.Window) return gl;
  gl.D3D = CreateGlDirect3D(*gl.Window, smoothEdges);
  const HRESULT result = gl.D3D->CreateDevice(0, D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                              PresentParameters(width, height, D3DFMT_X8R8G8B8, true), gl.Device);
  if (Failed(result)) {
    gl.Device.reset();
    gl.Error = "the device could not be created: " + D3DErrorText(result);
  }
  return gl;
}

HiddenGlDevice OpenHiddenGlDevice(uint32_t width, uint32_t height) {
  return OpenHiddenGlDevice(HiddenWindowOptions(static_cast<int>(width), static_cast<int>(height)), width, height);
}

}  // namespace zt::testing
