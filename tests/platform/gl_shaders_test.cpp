// The choice of the OpenGL device's shader variant from the device state: states that
// draw the same picture share a variant, and the lights are read in a fixed order.
#include "platform/gl_shaders.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

D3DLIGHT8 LightOfType(D3DLIGHTTYPE type) {
  D3DLIGHT8 light;
  light.Type = type;
  return light;
}

void Enable(DeviceState& state, uint32_t slot, D3DLIGHTTYPE type) {
  state.Lights[slot].Light = LightOfType(type);
  state.Lights[slot].Set = state.Lights[slot].Enabled = true;
}

TEST(ShaderVariantTest, LightsAreReadDirectionalFirstAndOnlyWhenLightingIsOn) {
  DeviceState state;
  Enable(state, 4, D3DLIGHT_POINT);
  Enable(state, 1, D3DLIGHT_DIRECTIONAL);
  Enable(state, 7, D3DLIGHT_SPOT);
  Enable(state, 9, D3DLIGHT_DIRECTIONAL);
  Enable(state, 2, D3DLIGHT_POINT);
  state.Lights[2].Enabled = false;  // set but switched off
  state.Lights[3].Enabled = true;   // switched on but never set
  const LightsInUse lights = EnabledLights(state);
  ASSERT_EQ(lights.Count, 4u);
  EXPECT_EQ(lights.Directional, 2u);
  const D3DLIGHT8* order[] = {&state.Lights[1].Light, &state.Lights[9].Light, &state.Lights[4].Light,
                              &state.Lights[7].Light};
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(lights.Lights[i], order[i]) << i;

  state.RenderStates[D3DRS_SPECULARENABLE] = 1;
  ShaderVariant lit = VariantFor(state, false);
  EXPECT_TRUE(lit.Lighting && lit.Specular);
  EXPECT_EQ(lit.DirectionalLights, 2u);
  EXPECT_EQ(lit.PointLights, 2u);

  state.RenderStates[D3DRS_LIGHTING] = 0;
  EXPECT_EQ(VariantFor(state, false), ShaderVariant{}) << "unlit draws ignore lights and specular";
}

TEST(ShaderVariantTest, MoreLightsThanTheShadersReadKeepTheDirectionalOnes) {
  DeviceState state;
  for (uint32_t slot = 0; slot < kLightSlots; ++slot)
    Enable(state, slot, slot % 2 == 0 ? D3DLIGHT_POINT : D3DLIGHT_DIRECTIONAL);
  const LightsInUse lights = EnabledLights(state);
  EXPECT_EQ(lights.Count, static_cast<uint32_t>(kMaxShaderLights));
  EXPECT_EQ(lights.Directional, static_cast<uint32_t>(kMaxShaderLights));
  for (uint32_t i = 0; i < lights.Count; ++i) EXPECT_EQ(lights.Lights[i]->Type, D3DLIGHT_DIRECTIONAL);
}

TEST(ShaderVariantTest, StagesThatPassTheLitColourOnShareOneVariant) {
  DeviceState state;
  state.StageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
  const ShaderVariant textured = VariantFor(state, true);
  EXPECT_TRUE(textured.Textured);
  EXPECT_EQ(textured.ColorOp, D3DTOP_SELECTARG1);

  const ShaderVariant withoutTexture = VariantFor(state, false);
  EXPECT_FALSE(withoutTexture.Textured);
  state.StageStates[0][D3DTSS_COLOROP] = D3DTOP_DISABLE;
  state.StageStates[0][D3DTSS_ALPHAOP] = D3DTOP_ADD;
  EXPECT_EQ(VariantFor(state, true), withoutTexture) << "a disabled stage reads neither texture nor arguments";
}

TEST(ShaderVariantTest, StageValuesOutsideTheirRangesReadAsTheirMeaning) {
  DeviceState state;
  state.StageStates[0][D3DTSS_COLOROP] = 0xFFFFFFFFu;  // no such operation: the lit colour
  state.StageStates[0][D3DTSS_COLORARG1] = 0xFFFFFF00u | D3DTA_COMPLEMENT | D3DTA_TFACTOR;
  state.RenderStates[D3DRS_ALPHATESTENABLE] = 1;
  state.RenderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  const ShaderVariant variant = VariantFor(state, true);
  EXPECT_EQ(variant.ColorOp, 0u);
  EXPECT_EQ(variant.ColorArg1, D3DTA_COMPLEMENT | D3DTA_TFACTOR);
  EXPECT_EQ(variant.AlphaFunc, 0u) << "a test that always passes is no test";

  state.RenderStates[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
  EXPECT_EQ(VariantFor(state, true).AlphaFunc, D3DCMP_GREATER);
  state.RenderStates[D3DRS_ALPHATESTENABLE] = 0;
  EXPECT_EQ(VariantFor(state, true).AlphaFunc, 0u);
}

}  // namespace
}  // namespace zt
