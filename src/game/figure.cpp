#include "game/figure.h"

namespace zt {

std::string GameTypeName(int32_t gameType) {
  static const std::array<const char*, 5> kNames = {"Torvane", "Redara", "Vodoza", "Kids", "Retro"};
  return gameType >= 1 && gameType <= 5 ? kNames[gameType - 1] : "";
}

const std::array<std::array<int32_t, 4>, kFigureTableRows> kFigureTable = {{
    {1, 1, 1, 1},
    {2, 2, 2, 2},
    {3, 3, 3, 3},
    {4, 4, 4, 4},
    {5, 5, 5, 5},
    {6, 6, 6, 6},
    {7, 7, 7, 7},
    {10, 11, 13, 14},
    {8, 9, 16, 17},
    {19, 27, 28, 29},
    {12, 22, 23, 33},
    {15, 18, 24, 26},
    {31, 32, 20, 21},
    {25, 30, 34, 30},
}};

void TFigure::Place(int32_t color, int32_t turn, float scale, float z, int32_t y, int32_t x) {
  Color = color;
  Turn = turn;
  CellX = x;
  PosX = static_cast<float>(x);
  CellY = y;
  PosY = static_cast<float>(y);
  MatTranslation(Matrix, static_cast<float>(x), static_cast<float>(y), z);
  Scale = scale;
  Turning = false;
  TurnAngle = 0;
  // Drawn at its start size from the first frame on, not at full size until it first grows.
  MatScaling(ScaleMatrix, scale, scale, scale);
}

int32_t TurnAfter(int32_t turn, bool clockwise) {
  if (clockwise) return turn % 4 + 1;
  return turn == 1 ? 4 : turn - 1;
}

const FigureGrid& ShapeInForce(const TFigure& figure, const FigureShapes& shapes, bool clockwise) {
  const int32_t turn = figure.Turning ? TurnAfter(figure.Turn, clockwise) : figure.Turn;
  return shapes.Shape(figure.Color, turn);
}

void PlaceCurrent(TFigure& current, int32_t number, int32_t turn) {
  current.Place(number, turn, 0.5f, 0, kSpawnRow, kSpawnColumn);
}

void PlaceNext(TFigure& next, int32_t number, int32_t turn) { next.Place(number, turn, 0.4f, 0, 18, -6); }

namespace {

int32_t RandomTurn(Random& random) { return 1 + random.Next(4); }

// The "Redara" first figures: a table row and column, no re-draw.
int32_t FirstRedaraFigure(int32_t redaraRows, Random& random) {
  const int32_t column = random.Next(4);
  const int32_t row = random.Next(redaraRows);
  return kFigureTable[row][column];
}

// The "Redara" preview: rows 10 and up are drawn again with chance 1/2, and rows 12 and up
// once more after such a re-draw, so the harder rows come more rarely.
int32_t NextRedaraFigure(int32_t redaraRows, Random& random) {
  int32_t row = 1 + random.Next(redaraRows);
  if (row >= 10 && random.Next(2) == 0) {
    row = 1 + random.Next(redaraRows);
    if (row >= 12 && random.Next(2) == 0) row = 1 + random.Next(redaraRows);
  }
  const int32_t column = 1 + random.Next(4);
  return kFigureTable[row - 1][column - 1];
}

// A figure of the pool of the game type for a fresh draw.
int32_t PoolFigure(int32_t gameType, Random& random) {
  switch (gameType) {
    case kVodoza:
      return 42 + random.Next(7);
    case kKids:
      return 35 + random.Next(7);
    default:
      return 1 + random.Next(7);  // "Torvane" and "Retro"
  }
}

}  // namespace

void PlaceFirstFigures(TFigure& current, TFigure& next, int32_t gameType, int32_t redaraRows, Random& random) {
  if (gameType == kRedara) {
    const int32_t first = FirstRedaraFigure(redaraRows, random);
    PlaceCurrent(current, first, RandomTurn(random));
    const int32_t second = FirstRedaraFigure(redaraRows, random);
    PlaceNext(next, second, RandomTurn(random));
    return;
  }
  const int32_t first = PoolFigure(gameType, random);
  PlaceCurrent(current, first, RandomTurn(random));
  const int32_t second = PoolFigure(gameType, random);
  PlaceNext(next, second, RandomTurn(random));
}

void ChooseNext(TFigure& next, int32_t gameType, int32_t redaraRows, Random& random) {
  const int32_t number = gameType == kRedara ? NextRedaraFigure(redaraRows, random) : PoolFigure(gameType, random);
  PlaceNext(next, number, RandomTurn(random));
}

}  // namespace zt
