// The one shader pair of the OpenGL device: Direct3D 8's fixed-function vertex
// lighting (Gouraud) and texture stage 0, as the game uses them.
#pragma once

namespace zt {

// Matrices arrive as the game builds them (row vectors, row-major); uploaded
// unchanged they read as their transposes, so `M * v` applies them.
inline constexpr const char* kFixedFunctionVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec2 aTexCoord;

uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;      // inverse transpose of world * view
uniform bool uClipFixup;         // map depth 0..w onto -w..w when the context keeps -1..1
uniform bool uLighting;
uniform bool uNormalize;
uniform bool uSpecularEnable;
uniform bool uLocalViewer;
uniform bool uHasDiffuse;
uniform bool uDiffuseFromVertex, uAmbientFromVertex, uSpecularFromVertex, uEmissiveFromVertex;
uniform vec4 uMaterialDiffuse, uMaterialAmbient, uMaterialSpecular, uMaterialEmissive;
uniform float uMaterialPower;
uniform vec4 uGlobalAmbient;
uniform int uLightCount;
uniform int uLightType[8];         // 1 point, 2 spot (lit as a point), 3 directional
uniform vec3 uLightPosition[8];    // camera space
uniform vec3 uLightDirection[8];   // camera space, the way the light shines
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];
uniform vec4 uLightAttenuation[8]; // a0, a1, a2, range

out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;

void main() {
  vec4 eyePosition = uWorldView * vec4(aPosition, 1.0);
  vec4 clip = uProjection * eyePosition;
  if (uClipFixup) clip.z = 2.0 * clip.z - clip.w;
  gl_Position = clip;
  vTexCoord = aTexCoord;
  vec4 vertexColour = uHasDiffuse ? aDiffuse : vec4(1.0);
  if (!uLighting) {
    vDiffuse = vertexColour;
    vSpecular = vec4(0.0);
    return;
  }
  vec4 diffuseSource = uDiffuseFromVertex ? vertexColour : uMaterialDiffuse;
  vec4 ambientSource = uAmbientFromVertex ? vertexColour : uMaterialAmbient;
  vec4 specularSource = uSpecularFromVertex ? vertexColour : uMaterialSpecular;
  vec4 emissiveSource = uEmissiveFromVertex ? vertexColour : uMaterialEmissive;
  vec3 n = uNormalMatrix * aNormal;
  if (uNormalize && dot(n, n) > 0.0) n = normalize(n);
  vec3 p = eyePosition.xyz;
  vec3 toEye = uLocalViewer ? normalize(-p) : vec3(0.0, 0.0, -1.0);
  vec3 ambient = vec3(0.0), diffuse = vec3(0.0), specular = vec3(0.0);
  for (int i = 0; i < uLightCount; ++i) {
    vec3 l;
    float attenuation = 1.0;
    if (uLightType[i] == 3) {
      l = -normalize(uLightDirection[i]);
    } else {
      vec3 d = uLightPosition[i] - p;
      float distance = length(d);
      if (distance > uLightAttenuation[i].w) continue;
      l = distance > 0.0 ? d / distance : vec3(0.0, 0.0, -1.0);
      float denominator = uLightAttenuation[i].x + uLightAttenuation[i].y * distance +
                          uLightAttenuation[i].z * distance * distance;
      attenuation = denominator > 0.0 ? 1.0 / denominator : 1.0;
    }
    ambient += attenuation * uLightAmbient[i].rgb;
    float nl = dot(n, l);
    if (nl > 0.0) {
      diffuse += attenuation * nl * uLightDiffuse[i].rgb;
      if (uSpecularEnable) {
        float nh = dot(n, normalize(toEye + l));
        if (nh > 0.0) specular += attenuation * pow(nh, uMaterialPower) * uLightSpecular[i].rgb;
      }
    }
  }
  vec3 colour = emissiveSource.rgb + ambientSource.rgb * (uGlobalAmbient.rgb + ambient) + diffuseSource.rgb * diffuse;
  vDiffuse = clamp(vec4(colour, diffuseSource.a), 0.0, 1.0);
  vSpecular = vec4(clamp(specularSource.rgb * specular, 0.0, 1.0), 0.0);
}
)";

inline constexpr const char* kFixedFunctionFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;

uniform sampler2D uTexture;
uniform bool uHasTexture;         // an empty stage passes the diffuse colour on
uniform int uColorOp, uColorArg1, uColorArg2;
uniform int uAlphaOp, uAlphaArg1, uAlphaArg2;
uniform vec4 uTextureFactor;
uniform bool uSpecularEnable;
uniform bool uAlphaTest;
uniform int uAlphaFunc;
uniform float uAlphaRef;          // 0..255

out vec4 fragColour;

vec4 Argument(int argument, vec4 texel) {
  int selector = argument & 15;
  vec4 value = vDiffuse;          // D3DTA_DIFFUSE, and D3DTA_CURRENT at stage 0
  if (selector == 2) value = texel;
  else if (selector == 3) value = uTextureFactor;
  else if (selector == 4) value = vSpecular;
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
  return vDiffuse;                // D3DTOP_DISABLE
}

bool Passes(float alpha) {
  float a = floor(alpha * 255.0 + 0.5);
  if (uAlphaFunc == 1) return false;
  if (uAlphaFunc == 2) return a < uAlphaRef;
  if (uAlphaFunc == 3) return a == uAlphaRef;
  if (uAlphaFunc == 4) return a <= uAlphaRef;
  if (uAlphaFunc == 5) return a > uAlphaRef;
  if (uAlphaFunc == 6) return a != uAlphaRef;
  if (uAlphaFunc == 7) return a >= uAlphaRef;
  return true;
}

void main() {
  vec4 colour = vDiffuse;
  if (uHasTexture && uColorOp != 1) {
    vec4 texel = texture(uTexture, vTexCoord);
    colour.rgb = Combine(uColorOp, Argument(uColorArg1, texel), Argument(uColorArg2, texel)).rgb;
    colour.a = Combine(uAlphaOp, Argument(uAlphaArg1, texel), Argument(uAlphaArg2, texel)).a;
  }
  if (uSpecularEnable) colour.rgb = min(colour.rgb + vSpecular.rgb, vec3(1.0));
  if (uAlphaTest && !Passes(colour.a)) discard;
  fragColour = colour;
}
)";

}  // namespace zt
