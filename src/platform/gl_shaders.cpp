#include "platform/gl_shaders.h"

namespace zt {

namespace {

// Matrices arrive as the game builds them (row vectors, row-major); uploaded unchanged they
// read as their transposes, so `M * v` applies them. The variant's settings come before this
// as #defines, so each variant holds only the code its states run.
constexpr const char* kVertexShaderBody = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;  // opaque white when the format has no colour
layout(location = 3) in vec2 aTexCoord;

uniform mat4 uProjection;
#if INSTANCED
layout(location = INSTANCE_WORLD_VIEW) in mat4 aWorldView;  // of each instance, as the uniforms would give them
layout(location = INSTANCE_NORMAL_MATRIX) in mat3 aNormalMatrix;
#define WORLD_VIEW aWorldView
#define NORMAL_MATRIX aNormalMatrix
#else
uniform mat4 uWorldView;
uniform mat3 uNormalMatrix;  // inverse transpose of world * view
#define WORLD_VIEW uWorldView
#define NORMAL_MATRIX uNormalMatrix
#endif

out vec4 vDiffuse;
out vec2 vTexCoord;
#if SPECULAR
out vec4 vSpecular;
#endif

#if LIGHTING
#define LIGHTS (DIRECTIONAL_LIGHTS + POINT_LIGHTS)
uniform bool uNormalize;
uniform bool uLocalViewer;
uniform bool uDiffuseFromVertex, uAmbientFromVertex, uSpecularFromVertex, uEmissiveFromVertex;
uniform vec4 uMaterialDiffuse, uMaterialAmbient, uMaterialSpecular, uMaterialEmissive;
uniform float uMaterialPower;
uniform vec4 uGlobalAmbient;
#if LIGHTS > 0
uniform vec3 uLightVector[LIGHTS];  // camera space: towards a directional light (unit), a point light's place
uniform vec4 uLightDiffuse[LIGHTS];
uniform vec4 uLightSpecular[LIGHTS];
uniform vec4 uLightAmbient[LIGHTS];
uniform vec4 uLightAttenuation[LIGHTS];  // a0, a1, a2, range
#endif

vec3 ambient = vec3(0.0), diffuse = vec3(0.0), specular = vec3(0.0);

#if LIGHTS > 0
void AddLight(int i, vec3 n, vec3 l, vec3 toEye, float attenuation) {
  ambient += attenuation * uLightAmbient[i].rgb;
  float nl = dot(n, l);
  if (nl > 0.0) {
    diffuse += attenuation * nl * uLightDiffuse[i].rgb;
#if SPECULAR
    float nh = dot(n, normalize(toEye + l));
    if (nh > 0.0) specular += attenuation * pow(nh, uMaterialPower) * uLightSpecular[i].rgb;
#endif
  }
}
#endif
#endif

void main() {
  vec4 eyePosition = WORLD_VIEW * vec4(aPosition, 1.0);
  vec4 clip = uProjection * eyePosition;
#if CLIP_FIXUP
  clip.z = 2.0 * clip.z - clip.w;
#endif
  gl_Position = clip;
  vTexCoord = aTexCoord;
#if !LIGHTING
  vDiffuse = aDiffuse;
#else
  vec4 diffuseSource = uDiffuseFromVertex ? aDiffuse : uMaterialDiffuse;
  vec4 ambientSource = uAmbientFromVertex ? aDiffuse : uMaterialAmbient;
  vec4 emissiveSource = uEmissiveFromVertex ? aDiffuse : uMaterialEmissive;
#if LIGHTS > 0
  vec3 n = NORMAL_MATRIX * aNormal;
  if (uNormalize && dot(n, n) > 0.0) n = normalize(n);
  vec3 p = eyePosition.xyz;
  vec3 toEye = uLocalViewer ? normalize(-p) : vec3(0.0, 0.0, -1.0);
  for (int i = 0; i < DIRECTIONAL_LIGHTS; ++i) AddLight(i, n, uLightVector[i], toEye, 1.0);
  for (int i = DIRECTIONAL_LIGHTS; i < LIGHTS; ++i) {
    vec3 d = uLightVector[i] - p;
    float distance = length(d);
    if (distance > uLightAttenuation[i].w) continue;
    vec3 l = distance > 0.0 ? d / distance : vec3(0.0, 0.0, -1.0);
    float denominator = uLightAttenuation[i].x + uLightAttenuation[i].y * distance +
                        uLightAttenuation[i].z * distance * distance;
    AddLight(i, n, l, toEye, denominator > 0.0 ? 1.0 / denominator : 1.0);
  }
#endif
  vec3 colour = emissiveSource.rgb + ambientSource.rgb * (uGlobalAmbient.rgb + ambient) + diffuseSource.rgb * diffuse;
  vDiffuse = clamp(vec4(colour, diffuseSource.a), 0.0, 1.0);
#if SPECULAR
  vec4 specularSource = uSpecularFromVertex ? aDiffuse : uMaterialSpecular;
  vSpecular = vec4(clamp(specularSource.rgb * specular, 0.0, 1.0), 0.0);
#endif
#endif
}
)";

constexpr const char* kFragmentShaderBody = R"(
in vec4 vDiffuse;
in vec2 vTexCoord;
#if SPECULAR
in vec4 vSpecular;
#define SPECULAR_COLOUR vSpecular
#else
#define SPECULAR_COLOUR vec4(0.0)
#endif

uniform sampler2D uTexture;
uniform vec4 uTextureFactor;
uniform float uAlphaRef;  // 0..255

out vec4 fragColour;

vec4 Argument(int argument, vec4 texel) {
  int selector = argument & 15;
  vec4 value = vDiffuse;  // D3DTA_DIFFUSE, and D3DTA_CURRENT at stage 0
  if (selector == 2) value = texel;
  else if (selector == 3) value = uTextureFactor;
  else if (selector == 4) value = SPECULAR_COLOUR;
  if ((argument & 16) != 0) value = vec4(1.0) - value;
  if ((argument & 32) != 0) value = vec4(value.a);
  return value;
}

vec4 Combine(int op, vec4 a1, vec4 a2) {
  if (op == 2) return a1;
  if (op == 3) return a2;
  if (op == 4) return a1 * a2;
  if (op == 5) return min(a1 * a2 * 2.0, vec4(1.0));
  if (op == 6) return min(a1 * a2 * 4.0, vec4(1.0));
  if (op == 7) return min(a1 + a2, vec4(1.0));
  return vDiffuse;
}

bool Passes(float alpha) {
  float a = floor(alpha * 255.0 + 0.5);
  if (ALPHA_FUNC == 1) return false;
  if (ALPHA_FUNC == 2) return a < uAlphaRef;
  if (ALPHA_FUNC == 3) return a == uAlphaRef;
  if (ALPHA_FUNC == 4) return a <= uAlphaRef;
  if (ALPHA_FUNC == 5) return a > uAlphaRef;
  if (ALPHA_FUNC == 6) return a != uAlphaRef;
  return a >= uAlphaRef;
}

void main() {
  vec4 colour = vDiffuse;
#if TEXTURED
  vec4 texel = texture(uTexture, vTexCoord);
  colour.rgb = Combine(COLOR_OP, Argument(COLOR_ARG1, texel), Argument(COLOR_ARG2, texel)).rgb;
  colour.a = Combine(ALPHA_OP, Argument(ALPHA_ARG1, texel), Argument(ALPHA_ARG2, texel)).a;
#endif
#if SPECULAR
  colour.rgb = min(colour.rgb + vSpecular.rgb, vec3(1.0));
#endif
#if ALPHA_FUNC != 0
  if (!Passes(colour.a)) discard;
#endif
  fragColour = colour;
}
)";

std::string Define(const char* name, uint32_t value) {
  return std::string("#define ") + name + " " + std::to_string(value) + "\n";
}

bool IsDirectional(const D3DLIGHT8& light) { return light.Type == D3DLIGHT_DIRECTIONAL; }

// An operation the stage knows (SELECTARG1..ADD), or 0 for one that passes the lit colour on.
uint32_t KnownOperation(uint32_t op) { return op >= D3DTOP_SELECTARG1 && op <= D3DTOP_ADD ? op : 0; }

// The bits of an argument that count: its selector and both modifiers.
uint32_t ArgumentBits(uint32_t argument) {
  return argument & (D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE);
}

}  // namespace

LightsInUse EnabledLights(const DeviceState& state) {
  LightsInUse inUse;
  for (const bool directional : {true, false})
    for (const LightSlot& slot : state.Lights) {
      if (!slot.Set || !slot.Enabled || IsDirectional(slot.Light) != directional) continue;
      if (inUse.Count == kMaxShaderLights) return inUse;
      inUse.Lights[inUse.Count++] = &slot.Light;
      if (directional) ++inUse.Directional;
    }
  return inUse;
}

ShaderVariant VariantFor(const DeviceState& state, bool hasTexture, bool instanced) {
  ShaderVariant variant;
  variant.Instanced = instanced;
  variant.Lighting = state.RenderState(D3DRS_LIGHTING) != 0;
  if (variant.Lighting) {
    const LightsInUse lights = EnabledLights(state);
    variant.DirectionalLights = lights.Directional;
    variant.PointLights = lights.Count - lights.Directional;
    variant.Specular = state.RenderState(D3DRS_SPECULARENABLE) != 0;
  }
  const uint32_t colorOp = state.StageState(0, D3DTSS_COLOROP);
  variant.Textured = hasTexture && colorOp != D3DTOP_DISABLE;
  if (variant.Textured) {
    variant.ColorOp = KnownOperation(colorOp);
    variant.ColorArg1 = ArgumentBits(state.StageState(0, D3DTSS_COLORARG1));
    variant.ColorArg2 = ArgumentBits(state.StageState(0, D3DTSS_COLORARG2));
    variant.AlphaOp = KnownOperation(state.StageState(0, D3DTSS_ALPHAOP));
    variant.AlphaArg1 = ArgumentBits(state.StageState(0, D3DTSS_ALPHAARG1));
    variant.AlphaArg2 = ArgumentBits(state.StageState(0, D3DTSS_ALPHAARG2));
  }
  const uint32_t alphaFunc = state.RenderState(D3DRS_ALPHAFUNC);
  if (state.RenderState(D3DRS_ALPHATESTENABLE) != 0 && alphaFunc >= D3DCMP_NEVER && alphaFunc < D3DCMP_ALWAYS)
    variant.AlphaFunc = alphaFunc;
  return variant;
}

std::string VertexShaderSource(const ShaderVariant& variant, bool clipFixup) {
  return "#version 330 core\n" + Define("LIGHTING", variant.Lighting) + Define("SPECULAR", variant.Specular) +
         Define("DIRECTIONAL_LIGHTS", variant.DirectionalLights) + Define("POINT_LIGHTS", variant.PointLights) +
         Define("CLIP_FIXUP", clipFixup) + Define("INSTANCED", variant.Instanced) +
         Define("INSTANCE_WORLD_VIEW", kInstanceWorldViewAttribute) +
         Define("INSTANCE_NORMAL_MATRIX", kInstanceNormalMatrixAttribute) + kVertexShaderBody;
}

std::string FragmentShaderSource(const ShaderVariant& variant) {
  return "#version 330 core\n" + Define("SPECULAR", variant.Specular) + Define("TEXTURED", variant.Textured) +
         Define("COLOR_OP", variant.ColorOp) + Define("COLOR_ARG1", variant.ColorArg1) +
         Define("COLOR_ARG2", variant.ColorArg2) + Define("ALPHA_OP", variant.AlphaOp) +
         Define("ALPHA_ARG1", variant.AlphaArg1) + Define("ALPHA_ARG2", variant.AlphaArg2) +
         Define("ALPHA_FUNC", variant.AlphaFunc) + kFragmentShaderBody;
}

}  // namespace zt
