#include <gtest/gtest.h>

#include <map>
#include <numbers>

#include "game/figure.h"
#include "game/glass.h"
#include "support/game_harness.h"

namespace zt {
namespace {

using testing::GameHarness;

TEST(Glass, NewGameBuildsTwoHundredFreeCellsWithBricksInPlace) {
  GameHarness h;
  h.state.Cells.Occupy(3, 3, 9);
  NewGame(h.game);
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column) {
      const TGlassCell& cell = h.state.Cells.Cell(column, row);
      EXPECT_TRUE(cell.Free);
      EXPECT_EQ(cell.Brick.Color, 1);
      EXPECT_EQ(cell.Brick.X(), column);
      EXPECT_EQ(cell.Brick.Y(), row);
    }
}

TEST(Glass, CopyingARowMovesTheLookButNotTheBricks) {
  Glass glass;
  glass.BuildGlass();
  glass.Occupy(2, 5, 17);
  glass.CopyRow(5, 4);
  EXPECT_FALSE(glass.IsFree(2, 4));
  EXPECT_EQ(glass.Cell(2, 4).Brick.Color, 17);
  EXPECT_EQ(glass.Cell(2, 4).Brick.Y(), 4.0f);
  glass.FreeCell(2, 4);
  EXPECT_EQ(glass.Cell(2, 4).Brick.Color, 17);  // freeing leaves the colour
}

TEST(Glass, CollisionTestBlocksWallsAndFloorAndLeavesTheTopOpen) {
  Glass glass;
  glass.BuildGlass();
  EXPECT_FALSE(glass.IsOpen(0, 5));
  EXPECT_FALSE(glass.IsOpen(11, 5));
  EXPECT_FALSE(glass.IsOpen(5, 0));
  EXPECT_TRUE(glass.IsOpen(5, 21));
  EXPECT_TRUE(glass.IsOpen(5, 20));
}

TEST(BrickFlip, NeverStartsInAnEmptyGlass) {
  Glass glass;
  glass.BuildGlass();
  BrickFlip flip;
  Random random(3);
  for (int n = 0; n < 2000; ++n) FlipStartOrStep(glass, flip, random, 10);
  EXPECT_FALSE(flip.FlipActive);
}

TEST(BrickFlip, TurnsAnOccupiedBrickForThreeHundredSixtyMsAndPutsItBack) {
  Glass glass;
  glass.BuildGlass();
  glass.Occupy(4, 7, 2);
  BrickFlip flip;
  Random random(3);
  while (!flip.FlipActive) FlipStartOrStep(glass, flip, random, 10);
  EXPECT_EQ(flip.FlipCol, 4);
  EXPECT_EQ(flip.FlipRow, 7);
  int ms = 0;
  while (flip.FlipActive) {
    FlipStartOrStep(glass, flip, random, 10);
    ms += 10;
    // The brick turns about its own middle: it never leaves its cell.
    EXPECT_FLOAT_EQ(glass.Cell(4, 7).Brick.Matrix(4, 1), 4.0f);
    EXPECT_FLOAT_EQ(glass.Cell(4, 7).Brick.Y(), 7.0f);
    EXPECT_FLOAT_EQ(glass.Cell(4, 7).Brick.Matrix(4, 3), 0.0f);
  }
  EXPECT_NEAR(ms, 360, 10);  // a quarter turn at 0.25 degrees per ms, in single precision
  EXPECT_EQ(glass.Cell(4, 7).Brick.Matrix(1, 1), 1.0f);
  EXPECT_EQ(glass.Cell(4, 7).Brick.Y(), 7.0f);
  EXPECT_FALSE(glass.IsFree(4, 7));
}

TEST(Pools, TorvaneAndRetroUseTheSevenClassicsVodozaAndKidsTheirOwn) {
  Random random(11);
  TFigure next;
  for (auto [type, low, high] : {std::tuple{kTorvane, 1, 7}, {kRetro, 1, 7}, {kVodoza, 42, 48}, {kKids, 35, 41}}) {
    std::map<int, int> seen;
    for (int n = 0; n < 7000; ++n) {
      ChooseNext(next, type, 9, random);
      ++seen[next.Color];
      EXPECT_GE(next.Turn, 1);
      EXPECT_LE(next.Turn, 4);
    }
    EXPECT_EQ(seen.begin()->first, low);
    EXPECT_EQ(seen.rbegin()->first, high);
    EXPECT_EQ(static_cast<int>(seen.size()), 7);
    for (auto [number, count] : seen) EXPECT_NEAR(count, 1000, 150) << number;
  }
}

// Which table row (1..14) a figure number comes from; figure 30 only from row 14.
int TableRowOf(int32_t number) {
  for (int row = 1; row <= kFigureTableRows; ++row)
    for (int32_t entry : kFigureTable[row - 1])
      if (entry == number) return row;
  return 0;
}

TEST(Pools, RedaraAtLevelOneDrawsTheNineFirstRowsEqually) {
  Random random(5);
  TFigure next;
  std::map<int, int> rows;
  for (int n = 0; n < 18000; ++n) {
    ChooseNext(next, kRedara, 9, random);
    ++rows[TableRowOf(next.Color)];
  }
  EXPECT_EQ(static_cast<int>(rows.size()), 9);
  for (auto [row, count] : rows) EXPECT_NEAR(count, 2000, 200) << "row " << row;
}

TEST(Pools, RedaraRedrawsMakeTheHardRowsRarer) {
  Random random(9);
  TFigure next;
  std::map<int, int> rows;
  std::map<int, int> figures;
  const int draws = 140000;
  for (int n = 0; n < draws; ++n) {
    ChooseNext(next, kRedara, 14, random);
    ++rows[TableRowOf(next.Color)];
    ++figures[next.Color];
  }
  // A row r draw: P = 1/14 for r < 10; rows 10, 11 are kept with 1/2 and redrawn with 1/2;
  // rows 12..14 on a redraw are redrawn once more with 1/2.
  const double p = 1.0 / 14;
  const double redraw = 5 * p / 2;                               // first draw in 10..14 and redrawn
  const double low = p + redraw * p;                             // rows 1..9
  const double mid = p / 2 + redraw * p;                         // rows 10..11
  const double high = p / 2 + redraw * (p / 2 + 3 * p / 2 * p);  // rows 12..14
  EXPECT_NEAR(rows[1], low * draws, 0.06 * low * draws);
  EXPECT_NEAR(rows[10], mid * draws, 0.06 * mid * draws);
  EXPECT_NEAR(rows[13], high * draws, 0.08 * high * draws);
  // Figure 30 holds two of the four places in row 14.
  EXPECT_NEAR(figures[30], 2.0 * figures[25], 0.15 * figures[30]);
}

TEST(Pools, RedaraFirstFiguresIgnoreTheRedrawRule) {
  GameHarness h(kRedara);
  std::map<int, int> rows;
  for (int n = 0; n < 9000; ++n) {
    PlaceFirstFigures(h.state.CurrentFigure, h.state.NextFigure, kRedara, 9, h.random);
    ++rows[TableRowOf(h.state.CurrentFigure.Color)];
  }
  EXPECT_EQ(static_cast<int>(rows.size()), 9);
  EXPECT_EQ(h.state.CurrentFigure.CellX, kSpawnColumn);
  EXPECT_EQ(h.state.NextFigure.CellX, -6);
  EXPECT_FLOAT_EQ(h.state.NextFigure.Scale, 0.4f);
}

TEST(Turning, ClockwiseAndCounterClockwiseTurnOrders) {
  EXPECT_EQ(TurnAfter(4, true), 1);
  EXPECT_EQ(TurnAfter(1, true), 2);
  EXPECT_EQ(TurnAfter(1, false), 4);
  EXPECT_EQ(TurnAfter(3, false), 2);
}

}  // namespace
}  // namespace zt
