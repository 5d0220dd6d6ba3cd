// Where a figure may stand and which moves the rules allow it: the fit, fall, sideways-step and
// turn tests. They ask `occupied(column, row)` only of cells inside the glass, so they serve the
// glass itself and any other record of its bricks (the automatic player's bit rows) alike.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "game/figure_shapes.h"
#include "game/glass.h"

namespace zt {

// The bricks of one figure in one turn, top row first: grid row (0 = top) and grid column of each.
struct FigureBricks {
  int Count = 0;
  std::array<int8_t, 16> Row{}, Column{};
};

inline FigureBricks BricksOf(const FigureGrid& grid) {
  FigureBricks bricks;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (grid[i][j] != 0) {
        bricks.Row[bricks.Count] = static_cast<int8_t>(i);
        bricks.Column[bricks.Count] = static_cast<int8_t>(j);
        ++bricks.Count;
      }
  return bricks;
}

// A figure's cell test: the walls and the floor block, the open top above row 20 is free.
template <typename Occupied>
bool CellOpen(int column, int row, const Occupied& occupied) {
  if (column < 1 || column > kGlassColumns || row < 1) return false;
  return row > kGlassRows || !occupied(column, row);
}

// Every brick on an open cell with the figure's grid cell (0, 0) at column x, row y.
template <typename Occupied>
bool FitsAt(const FigureBricks& bricks, int x, int y, const Occupied& occupied) {
  for (int n = 0; n < bricks.Count; ++n)
    if (!CellOpen(x + bricks.Column[n], y - bricks.Row[n], occupied)) return false;
  return true;
}

// A sideways step (dir -1 left, +1 right) tests the cells one row below the bricks, in the
// column they move to: inside the glass (no open top) and free.
template <typename Occupied>
bool CanStepSideways(const FigureBricks& bricks, int x, int y, int dir, const Occupied& occupied) {
  for (int n = 0; n < bricks.Count; ++n) {
    const int column = x + bricks.Column[n] + dir, row = y - bricks.Row[n] - 1;
    if (!Glass::Inside(column, row) || occupied(column, row)) return false;
  }
  return true;
}

// A turn pushes the turned shape off the walls, then needs it to fit where it stands: the
// column the turned figure takes, or nothing when the turn is refused.
template <typename Occupied>
std::optional<int> TurnedColumn(const FigureBricks& turned, int x, int y, const Occupied& occupied) {
  for (int n = 0; n < turned.Count; ++n) {
    while (x + turned.Column[n] <= 0) ++x;
    while (x + turned.Column[n] > kGlassColumns) --x;
  }
  if (!FitsAt(turned, x, y, occupied)) return std::nullopt;
  return x;
}

}  // namespace zt
