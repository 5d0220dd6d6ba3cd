// Bonuses and added lines: the bonus clock with its superfigures and bombs, the bomb's
// fuse and blast, the countdown warnings, and the "Retro" line pushed in every 45 seconds.
#pragma once

#include "game/game_context.h"

namespace zt {

int32_t BombRadiusFor(int32_t gameType, int32_t powerPoints);
void BonusClock(GameContext& game);
void BombFuse(GameContext& game);
void ExplodeBomb(GameContext& game);
void CountdownSeconds(GameContext& game);
void RetroLineTimer(GameContext& game);
void AddLine(GameContext& game);
void CountShownPowerPoints(BonusState& bonus);

}  // namespace zt
