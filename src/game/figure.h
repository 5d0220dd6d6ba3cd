// A figure of bricks: its number (which is also its brick colour), turn and position,
// with its grow-in and turn animations; the figure table and the pools of every game type.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/random.h"
#include "game/figure_shapes.h"
#include "game/glass.h"

namespace zt {

enum GameTypeId : int32_t { kTorvane = 1, kRedara = 2, kVodoza = 3, kKids = 4, kRetro = 5 };

// The name of game type 1..5 ("Torvane", "Redara", "Vodoza", "Kids", "Retro"); empty otherwise.
std::string GameTypeName(int32_t gameType);

constexpr int kSpawnColumn = 4;
constexpr int kSpawnRow = 20;
constexpr int kBombFigure = 5;
constexpr int kFigureTableRows = 14;
constexpr int kFirstSuperfigureRow = 12;

// FigureTable[row - 1][column - 1]: rows 1..7 the seven classic figures, 8..14 the growing
// "Redara" pool; rows 12..14 are the superfigures.
extern const std::array<std::array<int32_t, 4>, kFigureTableRows> kFigureTable;

enum ShiftDirection : uint8_t { kNoShift = 0, kShiftLeft = 1, kShiftRight = 2 };

struct TFigure : TBrick {
  float PosX = 0, PosY = 0;      // drawn position of grid cell (0, 0): column and row
  int32_t CellX = 0, CellY = 0;  // position of every collision test
  int32_t Turn = 1;              // 1..4, the turn whose shape is in force
  uint8_t ShiftDir = kNoShift;
  D3DMATRIX ScaleMatrix = kIdentityMatrix;
  float Scale = 1;
  bool Turning = false;
  float TurnAngle = 0;  // radians turned so far
  D3DMATRIX TurnMatrix = kIdentityMatrix;

  void Place(int32_t color, int32_t turn, float scale, float z, int32_t y, int32_t x);
};

// The turn a turning figure goes to: clockwise 1->2->3->4->1, else the other way.
int32_t TurnAfter(int32_t turn, bool clockwise);
// The shape every test uses: while turning, already the shape being turned to.
const FigureGrid& ShapeInForce(const TFigure& figure, const FigureShapes& shapes, bool clockwise);

void PlaceCurrent(TFigure& current, int32_t number, int32_t turn);
void PlaceNext(TFigure& next, int32_t number, int32_t turn);

// The first two figures of a new game, and the preview after every landing.
void PlaceFirstFigures(TFigure& current, TFigure& next, int32_t gameType, int32_t redaraRows, Random& random);
void ChooseNext(TFigure& next, int32_t gameType, int32_t redaraRows, Random& random);

}  // namespace zt
