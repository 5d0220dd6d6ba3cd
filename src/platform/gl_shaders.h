// The shaders of the OpenGL device: Direct3D 8's fixed-function vertex lighting (Gouraud)
// and texture stage 0, as the game uses them, in variants specialised for the states that
// decide which code runs (lighting, the lights in use, specular, the stage's operations, the
// alpha test) and for instanced draws. Everything else reaches a variant as uniforms.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>

#include "device/device.h"

namespace zt {

inline constexpr int kMaxShaderLights = 8;  // lights beyond the first eight enabled are not lit

// What one shader variant is specialised for.
struct ShaderVariant {
  bool Lighting = false;
  bool Specular = false;                               // lit with D3DRS_SPECULARENABLE: specular added after the stage
  uint32_t DirectionalLights = 0;                      // enabled lights, read directional first
  uint32_t PointLights = 0;                            // point and spot lights (a spot light is lit as a point light)
  bool Textured = false;                               // stage 0 combines a texture; otherwise the lit colour passes on
  uint32_t ColorOp = 0, ColorArg1 = 0, ColorArg2 = 0;  // stage 0 (zero unless textured)
  uint32_t AlphaOp = 0, AlphaArg1 = 0, AlphaArg2 = 0;
  uint32_t AlphaFunc = 0;  // D3DCMP_NEVER..D3DCMP_GREATEREQUAL; 0: every pixel passes
  bool Instanced = false;  // world x view and its normal matrix come with each instance, not as uniforms

  auto operator<=>(const ShaderVariant&) const = default;
};

// The variant that draws with `state`; `hasTexture`: stage 0 has a texture GL can sample.
ShaderVariant VariantFor(const DeviceState& state, bool hasTexture, bool instanced = false);

// Where an instanced variant reads each instance's world x view (four columns) and the
// matrix of its normals (three columns).
inline constexpr unsigned kInstanceWorldViewAttribute = 4;
inline constexpr unsigned kInstanceNormalMatrixAttribute = 8;

// The enabled lights in the order the variants read them: directional lights first, each
// kind in the order of its slots, at most kMaxShaderLights.
struct LightsInUse {
  std::array<const D3DLIGHT8*, kMaxShaderLights> Lights{};
  uint32_t Directional = 0, Count = 0;
};
LightsInUse EnabledLights(const DeviceState& state);

// GLSL 3.30 sources of a variant. `clipFixup`: map depth 0..w onto -w..w, for a context
// that keeps GL's -1..1 clip range.
std::string VertexShaderSource(const ShaderVariant& variant, bool clipFixup);
std::string FragmentShaderSource(const ShaderVariant& variant);

}  // namespace zt
