#include "device/d3d_error_text.h"

#include <cstdint>

namespace zt {

std::string D3DErrorText(HRESULT code) {
  switch (static_cast<uint32_t>(code)) {
    case 0x00000000u:
      return "No error occurred.";
    case 0x80004005u:
      return "An undetermined error occurred inside the Direct3D subsystem.";
    case 0x8007000Eu:
      return "Direct3D could not allocate sufficient memory to complete the call.";
    case 0x80070057u:
      return "An invalid parameter was passed to the returning function";
    case 0x8876017Cu:
      return "Direct3D does not have enough display memory to perform the operation.";
    case 0x88760818u:
      return "The pixel format of the texture surface is not valid.";
    case 0x88760819u:
      return "The device does not support a specified texture-blending operation for color values.";
    case 0x8876081Au:
      return "The device does not support a specified texture-blending argument for color values.";
    case 0x8876081Bu:
      return "The device does not support a specified texture-blending operation for the alpha channel.";
    case 0x8876081Cu:
      return "The device does not support a specified texture-blending argument for the alpha channel.";
    case 0x8876081Du:
      return "The application is requesting more texture-filtering operations than the device";
    case 0x8876081Eu:
      return "The current texture filters cannot be used together.";
    case 0x8876081Fu:
      return "The device does not support the specified texture factor value.";
    case 0x88760821u:
      return "The currently set render states cannot be used together.";
    case 0x88760822u:
      return "The device does not support the specified texture filter.";
    case 0x88760826u:
      return "The current textures cannot be used simultaneously. This generally occurs when a multitexture "
             "device requires that all palletized textures simultaneously enabled also share the same palette.";
    case 0x88760827u:
      return "Internal driver error.";
    case 0x88760866u:
      return "The requested item was not found.";
    case 0x88760867u:
      return "There is more data available than the specified buffer size can hold.";
    case 0x88760868u:
      return "The device is lost and cannot be restored at the current time, so rendering is not possible.";
    case 0x88760869u:
      return "The device cannot be reset.";
    case 0x8876086Au:
      return "This device does not support the queried technique.";
    case 0x8876086Bu:
      return "The requested device type is not valid.";
    case 0x8876086Cu:
      return "The method call is invalid. For example, a method's parameter may have an invalid value.";
    default:
      return "Unrecognized Error";
  }
}

}  // namespace zt
