// The glass: 10 columns by 20 rows of cells, each owning one brick for the whole game,
// and the brick flip, a decorative animation that now and then turns one brick over.
#pragma once

#include <array>
#include <cstdint>

#include "core/random.h"
#include "core/vecmath.h"

namespace zt {

constexpr int kGlassColumns = 10;  // column 1 at the left
constexpr int kGlassRows = 20;     // row 1 at the bottom
constexpr float kGlassCenterX = 5.5f;
constexpr float kGlassCenterY = 10.5f;
constexpr int32_t kAddedLineColor = 49;

// A model placed in the world: the mesh to draw and its world matrix.
struct TModel {
  uint8_t ModelIndex = 0;
  D3DMATRIX Matrix = kIdentityMatrix;
};

// A brick: a model with one of the 49 brick colours (1..48 the figure it came from,
// 49 the bricks of an added line).
struct TBrick : TModel {
  int32_t Color = 1;
  static TBrick Create(int32_t color, float x, float y, float z);
  float X() const { return Matrix(4, 1); }
  float Y() const { return Matrix(4, 2); }
  float Z() const { return Matrix(4, 3); }
};

struct TGlassCell {
  bool Free = true;
  TBrick Brick;  // stays in its cell for the whole game; only Free and Color move
};

struct BrickFlip {
  bool FlipActive = false;
  int32_t FlipCol = 1;   // 1..10
  int32_t FlipRow = 1;   // 1..20
  int32_t FlipAxis = 0;  // 0..5
  float FlipAngle = 0;   // radians
  D3DMATRIX FlipSavedMatrix = kIdentityMatrix;
};

class Glass {
 public:
  // cells[row - 1][column - 1]
  TGlassCell& Cell(int column, int row) { return cells_[row - 1][column - 1]; }
  const TGlassCell& Cell(int column, int row) const { return cells_[row - 1][column - 1]; }
  static bool Inside(int column, int row) {
    return column >= 1 && column <= kGlassColumns && row >= 1 && row <= kGlassRows;
  }

  void ClearGlass();
  void BuildGlass();
  bool IsFree(int column, int row) const { return Cell(column, row).Free; }
  // Collision test of a figure's cell: walls and floor are blocked, the open top is free.
  bool IsOpen(int column, int row) const;
  void Occupy(int column, int row, int32_t color);
  void FreeCell(int column, int row) { Cell(column, row).Free = true; }
  void CopyCell(int fromColumn, int fromRow, int toColumn, int toRow);
  void CopyRow(int fromRow, int toRow);
  bool RowFull(int row) const;
  bool RowEmpty(int row) const;

 private:
  std::array<std::array<TGlassCell, kGlassColumns>, kGlassRows> cells_{};
};

// The flip start (1 chance in 10 per step, up to 31 tries for an occupied cell) and its
// animation; a flip lasts 360 ms and ends with the brick unturned.
void FlipStartOrStep(Glass& glass, BrickFlip& flip, Random& random, uint32_t frameMs);

}  // namespace zt
