// The automatic player: for each new figure it picks the column and turn that a standard
// evaluation (height, holes, bumpiness, cleared rows) rates best, and steers there with the
// game's own keys, which the caller feeds through the real key poll. It never touches the state.
#pragma once

#include <cstdint>
#include <vector>

#include "game/game_state.h"

namespace zt {

struct AutoPlayer {
  int32_t PlannedLanding = -1;  // FiguresLanded when the plan was made
  int32_t TargetTurn = 1;
  int32_t TargetX = 0;
  bool TappedLastFrame = false;  // keys are tapped on every other frame so each tap is a fresh press
};

// The keys to hold down during the next frame's poll.
std::vector<uint8_t> AutoPlayerKeys(AutoPlayer& player, const GameState& state, const FigureShapes& shapes);

}  // namespace zt
