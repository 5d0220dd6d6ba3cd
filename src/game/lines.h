// Full rows: clearing, the flying copies, the drop illusion, scoring and levels,
// and the numbers the screen shows (counting score, rank, figures per minute).
#pragma once

#include "game/game_context.h"

namespace zt {

// ScoreTable[rows - 1][gameType - 1]
extern const std::array<std::array<int32_t, 5>, 4> kScoreTable;

int ClearFullRows(GameContext& game);  // rows removed, 0..4
void LaunchClearedRow(GameState& state, int row);
void RemoveRow(Glass& glass, int row);
void MoveClearedRows(GameState& state, uint32_t frameMs);
void SettleBricks(GameState& state, uint32_t frameMs);
void CheckLevelUp(GameContext& game);
void CountShownScore(GameState& state);
// The rank 1..11 a score takes in one game type's rows, starting from the current rank and
// only ever rising; an equal score ranks below the stored one (older entries win ties).
int32_t UpdatePosition(const std::array<HighScoreEntry, kHighScoreRows>& rows, int32_t score, int32_t position);
void UpdatePosition(GameState& state, const HighScoreTable& table);
void UpdateFiguresPerMinute(GameState& state);

}  // namespace zt
