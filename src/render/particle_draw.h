// Drawing the particle lists: each particle a camera-facing quad of its kind's texture,
// its life as its opacity, the list drawn at the depth and with the blending of its head.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "device/device.h"
#include "game/particles.h"

namespace zt {

constexpr int kParticleTextureCount = 5;
constexpr uint32_t kParticleVBBytes = 96;  // one quad: 4 vertices of 24 bytes

// A failed device call worth a fatal report: the step's caption and the result code.
using D3DErrorReport = std::function<void(const std::string& caption, HRESULT code)>;

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

// Draws every particle of a non-empty list, newest first. A failed lock of the quad is
// reported with the caption "FD3DVBParticles.Lock" and ends the list's drawing.
void Particle_Draw(ParticleResources& particles, Device& device, const ParticleList& list,
                   const D3DErrorReport& report = {});

// Releases the five textures and the quad buffer.
void Particle_Free(ParticleResources& particles);

}  // namespace zt
