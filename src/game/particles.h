// The particle lists: sparks, explosions and smoke as the rules spawn and age them.
// Five lists, list k holding particles of kind k; drawing lives in the render layer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zt {

constexpr int kParticleListCount = 5;

struct ParticleKind {
  float AX, AY;    // velocity units per 1,000 ms
  float Decay;     // life units per 100 ms
  float SX, SY;    // size at birth, world units
  float DSX, DSY;  // size change per 10,000 ms
  float Depth;     // z of the plane the kind is drawn in
  bool Additive;   // additive blending, else alpha blending
};

// Kind 0 is never spawned; 1 line and landing sparks, 2 bomb explosion, 3 fuse smoke, 4 fuse sparks.
extern const std::array<ParticleKind, kParticleListCount> kParticleKinds;

struct TParticle {
  uint8_t Kind = 0;
  float X = 0, Y = 0;    // centre, world units
  float VX = 0, VY = 0;  // world units per 10,000 ms
  float AX = 0, AY = 0;
  int32_t Life = 0;  // also the alpha of the particle
  float SX = 0, SY = 0;
};

// One list: newest particle first, as it is drawn. Stored oldest first, so adding is cheap.
class ParticleList {
 public:
  void AddToHead(const TParticle& particle) { particles_.push_back(particle); }
  bool Empty() const { return particles_.empty(); }
  size_t Size() const { return particles_.size(); }
  const TParticle& Head() const { return particles_.back(); }
  void Clear() { particles_.clear(); }
  // Visits every particle from head (newest) to tail (oldest).
  template <typename Visit>
  void ForEachFromHead(Visit visit) const {
    for (auto it = particles_.rbegin(); it != particles_.rend(); ++it) visit(*it);
  }
  std::vector<TParticle>& Storage() { return particles_; }

 private:
  std::vector<TParticle> particles_;
};

using ParticleLists = std::array<ParticleList, kParticleListCount>;

void Particle_Add(ParticleLists& lists, int list, uint8_t kind, int32_t life, float x, float y, float vx, float vy);
// Moves, ages and culls every particle of the list by frameMs.
void Particle_Update(ParticleList& list, uint32_t frameMs);
void Particle_Clear(ParticleList& list);
void ClearAllParticles(ParticleLists& lists);

}  // namespace zt
