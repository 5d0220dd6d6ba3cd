#include "render/render_states.h"

namespace zt {

void AlphaBlend(Device& device) {
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void AdditiveBlend(Device& device) {
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
}

void TextureTimesDiffuseAlpha(Device& device) {
  device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

void TextureAddressing(Device& device, D3DTEXTUREADDRESS mode) {
  device.SetTextureStageState(0, D3DTSS_ADDRESSU, mode);
  device.SetTextureStageState(0, D3DTSS_ADDRESSV, mode);
}

}  // namespace zt
