#include "game/bonus.h"

#include <gtest/gtest.h>

#include "game/lines.h"
#include "support/game_harness.h"

namespace zt {
namespace {

using testing::Contains;
using testing::GameHarness;

TEST(BombRadius, FollowsThePointTablesWithStrictThresholds) {
  EXPECT_EQ(BombRadiusFor(kTorvane, 1500), 3);
  EXPECT_EQ(BombRadiusFor(kTorvane, 1650), 3);
  EXPECT_EQ(BombRadiusFor(kTorvane, 1651), 4);
  EXPECT_EQ(BombRadiusFor(kTorvane, 3000), 8);
  EXPECT_EQ(BombRadiusFor(kTorvane, 3001), 9);
  EXPECT_EQ(BombRadiusFor(kTorvane, 100000), 9);
  EXPECT_EQ(BombRadiusFor(kRedara, 0), 3);
  EXPECT_EQ(BombRadiusFor(kRedara, 1275), 3);
  EXPECT_EQ(BombRadiusFor(kRedara, 1276), 4);
  EXPECT_EQ(BombRadiusFor(kKids, 1576), 6);
  EXPECT_EQ(BombRadiusFor(kKids, 2551), 10);
}

TEST(BonusClock, RedaraWithNoPointsGetsARadiusThreeBombAfterOneMinute) {
  GameHarness h(kRedara);
  h.ParkFigure();
  h.Frames(599, 100);
  EXPECT_FALSE(h.state.Bonus.BombPending);
  h.Frame(100);
  EXPECT_TRUE(h.state.Bonus.BombPending);
  EXPECT_EQ(h.state.Bonus.BombRadius, 3);
  EXPECT_EQ(h.state.Bonus.BonusCountdown, 0);
  h.Frames(50, 100);  // the clock goes on below zero, no second bomb
  EXPECT_EQ(h.state.Bonus.BonusCountdown, -5000);
  EXPECT_TRUE(h.state.Bonus.BombPending);
}

// The bonus clock runs out in the next frame, with `powerPoints` collected.
void RunOutTheBonusClock(GameHarness& h, int32_t powerPoints) {
  h.ParkFigure();
  h.state.Bonus.PowerPoints = powerPoints;
  h.state.Bonus.BonusCountdown = 1;
  h.Frame(10);
}

TEST(BonusClock, TorvaneBelowFifteenHundredPointsGetsASuperfigure) {
  GameHarness h(kTorvane);
  RunOutTheBonusClock(h, 1499);
  EXPECT_TRUE(h.state.Bonus.SuperfigurePending);
  EXPECT_FALSE(h.state.Bonus.BombPending);
  EXPECT_EQ(h.state.Bonus.PowerPoints, 0);
  EXPECT_EQ(h.state.Bonus.BonusCountdown, 60000);
  bool superfigure = false;
  for (int row = kFirstSuperfigureRow; row <= kFigureTableRows; ++row)
    for (int32_t number : kFigureTable[row - 1]) superfigure |= number == h.state.NextFigure.Color;
  EXPECT_TRUE(superfigure);
}

TEST(BonusClock, TorvaneWithFifteenHundredPointsGetsABomb) {
  GameHarness h(kTorvane);
  RunOutTheBonusClock(h, 1500);
  EXPECT_TRUE(h.state.Bonus.BombPending);
  EXPECT_EQ(h.state.Bonus.BombRadius, 3);
}

TEST(BonusClock, PendingBombEntersAtTheNextLockAndExplodesWhenItLands) {
  GameHarness h(kKids);
  h.state.Bonus.BombPending = true;
  h.state.Bonus.BombRadius = 3;
  h.state.CurrentFigure.CellY = 3;
  h.state.CurrentFigure.PosY = 3;
  const int32_t preview = h.state.NextFigure.Color;
  h.Frame(10);
  EXPECT_TRUE(h.state.Bonus.BombActive);
  EXPECT_EQ(h.state.CurrentFigure.Color, kBombFigure);
  EXPECT_EQ(h.state.NextFigure.Color, preview);  // the preview waits
  EXPECT_TRUE(Contains(h.PlayedSounds(), "bombwarning.ogg"));

  h.Frames(20, 20);  // the fuse smokes and sparks while the bomb falls
  EXPECT_FALSE(h.particles[3].Empty());
  EXPECT_FALSE(h.particles[4].Empty());

  const int32_t scoreBefore = h.state.Score;
  h.state.CurrentFigure.CellY = 4;  // rests on the bricks of the first lock
  h.state.CurrentFigure.PosY = 4;
  h.Frame(10);
  EXPECT_FALSE(h.state.Bonus.BombActive);
  EXPECT_EQ(h.state.Score, scoreBefore + 30);
  EXPECT_EQ(h.state.Bonus.PowerPoints, 5);
  EXPECT_EQ(h.state.Bonus.BonusCountdown, 60000);
  EXPECT_EQ(h.particles[2].Size(), 90u);
  EXPECT_EQ(h.OccupiedCells(), 0);  // the blast took the square below
  EXPECT_TRUE(Contains(h.PlayedSounds(), "explosion.ogg"));
}

TEST(ExplodeBomb, BlastOnTheFloorSkipsCellsOutsideTheGlass) {
  GameHarness h(kRedara);
  h.FillRow(1, 4, 10);
  h.state.Bonus.BombActive = true;
  h.state.Bonus.BombRadius = 3;
  h.state.CurrentFigure.Place(kBombFigure, 1, 1, 0, 3, 0);  // the bomb's cells on columns 1-2, rows 1-2
  ExplodeBomb(h.game);
  // A disc of radius 3 about the corner at x = 1.5, y = 1.5 reaches columns 1..4 of row 1
  // (and walls and floor, which are skipped).
  for (int column = 1; column <= 4; ++column) EXPECT_TRUE(h.state.Cells.IsFree(column, 1)) << column;
  for (int column = 5; column <= 9; ++column) EXPECT_FALSE(h.state.Cells.IsFree(column, 1)) << column;
}

TEST(ExplodeBomb, CollapseOnlyMovesRowsFromTheBlastUp) {
  GameHarness h(kRedara);
  // A lone brick in row 1 under a gap must not be touched; bricks above the blast fall.
  h.state.Cells.Occupy(10, 1, 6);
  h.state.Cells.Occupy(1, 12, 6);
  h.state.Bonus.BombActive = true;
  h.state.Bonus.BombRadius = 3;
  h.state.CurrentFigure.Place(kBombFigure, 1, 1, 0, 12, 3);
  ExplodeBomb(h.game);
  EXPECT_FALSE(h.state.Cells.IsFree(10, 1));
  // The column-1 brick at row 12 is outside the disc (x 1 vs centre 4.5) and falls to row
  // max(12 - 1 - 3, 2) - 1 = 7 at the lowest.
  EXPECT_TRUE(h.state.Cells.IsFree(1, 12));
  EXPECT_FALSE(h.state.Cells.IsFree(1, 7));
}

TEST(CountdownSeconds, WarnsAtThreeTwoAndOneSecondsButNotBelowZero) {
  GameHarness h(kTorvane);
  h.ParkFigure();
  h.state.Bonus.PowerPoints = 2000;  // a bomb, so the clock runs on below zero
  h.state.Bonus.BonusCountdown = 3500;
  std::vector<std::string> warnings;
  for (int n = 0; n < 60; ++n) {
    h.Frame(100);
    for (const std::string& sound : h.PlayedSounds())
      if (sound == "warning.ogg") warnings.push_back(sound);
    if (h.state.Bonus.BonusCountdown == 2900) {
      EXPECT_EQ(h.state.Msg.Text, "Warning...");
    }
  }
  EXPECT_EQ(warnings.size(), 3u);
  EXPECT_TRUE(h.state.Bonus.BombPending);
}

TEST(RetroLines, LineOfFiveComesEveryFortyFiveSecondsAfterThreeWarnings) {
  GameHarness h(kRetro);
  h.ParkFigure();
  int warnings = 0;
  bool warningShown = false;
  while (h.state.LinesAdded == 0 && h.state.Time.GameSeconds < 50) {
    h.Frame(100);
    for (const std::string& sound : h.PlayedSounds()) warnings += sound == "warning.ogg" ? 1 : 0;
    warningShown |= h.state.Msg.Text == "Warning...";
  }
  EXPECT_EQ(h.state.Time.GameSeconds, 45);
  EXPECT_EQ(warnings, 3);
  EXPECT_TRUE(warningShown);
  int bricks = 0;
  for (int column = 1; column <= kGlassColumns; ++column) {
    if (h.state.Cells.IsFree(column, 1)) continue;
    ++bricks;
    EXPECT_EQ(h.state.Cells.Cell(column, 1).Brick.Color, kAddedLineColor);
  }
  EXPECT_EQ(bricks, 5);
}

TEST(RetroLines, AddedLinePushesAFullTopRowOutWithoutEndingTheGame) {
  GameHarness h(kRetro);
  h.FillRow(20, 8, 5);
  h.state.Cells.Occupy(5, 20, 8);
  AddLine(h.game);
  EXPECT_FALSE(h.state.Mode.GameOver);
  EXPECT_EQ(h.OccupiedCells(), 5);
  EXPECT_EQ(h.state.LinesAdded, 1);
}

TEST(ShownPowerPoints, CountsUpLikeTheScoreAndDownInBigSteps) {
  struct Step {
    int32_t Shown, Points, NextShown;
  };
  for (const Step& step : {Step{0, 30, 2}, Step{2000, 0, 1980}, Step{300, 0, 290}, Step{60, 0, 58}, Step{10, 0, 9}}) {
    BonusState bonus;
    bonus.ShownPowerPoints = step.Shown;
    bonus.PowerPoints = step.Points;
    CountShownPowerPoints(bonus);
    EXPECT_EQ(bonus.ShownPowerPoints, step.NextShown) << step.Shown << " shown of " << step.Points;
  }
}

}  // namespace
}  // namespace zt
