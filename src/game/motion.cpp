#include "game/motion.h"

#include <cmath>
#include <numbers>

#include "game/bonus.h"
#include "game/fall_speeds.h"
#include "game/figure_fit.h"

namespace zt {

namespace {

template <typename Visit>
void ForEachFilled(const FigureGrid& shape, Visit visit) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (shape[i][j] != 0) visit(i, j);
}

const FigureGrid& CurrentShape(const GameContext& game) {
  return ShapeInForce(game.State.CurrentFigure, game.Shapes, game.Config.RotationClockwise);
}

// Topmost filled grid row (1..4) of grid column k (1..4), or 0 when the column is empty.
int TopFilledRow(const FigureGrid& shape, int k) {
  for (int m = 1; m <= 4; ++m)
    if (shape[m - 1][k - 1] != 0) return m;
  return 0;
}

// The glass's answer to the movement tests: which cells hold a brick.
struct GlassBricks {
  const Glass& Cells;
  bool operator()(int column, int row) const { return !Cells.IsFree(column, row); }
};

void SetTrail(DropTrail& trail, const FigureGrid& shape, float x, float y) {
  for (int k = 1; k <= 4; ++k) {
    const int m = TopFilledRow(shape, k);
    TrailColumn& column = trail.Trail[k - 1];
    column.Active = m != 0;
    if (m == 0) continue;
    column.X = x + static_cast<float>(k - 1);
    column.Y = y - static_cast<float>(m) + 1;
  }
}

float Signed(Random& random, int32_t magnitude) {
  return static_cast<float>(random.Next(2) == 0 ? magnitude : -magnitude);
}

// Twenty sparks from every brick of the figure that comes to rest on the floor or a brick.
void ThrowLandingParticles(GameContext& game, const FigureGrid& shape) {
  const TFigure& figure = game.State.CurrentFigure;
  ForEachFilled(shape, [&](int i, int j) {
    const int below = figure.CellY - i - 1;
    const bool rests = below == 0 || (below >= 1 && below <= kGlassRows && Glass::Inside(figure.CellX + j, below) &&
                                      !game.State.Cells.IsFree(figure.CellX + j, below));
    if (!rests) return;
    for (int n = 0; n < 20; ++n) {
      const float x = figure.PosX + static_cast<float>(j) + game.Rng.Fraction() - 0.5f;
      const float y = figure.PosY - static_cast<float>(i);
      const float vx = Signed(game.Rng, 3 + game.Rng.Next(10));
      const float vy = static_cast<float>(-2 - game.Rng.Next(8));
      Particle_Add(game.Particles, 1, 1, 30 + game.Rng.Next(205), x, y, vx, vy);
    }
  });
}

void WriteFigureIntoGlass(GameState& state, const FigureGrid& shape) {
  const TFigure& figure = state.CurrentFigure;
  ForEachFilled(shape, [&](int i, int j) {
    const int column = figure.CellX + j, row = figure.CellY - i;
    if (Glass::Inside(column, row)) state.Cells.Occupy(column, row, figure.Color);
  });
}

void EnterNextFigure(GameContext& game) {
  GameState& state = game.State;
  if (state.Bonus.BombPending) {
    PlaceCurrent(state.CurrentFigure, kBombFigure, 1);
    game.PlaySound(SoundId::kBombWarning);
    state.Bonus.BombPending = false;
    state.Bonus.BombActive = true;
    return;  // the preview waits for the next lock
  }
  if (state.Bonus.SuperfigurePending) {
    game.PlaySound(SoundId::kSuperfigure);
    state.Bonus.SuperfigurePending = false;
  }
  PlaceCurrent(state.CurrentFigure, state.NextFigure.Color, state.NextFigure.Turn);
  ChooseNext(state.NextFigure, state.GameType, state.RedaraRows, game.Rng);
}

void Lock(GameContext& game, const FigureGrid& shape) {
  GameState& state = game.State;
  if (state.Bonus.BombActive) {
    ExplodeBomb(game);
  } else {
    game.PlaySound(SoundId::kFigureFall);
    ThrowLandingParticles(game, shape);
    WriteFigureIntoGlass(state, shape);
    if (state.FallSpeed >= kFastTrailSpeed && state.Trail.TrailIntensity > 0)
      SetTrail(state.Trail, shape, static_cast<float>(state.CurrentFigure.CellX),
               static_cast<float>(state.CurrentFigure.CellY));
  }
  EnterNextFigure(game);
  state.FallSpeed = state.BaseFallSpeed;
  state.Score += 5;
  state.Bonus.PowerPoints += 5;
  state.FiguresLanded += 1;
  state.LockDelayMs = kLockDelayMs;
  state.LockDelayActive = false;
}

void GameOverTest(GameContext& game) {
  if (!CurrentFigureBlocked(game)) return;
  game.PlaySound(SoundId::kGameOver);
  game.State.Mode.GameOver = true;
}

// One sideways step: dir -1 left, +1 right.
void MoveSideways(GameContext& game, int dir) {
  GameState& state = game.State;
  TFigure& figure = state.CurrentFigure;
  const FigureGrid& shape = CurrentShape(game);
  const int off = state.LockDelayActive ? 1 : 0;
  if (!CanStepSideways(BricksOf(shape), figure.CellX, figure.CellY + off, dir, GlassBricks{state.Cells})) {
    figure.ShiftDir = kNoShift;
    return;
  }
  if (state.LockDelayActive) {  // resting after a Space drop: the step is made at once
    figure.ShiftDir = kNoShift;
    figure.PosX = static_cast<float>(figure.PosX + dir);
    figure.CellX += dir;
    state.FallSpeed = state.BaseFallSpeed;
    state.LockDelayActive = false;
    return;
  }
  figure.PosX = static_cast<float>(figure.PosX + dir * static_cast<double>(game.State.Time.FrameMs) * state.ShiftSpeed);
  const double travelled =
      dir < 0 ? figure.CellX - static_cast<double>(figure.PosX) : static_cast<double>(figure.PosX) - figure.CellX;
  if (travelled > 1) {
    figure.ShiftDir = kNoShift;
    figure.CellX += dir;
    figure.PosX = static_cast<float>(figure.CellX);
  }
}

}  // namespace

void Grow(TFigure& figure, float target, uint32_t frameMs) {
  if (figure.Scale >= target) return;
  figure.Scale = static_cast<float>(figure.Scale + frameMs * 0.003);
  if (figure.Scale >= target) figure.Scale = target;
  MatScaling(figure.ScaleMatrix, figure.Scale, figure.Scale, figure.Scale);
}

void ApplyDropKeys(GameContext& game) {
  GameState& state = game.State;
  const GameKeys& keys = state.Keys;
  if (Fires(keys.KeyCtrl, keys.DropKeyTimer, kDropKeyStart)) state.FallSpeed = kCtrlSpeed;
  if (Fires(keys.KeySpace, keys.DropKeyTimer, kDropKeyStart)) state.FallSpeed = kSpaceSpeed;
  if (Fires(keys.KeyDown, keys.DropKeyTimer, kDropKeyStart)) state.FallSpeed = kDownSpeed;
  if (!keys.KeyDown && state.FallSpeed < kDroppedSpeed) state.FallSpeed = state.BaseFallSpeed;
  state.ShiftSpeed = static_cast<float>(state.FallSpeed < kQuickShiftFrom ? kSlowShiftSpeed : kQuickShiftSpeed);

  DropTrail& trail = state.Trail;
  const uint32_t frameMs = state.Time.FrameMs;
  trail.TrailOn = state.FallSpeed >= kTrailSpeed && !state.LockDelayActive;
  trail.TrailRate = 0.045f;
  if (state.FallSpeed >= kDroppedSpeed) trail.TrailRate = 0.1f;
  if (state.FallSpeed >= kFastTrailSpeed) trail.TrailRate = 0.25f;
  if (trail.TrailOn && trail.TrailIntensity < 6.5)
    trail.TrailIntensity = static_cast<float>(trail.TrailIntensity + frameMs * static_cast<double>(trail.TrailRate));
  if (trail.TrailIntensity > 6.5) trail.TrailIntensity = 6.5f;
  if (!trail.TrailOn && trail.TrailIntensity > 0)
    trail.TrailIntensity = static_cast<float>(trail.TrailIntensity - frameMs * 0.1);
  if (trail.TrailIntensity < 0) trail.TrailIntensity = 0;
}

void UpKey(GameContext& game) {
  GameState& state = game.State;
  if (Fires(state.Keys.KeyUp, state.Keys.UpKeyTimer, kUpKeyStart) && !state.CurrentFigure.Turning &&
      state.FallSpeed < kDroppedSpeed) {
    Rotate(state.CurrentFigure, state.Cells, game.Shapes, game.Config.RotationClockwise, false);
    state.Trail.TrailIntensity = 0;
  }
  CountDown(state.Keys.KeyUp, state.Keys.UpKeyTimer, state.Time.FrameMs);
}

void Rotate(TFigure& figure, const Glass& glass, const FigureShapes& shapes, bool clockwise, bool inMenu) {
  if (!inMenu) {
    const FigureGrid& shape = shapes.Shape(figure.Color, TurnAfter(figure.Turn, clockwise));
    const std::optional<int> x = TurnedColumn(BricksOf(shape), figure.CellX, figure.CellY, GlassBricks{glass});
    if (!x) return;
    figure.CellX = *x;
  }
  figure.PosX = static_cast<float>(figure.CellX);
  figure.Turning = true;
}

void TurnStep(TFigure& figure, uint32_t frameMs, float rotationSpeedFactor, bool clockwise, bool inMenu,
              const Glass* glass, const FigureShapes* shapes) {
  constexpr double kPi = std::numbers::pi;
  double step = frameMs * static_cast<double>(rotationSpeedFactor) * kPi / 180.0;
  if (inMenu) step /= 4;
  figure.TurnAngle = static_cast<float>(figure.TurnAngle + step);
  MatRotationZ(figure.TurnMatrix, clockwise ? -figure.TurnAngle : figure.TurnAngle);
  if (figure.TurnAngle > kPi / 2 && figure.TurnAngle < kPi) {
    figure.TurnAngle = 0;
    figure.Turning = false;
    figure.Turn = TurnAfter(figure.Turn, clockwise);
  } else if (figure.TurnAngle > 2 * kPi) {
    figure.TurnAngle = 0;
    figure.Turning = false;
    if (glass != nullptr && shapes != nullptr &&
        !FitsAt(BricksOf(shapes->Shape(figure.Color, figure.Turn)), figure.CellX, figure.CellY, GlassBricks{*glass}))
      figure.Turn = TurnAfter(figure.Turn, clockwise);
  }
}

void SidewaysKeys(GameContext& game) {
  GameState& state = game.State;
  GameKeys& keys = state.Keys;
  const int32_t delay = game.Config.SidewaysKeyDelay;
  TFigure& figure = state.CurrentFigure;
  if (figure.ShiftDir == kNoShift) {
    if (Fires(keys.KeyLeft, keys.ShiftKeyTimer, delay)) figure.ShiftDir = kShiftLeft;
    if (Fires(keys.KeyRight, keys.ShiftKeyTimer, delay)) figure.ShiftDir = kShiftRight;
  }
  CountDown(keys.KeyLeft || keys.KeyRight, keys.ShiftKeyTimer, state.Time.FrameMs);
  if (figure.ShiftDir == kShiftLeft)
    MoveLeft(game);
  else if (figure.ShiftDir == kShiftRight)
    MoveRight(game);
}

void MoveLeft(GameContext& game) { MoveSideways(game, -1); }
void MoveRight(GameContext& game) { MoveSideways(game, +1); }

bool CanFallFrom(const GameState& state, const FigureGrid& shape, int32_t cellY) {
  return FitsAt(BricksOf(shape), state.CurrentFigure.CellX, cellY - 1, GlassBricks{state.Cells});
}

bool CurrentFigureBlocked(const GameContext& game) {
  const TFigure& figure = game.State.CurrentFigure;
  bool blocked = false;
  ForEachFilled(CurrentShape(game), [&](int i, int j) {
    const int column = figure.CellX + j, row = figure.CellY - i;
    if (Glass::Inside(column, row) && !game.State.Cells.IsFree(column, row)) blocked = true;
  });
  return blocked;
}

void Fall(GameContext& game) {
  GameState& state = game.State;
  TFigure& figure = state.CurrentFigure;
  const FigureGrid& shape = CurrentShape(game);

  if (CanFallFrom(state, shape, figure.CellY)) {
    const float y0 = figure.PosY;
    figure.PosY = static_cast<float>(figure.PosY - state.Time.FrameMs * static_cast<double>(state.FallSpeed));
    if (figure.CellY - static_cast<double>(figure.PosY) > 1) {
      figure.CellY -= 1;
      // A fast figure that would pass a ledge within one step stops on it.
      for (int32_t j = figure.CellY; j > figure.PosY;) {
        if (CanFallFrom(state, shape, j)) {
          --j;
        } else {
          figure.PosY = static_cast<float>(j);
          figure.CellY = j;
          break;
        }
      }
    }
    if (state.FallSpeed >= kTrailSpeed && state.Trail.TrailIntensity > 0) SetTrail(state.Trail, shape, figure.PosX, y0);
    return;
  }
  if (figure.ShiftDir != kNoShift) return;  // never locks during a sideways move

  if (std::fabs(state.FallSpeed - 0.08) < 0.001 && state.LockDelayMs >= 0) {
    state.LockDelayMs -= static_cast<int32_t>(state.Time.FrameMs);
    state.LockDelayActive = true;
  } else {
    Lock(game, shape);
  }
  GameOverTest(game);
}

}  // namespace zt
