#include "game/auto_player.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

#include "device/keyboard_device.h"
#include "game/fall_speeds.h"
#include "game/figure_fit.h"

namespace zt {

namespace {

constexpr uint16_t kRowMask = 0x7FE;   // columns 1..10 as bits 1..10
constexpr uint16_t kWalls = 0x801;     // the walls as columns 0 and 11
constexpr uint16_t kSpawnMask = 0xF0;  // columns 4..7, where a new figure's grid stands
constexpr int kSpawnAreaLow = kSpawnRow - 3;
constexpr int kMinX = -3;  // grid columns a figure's grid may stand at
constexpr int kMaxX = kGlassColumns;
constexpr int kXCount = kMaxX - kMinX + 1;
constexpr double kUnreached = std::numeric_limits<double>::infinity();
constexpr double kLost = -1e9;  // the rating of a glass where the next figure cannot enter

// The glass as one bit per cell: Board[row] for rows 1..20, bit c for column c.
using Board = std::array<uint16_t, kGlassRows + 1>;

Board ReadBoard(const Glass& glass) {
  Board board{};
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column)
      if (!glass.IsFree(column, row)) board[row] |= static_cast<uint16_t>(1u << column);
  return board;
}

// The board's answer to the game's movement tests.
struct BoardBricks {
  const Board& Cells;
  bool operator()(int column, int row) const { return ((Cells[row] >> column) & 1u) != 0; }
};

bool Fits(const Board& board, const FigureBricks& piece, int x, int y) {
  return FitsAt(piece, x, y, BoardBricks{board});
}

int LandingRow(const Board& board, const FigureBricks& piece, int x, int y) {
  while (Fits(board, piece, x, y - 1)) --y;
  return y;
}

int ClearFull(Board& board) {
  int kept = 1, cleared = 0;
  for (int row = 1; row <= kGlassRows; ++row) {
    if ((board[row] & kRowMask) == kRowMask) {
      ++cleared;
      continue;
    }
    board[kept++] = board[row];
  }
  for (; kept <= kGlassRows; ++kept) board[kept] = 0;
  return cleared;
}

// The glass after a figure locks at (x, y): its bricks written, full rows cleared.
struct Locked {
  Board Cells{};
  double LandingHeight = 0;
  int ErodedCells = 0;
};

Locked Lock(const Board& board, const FigureBricks& piece, int x, int y) {
  Locked result{board};
  std::array<int, kGlassRows + 1> bricksInRow{};
  int low = kGlassRows, high = 1;
  for (int n = 0; n < piece.Count; ++n) {
    const int column = x + piece.Column[n], row = y - piece.Row[n];
    low = std::min(low, row);
    high = std::max(high, row);
    if (row < 1 || row > kGlassRows) continue;
    result.Cells[row] |= static_cast<uint16_t>(1u << column);
    ++bricksInRow[row];
  }
  int cleared = 0, bricksCleared = 0;
  for (int row = 1; row <= kGlassRows; ++row)
    if ((result.Cells[row] & kRowMask) == kRowMask) {
      ++cleared;
      bricksCleared += bricksInRow[row];
    }
  ClearFull(result.Cells);
  result.LandingHeight = (low + high) / 2.0;
  result.ErodedCells = cleared * bricksCleared;
  return result;
}

// The bomb going off where it locked: a disc of the blast radius emptied around the centre of
// its four bricks, everything above the blast falling down, then any full rows cleared.
Board Explode(const Board& board, int bombX, int bombY, int radius) {
  Board cells = board;
  for (int i = -radius + 1; i <= radius; ++i)
    for (int k = -radius + 1; k <= radius; ++k) {
      const double di = i - 0.5, dk = k - 0.5;
      const int column = bombX + 1 + i, row = bombY - 1 - k;
      if (di * di + dk * dk < static_cast<double>(radius) * radius && Glass::Inside(column, row))
        cells[row] &= static_cast<uint16_t>(~(1u << column));
    }
  const int lowest = std::max(bombY - 1 - radius, 2);
  for (int pass = 0; pass < kGlassRows - 1; ++pass)
    for (int row = lowest; row <= kGlassRows; ++row) {
      const uint16_t falling = static_cast<uint16_t>(cells[row] & ~cells[row - 1] & kRowMask);
      cells[row - 1] |= falling;
      cells[row] &= static_cast<uint16_t>(~falling);
    }
  ClearFull(cells);
  return cells;
}

double RateGlass(const Board& board, const AutoPlayerWeights& weights) {
  int rowTransitions = 0, columnTransitions = 0, holes = 0, wells = 0;
  uint16_t below = kRowMask;  // the floor
  for (int row = 1; row <= kGlassRows; ++row) {
    const unsigned walled = board[row] | kWalls;
    rowTransitions += std::popcount((walled ^ (walled >> 1)) & 0x7FFu);
    columnTransitions += std::popcount(static_cast<unsigned>((board[row] ^ below) & kRowMask));
    below = board[row];
  }
  unsigned covered = 0;
  std::array<int, kGlassColumns + 2> depth{};
  for (int row = kGlassRows; row >= 1; --row) {
    holes += std::popcount(covered & ~static_cast<unsigned>(board[row]) & kRowMask);
    covered |= board[row];
    const unsigned walled = board[row] | kWalls;
    const unsigned well = ~walled & (walled << 1) & (walled >> 1) & kRowMask;
    for (int column = 1; column <= kGlassColumns; ++column) {
      if ((well >> column) & 1u) {
        wells += ++depth[column];
      } else {
        depth[column] = 0;
      }
    }
  }
  int spawnBricks = 0;
  for (int row = kSpawnAreaLow; row <= kGlassRows; ++row)
    spawnBricks += std::popcount(static_cast<unsigned>(board[row] & kSpawnMask));
  return weights.RowTransitions * rowTransitions + weights.ColumnTransitions * columnTransitions +
         weights.Holes * holes + weights.Wells * wells + weights.SpawnArea * spawnBricks;
}

// How the figure moves while it is steered: it keeps falling, a turn and a sideways step take
// their animation's time, and a key is seen a frame late.
struct Motion {
  double FallSpeed = 0;  // cells per ms
  double Fallen = 0;     // part of a row already fallen
  double TurnMs = 0;
  double ShiftMs = 0;
  double FrameMs = 0;
};

int RowAt(int startY, const Motion& motion, double ms) {
  return startY - static_cast<int>(std::floor(motion.Fallen + ms * motion.FallSpeed));
}

// The states a figure can reach by turning and stepping sideways while it falls, each with
// the time it takes and the move that led there.
struct Reach {
  std::array<std::array<double, kXCount>, kTurnCount> Ms;
  std::array<std::array<AutoMove, kXCount>, kTurnCount> Via;
  std::array<std::array<int8_t, kXCount>, kTurnCount> FromX;
  std::array<std::array<int8_t, kXCount>, kTurnCount> FromTurn;
};

struct FigureStart {
  int32_t Color = 1;
  int32_t Turn = 1;
  int32_t X = kSpawnColumn;
  int32_t Y = kSpawnRow;
  bool CanTurn = true;
};

// Dijkstra over (turn, column): each move must be allowed at every row the figure passes
// while the move runs.
bool Search(const Board& board, const FigureShapes& shapes, const FigureStart& start, const Motion& motion,
            bool clockwise, Reach& reach) {
  std::array<FigureBricks, kTurnCount> pieces;
  for (int turn = 1; turn <= kTurnCount; ++turn) pieces[turn - 1] = BricksOf(shapes.Shape(start.Color, turn));
  if (!Fits(board, pieces[start.Turn - 1], start.X, start.Y)) return false;
  for (auto& row : reach.Ms) row.fill(kUnreached);
  std::array<std::array<bool, kXCount>, kTurnCount> done{};
  reach.Ms[start.Turn - 1][start.X - kMinX] = 0;
  reach.Via[start.Turn - 1][start.X - kMinX] = AutoMove::kNone;

  auto relax = [&](int turn, int x, double ms, AutoMove via, int fromTurn, int fromX) {
    double& known = reach.Ms[turn - 1][x - kMinX];
    if (ms >= known) return;
    known = ms;
    reach.Via[turn - 1][x - kMinX] = via;
    reach.FromTurn[turn - 1][x - kMinX] = static_cast<int8_t>(fromTurn);
    reach.FromX[turn - 1][x - kMinX] = static_cast<int8_t>(fromX);
  };

  for (;;) {
    int turn = 0, x = 0;
    double ms = kUnreached;
    for (int t = 1; t <= kTurnCount; ++t)
      for (int c = kMinX; c <= kMaxX; ++c)
        if (!done[t - 1][c - kMinX] && reach.Ms[t - 1][c - kMinX] < ms) {
          ms = reach.Ms[t - 1][c - kMinX];
          turn = t;
          x = c;
        }
    if (turn == 0) break;
    done[turn - 1][x - kMinX] = true;
    const FigureBricks& piece = pieces[turn - 1];
    const int top = RowAt(start.Y, motion, ms);

    for (int dir : {-1, +1}) {
      const int to = x + dir;
      if (to < kMinX || to > kMaxX) continue;
      const double end = ms + motion.ShiftMs + motion.FrameMs;
      const int bottom = RowAt(start.Y, motion, end + motion.FrameMs);
      bool allowed = true;
      for (int row = top; row >= bottom && allowed; --row)
        allowed = Fits(board, piece, x, row) && CanStepSideways(piece, x, row, dir, BoardBricks{board}) &&
                  Fits(board, piece, to, row);
      if (allowed) relax(turn, to, end, dir < 0 ? AutoMove::kLeft : AutoMove::kRight, turn, x);
    }
    if (start.CanTurn) {
      const int next = TurnAfter(turn, clockwise);
      const double end = ms + motion.TurnMs + motion.FrameMs;
      const int bottom = RowAt(start.Y, motion, end + motion.FrameMs);
      std::optional<int> pushedX = x;
      for (int row = top; row >= bottom && pushedX; --row)
        pushedX =
            Fits(board, piece, x, row) ? TurnedColumn(pieces[next - 1], x, row, BoardBricks{board}) : std::nullopt;
      if (pushedX) relax(next, *pushedX, end, AutoMove::kTurn, turn, x);
    }
  }
  return true;
}

struct Situation {
  Board Cells{};
  FigureStart Current;
  Motion CurrentMotion;
  bool CurrentIsBomb = false;
  FigureStart Next;
  Motion NextMotion;
  bool NextIsBomb = false;
  int32_t BombRadius = 3;
  bool Clockwise = true;
};

// The best rating the preview figure can reach on the glass left by the figure in play.
double RateNext(const Board& board, const Situation& s, const FigureShapes& shapes, const AutoPlayerWeights& w) {
  Reach reach;
  if (!Search(board, shapes, s.Next, s.NextMotion, s.Clockwise, reach)) return kLost;
  double best = kLost;
  for (int turn = 1; turn <= kTurnCount; ++turn) {
    const FigureBricks piece = BricksOf(shapes.Shape(s.Next.Color, turn));
    for (int x = kMinX; x <= kMaxX; ++x) {
      const double ms = reach.Ms[turn - 1][x - kMinX];
      if (ms == kUnreached) continue;
      const int y = LandingRow(board, piece, x, RowAt(s.Next.Y, s.NextMotion, ms));
      double rating = 0;
      if (s.NextIsBomb) {
        rating = RateGlass(Explode(board, x, y, s.BombRadius), w);
      } else {
        const Locked locked = Lock(board, piece, x, y);
        rating =
            RateGlass(locked.Cells, w) + w.LandingHeight * locked.LandingHeight + w.ErodedCells * locked.ErodedCells;
      }
      best = std::max(best, rating);
    }
  }
  return best;
}

struct Choice {
  AutoPlacement Placement;
  Reach Paths;
};

bool Choose(const Situation& s, const FigureShapes& shapes, const AutoPlayerWeights& w, bool lookAhead,
            Choice& choice) {
  if (!Search(s.Cells, shapes, s.Current, s.CurrentMotion, s.Clockwise, choice.Paths)) return false;
  bool found = false;
  double best = -std::numeric_limits<double>::infinity();
  for (int turn = 1; turn <= kTurnCount; ++turn) {
    const FigureBricks piece = BricksOf(shapes.Shape(s.Current.Color, turn));
    for (int x = kMinX; x <= kMaxX; ++x) {
      const double ms = choice.Paths.Ms[turn - 1][x - kMinX];
      if (ms == kUnreached) continue;
      const int y = LandingRow(s.Cells, piece, x, RowAt(s.Current.Y, s.CurrentMotion, ms));
      Board after{};
      double rating = 0;
      if (s.CurrentIsBomb) {
        after = Explode(s.Cells, x, y, s.BombRadius);
      } else {
        const Locked locked = Lock(s.Cells, piece, x, y);
        after = locked.Cells;
        rating = w.LandingHeight * locked.LandingHeight + w.ErodedCells * locked.ErodedCells;
      }
      rating += lookAhead ? RateNext(after, s, shapes, w) : RateGlass(after, w);
      rating -= ms * 1e-6;  // of equal glasses, the one reached sooner
      if (rating > best) {
        best = rating;
        found = true;
        choice.Placement = AutoPlacement{turn, x, y, rating};
      }
    }
  }
  return found;
}

Situation Observe(const GameState& state, const Settings& config) {
  const TFigure& figure = state.CurrentFigure;
  Situation s;
  s.Cells = ReadBoard(state.Cells);
  s.Clockwise = config.RotationClockwise;
  s.CurrentIsBomb = state.Bonus.BombActive;
  s.Current.Color = figure.Color;
  s.Current.Turn = figure.Turning ? TurnAfter(figure.Turn, config.RotationClockwise) : figure.Turn;
  s.Current.X = figure.CellX;
  s.Current.Y = figure.CellY;
  s.Current.CanTurn = !s.CurrentIsBomb && state.FallSpeed < kDroppedSpeed;
  const double frameMs = std::max<uint32_t>(state.Time.FrameMs, 1);
  const double turnSpeed = config.RotationSpeedFactor > 0 ? config.RotationSpeedFactor : 0.75;
  s.CurrentMotion.FallSpeed = state.FallSpeed;
  s.CurrentMotion.Fallen = std::clamp(static_cast<double>(figure.CellY - figure.PosY), 0.0, 1.0);
  s.CurrentMotion.TurnMs = 90.0 / turnSpeed;
  s.CurrentMotion.ShiftMs = 1.0 / kSlowShiftSpeed;
  s.CurrentMotion.FrameMs = frameMs;
  s.NextMotion = s.CurrentMotion;
  s.NextMotion.FallSpeed = state.BaseFallSpeed;
  s.NextMotion.Fallen = 0;
  s.NextIsBomb = state.Bonus.BombPending && !state.Bonus.BombActive;
  s.BombRadius = state.Bonus.BombRadius;
  if (s.NextIsBomb) {
    s.Next = FigureStart{kBombFigure, 1, kSpawnColumn, kSpawnRow, false};
  } else {
    s.Next = FigureStart{state.NextFigure.Color, state.NextFigure.Turn, kSpawnColumn, kSpawnRow, true};
  }
  return s;
}

// The path to the chosen placement, start first.
std::vector<AutoPathStep> PathTo(const Reach& reach, int turn, int x) {
  std::vector<AutoPathStep> path;
  for (;;) {
    const AutoMove via = reach.Via[turn - 1][x - kMinX];
    path.push_back({static_cast<int8_t>(turn), static_cast<int8_t>(x), via});
    if (via == AutoMove::kNone) break;
    const int fromTurn = reach.FromTurn[turn - 1][x - kMinX], fromX = reach.FromX[turn - 1][x - kMinX];
    turn = fromTurn;
    x = fromX;
  }
  std::reverse(path.begin(), path.end());
  return path;
}

}  // namespace

bool AutoPlayerChoice(const AutoPlayer& player, const GameState& state, const FigureShapes& shapes,
                      const Settings& config, AutoPlacement& choice) {
  Choice found;
  if (!Choose(Observe(state, config), shapes, player.Weights, player.LookAhead, found)) return false;
  choice = found.Placement;
  return true;
}

namespace {

void Replan(AutoPlayer& player, const GameState& state, const FigureShapes& shapes, const Settings& config) {
  ++player.Plans;
  Choice found;
  player.StallMs = 0;
  if (!Choose(Observe(state, config), shapes, player.Weights, player.LookAhead, found)) {
    player.HasTarget = false;
    return;
  }
  player.HasTarget = true;
  player.PathIndex = 0;
  player.TargetTurn = found.Placement.Turn;
  player.TargetX = found.Placement.X;
  player.Path = PathTo(found.Paths, found.Placement.Turn, found.Placement.X);
}

}  // namespace

std::vector<uint8_t> AutoPlayerKeys(AutoPlayer& player, const GameState& state, const FigureShapes& shapes,
                                    const Settings& config) {
  std::vector<uint8_t> keys;
  const ModeFlags& mode = state.Mode;
  if (mode.InMenu || mode.GameOver || mode.Paused || mode.AbortAsked || mode.InputLocked) return keys;
  const TFigure& figure = state.CurrentFigure;
  const GameKeys& held = state.Keys;
  const int32_t inForce = figure.Turning ? TurnAfter(figure.Turn, config.RotationClockwise) : figure.Turn;

  const bool newFigure = state.FiguresLanded != player.PlannedLanding || figure.Color != player.PlannedColor ||
                         figure.CellY > player.LastCellY;
  if (newFigure) {
    player.PlannedLanding = state.FiguresLanded;
    player.PlannedColor = figure.Color;
    player.HasTarget = false;
    player.Path.clear();
    player.Refusals = 0;
    player.FellBack = false;
    player.StallMs = 0;
    player.HoldShift = false;
    player.ShiftPressed = player.TurnPressed = false;
  }
  // A key that went down on the last poll and changed nothing was refused: plan again from here.
  const bool shiftRefused = player.ShiftPressed && figure.ShiftDir == kNoShift && figure.CellX == player.LastCellX;
  const bool turnRefused = player.TurnPressed && !figure.Turning && figure.Turn == player.LastTurn;
  if (!newFigure && (shiftRefused || turnRefused)) {
    ++player.Refusals;
    ++player.Replans;
    player.HasTarget = false;
  }
  player.LastCellY = figure.CellY;
  player.LastCellX = figure.CellX;
  player.LastTurn = figure.Turn;
  player.ShiftPressed = player.TurnPressed = false;

  if (state.FallSpeed >= kDroppedSpeed) return keys;  // dropped: nothing left to steer
  const bool idle = !figure.Turning && figure.ShiftDir == kNoShift;
  if (!player.HasTarget && player.Refusals < 3 && idle) Replan(player, state, shapes, config);

  auto drop = [&](AutoDrop how) {
    if (how == AutoDrop::kNone) return;
    if (how == AutoDrop::kDown) {
      keys.push_back(DIK_DOWN);  // held for as long as the figure falls
      return;
    }
    if (held.KeyCtrl || held.KeySpace || held.KeyDown) return;  // let go first: a drop needs a fresh press
    keys.push_back(how == AutoDrop::kSpace ? DIK_SPACE : DIK_LCONTROL);
  };
  if (!player.HasTarget) {
    if (idle) {  // nowhere to go, or the plan kept being refused: drop it where it stands
      if (!player.FellBack) ++player.Fallbacks;
      player.FellBack = true;
      drop(AutoDrop::kCtrl);
    }
    return keys;
  }

  // Where the figure stands on its path.
  const std::vector<AutoPathStep>& path = player.Path;
  int at = -1;
  for (int k = static_cast<int>(path.size()) - 1; k >= 0; --k)
    if (path[k].Turn == inForce && path[k].X == figure.CellX) {
      at = k;
      break;
    }
  if (at < 0) {  // pushed off the path: plan again once the figure stands still
    player.HasTarget = false;
    ++player.Replans;
    return keys;
  }
  const bool arrived = at + 1 == static_cast<int>(path.size());
  if (at != player.PathIndex || arrived) {
    player.PathIndex = at;
    player.StallMs = 0;
  } else {
    player.StallMs += static_cast<int32_t>(state.Time.FrameMs);
    if (player.StallMs > 1500) {
      player.HasTarget = false;
      ++player.Replans;
      ++player.Refusals;
      return keys;
    }
  }

  if (arrived) {
    if (figure.ShiftDir == kNoShift) drop(player.Drop);
    return keys;
  }

  const AutoMove next = path[at + 1].Via;
  if (next == AutoMove::kTurn) {
    if (figure.Turning || figure.ShiftDir != kNoShift || held.KeyUp) return keys;
    keys.push_back(DIK_UP);
    player.TurnPressed = true;
    // The step after a turn may start in the same frame: the turn comes first in the step.
    if (at + 2 < static_cast<int>(path.size()) && path[at + 2].Via != AutoMove::kTurn) {
      const bool left = path[at + 2].Via == AutoMove::kLeft;
      if (!(left ? held.KeyLeft : held.KeyRight) && !held.KeyLeft && !held.KeyRight) {
        keys.push_back(left ? DIK_LEFT : DIK_RIGHT);
        player.ShiftPressed = true;
      }
    }
    return keys;
  }

  // A run of sideways steps: tap the key each time the last step has ended, or hold it down
  // when its repeat comes round sooner than taps would.
  const bool left = next == AutoMove::kLeft;
  const uint8_t key = left ? DIK_LEFT : DIK_RIGHT;
  const bool keyHeld = left ? held.KeyLeft : held.KeyRight;
  const bool otherHeld = left ? held.KeyRight : held.KeyLeft;
  int run = 0;
  for (size_t k = static_cast<size_t>(at) + 1; k < path.size() && path[k].Via == next; ++k) ++run;
  const double frameMs = std::max<uint32_t>(state.Time.FrameMs, 1);
  const int framesPerStep = static_cast<int>(1.0 / (state.ShiftSpeed * frameMs)) + 1;
  const int framesToRepeat = static_cast<int>(std::ceil(config.SidewaysKeyDelay / frameMs));
  if (!keyHeld) player.HoldShift = framesPerStep == 1 && run > framesToRepeat;
  if (otherHeld) return keys;
  if (player.HoldShift && keyHeld) {
    keys.push_back(key);
    return keys;
  }
  if (figure.ShiftDir != kNoShift || keyHeld) return keys;  // let go, press again when the step ends
  keys.push_back(key);
  player.ShiftPressed = true;
  return keys;
}

}  // namespace zt
