#include "game/glass.h"

#include <numbers>

#include "game/figure_fit.h"

namespace zt {

TBrick TBrick::Create(int32_t color, float x, float y, float z) {
  TBrick brick;
  brick.Color = color;
  MatTranslation(brick.Matrix, x, y, z);
  return brick;
}

void Glass::ClearGlass() {
  for (auto& row : cells_)
    for (TGlassCell& cell : row) cell = TGlassCell{};
}

void Glass::BuildGlass() {
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column) {
      TGlassCell& cell = Cell(column, row);
      cell.Free = true;
      cell.Brick = TBrick::Create(1, static_cast<float>(column), static_cast<float>(row), 0);
    }
}

bool Glass::IsOpen(int column, int row) const {
  return CellOpen(column, row, [this](int c, int r) { return !IsFree(c, r); });
}

void Glass::Occupy(int column, int row, int32_t color) {
  TGlassCell& cell = Cell(column, row);
  cell.Free = false;
  cell.Brick.Color = color;
}

void Glass::CopyCell(int fromColumn, int fromRow, int toColumn, int toRow) {
  const TGlassCell& from = Cell(fromColumn, fromRow);
  TGlassCell& to = Cell(toColumn, toRow);
  to.Free = from.Free;
  to.Brick.Color = from.Brick.Color;
}

void Glass::CopyRow(int fromRow, int toRow) {
  for (int column = 1; column <= kGlassColumns; ++column) CopyCell(column, fromRow, column, toRow);
}

bool Glass::RowFull(int row) const {
  for (int column = 1; column <= kGlassColumns; ++column)
    if (IsFree(column, row)) return false;
  return true;
}

bool Glass::RowEmpty(int row) const {
  for (int column = 1; column <= kGlassColumns; ++column)
    if (!IsFree(column, row)) return false;
  return true;
}

namespace {

void StartFlip(const Glass& glass, BrickFlip& flip, Random& random) {
  if (random.Next(10) != 0) return;
  for (int attempt = 0; attempt < 31; ++attempt) {
    const int column = 1 + random.Next(kGlassColumns);
    const int row = 1 + random.Next(kGlassRows);
    if (glass.IsFree(column, row)) continue;
    flip.FlipActive = true;
    flip.FlipCol = column;
    flip.FlipRow = row;
    flip.FlipAxis = random.Next(6);
    flip.FlipSavedMatrix = glass.Cell(column, row).Brick.Matrix;
    return;
  }
}

void FlipStep(Glass& glass, BrickFlip& flip, uint32_t frameMs) {
  constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;
  flip.FlipAngle = static_cast<float>(flip.FlipAngle + frameMs * (std::numbers::pi / 720.0));
  if (flip.FlipAngle > kQuarterTurn) flip.FlipAngle = kQuarterTurn;
  const bool finished = flip.FlipAngle >= kQuarterTurn;

  D3DMATRIX turned;
  const float angle = (flip.FlipAxis % 2 == 0) ? flip.FlipAngle : -flip.FlipAngle;
  switch (flip.FlipAxis / 2) {
    case 0:
      MatRotationY(turned, angle);
      break;
    case 1:
      MatRotationX(turned, angle);
      break;
    default:
      MatRotationZ(turned, angle);
      break;
  }
  // The brick meshes are centred on their cell, so the brick turns about its own middle and
  // never leaves its cell: a quarter turn of a cube ends exactly where the still brick stands.
  turned(4, 1) = static_cast<float>(flip.FlipCol);
  turned(4, 2) = static_cast<float>(flip.FlipRow);
  glass.Cell(flip.FlipCol, flip.FlipRow).Brick.Matrix = turned;

  if (finished) {
    for (int row = 1; row <= kGlassRows; ++row)
      MatTranslation(glass.Cell(flip.FlipCol, row).Brick.Matrix, static_cast<float>(flip.FlipCol),
                     static_cast<float>(row), 0);
    flip.FlipAngle = 0;
    flip.FlipActive = false;
  }
}

}  // namespace

void FlipStartOrStep(Glass& glass, BrickFlip& flip, Random& random, uint32_t frameMs) {
  if (flip.FlipActive)
    FlipStep(glass, flip, frameMs);
  else
    StartFlip(glass, flip, random);
}

}  // namespace zt
