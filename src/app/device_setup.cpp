#include "app/device_setup.h"

#include <array>
#include <string>

namespace zt {

namespace {

constexpr std::array<D3DFORMAT, 5> kFullScreenFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5,
                                                         D3DFMT_A1R5G5B5, D3DFMT_A8R8G8B8};

}  // namespace

HRESULT InitD3DFullScreen(DeviceSetup& setup, const Direct3DPtr& factory, const Settings& settings,
                          const DebugLog& log) {
  if (!setup.D3D) setup.D3D = factory;
  if (!setup.D3D) return E_FAIL;
  WriteLog(log, "Direct3DCreate - Ok");
  for (D3DFORMAT format : kFullScreenFormats)
    if (Succeeded(setup.D3D->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, format, format, false))) {
      setup.AdapterFormat = format;
      break;
    }
  WriteLog(log, "AdapterFormat " + std::to_string(setup.AdapterFormat));
  WriteLog(log, "TextOut \"Loading\"");
  // "Use desktop settings" (0 x 0) reaches the device: the back buffer is then the size of
  // the 4:3 picture on the desktop-covering window.
  setup.d3dpp = PresentParameters(settings.ScreenWidth, settings.ScreenHeight, setup.AdapterFormat, false);
  WriteLog(log, "Fill d3dpp - Ok");
  Release(setup.D3DDevice);
  const HRESULT result = setup.D3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
                                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, setup.d3dpp, setup.D3DDevice);
  WriteLog(log, "CreateDevice - Ok");
  return result;
}

HRESULT InitD3D(DeviceSetup& setup, const Direct3DPtr& factory) {
  Release(setup.D3DDevice);
  Release(setup.D3D);
  setup.D3D = factory;
  if (!setup.D3D) return E_FAIL;
  D3DDISPLAYMODE mode;
  const HRESULT modeResult = setup.D3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, mode);
  if (!Succeeded(modeResult)) return modeResult;
  setup.AdapterFormat = mode.Format;
  const D3DPRESENT_PARAMETERS parameters = PresentParameters(0, 0, mode.Format, true);
  return setup.D3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING, parameters,
                                 setup.D3DDevice);
}

bool TextureFormatSupported(const DeviceSetup& setup, D3DFORMAT format) {
  return setup.D3D && Succeeded(setup.D3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, setup.AdapterFormat, 0,
                                                             D3DRTYPE_TEXTURE, format));
}

D3DFORMAT ChooseTextureFormat(const DeviceSetup& setup, bool withAlpha) {
  const std::array<D3DFORMAT, 3> withAlphaFormats = {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5};
  const std::array<D3DFORMAT, 3> opaqueFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
  for (D3DFORMAT format : withAlpha ? withAlphaFormats : opaqueFormats)
    if (TextureFormatSupported(setup, format)) return format;
  return D3DFMT_UNKNOWN;
}

}  // namespace zt
