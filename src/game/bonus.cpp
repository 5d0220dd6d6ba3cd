#include "game/bonus.h"

#include <algorithm>
#include <cstdlib>

namespace zt {

namespace {

constexpr int32_t kBonusPeriodMs = 60000;
constexpr int32_t kSuperfigurePointLimit = 1500;
constexpr int32_t kRetroLinePeriod = 45;  // seconds of play

struct RadiusStep {
  int32_t Radius;
  int32_t Above;  // points above 1500 needed
};

// Largest radius first; a radius needs the points strictly above its threshold.
constexpr std::array<RadiusStep, 6> kTorvaneRadii = {{{9, 1500}, {8, 1200}, {7, 900}, {6, 675}, {5, 375}, {4, 150}}};
constexpr std::array<RadiusStep, 7> kBombGameRadii = {
    {{10, 1050}, {9, 825}, {8, 525}, {7, 300}, {6, 75}, {5, -90}, {4, -225}}};

template <size_t N>
int32_t RadiusFrom(const std::array<RadiusStep, N>& steps, int32_t d) {
  for (const RadiusStep& step : steps)
    if (d > step.Above) return step.Radius;
  return 3;
}

}  // namespace

int32_t BombRadiusFor(int32_t gameType, int32_t powerPoints) {
  const int32_t d = powerPoints - kSuperfigurePointLimit;
  return gameType == kTorvane ? RadiusFrom(kTorvaneRadii, d) : RadiusFrom(kBombGameRadii, d);
}

void BonusClock(GameContext& game) {
  GameState& state = game.State;
  BonusState& bonus = state.Bonus;
  bonus.BonusCountdown -= static_cast<int32_t>(state.Time.FrameMs);
  if (bonus.BonusCountdown > 0 || bonus.BombPending || bonus.BombActive) return;

  if (bonus.PowerPoints < kSuperfigurePointLimit && state.GameType == kTorvane) {
    bonus.SuperfigurePending = true;
    const int32_t row = kFirstSuperfigureRow + game.Rng.Next(3);
    const int32_t column = 1 + game.Rng.Next(4);
    PlaceNext(state.NextFigure, kFigureTable[row - 1][column - 1], 1 + game.Rng.Next(4));
    bonus.PowerPoints = 0;
    bonus.BonusCountdown = kBonusPeriodMs;
  } else {
    // The clock stays at or below zero until the bomb has gone off.
    bonus.BombPending = true;
    bonus.BombRadius = BombRadiusFor(state.GameType, bonus.PowerPoints);
  }
}

void BombFuse(GameContext& game) {
  GameState& state = game.State;
  const float x = state.CurrentFigure.PosX + 1.55f;
  const float y = state.CurrentFigure.PosY + 0.7f;
  if (game.Rng.Next(2) == 0) {
    const float vx = static_cast<float>(5 - game.Rng.Next(11));
    const float vy = static_cast<float>(-3 - game.Rng.Next(4));
    Particle_Add(game.Particles, 3, 3, 130 + game.Rng.Next(105), x, y, vx, vy);
  }
  // Sparks come rarer when frames are short, so a fast machine does not drown the fuse.
  const int32_t sparkChance = state.Bonus.PreviousStepShort ? 12 : 3;
  if (game.Rng.Next(sparkChance) == 0) {
    const int32_t speed = 20 - game.Rng.Next(11);
    const float vx = static_cast<float>(game.Rng.Next(2) == 0 ? speed : -speed);
    const float vy = static_cast<float>(9 + game.Rng.Next(10));
    Particle_Add(game.Particles, 4, 4, 130 + game.Rng.Next(105), x, y, vx, vy);
  }
}

void ExplodeBomb(GameContext& game) {
  GameState& state = game.State;
  Glass& glass = state.Cells;
  const int32_t r = state.Bonus.BombRadius;
  const int32_t bombX = state.CurrentFigure.CellX, bombY = state.CurrentFigure.CellY;
  game.PlaySound(SoundId::kExplosion);

  // The blast: a disc centred on the corner shared by the bomb's four cells.
  for (int i = -r + 1; i <= r; ++i)
    for (int k = -r + 1; k <= r; ++k) {
      const double di = i - 0.5, dk = k - 0.5;
      const int column = bombX + 1 + i, row = bombY - 1 - k;
      if (di * di + dk * dk < static_cast<double>(r) * r && Glass::Inside(column, row)) glass.FreeCell(column, row);
    }

  for (int n = 0; n < 90; ++n) {
    const float x = static_cast<float>(bombX) - 0.5f + 3 * game.Rng.Fraction();
    const float y = static_cast<float>(bombY) - 2.5f + 3 * game.Rng.Fraction();
    int32_t vx = 0, vy = 0;
    do {
      vx = game.Rng.Next(200) - 100;
      vy = game.Rng.Next(150) - 70;
    } while (std::abs(vx) + std::abs(vy) < 55);
    Particle_Add(game.Particles, 2, 2, 130 + game.Rng.Next(105), x, y, static_cast<float>(vx), static_cast<float>(vy));
  }

  // The collapse: 19 passes let any brick above the blast fall the full height.
  const int lowest = std::max(bombY - 1 - r, 2);
  for (int pass = 0; pass < 19; ++pass)
    for (int column = 1; column <= kGlassColumns; ++column)
      for (int row = lowest; row <= kGlassRows; ++row)
        if (glass.IsFree(column, row - 1) && !glass.IsFree(column, row)) {
          glass.Occupy(column, row - 1, glass.Cell(column, row).Brick.Color);
          glass.FreeCell(column, row);
        }

  state.Bonus.BombActive = false;
  state.Bonus.PowerPoints = 0;
  state.Bonus.BonusCountdown = kBonusPeriodMs;
  state.Score += 25;
}

void CountdownSeconds(GameContext& game) {
  BonusState& bonus = game.State.Bonus;
  const int32_t s = bonus.BonusCountdown / 1000;  // truncated toward zero
  if (s == bonus.LastCountdownSecond) return;
  bonus.LastCountdownSecond = s;
  if (s >= 0 && s <= 2) game.PlaySound(SoundId::kWarning);
  if (s == 2) game.ShowMessage("Warning...", -2.7f, 6, 0);
}

void RetroLineTimer(GameContext& game) {
  GameState& state = game.State;
  const bool retro = state.GameType == kRetro;
  const int32_t t = (state.LinesAdded + 1) * kRetroLinePeriod - state.Time.GameSeconds;
  if (t != state.Bonus.RetroSecondsLeft) {
    state.Bonus.RetroSecondsLeft = t;
    if (retro && t >= 1 && t <= 3) game.PlaySound(SoundId::kWarning);
    if (retro && t == 3) game.ShowMessage("Warning...", -2.7f, 6, 0);
  }
  if (retro && state.LinesAdded < state.Time.GameSeconds / kRetroLinePeriod) AddLine(game);
}

void AddLine(GameContext& game) {
  GameState& state = game.State;
  Glass& glass = state.Cells;
  game.PlaySound(SoundId::kLineAdd);
  for (int row = kGlassRows; row >= 2; --row) glass.CopyRow(row - 1, row);
  for (int column = 1; column <= kGlassColumns; ++column) glass.FreeCell(column, 1);
  for (int placed = 0; placed < 5;) {
    const int column = 1 + game.Rng.Next(kGlassColumns);
    if (!glass.IsFree(column, 1)) continue;
    glass.Occupy(column, 1, kAddedLineColor);
    ++placed;
  }
  state.LinesAdded += 1;
}

void CountShownPowerPoints(BonusState& bonus) {
  const int32_t d = bonus.PowerPoints - bonus.ShownPowerPoints;
  if (d > 0) {
    bonus.ShownPowerPoints += d >= 101 ? 5 : (d < 21 ? 1 : 2);
  } else if (d < 0) {
    const int32_t down = -d;
    int32_t step = 2;
    if (down >= 1001)
      step = 20;
    else if (down >= 401)
      step = 15;
    else if (down >= 201)
      step = 10;
    else if (down >= 61)
      step = 5;
    else if (down < 11)
      step = 1;
    bonus.ShownPowerPoints -= step;
  }
}

}  // namespace zt
