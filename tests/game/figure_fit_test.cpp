#include "game/figure_fit.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "support/game_harness.h"

namespace zt {
namespace {

using testing::Grid;

// The bricks of a glass kept as a set of (column, row), as any caller may keep them.
struct BrickSet {
  std::set<std::pair<int, int>> Cells;
  bool operator()(int column, int row) const { return Cells.count({column, row}) != 0; }
};

const FigureBricks kBar = BricksOf(Grid({"####", "....", "....", "...."}));   // grid row 0, columns 0..3
const FigureBricks kPost = BricksOf(Grid({".#..", ".#..", ".#..", ".#.."}));  // grid column 1, rows 0..3

TEST(FigureFit, WallsAndFloorBlockTheOpenTopDoesNotAndBricksDo) {
  const BrickSet empty;
  EXPECT_TRUE(FitsAt(kBar, 1, 1, empty));
  EXPECT_TRUE(FitsAt(kBar, 7, 25, empty));   // above the glass
  EXPECT_FALSE(FitsAt(kBar, 0, 5, empty));   // left wall
  EXPECT_FALSE(FitsAt(kBar, 8, 5, empty));   // right wall
  EXPECT_FALSE(FitsAt(kPost, 2, 3, empty));  // its lowest brick on row 0
  EXPECT_TRUE(FitsAt(kPost, 2, 4, empty));
  const BrickSet one{{{4, 1}}};
  EXPECT_FALSE(FitsAt(kBar, 1, 1, one));
  EXPECT_TRUE(FitsAt(kBar, 5, 1, one));
}

TEST(FigureFit, ASidewaysStepLooksOneRowBelowInTheColumnItGoesTo) {
  const BrickSet beside{{{6, 10}}};  // level with the bar in columns 2..5 of row 10
  EXPECT_TRUE(CanStepSideways(kBar, 2, 10, +1, beside));
  const BrickSet belowBeside{{{6, 9}}};
  EXPECT_FALSE(CanStepSideways(kBar, 2, 10, +1, belowBeside));
  EXPECT_TRUE(CanStepSideways(kBar, 2, 10, -1, belowBeside));
  // Never into a wall, onto the floor or up in the open top.
  const BrickSet empty;
  EXPECT_FALSE(CanStepSideways(kPost, 0, 13, -1, empty));
  EXPECT_TRUE(CanStepSideways(kPost, 8, 13, +1, empty));
  EXPECT_FALSE(CanStepSideways(kPost, 9, 13, +1, empty));
  EXPECT_FALSE(CanStepSideways(kPost, 2, 4, +1, empty));
  EXPECT_FALSE(CanStepSideways(kPost, 2, 22, +1, empty));
}

TEST(FigureFit, ATurnIsPushedOffEitherWallButNeverUpward) {
  const BrickSet empty;
  EXPECT_EQ(TurnedColumn(kBar, -1, 10, empty), 1);
  EXPECT_EQ(TurnedColumn(kBar, 9, 10, empty), 7);
  EXPECT_EQ(TurnedColumn(kBar, 3, 10, empty), 3);
  const BrickSet inTheWay{{{2, 10}}};
  EXPECT_EQ(TurnedColumn(kBar, -1, 10, inTheWay), std::nullopt);
  EXPECT_EQ(TurnedColumn(kPost, 2, 3, empty), std::nullopt);  // through the floor
}

}  // namespace
}  // namespace zt
