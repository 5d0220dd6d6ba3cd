#include "render/loading_frame.h"

namespace zt {

void DrawLoadingProgress(Device& device, SceneResources& scene, float fraction) {
  device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSceneClearColour, 1.0f, 0);
  device.BeginScene();
  device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device.SetStreamSource(0, scene.QuadVB, sizeof(TexColourVertex));
  device.SetVertexShader(kFvfTexColour);

  device.SetTransform(D3DTS_WORLD, ScaledAt(36, 26.25f, 1, kGlassCenterX, kGlassCenterY, 5.0f));
  device.SetTexture(0, scene.Intro);
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);

  device.SetTransform(D3DTS_WORLD, ScaledAt(10.3f, 0.464f, 1, kGlassCenterX + 7.53f, kGlassCenterY - 8.25f, 3.0f));
  device.SetTexture(0, scene.LoadingBar);
  FillBarQuad(scene, fraction);
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2);

  device.SetTexture(0, nullptr);
  device.EndScene();
  device.Present();
}

}  // namespace zt
