#include "render/loading_frame.h"

namespace zt {

namespace {

void PlaceQuad(Device& device, float sx, float sy, float x, float y, float z) {
  D3DMATRIX scaling, translation, world;
  MatScaling(scaling, sx, sy, 1);
  MatTranslation(translation, x, y, z);
  MatMultiply(translation, scaling, world);
  device.SetTransform(D3DTS_WORLD, world);
}

}  // namespace

void DrawLoadingProgress(Device& device, SceneResources& scene, float fraction) {
  device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSceneClearColour, 1.0f, 0);
  device.BeginScene();
  device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device.SetStreamSource(0, scene.QuadVB, sizeof(QuadVertex));
  device.SetVertexShader(kFvfTexColour);

  PlaceQuad(device, 36, 26.25f, kGlassCenterX, kGlassCenterY, 5.0f);
  device.SetTexture(0, scene.Intro);
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);

  PlaceQuad(device, 10.3f, 0.464f, kGlassCenterX + 7.53f, kGlassCenterY - 8.25f, 3.0f);
  device.SetTexture(0, scene.LoadingBar);
  FillBarQuad(scene, fraction);
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2);

  device.SetTexture(0, nullptr);
  device.EndScene();
  device.Present();
}

}  // namespace zt
