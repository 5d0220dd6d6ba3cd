#include "game/auto_player.h"

#include <array>
#include <limits>

#include "device/keyboard_device.h"

namespace zt {

namespace {

using Occupancy = std::array<std::array<bool, kGlassColumns + 1>, kGlassRows + 1>;  // [row][column], 1-based

Occupancy ReadGlass(const Glass& glass) {
  Occupancy cells{};
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column) cells[row][column] = !glass.IsFree(column, row);
  return cells;
}

bool Fits(const Occupancy& cells, const FigureGrid& shape, int x, int y) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      if (shape[i][j] == 0) continue;
      const int column = x + j, row = y - i;
      if (column < 1 || column > kGlassColumns || row < 1) return false;
      if (row <= kGlassRows && cells[row][column]) return false;
    }
  return true;
}

// Classic weights: lower stacks, fewer holes, flatter surface, more cleared rows.
double Evaluate(Occupancy cells, const FigureGrid& shape, int x, int y) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (shape[i][j] != 0 && y - i <= kGlassRows) cells[y - i][x + j] = true;
  int cleared = 0;
  for (int row = 1; row <= kGlassRows; ++row) {
    bool full = true;
    for (int column = 1; column <= kGlassColumns; ++column) full &= cells[row][column];
    if (!full) continue;
    ++cleared;
    for (int r = row; r < kGlassRows; ++r) cells[r] = cells[r + 1];
    cells[kGlassRows] = {};
    --row;
  }
  int aggregate = 0, holes = 0, bumpiness = 0, previous = -1;
  for (int column = 1; column <= kGlassColumns; ++column) {
    int height = 0;
    for (int row = kGlassRows; row >= 1; --row)
      if (cells[row][column]) {
        height = row;
        break;
      }
    for (int row = 1; row < height; ++row) holes += cells[row][column] ? 0 : 1;
    aggregate += height;
    if (previous >= 0) bumpiness += height > previous ? height - previous : previous - height;
    previous = height;
  }
  return -0.51 * aggregate + 0.76 * cleared - 0.36 * holes - 0.18 * bumpiness;
}

void Plan(AutoPlayer& player, const GameState& state, const FigureShapes& shapes) {
  const TFigure& figure = state.CurrentFigure;
  const Occupancy cells = ReadGlass(state.Cells);
  double best = -std::numeric_limits<double>::infinity();
  player.TargetTurn = figure.Turn;
  player.TargetX = figure.CellX;
  const int turns = state.Bonus.BombActive ? 1 : 4;
  for (int turn = 1; turn <= turns; ++turn) {
    const int32_t candidateTurn = state.Bonus.BombActive ? figure.Turn : turn;
    const FigureGrid& shape = shapes.Shape(figure.Color, candidateTurn);
    for (int x = -3; x <= kGlassColumns; ++x) {
      if (!Fits(cells, shape, x, figure.CellY)) continue;
      int y = figure.CellY;
      while (Fits(cells, shape, x, y - 1)) --y;
      const double score = Evaluate(cells, shape, x, y);
      if (score > best) {
        best = score;
        player.TargetTurn = candidateTurn;
        player.TargetX = x;
      }
    }
  }
  player.PlannedLanding = state.FiguresLanded;
}

}  // namespace

std::vector<uint8_t> AutoPlayerKeys(AutoPlayer& player, const GameState& state, const FigureShapes& shapes) {
  const TFigure& figure = state.CurrentFigure;
  if (player.PlannedLanding != state.FiguresLanded) Plan(player, state, shapes);
  std::vector<uint8_t> keys;
  if (player.TappedLastFrame) {  // let go for one frame, so the next tap is a fresh press
    player.TappedLastFrame = false;
    return keys;
  }
  if (figure.Turning || figure.ShiftDir != kNoShift) return keys;
  if (figure.Turn != player.TargetTurn) {
    keys.push_back(DIK_UP);
  } else if (figure.CellX != player.TargetX) {
    keys.push_back(figure.CellX < player.TargetX ? DIK_RIGHT : DIK_LEFT);
  } else {
    keys.push_back(DIK_SPACE);
  }
  player.TappedLastFrame = true;
  return keys;
}

}  // namespace zt
