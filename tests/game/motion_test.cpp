#include "game/motion.h"

#include <gtest/gtest.h>

#include "support/game_harness.h"

namespace zt {
namespace {

using testing::GameHarness;
using testing::Grid;

// A square figure in grid rows 1-2, columns 1-2 stands in glass columns CellX+1..CellX+2
// and rows CellY-1..CellY-2.
void PutSquareAt(GameHarness& h, int cellX, int cellY) {
  h.state.CurrentFigure.CellX = cellX;
  h.state.CurrentFigure.PosX = static_cast<float>(cellX);
  h.state.CurrentFigure.CellY = cellY;
  h.state.CurrentFigure.PosY = static_cast<float>(cellY);
}

TEST(Fall, FigureOnTheFloorLocksInTheSameStep) {
  GameHarness h;
  PutSquareAt(h, 4, 3);  // lowest bricks on row 1
  h.Frame(16);
  EXPECT_FALSE(h.state.Cells.IsFree(5, 1));
  EXPECT_FALSE(h.state.Cells.IsFree(6, 2));
  EXPECT_EQ(h.state.FiguresLanded, 1);
  EXPECT_EQ(h.state.Score, 5);
  EXPECT_EQ(h.state.Bonus.PowerPoints, 5);
  EXPECT_EQ(h.state.CurrentFigure.CellY, kSpawnRow);
  EXPECT_EQ(h.state.CurrentFigure.CellX, kSpawnColumn);
  EXPECT_FLOAT_EQ(h.state.CurrentFigure.Scale, 0.5f);
  EXPECT_EQ(h.state.LockDelayMs, kLockDelayMs);
  EXPECT_TRUE(testing::Contains(h.PlayedSounds(), "figurefall.ogg"));
}

TEST(Fall, LandingThrowsTwentySparksPerRestingBrick) {
  GameHarness h;
  PutSquareAt(h, 4, 3);
  h.Frame(1);
  // Two bottom bricks rest on the floor; the upper two rest on the figure itself, not the glass.
  EXPECT_EQ(h.particles[1].Size(), 40u);
}

TEST(Fall, FastFigureStopsOnTheFirstLedgeItMeets) {
  GameHarness h;
  h.FillRow(5, 3, 1);     // a gap at column 1 keeps the ledge from being cleared
  PutSquareAt(h, 4, 17);  // bottom bricks on row 15, a ten-row gap above the ledge at row 5
  h.state.FallSpeed = 0.1f;
  h.state.BaseFallSpeed = 0.1f;  // no key holds the speed, so it must stay 0.1 by itself
  h.Frame(100);
  EXPECT_EQ(h.state.CurrentFigure.CellY, 8);  // bottom bricks on row 6, right on the ledge
  EXPECT_FLOAT_EQ(h.state.CurrentFigure.PosY, 8.0f);
}

TEST(Fall, SpaceDropRestsInGraceAndASidewaysStepThereIsInstant) {
  GameHarness h;
  PutSquareAt(h, 4, 4);
  h.state.LockDelayMs = kLockDelayMs;  // as after the previous figure's lock
  h.Frame(10, {DIK_SPACE});
  // Falls to the floor at 0.08 cells/ms, then rests instead of locking.
  h.Frames(3, 10);
  EXPECT_TRUE(h.state.LockDelayActive);
  EXPECT_EQ(h.state.FiguresLanded, 0);
  EXPECT_FALSE(h.state.Trail.TrailOn && h.state.LockDelayActive);

  h.Frame(10, {DIK_LEFT});
  EXPECT_EQ(h.state.CurrentFigure.CellX, 3);
  EXPECT_FALSE(h.state.LockDelayActive);
  EXPECT_FLOAT_EQ(h.state.FallSpeed, h.state.BaseFallSpeed);
}

TEST(Fall, GraceLastsAboutOneHundredMilliseconds) {
  GameHarness h;
  PutSquareAt(h, 4, 3);
  h.state.LockDelayMs = kLockDelayMs;
  h.Frame(10, {DIK_SPACE});
  int restingFrames = 0;
  while (h.state.FiguresLanded == 0 && restingFrames < 100) {
    h.Frame(10);
    ++restingFrames;
  }
  EXPECT_EQ(h.state.FiguresLanded, 1);
  EXPECT_GE(restingFrames, 10);
  EXPECT_LE(restingFrames, 12);
}

TEST(Fall, CtrlAndDownDropsLockOnContact) {
  for (uint8_t key : {DIK_LCONTROL, DIK_DOWN}) {
    GameHarness h;
    PutSquareAt(h, 4, 3);
    h.Frame(10, {key});
    EXPECT_EQ(h.state.FiguresLanded, 1) << "key " << int(key);
  }
}

TEST(Fall, NeverLocksDuringASidewaysMove) {
  GameHarness h;
  PutSquareAt(h, 4, 4);
  h.state.CurrentFigure.PosY = 3.2f;  // half way to the floor
  h.state.CurrentFigure.CellY = 4;
  h.state.CurrentFigure.ShiftDir = kShiftLeft;
  h.state.CurrentFigure.PosX = 3.5f;
  h.state.Time.FrameMs = 1;
  h.Frame(1);
  EXPECT_EQ(h.state.FiguresLanded, 0);
}

TEST(DropKeys, DownSpeedCountsAsFastForTheSidewaysSpeed) {
  GameHarness h;
  h.Frame(10, {DIK_DOWN});
  EXPECT_FLOAT_EQ(h.state.FallSpeed, 0.05f);
  EXPECT_FLOAT_EQ(h.state.ShiftSpeed, 0.08f);
  h.Frame(10);
  EXPECT_FLOAT_EQ(h.state.FallSpeed, h.state.BaseFallSpeed);
  EXPECT_FLOAT_EQ(h.state.ShiftSpeed, 0.022f);
}

TEST(DropKeys, HoldingDownAcrossALandingWaitsOneSecondFromThePress) {
  GameHarness h;
  PutSquareAt(h, 4, 3);
  h.Frame(10, {DIK_DOWN});  // locks at once
  ASSERT_EQ(h.state.FiguresLanded, 1);
  h.Frame(10, {DIK_DOWN});
  EXPECT_FLOAT_EQ(h.state.FallSpeed, h.state.BaseFallSpeed);
  h.Frames(97, 10, {DIK_DOWN});  // 990 ms after the press
  EXPECT_FLOAT_EQ(h.state.FallSpeed, h.state.BaseFallSpeed);
  h.Frames(2, 10, {DIK_DOWN});
  EXPECT_FLOAT_EQ(h.state.FallSpeed, 0.05f);
}

TEST(DropKeys, SpacePressedWhileDownIsHeldReloadsTheSharedTimer) {
  GameHarness h;
  h.Frames(30, 10, {DIK_DOWN});
  EXPECT_EQ(h.state.Keys.DropKeyTimer, 700);
  h.Frame(10, {DIK_DOWN, DIK_SPACE});
  EXPECT_EQ(h.state.Keys.DropKeyTimer, 990);
  // Space fires, and Down fires too on the reloaded timer; coming later, Down wins.
  EXPECT_FLOAT_EQ(h.state.FallSpeed, 0.05f);
}

TEST(DropKeys, SpaceDropLastsUntilTheLock) {
  GameHarness h;
  h.Frame(10, {DIK_SPACE});
  h.Frames(5, 10);
  EXPECT_FLOAT_EQ(h.state.FallSpeed, 0.08f);
}

TEST(DropKeys, TrailBuildsUpWithFastDropsAndFadesAfter) {
  GameHarness h;
  h.Frame(10, {DIK_LCONTROL});
  EXPECT_TRUE(h.state.Trail.TrailOn);
  EXPECT_FLOAT_EQ(h.state.Trail.TrailRate, 0.25f);
  EXPECT_FLOAT_EQ(h.state.Trail.TrailIntensity, 2.5f);
  h.Frames(5, 10, {DIK_LCONTROL});
  EXPECT_FLOAT_EQ(h.state.Trail.TrailIntensity, 6.5f);
}

TEST(Rotate, PushedOffTheWallThenRefusedWhenThePlaceIsTaken) {
  GameHarness h;
  h.shapes.Grids[0][1] = Grid({"....", "####", "....", "...."});
  h.shapes.Grids[0][0] = Grid({".#..", ".#..", ".#..", ".#.."});
  TFigure& figure = h.state.CurrentFigure;
  figure.Place(1, 1, 1.0f, 0, 10, 8);  // vertical bar in column 9
  Rotate(figure, h.state.Cells, h.shapes, true, false);
  EXPECT_TRUE(figure.Turning);
  EXPECT_EQ(figure.CellX, 7);  // the horizontal bar would reach column 12: pushed to 7..10

  figure.Place(1, 1, 1.0f, 0, 10, 8);
  h.state.Cells.Occupy(7, 9, 3);
  Rotate(figure, h.state.Cells, h.shapes, true, false);
  EXPECT_FALSE(figure.Turning);
  EXPECT_EQ(figure.CellX, 8);
}

TEST(Rotate, NeverPushedUpward) {
  GameHarness h;
  h.shapes.Grids[0][1] = Grid({"....", "....", "....", "####"});
  h.shapes.Grids[0][0] = Grid({"#...", "....", "....", "...."});
  TFigure& figure = h.state.CurrentFigure;
  figure.Place(1, 1, 1.0f, 0, 3, 4);  // turn 2 would reach row 0
  Rotate(figure, h.state.Cells, h.shapes, true, false);
  EXPECT_FALSE(figure.Turning);
}

TEST(Rotate, UpDuringSpaceDropDoesNothingButTurnsDuringDownDrop) {
  GameHarness h;
  h.Frame(10, {DIK_SPACE});
  h.Frame(10, {DIK_UP});
  EXPECT_FALSE(h.state.CurrentFigure.Turning);

  GameHarness d;
  d.Frame(10, {DIK_DOWN});
  d.Frame(10, {DIK_DOWN, DIK_UP});
  EXPECT_TRUE(d.state.CurrentFigure.Turning);
}

TEST(TurnStep, QuarterTurnTakesAboutOneHundredTwentyMsAtTheSlowRate) {
  TFigure figure;
  figure.Turn = 4;
  figure.Turning = true;
  int frames = 0;
  while (figure.Turning && frames < 100) {
    TurnStep(figure, 10, 0.75f, true, false);
    ++frames;
  }
  EXPECT_EQ(frames, 13);  // 120 ms of 0.75 degrees reach exactly 90; the next frame passes it
  EXPECT_EQ(figure.Turn, 1);
  EXPECT_EQ(figure.TurnAngle, 0.0f);
}

TEST(TurnStep, AngleJumpingPastHalfATurnSpinsAroundAndKeepsTheTurn) {
  TFigure figure;
  figure.Turn = 2;
  figure.Turning = true;
  TurnStep(figure, 100, 1.9f, false, false);  // 190 degrees at once
  EXPECT_TRUE(figure.Turning);
  TurnStep(figure, 100, 1.9f, false, false);
  EXPECT_FALSE(figure.Turning);
  EXPECT_EQ(figure.Turn, 2);
}

TEST(TurnStep, FullCircleTakesTheNewTurnWhenTheOldShapeNoLongerFits) {
  GameHarness h;
  h.shapes.Grids[0][0] = Grid({"#...", "#...", "#...", "#..."});  // upright bar in grid column 0
  h.shapes.Grids[0][1] = Grid({"....", "####", "....", "...."});  // lying bar
  TFigure& figure = h.state.CurrentFigure;
  figure.Place(1, 1, 1.0f, 0, 10, 7);
  figure.Turning = true;  // tests have used the lying bar: columns 7..10 of row 9
  // The figure has moved where the upright bar meets a brick: spinning back would put the old
  // shape into it, so the figure keeps the shape every test has checked.
  h.state.Cells.Occupy(7, 8, 3);
  TurnStep(figure, 100, 1.9f, true, false, &h.state.Cells, &h.shapes);
  TurnStep(figure, 100, 1.9f, true, false, &h.state.Cells, &h.shapes);
  EXPECT_FALSE(figure.Turning);
  EXPECT_EQ(figure.Turn, 2);

  // Where the old shape still fits, the full circle keeps the old turn, as always.
  h.state.Cells.FreeCell(7, 8);
  figure.Place(1, 1, 1.0f, 0, 10, 7);
  figure.Turning = true;
  TurnStep(figure, 100, 1.9f, true, false, &h.state.Cells, &h.shapes);
  TurnStep(figure, 100, 1.9f, true, false, &h.state.Cells, &h.shapes);
  EXPECT_EQ(figure.Turn, 1);
}

TEST(Sideways, MoveCommitsAfterAWholeCellAndStopsAtTheWall) {
  GameHarness h;
  PutSquareAt(h, 1, 15);
  h.Frame(10, {DIK_LEFT});  // the square's left column is 2
  int frames = 1;
  while (h.state.CurrentFigure.ShiftDir != kNoShift && frames < 200) {
    h.Frame(10, {DIK_LEFT});
    ++frames;
  }
  EXPECT_EQ(h.state.CurrentFigure.CellX, 0);
  EXPECT_FLOAT_EQ(h.state.CurrentFigure.PosX, 0.0f);
  // At the wall the next press is refused.
  h.Frame(10);
  h.Frame(10, {DIK_LEFT});
  EXPECT_EQ(h.state.CurrentFigure.CellX, 0);
  EXPECT_EQ(h.state.CurrentFigure.ShiftDir, kNoShift);
}

TEST(Sideways, ReleasingLeftAndPressingRightMovesRightAtOnce) {
  GameHarness h;
  h.Frames(6, 10, {DIK_LEFT});  // one whole step left in 50 ms, well inside the 340 ms delay
  ASSERT_EQ(h.state.CurrentFigure.ShiftDir, kNoShift);
  const int column = h.state.CurrentFigure.CellX;
  h.Frame(10, {DIK_RIGHT});
  EXPECT_EQ(h.state.CurrentFigure.ShiftDir, kShiftRight);
  h.Frames(6, 10, {DIK_RIGHT});
  EXPECT_EQ(h.state.CurrentFigure.CellX, column + 1);
}

TEST(GameOver, NewFigureThatDoesNotFitAtTheSpawnEndsTheGame) {
  GameHarness h;
  h.state.Cells.Occupy(5, 19, 2);  // under the spawn place of the next square
  PutSquareAt(h, 0, 3);
  h.Frame(10);
  EXPECT_TRUE(h.state.Mode.GameOver);
  EXPECT_TRUE(testing::Contains(h.PlayedSounds(), "gameover.ogg"));
}

TEST(Grow, NewFigureGrowsFromHalfToFullSizeInAboutOneSixthOfASecond) {
  TFigure figure;
  figure.Scale = 0.5f;
  int ms = 0;
  while (figure.Scale < 1.0f) {
    Grow(figure, 1.0f, 1);
    ++ms;
  }
  EXPECT_NEAR(ms, 167, 1);
  EXPECT_FLOAT_EQ(figure.ScaleMatrix(1, 1), 1.0f);
}

}  // namespace
}  // namespace zt
