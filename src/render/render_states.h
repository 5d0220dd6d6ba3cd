// The groups of device states the drawing sets together, each set in the same order every time.
#pragma once

#include "device/device.h"

namespace zt {

// The picture blended over what is drawn by its alpha.
void AlphaBlend(Device& device);
// The picture added to what is drawn (the glowing glass frame, the bright particles).
void AdditiveBlend(Device& device);
// Texture stage 0's alpha: the texture's alpha times the vertex colour's.
void TextureTimesDiffuseAlpha(Device& device);
// Texture stage 0's addressing of u and v alike: repeated (the device's default) or clamped to the edge.
void TextureAddressing(Device& device, D3DTEXTUREADDRESS mode);

}  // namespace zt
