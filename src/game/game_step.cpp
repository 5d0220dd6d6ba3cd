#include "game/game_step.h"

#include <cmath>

#include "game/bonus.h"
#include "game/fall_speeds.h"
#include "game/lines.h"
#include "game/motion.h"

namespace zt {

GameState::GameState() {
  Cells.BuildGlass();
  PlaceCurrent(CurrentFigure, 2, 1);
  PlaceNext(NextFigure, 1, 1);
}

int ClearedRowsInUse(const GameState& state) {
  int inUse = 0;
  for (const ClearedRow& slot : state.ClearedRows) inUse += slot.InUse ? 1 : 0;
  return inUse;
}

void GameContext::ShowMessage(const char* text, float x, int32_t size, int32_t bonus) {
  Message& message = State.Msg;
  message.Text = text;
  message.X = x;
  message.Size = size;
  message.Bonus = bonus;
  message.Alpha = 150;
  message.FadeDir = 1;
}

void TakeFrameTime(TimeBase& time, Clock& clock) {
  uint32_t frameMs = clock.Now() - time.LastTick;  // unsigned: survives the wrap-around
  if (frameMs == 0) frameMs = 1;
  time.LastTick = clock.Now();
  if (frameMs > 100) frameMs = 100;
  time.FrameMs = frameMs;
}

void NewGame(GameContext& game) {
  GameState& state = game.State;
  state.Cells.ClearGlass();
  state.Cells.BuildGlass();
  state.BaseFallSpeed = state.FallSpeed = static_cast<float>(kStartFallSpeed);
  state.Score = state.ShownScore = state.Lines = 0;
  state.FiguresPerMinute = state.FiguresLanded = state.Time.GameSeconds = state.LinesAdded = 0;
  state.ClearsBySize.fill(0);
  state.Level = 1;
  state.Time.GameStartTick = game.Time.Now();
  state.Mode.AbortAsked = false;
  state.Mode.Paused = false;
  state.Msg.Alpha = 0;
  state.Msg.Bonus = 0;
  state.Msg.Text.clear();
  state.FanfareIndex = game.Rng.Next(7);
  if (state.GameType == kRedara) state.RedaraRows = 9;
  state.Bonus.BonusMode = state.GameType == kTorvane || state.GameType == kRedara || state.GameType == kKids;
  PlaceFirstFigures(state.CurrentFigure, state.NextFigure, state.GameType, state.RedaraRows, game.Rng);
  ReleaseGameKeys(state.Keys);
  for (ClearedRow& slot : state.ClearedRows) slot = ClearedRow{};
  ClearAllParticles(game.Particles);
  BonusState& bonus = state.Bonus;
  bonus.BombPending = bonus.BombActive = bonus.SuperfigurePending = false;
  bonus.PowerPoints = bonus.ShownPowerPoints = 0;
  bonus.BombRadius = 0;
  bonus.BonusCountdown = 60000;
}

void GameStep(GameContext& game) {
  GameState& state = game.State;
  GameKeys& keys = state.Keys;
  TakeFrameTime(state.Time, game.Time);
  const uint32_t frameMs = state.Time.FrameMs;

  if (state.Bonus.BonusMode) BonusClock(game);
  if (state.Bonus.BombActive) BombFuse(game);
  state.Bonus.PreviousStepShort = frameMs < 11 && !game.Config.FullScreenMode;
  state.Time.GameSeconds = static_cast<int32_t>((game.Time.Now() - state.Time.GameStartTick) / 1000);

  Grow(state.CurrentFigure, 1.0f, frameMs);
  Grow(state.NextFigure, 0.75f, frameMs);
  UpKey(game);
  if (state.CurrentFigure.Turning)
    TurnStep(state.CurrentFigure, frameMs, game.Config.RotationSpeedFactor, game.Config.RotationClockwise, false,
             &state.Cells, &game.Shapes);

  ClearFullRows(game);
  MoveClearedRows(state, frameMs);
  SettleBricks(state, frameMs);

  ApplyDropKeys(game);
  Fall(game);
  CountDown(keys.KeyDown || keys.KeySpace || keys.KeyCtrl, keys.DropKeyTimer, frameMs);
  SidewaysKeys(game);
  FlipStartOrStep(state.Cells, state.Flip, game.Rng, frameMs);
  for (ParticleList& list : game.Particles) Particle_Update(list, frameMs);

  if (Fires(keys.KeyPause, keys.PauseKeyTimer, kPauseKeyStart)) Pause(state, game.Time.Now());
  CountDown(keys.KeyPause, keys.PauseKeyTimer, frameMs);
  if (Fires(keys.KeyEsc, keys.EscKeyTimer, kEscKeyStart)) {
    state.Mode.AbortAsked = true;
    state.Time.PauseStartTick = game.Time.Now();
  }
  CountDown(keys.KeyEsc, keys.EscKeyTimer, frameMs);

  FadeInStep(state.Mode, frameMs);
  CheckLevelUp(game);
  UpdatePosition(state, game.HighScores);
  UpdateFiguresPerMinute(state);
  GameMusic(game);
  if (state.Bonus.BonusMode) CountdownSeconds(game);
  RetroLineTimer(game);
  MessageFade(state.Msg, frameMs);
  CountShownScore(state);
  if (state.Bonus.BonusMode) CountShownPowerPoints(state.Bonus);
}

LeaveResult InterruptedStep(GameContext& game) {
  GameState& state = game.State;
  GameKeys& keys = state.Keys;
  ModeFlags& mode = state.Mode;
  TakeFrameTime(state.Time, game.Time);
  const uint32_t frameMs = state.Time.FrameMs;

  if (mode.Paused &&
      (Fires(keys.KeyPause, keys.PauseKeyTimer, kPauseKeyStart) || Fires(keys.KeyEsc, keys.EscKeyTimer, kEscKeyStart)))
    Resume(state, game.Time.Now());
  CountDown(keys.KeyPause, keys.PauseKeyTimer, frameMs);
  if (mode.AbortAsked && !mode.InputLocked && (Fires(keys.KeyEsc, keys.EscKeyTimer, kEscKeyStart) || keys.KeyNo))
    Resume(state, game.Time.Now());
  CountDown(keys.KeyEsc, keys.EscKeyTimer, frameMs);

  const bool leave = mode.GameOver && (keys.KeySpace || keys.KeyEnter || keys.KeyEsc || keys.KeyCtrl);
  if (((mode.AbortAsked && (keys.KeyEnter || keys.KeyYes)) || leave) && !mode.InputLocked) {
    mode.FadeOut = true;
    mode.InputLocked = true;
  }
  FadeOutStep(mode, frameMs);
  GameMusic(game);
  if (!mode.FadeOutDone) return LeaveResult::kStaying;

  mode.InMenu = true;
  Music_Play(game.Audio, 0, true);
  LeaveResult result = LeaveResult::kLeftAfterAbort;
  if (mode.GameOver) {
    mode.GameOver = false;
    result = LeaveResult::kLeftAfterGameOver;
  } else {
    keys.KeyEnter = false;  // AbortAsked stays set until the next new game
  }
  mode.FadeOutDone = false;
  mode.FadeIn = true;
  return result;
}

void Pause(GameState& state, uint32_t now) {
  state.Mode.Paused = true;
  state.Time.PauseStartTick = now;
}

void Resume(GameState& state, uint32_t now) {
  state.Mode.Paused = false;
  state.Mode.AbortAsked = false;
  state.Time.GameStartTick += now - state.Time.PauseStartTick;
}

namespace {

int32_t FadeStep(uint32_t frameMs) { return static_cast<int32_t>(std::nearbyint(frameMs * 0.75)); }

}  // namespace

void FadeOutStep(ModeFlags& mode, uint32_t frameMs) {
  if (!mode.FadeOut || mode.FadeLevel >= 255) return;
  mode.FadeLevel += FadeStep(frameMs);
  if (mode.FadeLevel > 254) {
    mode.FadeLevel = 255;
    mode.FadeOut = false;
    mode.FadeOutDone = true;
  }
}

void FadeInStep(ModeFlags& mode, uint32_t frameMs) {
  if (!mode.FadeIn || mode.FadeLevel <= 0) return;
  mode.FadeLevel -= FadeStep(frameMs);
  if (mode.FadeLevel <= 0) {
    mode.FadeLevel = 0;
    mode.FadeIn = false;
    mode.InputLocked = false;
  }
}

void MessageFade(Message& message, uint32_t frameMs) {
  if (message.Alpha >= 0)
    message.Alpha = static_cast<float>(message.Alpha + message.FadeDir * 0.11 * frameMs);
  else
    message.FadeDir = 1;
  if (message.Alpha > 255) {
    message.FadeDir = -1;
    message.Alpha = 255;
  }
}

void GameMusic(GameContext& game) {
  Sounds& audio = game.Audio;
  if (!Music_Finished(audio) && audio.CurrentMusicTrack != 0) return;
  int next = 1;
  switch (audio.CurrentMusicTrack) {
    case 0:
      next = 1 + game.Rng.Next(3);
      break;
    case 1:
      next = 2;
      break;
    case 2:
      next = 3;
      break;
    default:
      next = 1;
      break;
  }
  Music_Play(audio, next, false);
}

}  // namespace zt
