#include "app/game_direct3d.h"

#include "platform/gl_device.h"
#include "platform/presentation.h"

namespace zt {

Direct3DPtr CreateGameDirect3D(SdlGlWindow& window, Settings& settings) {
  settings.AntialiasingInUse = SmoothEdgesFor(settings.Antialiasing, window.Renderer());
  return CreateGlDirect3D(window, settings.AntialiasingInUse);
}

}  // namespace zt
