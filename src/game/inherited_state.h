// What a game takes over from the games before it: NewGame resets the score, the glass and
// the figures but leaves these as the last game (or the loading) left them, so a game is
// reproduced on its own only when they are carried with it.
#pragma once

#include <cstdint>

#include "core/random.h"
#include "game/game_state.h"

namespace zt {

struct InheritedState {
  int32_t GameType = kTorvane;
  Random::State Generator{};
  uint8_t MusicTrack = 0;  // the track last started; the first game step reads it
  BrickFlip Flip;          // a flip still running finishes on the new glass
  bool LockDelayActive = false;
  int32_t LockDelayMs = 0;
  int32_t LastCountdownSecond = 0;
  int32_t RetroSecondsLeft = 0;
  bool PreviousStepShort = false;
  int32_t RedaraRows = 9;  // reset by NewGame only for "Redara"
  float ShiftSpeed = 0.022f;
  DropTrail Trail;
  float MessageX = 0;  // the message's text, alpha and bonus are reset, its place and fade are not
  int32_t MessageSize = 0;
  int32_t MessageFadeDir = 1;
  uint8_t ShiftDir = kNoShift;  // of the figure in flight, which NewGame places anew
  GameKeys Keys;                // the timers and the menu's select flag; NewGame lets go of the keys
};

// Taken just before NewGame: the state the next game starts from.
InheritedState TakeInheritedState(const GameState& game, const Random& random, uint8_t musicTrack);
// Puts a game's inheritance back, so that the NewGame that follows starts that game.
void GiveInheritedState(const InheritedState& inherited, GameState& game, Random& random, uint8_t& musicTrack);

}  // namespace zt
