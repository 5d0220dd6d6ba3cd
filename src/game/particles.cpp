#include "game/particles.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace zt {

const std::array<ParticleKind, kParticleListCount> kParticleKinds = {{
    {50, 0, 16, 1.0f, 1.0f, 0, 0, 0.0f, true},
    {0, 0, 25, 0.6f, 0.6f, -4, -4, -0.505f, true},
    {0, -170, 11, 2.9f, 2.9f, -8, -8, -0.655f, true},
    {0, 9, 18, 0.4f, 0.4f, 4, 4, -0.505f, false},
    {0, -65, 10, 1.0f, 1.0f, -30, -30, -0.505f, true},
}};

void Particle_Add(ParticleLists& lists, int list, uint8_t kind, int32_t life, float x, float y, float vx, float vy) {
  assert(list >= 0 && list < kParticleListCount && kind < kParticleListCount);
  const ParticleKind& k = kParticleKinds[kind];
  lists[list].AddToHead(TParticle{kind, x, y, vx, vy, k.AX, k.AY, life, k.SX, k.SY});
}

void Particle_Update(ParticleList& list, uint32_t frameMs) {
  const double dt = frameMs;
  auto& particles = list.Storage();
  auto ages = [dt](TParticle& p) {
    const ParticleKind& kind = kParticleKinds[p.Kind];
    p.X = static_cast<float>(p.X + p.VX / 10000.0 * dt);
    p.Y = static_cast<float>(p.Y + p.VY / 10000.0 * dt);
    p.VX = static_cast<float>(p.VX + p.AX / 1000.0 * dt);
    p.VY = static_cast<float>(p.VY + p.AY / 1000.0 * dt);
    p.SX = static_cast<float>(p.SX + kind.DSX / 10000.0 * dt);
    p.SY = static_cast<float>(p.SY + kind.DSY / 10000.0 * dt);
    p.Life -= static_cast<int32_t>(std::nearbyint(kind.Decay / 100.0 * dt));  // halves to even
    return !(p.Life > 10 && p.SX > 0 && p.SY > 0);
  };
  particles.erase(std::remove_if(particles.begin(), particles.end(), ages), particles.end());
}

void Particle_Clear(ParticleList& list) { list.Clear(); }

void ClearAllParticles(ParticleLists& lists) {
  for (ParticleList& list : lists) Particle_Clear(list);
}

}  // namespace zt
