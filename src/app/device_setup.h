// Creating the graphics device for a window or for full screen, with the display and
// texture format choices and their log lines.
#pragma once

#include "core/debug_log.h"
#include "core/settings.h"
#include "device/device.h"

namespace zt {

struct DeviceSetup {
  Direct3DPtr D3D;  // the factory the device is made from
  DevicePtr D3DDevice;
  D3DFORMAT AdapterFormat = D3DFMT_UNKNOWN;
  D3DFORMAT TextureFormat = D3DFMT_UNKNOWN;
  D3DPRESENT_PARAMETERS d3dpp;  // of the full-screen device
};

// Full screen: chooses the display format among the candidates and logs each step. The
// back buffer is the settings' resolution, or with 0 x 0 (desktop settings) the size of the
// window's 4:3 picture, which the device works out.
HRESULT InitD3DFullScreen(DeviceSetup& setup, const Direct3DPtr& factory, const Settings& settings,
                          const DebugLog& log);
// A window: the device takes the desktop's current format and the window's client size.
HRESULT InitD3D(DeviceSetup& setup, const Direct3DPtr& factory);
bool TextureFormatSupported(const DeviceSetup& setup, D3DFORMAT format);
D3DFORMAT ChooseTextureFormat(const DeviceSetup& setup, bool withAlpha);

}  // namespace zt
