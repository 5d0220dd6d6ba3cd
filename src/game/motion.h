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
// Advances a turn. A frame so long that the angle passes half a turn spins the figure full
// circle back to its old turn; in the glass (glass and shapes given) it takes the new turn
// instead when the old shape no longer fits where the figure now stands, since every move
// during the turn was tested with the new shape.
void TurnStep(TFigure& figure, uint32_t frameMs, float rotationSpeedFactor, bool clockwise, bool inMenu,
              const Glass* glass = nullptr, const FigureShapes* shapes = nullptr);
void SidewaysKeys(GameContext& game);
void MoveLeft(GameContext& game);
void MoveRight(GameContext& game);
void Fall(GameContext& game);
// True when the figure can drop one row from row cellY.
bool CanFallFrom(const GameState& state, const FigureGrid& shape, int32_t cellY);
// True when the current figure's shape, where it stands, lies on an occupied cell.
bool CurrentFigureBlocked(const GameContext& game);

}  // namespace zt
