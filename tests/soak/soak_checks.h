// What the soak checks after every game step: the figure inside the glass, no brick lost but
// by clearing, bombs and added lines, the score never falling, particles and flying rows
// gone in time. It keeps what it needs of the previous step and reports broken promises.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/particles.h"

namespace zt::soak {

// The longest a particle of each kind may live, in ms, when every frame takes at least
// `shortestFrameMs` (1..100): its life runs out at the slowest rounded decay, or its size
// does. Infinite when neither can end it (smoke in frames of 2 ms or less).
std::array<double, kParticleListCount> ParticleLifetimes(uint32_t shortestFrameMs);

// How long a row in flight takes to leave, in ms, at most.
constexpr uint32_t kFlyingRowMs = 1000;

class StepChecker {
 public:
  StepChecker(const FigureShapes& shapes, bool clockwise, uint32_t shortestFrameMs);

  // A new game has started: forget the last one.
  void Reset(const GameState& state, uint32_t now);
  // After one game step: the broken promises (empty when all held).
  std::vector<std::string> AfterStep(const GameState& state, const ParticleLists& particles, uint32_t now);

 private:
  using Rows = std::array<uint16_t, kGlassRows + 1>;  // bit c of Rows[r]: cell (c, r) occupied
  static Rows Occupancy(const Glass& glass);
  void CheckFigure(const GameState& state, std::vector<std::string>& problems) const;
  void CheckGlass(const GameState& state, std::vector<std::string>& problems) const;
  void CheckParticles(const GameState& state, const ParticleLists& particles, uint32_t now,
                      std::vector<std::string>& problems);
  void CheckFlyingRows(const GameState& state, uint32_t now, std::vector<std::string>& problems);
  void Remember(const GameState& state);

  const FigureShapes& shapes_;
  bool clockwise_;
  std::array<double, kParticleListCount> lifetimes_;

  Rows cells_{};
  TFigure figure_;
  bool bombActive_ = false;
  int32_t score_ = 0, lines_ = 0, level_ = 1, figuresLanded_ = 0, linesAdded_ = 0;
  std::array<uint32_t, kParticleListCount> lastSpawnChance_{};  // the last step that could spawn a kind
  std::array<bool, 8> rowInFlight_{};
  std::array<uint32_t, 8> rowLaunched_{};
};

}  // namespace zt::soak
