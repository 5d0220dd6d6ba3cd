#include "game/lines.h"

#include <algorithm>
#include <cmath>

#include "game/fall_speeds.h"

namespace zt {

const std::array<std::array<int32_t, 5>, 4> kScoreTable = {{
    {30, 30, 50, 40, 30},
    {100, 100, 200, 150, 100},
    {250, 250, 500, 300, 250},
    {500, 500, 500, 500, 500},
}};

namespace {

constexpr std::array<SoundId, 7> kFanfares = {SoundId::kExcellent, SoundId::kFantastic, SoundId::kGreat,
                                              SoundId::kPerfect,   SoundId::kSmashing,  SoundId::kSpectacular,
                                              SoundId::kYouAreGood};

struct LevelRule {
  int32_t Divisor;
  double SpeedStep;  // BaseFallSpeed gained per level
};

LevelRule LevelRuleFor(int32_t gameType) {
  switch (gameType) {
    case kRedara:
      return {1000, kStartFallSpeed / 2.9};
    case kVodoza:
      return {100, kStartFallSpeed / 3};
    case kKids:
      return {800, kStartFallSpeed / 3.2};
    case kRetro:
      return {1000, kStartFallSpeed / 2.9};
    default:
      return {1000, kStartFallSpeed / 3};
  }
}

void ThrowRowParticles(GameContext& game, int lowestRow) {
  for (int pass = 0; pass < 48; ++pass)
    for (int column = 1; column <= kGlassColumns; ++column) {
      const float x = static_cast<float>(column) + game.Rng.Fraction() - 0.5f;
      const float y = static_cast<float>(lowestRow) - 0.25f * game.Rng.Fraction();
      const int32_t speed = 3 + game.Rng.Next(12);
      const float vx = static_cast<float>(game.Rng.Next(2) == 0 ? speed : -speed);
      const float vy = static_cast<float>(-2 - game.Rng.Next(7));
      Particle_Add(game.Particles, 1, 1, 30 + game.Rng.Next(205), x, y, vx, vy);
    }
}

// The bricks above the cleared rows are drawn raised and settle back down.
void RaiseForDropIllusion(Glass& glass, int lowestRow) {
  int top = kGlassRows;
  for (int row = lowestRow + 1; row <= kGlassRows; ++row)
    if (glass.RowEmpty(row)) {
      top = row;
      break;
    }
  for (int row = lowestRow; row <= top; ++row)
    for (int column = 1; column <= kGlassColumns; ++column)
      if (!glass.IsFree(column, row)) glass.Cell(column, row).Brick.Matrix(4, 2) += 0.49f;
}

}  // namespace

int ClearFullRows(GameContext& game) {
  GameState& state = game.State;
  std::array<int, 4> full{};
  int count = 0;
  for (int row = 1; row <= kGlassRows && count < 4; ++row)
    if (state.Cells.RowFull(row)) full[count++] = row;
  if (count == 0) return 0;

  if (count <= 2) {
    game.PlaySound(SoundId::kLineDel);
  } else {
    state.FanfareIndex = (state.FanfareIndex + 1) % 7;
    game.PlaySound(kFanfares[state.FanfareIndex]);
    game.PlaySound(SoundId::kLineDelOverFanfare);
    const int32_t bonus = kScoreTable[count - 1][state.GameType - 1];
    if (count == 3)
      game.ShowMessage("Three Lines Cleared!", -4.6f, 5, bonus);
    else
      game.ShowMessage("Four Lines Cleared!", -4.3f, 5, bonus);
  }
  for (int n = count - 1; n >= 0; --n) {  // downward, so the lower row numbers stay valid
    LaunchClearedRow(state, full[n]);
    RemoveRow(state.Cells, full[n]);
  }
  ThrowRowParticles(game, full[0]);
  RaiseForDropIllusion(state.Cells, full[0]);

  const int32_t points = kScoreTable[count - 1][state.GameType - 1];
  state.Score += points;
  if (state.Bonus.BonusMode) state.Bonus.PowerPoints += points;
  state.Lines += count;
  state.ClearsBySize[count - 1] += 1;
  return count;
}

void LaunchClearedRow(GameState& state, int row) {
  for (ClearedRow& slot : state.ClearedRows) {
    if (slot.InUse) continue;
    for (int column = 1; column <= kGlassColumns; ++column) {
      const TBrick& brick = state.Cells.Cell(column, row).Brick;
      const bool flipping = state.Flip.FlipActive && state.Flip.FlipCol == column && state.Flip.FlipRow == row;
      const D3DMATRIX& place = flipping ? state.Flip.FlipSavedMatrix : brick.Matrix;
      slot.Bricks[column - 1] = TBrick::Create(brick.Color, place(4, 1), place(4, 2), place(4, 3));
    }
    slot.InUse = true;
    return;
  }
  // All eight slots in flight: the row is still removed and scored, without its flying copy.
}

void RemoveRow(Glass& glass, int row) {
  for (int column = 1; column <= kGlassColumns; ++column) glass.FreeCell(column, row);
  for (int j = row; j <= kGlassRows - 1; ++j) glass.CopyRow(j + 1, j);
  int emptied = kGlassRows;
  for (int j = row + 1; j <= kGlassRows; ++j)
    if (glass.RowEmpty(j)) {
      emptied = j;
      break;
    }
  for (int column = 1; column <= kGlassColumns; ++column) glass.FreeCell(column, emptied);
}

void MoveClearedRows(GameState& state, uint32_t frameMs) {
  const double step = frameMs * 0.012;
  for (ClearedRow& slot : state.ClearedRows) {
    if (!slot.InUse) continue;
    for (TBrick& brick : slot.Bricks) {
      brick.Matrix(4, 2) = static_cast<float>(brick.Matrix(4, 2) - step);
      brick.Matrix(4, 3) = static_cast<float>(brick.Matrix(4, 3) - step);
    }
    if (slot.Bricks[0].Z() < -10) slot = ClearedRow{};
  }
}

void SettleBricks(GameState& state, uint32_t frameMs) {
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column) {
      if (state.Cells.IsFree(column, row)) continue;
      float& y = state.Cells.Cell(column, row).Brick.Matrix(4, 2);
      if (y - std::trunc(y) <= 0.001) continue;
      y = static_cast<float>(y - frameMs * static_cast<double>(state.BaseFallSpeed));
      const float nearest = std::nearbyint(y);
      if (y - nearest < 0.001) y = nearest;
    }
}

void CheckLevelUp(GameContext& game) {
  GameState& state = game.State;
  const LevelRule rule = LevelRuleFor(state.GameType);
  const int32_t measure = state.GameType == kVodoza ? state.Time.GameSeconds : state.Score;
  if (measure / rule.Divisor < state.Level) return;

  if (state.Msg.Alpha < 100) {
    constexpr std::array<SoundId, 3> kLevelSounds = {SoundId::kLevelDone, SoundId::kWellDone, SoundId::kGoodJob};
    game.PlaySound(kLevelSounds[state.Level % 3]);
  }
  state.Level += 1;
  state.BaseFallSpeed = static_cast<float>(state.BaseFallSpeed + rule.SpeedStep);
  const std::string text = "Level " + std::to_string(state.Level);
  game.ShowMessage(text.c_str(), -2.4f, 7, 0);
  if (state.GameType == kRedara && state.RedaraRows < 14 && state.Level % 2 == 0 && state.Level <= 12)
    state.RedaraRows += 1;
}

void CountShownScore(GameState& state) {
  if (state.ShownScore >= state.Score) return;
  const int32_t d = state.Score - state.ShownScore;
  state.ShownScore += d >= 101 ? 5 : (d < 21 ? 1 : 2);
}

int32_t UpdatePosition(const std::array<HighScoreEntry, kHighScoreRows>& rows, int32_t score, int32_t position) {
  position = std::clamp(position, 1, 11);
  while (position > 1 && rows[position - 2].EntryScore < score) --position;
  return position;
}

void UpdatePosition(GameState& state, const HighScoreTable& table) {
  state.Position = UpdatePosition(table[state.GameType - 1], state.Score, state.Position);
}

void UpdateFiguresPerMinute(GameState& state) {
  if (state.Time.GameSeconds > 5)
    state.FiguresPerMinute =
        static_cast<int32_t>(std::nearbyint(static_cast<double>(state.FiguresLanded) / state.Time.GameSeconds * 60));
}

}  // namespace zt
