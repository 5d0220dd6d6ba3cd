// The steps of a game: the start of a new game, one step of a running game, one step of
// an interrupted game (pause, abort question, game over), the fades and the game music.
#pragma once

#include "game/game_context.h"

namespace zt {

// What an interrupted step ended with: the fade to black after leaving the game is done.
enum class LeaveResult { kStaying, kLeftAfterGameOver, kLeftAfterAbort };

void TakeFrameTime(TimeBase& time, Clock& clock);  // FrameMs: clamped to 1..100
void NewGame(GameContext& game);
void GameStep(GameContext& game);
LeaveResult InterruptedStep(GameContext& game);
void Pause(GameState& state, uint32_t now);
void Resume(GameState& state, uint32_t now);
void FadeOutStep(ModeFlags& mode, uint32_t frameMs);
void FadeInStep(ModeFlags& mode, uint32_t frameMs);
void MessageFade(Message& message, uint32_t frameMs);
// Starts the next game tune when the last one has ended or the menu tune still plays.
void GameMusic(GameContext& game);

}  // namespace zt
