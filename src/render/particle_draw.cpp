#include "render/particle_draw.h"

#include <algorithm>

#include "render/render_states.h"

namespace zt {

namespace {

// The colour of a particle of `life`, its alpha always. Added light has no use for alpha, so an
// additive particle dims with its life instead of staying at full strength until it is gone.
D3DCOLOR ParticleColour(int32_t life, bool additive) {
  const auto level = static_cast<uint32_t>(std::clamp(life, 0, 255));
  const uint32_t light = additive ? level : 255;
  return D3DCOLOR_ARGB(level, light, light, light);
}

HRESULT FillParticleQuad(VertexBuffer& buffer, D3DCOLOR colour) {
  const std::array<TexColourVertex, 4> quad = {{
      {-0.5f, 0.5f, 0, colour, 0, 1},
      {0.5f, 0.5f, 0, colour, 1, 1},
      {-0.5f, -0.5f, 0, colour, 0, 0},
      {0.5f, -0.5f, 0, colour, 1, 0},
  }};
  return WriteVertices(buffer, 0, quad);
}

}  // namespace

const std::array<const char*, kParticleTextureCount> kParticleTextureFiles = {
    "textures/effect.tga", "textures/sparkle.tga", "textures/sparkle2.tga", "textures/explosion.tga",
    "textures/smoke.tga"};

int ParticleTextureOfKind(int kind) {
  static constexpr std::array<int, kParticleListCount> kTextureOfKind = {0, 0, 3, 4, 2};
  return kind >= 0 && kind < kParticleListCount ? kTextureOfKind[kind] : 0;
}

HRESULT Particle_InitVB(ParticleResources& particles, Device& device) {
  Release(particles.VB);
  return device.CreateVertexBuffer(kParticleVBBytes, 0, kFvfTexColour, D3DPOOL_DEFAULT, particles.VB);
}

void Particle_InitTextures(ParticleResources& particles, Device& device, D3DFORMAT textureFormat,
                           const std::filesystem::path& gameDir) {
  for (int i = 0; i < kParticleTextureCount; ++i) {
    TexturePtr loaded;
    device.LoadTextureFromFile((gameDir / kParticleTextureFiles[i]).string(), 0, 0, 0, 0, textureFormat,
                               D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0, loaded);
    particles.Textures[i] = std::move(loaded);
  }
}

HRESULT Particle_Draw(ParticleResources& particles, Device& device, const ParticleList& list) {
  if (list.Empty() || !particles.VB) return D3D_OK;  // nothing to draw with after a release
  const ParticleKind& kind = kParticleKinds[list.Head().Kind < kParticleListCount ? list.Head().Kind : 0];
  D3DMATRIX draw = kIdentityMatrix;
  draw(4, 3) = kind.Depth;

  device.SetRenderState(D3DRS_LIGHTING, 0);
  device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);  // the texture tinted by the particle's colour
  TextureTimesDiffuseAlpha(device);
  if (kind.Additive)
    AdditiveBlend(device);
  else
    AlphaBlend(device);
  device.SetStreamSource(0, particles.VB, sizeof(TexColourVertex));
  device.SetVertexShader(kFvfTexColour);

  HRESULT failure = D3D_OK;
  list.ForEachFromHead([&](const TParticle& p) {
    if (Failed(failure)) return;
    draw(4, 1) = p.X;
    draw(4, 2) = p.Y;
    failure = FillParticleQuad(*particles.VB, ParticleColour(p.Life, kind.Additive));
    if (Failed(failure)) return;
    draw(1, 1) = p.SX;
    draw(2, 2) = p.SY;
    device.SetTexture(0, particles.Textures[ParticleTextureOfKind(p.Kind)]);
    device.SetTransform(D3DTS_WORLD, draw);
    device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  });

  device.SetTexture(0, nullptr);
  device.SetRenderState(D3DRS_LIGHTING, 1);
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  return failure;
}

void Particle_Free(ParticleResources& particles) {
  for (TexturePtr& texture : particles.Textures) Release(texture);
  Release(particles.VB);
}

}  // namespace zt
