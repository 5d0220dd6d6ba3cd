// Drawing the particle lists: each particle a camera-facing quad of its kind's texture,
// its life as its opacity, the list drawn at the depth and with the blending of its head.
#pragma once

#include <array>
#include <filesystem>

#include "device/device.h"
#include "game/particles.h"

namespace zt {

constexpr int kParticleTextureCount = 5;
constexpr uint32_t kParticleVBBytes = 96;  // one quad: 4 vertices of 24 bytes

struct ParticleResources {
  VertexBufferPtr VB;  // the one particle quad, rewritten per particle
  // 0 effect, 1 sparkle (loaded, used by no kind), 2 sparkle2, 3 explosion, 4 smoke
  std::array<TexturePtr, kParticleTextureCount> Textures;
};

// The particle texture files 0..4, relative to the game folder.
extern const std::array<const char*, kParticleTextureCount> kParticleTextureFiles;
// The texture each kind 0..4 is drawn with.
int ParticleTextureOfKind(int kind);

// Releases and creates the particle quad buffer; the loading sequence reports a failure
// with the caption "Particle_InitVB".
HRESULT Particle_InitVB(ParticleResources& particles, Device& device);

// Loads the five particle textures from gameDir (empty: the working folder), each
// replacing the one held before. A file that fails leaves its slot empty.
void Particle_InitTextures(ParticleResources& particles, Device& device, D3DFORMAT textureFormat,
                           const std::filesystem::path& gameDir = {});

// The caption of the fatal report of a failed lock of the particle quad.
constexpr const char* kParticleLockCall = "FD3DVBParticles.Lock";

// Draws every particle of a non-empty list, newest first. A failed lock of the quad ends the
// list's drawing and is returned; otherwise D3D_OK.
HRESULT Particle_Draw(ParticleResources& particles, Device& device, const ParticleList& list);

// Releases the five textures and the quad buffer.
void Particle_Free(ParticleResources& particles);

}  // namespace zt
