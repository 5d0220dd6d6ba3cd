// The state of the game: mode flags, time base, the glass and its figures, scoring,
// bonuses, the drop trail, the rows in flight and the floating message. One game at a time.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/fall_speeds.h"
#include "game/figure.h"
#include "game/game_keys.h"
#include "game/glass.h"

namespace zt {

constexpr int kClearSizes = 4;  // rows cleared at once: one, two, three, four

struct ModeFlags {
  bool InMenu = true;
  bool InputLocked = false;  // a fade is under way: no key poll
  bool FadeOut = false;
  bool FadeOutDone = false;
  bool FadeIn = false;
  bool GameOver = false;
  bool Paused = false;
  bool AbortAsked = false;
  int32_t FadeLevel = 0;  // 0..255, opacity of the black overlay
};

struct TimeBase {
  uint32_t LastTick = 0;       // clock at the previous step
  uint32_t FrameMs = 1;        // ms of the current step, 1..100
  uint32_t GameStartTick = 0;  // pushed forward by every pause
  uint32_t PauseStartTick = 0;
  int32_t GameSeconds = 0;  // whole seconds of play, pauses excluded
};

struct Message {
  std::string Text;
  float X = 0;  // horizontal offset of the text
  int32_t Size = 0;
  float Alpha = 0;  // 0..255; drawn while above 10
  int32_t Bonus = 0;
  int32_t FadeDir = 1;
};

struct TrailColumn {
  bool Active = false;
  float X = 0, Y = 0;
};

struct DropTrail {
  bool TrailOn = false;
  float TrailIntensity = 0;  // 0..6.5
  float TrailRate = 0;
  std::array<TrailColumn, 4> Trail{};
};

struct ClearedRow {
  bool InUse = false;
  std::array<TBrick, kGlassColumns> Bricks{};
};

struct BonusState {
  bool BonusMode = false;
  int32_t BonusCountdown = 60000;  // ms to the next bonus
  int32_t PowerPoints = 0;
  int32_t ShownPowerPoints = 0;
  bool BombPending = false;
  bool BombActive = false;
  int32_t BombRadius = 0;
  bool SuperfigurePending = false;
  int32_t LastCountdownSecond = 0;  // not reset by a new game
  int32_t RetroSecondsLeft = 0;     // not reset by a new game
  bool PreviousStepShort = false;   // the last game step took under 11 ms (windowed)
};

struct GameState {
  ModeFlags Mode;
  TimeBase Time;
  GameKeys Keys;

  int32_t GameType = kTorvane;
  Glass Cells;
  BrickFlip Flip;
  TFigure CurrentFigure;
  TFigure NextFigure;

  int32_t Score = 0;
  int32_t ShownScore = 0;
  int32_t Lines = 0;
  int32_t Level = 1;
  float BaseFallSpeed = static_cast<float>(kStartFallSpeed);  // cells per ms
  float FallSpeed = static_cast<float>(kStartFallSpeed);
  float ShiftSpeed = static_cast<float>(kSlowShiftSpeed);
  int32_t FiguresLanded = 0;
  int32_t FiguresPerMinute = 0;
  std::array<int32_t, kClearSizes> ClearsBySize{};  // this game's clears of 1..4 rows at once
  int32_t Position = 11;                            // rank the score would take, 1..10; 11 = none
  int32_t LinesAdded = 0;
  int32_t RedaraRows = 9;
  int32_t FanfareIndex = 0;

  bool LockDelayActive = false;
  int32_t LockDelayMs = 0;

  DropTrail Trail;
  std::array<ClearedRow, 8> ClearedRows{};
  BonusState Bonus;
  Message Msg;

  GameState();
};

int ClearedRowsInUse(const GameState& state);

}  // namespace zt
