// How the falling figure moves: grow-in, drop keys and trail, turning with the wall push,
// sideways steps, falling, landing with the Space-drop grace, locking and the next figure.
#pragma once

#include "game/game_context.h"

namespace zt {

constexpr int32_t kLockDelayMs = 100;

void Grow(TFigure& figure, float target, uint32_t frameMs);
void ApplyDropKeys(GameContext& game);
void UpKey(GameContext& game);
// Starts a turn when the turned shape fits (pushed off the walls); in the menu always.
void Rotate(TFigure& figure, const Glass& glass, const FigureShapes& shapes, bool clockwise, bool inMenu);
void TurnStep(TFigure& figure, uint32_t frameMs, float rotationSpeedFactor, bool clockwise, bool inMenu);
void SidewaysKeys(GameContext& game);
void MoveLeft(GameContext& game);
void MoveRight(GameContext& game);
void Fall(GameContext& game);
// True when the figure can drop one row from row cellY.
bool CanFallFrom(const GameState& state, const FigureGrid& shape, int32_t cellY);
// True when the current figure's shape, where it stands, lies on an occupied cell.
bool CurrentFigureBlocked(const GameContext& game);

}  // namespace zt
