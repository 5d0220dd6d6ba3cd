#include "game/lines.h"

#include <gtest/gtest.h>

#include "support/game_harness.h"

namespace zt {
namespace {

using testing::Contains;
using testing::GameHarness;

TEST(ClearFullRows, OneRowScoresByGameType) {
  for (auto [type, points] : {std::pair{kTorvane, 30}, {kRedara, 30}, {kVodoza, 50}, {kKids, 40}, {kRetro, 30}}) {
    GameHarness h(type);
    h.FillRow(1);
    EXPECT_EQ(ClearFullRows(h.game), 1);
    EXPECT_EQ(h.state.Score, points) << "game type " << type;
    EXPECT_EQ(h.state.Lines, 1);
    EXPECT_EQ(h.state.ClearsBySize, (std::array<int32_t, kClearSizes>{1, 0, 0, 0}));
  }
}

TEST(ClearFullRows, FourRowsScoreFiveHundredEverywhere) {
  for (int type = kTorvane; type <= kRetro; ++type) {
    GameHarness h(type);
    for (int row = 1; row <= 4; ++row) h.FillRow(row);
    EXPECT_EQ(ClearFullRows(h.game), 4);
    EXPECT_EQ(h.state.Score, 500);
    EXPECT_EQ(h.state.Msg.Text, "Four Lines Cleared!");
    EXPECT_EQ(h.state.Msg.Bonus, 500);
    EXPECT_EQ(h.state.Msg.Alpha, 150.0f);
    EXPECT_EQ(h.state.ClearsBySize, (std::array<int32_t, kClearSizes>{0, 0, 0, 1}));
  }
}

TEST(ClearFullRows, RowsThreeAndFiveDropTheRowsBetweenAndAbove) {
  GameHarness h;
  h.FillRow(3);
  h.FillRow(5);
  h.state.Cells.Occupy(2, 4, 11);  // between the two full rows
  h.state.Cells.Occupy(7, 6, 12);  // above them
  h.state.Cells.Occupy(1, 1, 13);  // below, untouched
  EXPECT_EQ(ClearFullRows(h.game), 2);
  EXPECT_FALSE(h.state.Cells.IsFree(2, 3));
  EXPECT_EQ(h.state.Cells.Cell(2, 3).Brick.Color, 11);
  EXPECT_FALSE(h.state.Cells.IsFree(7, 4));
  EXPECT_EQ(h.state.Cells.Cell(7, 4).Brick.Color, 12);
  EXPECT_FALSE(h.state.Cells.IsFree(1, 1));
  EXPECT_EQ(h.OccupiedCells(), 3);
  EXPECT_EQ(ClearedRowsInUse(h.state), 2);
  EXPECT_EQ(h.particles[1].Size(), 480u);
  EXPECT_EQ(h.PlayedSounds(), std::vector<std::string>{"linedel.ogg"});
}

TEST(ClearFullRows, BricksAboveAreRaisedAndSettleBackIntoTheirRows) {
  GameHarness h;
  h.FillRow(1);
  h.state.Cells.Occupy(4, 2, 9);
  ClearFullRows(h.game);
  EXPECT_FLOAT_EQ(h.state.Cells.Cell(4, 1).Brick.Y(), 1.49f);
  int ms = 0;
  while (h.state.Cells.Cell(4, 1).Brick.Y() != 1.0f && ms < 1000) {
    SettleBricks(h.state, 1);
    ++ms;
  }
  EXPECT_NEAR(ms, 258, 2);
}

TEST(ClearFullRows, FanfaresCycleInOrderFromARandomStart) {
  GameHarness h;
  const std::vector<std::string> order = {"excellent.ogg", "fantastic.ogg",   "great.ogg",     "perfect.ogg",
                                          "smashing.ogg",  "spectacular.ogg", "youaregood.ogg"};
  const int start = h.state.FanfareIndex;
  for (int n = 1; n <= 8; ++n) {
    for (int row = 1; row <= 3; ++row) h.FillRow(row);
    ClearFullRows(h.game);
    const auto sounds = h.PlayedSounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0], order[(start + n) % 7]);
    EXPECT_EQ(sounds[1], "linedel.ogg");
  }
  EXPECT_EQ(h.state.Msg.Text, "Three Lines Cleared!");
  EXPECT_FLOAT_EQ(h.state.Msg.X, -4.6f);
}

TEST(ClearFullRows, MoreThanFourFullRowsAreClearedOverTwoSteps) {
  GameHarness h;
  for (int row = 1; row <= 6; ++row) h.FillRow(row);
  EXPECT_EQ(ClearFullRows(h.game), 4);
  EXPECT_EQ(ClearFullRows(h.game), 2);
  EXPECT_EQ(h.state.Score, 500 + 100);
  EXPECT_EQ(h.OccupiedCells(), 0);
}

TEST(ClearFullRows, AllSlotsInFlightStillRemovesAndScores) {
  GameHarness h;
  for (ClearedRow& slot : h.state.ClearedRows) slot.InUse = true;
  h.FillRow(1);
  EXPECT_EQ(ClearFullRows(h.game), 1);
  EXPECT_EQ(h.state.Score, 30);
  EXPECT_EQ(h.OccupiedCells(), 0);
}

TEST(ClearFullRows, FlippingBrickFliesFromItsSavedPlace) {
  GameHarness h;
  h.FillRow(1);
  h.state.Flip.FlipActive = true;
  h.state.Flip.FlipCol = 3;
  h.state.Flip.FlipRow = 1;
  MatTranslation(h.state.Flip.FlipSavedMatrix, 3, 1, 0);
  MatTranslation(h.state.Cells.Cell(3, 1).Brick.Matrix, 9, 9, 9);  // turned somewhere
  LaunchClearedRow(h.state, 1);
  EXPECT_FLOAT_EQ(h.state.ClearedRows[0].Bricks[2].X(), 3.0f);
  EXPECT_FLOAT_EQ(h.state.ClearedRows[0].Bricks[2].Y(), 1.0f);
}

TEST(MoveClearedRows, FlyingRowLeavesAfterAboutEightHundredThirtyMs) {
  GameHarness h;
  h.FillRow(1);
  LaunchClearedRow(h.state, 1);
  int ms = 0;
  while (h.state.ClearedRows[0].InUse && ms < 2000) {
    MoveClearedRows(h.state, 10);
    ms += 10;
  }
  EXPECT_EQ(ms, 840);
}

TEST(RemoveRow, EmptiesTheTopRowWhenTheGlassIsFullToTheTop) {
  GameHarness h;
  for (int row = 1; row <= 20; ++row) h.FillRow(row, row % 48 + 1, row == 3 ? 0 : 1 + row % 10);
  RemoveRow(h.state.Cells, 3);
  EXPECT_TRUE(h.state.Cells.RowEmpty(20));
  EXPECT_EQ(h.state.Cells.Cell(2, 19).Brick.Color, 20 % 48 + 1);
}

TEST(CheckLevelUp, ScoreJumpGainsOneLevelPerStep) {
  GameHarness h;
  h.state.Score = 900;
  CheckLevelUp(h.game);
  EXPECT_EQ(h.state.Level, 1);
  h.state.Score = 2400;
  CheckLevelUp(h.game);
  EXPECT_EQ(h.state.Level, 2);
  EXPECT_EQ(h.state.Msg.Text, "Level 2");
  CheckLevelUp(h.game);
  EXPECT_EQ(h.state.Level, 3);
  CheckLevelUp(h.game);
  EXPECT_EQ(h.state.Level, 3);
  EXPECT_FLOAT_EQ(h.state.BaseFallSpeed, static_cast<float>(0.0019f + 0.0019 / 3 + 0.0019 / 3));
}

TEST(CheckLevelUp, LevelSoundIsSkippedWhileAMessageIsBright) {
  GameHarness h;
  h.state.Score = 1000;
  h.game.ShowMessage("Four Lines Cleared!", -4.3f, 5, 500);
  CheckLevelUp(h.game);
  EXPECT_TRUE(h.PlayedSounds().empty());
  EXPECT_EQ(h.state.Msg.Text, "Level 2");
  h.state.Score = 2000;
  h.state.Msg.Alpha = 99;
  CheckLevelUp(h.game);
  EXPECT_EQ(h.PlayedSounds(), std::vector<std::string>{"goodjob.ogg"});  // level 2 mod 3
}

TEST(CheckLevelUp, VodozaLevelsByTimeWhateverTheScore) {
  GameHarness h(kVodoza);
  h.ParkFigure();
  h.state.Score = 100000;
  h.Frames(99, 1000 / 1);  // the frame time is clamped, but the game clock keeps real time
  // 99 frames of 100 ms of step time each, yet 99 s of clock.
  EXPECT_EQ(h.state.Time.GameSeconds, 99);
  EXPECT_EQ(h.state.Level, 1);
  h.Frame(1000);
  EXPECT_EQ(h.state.Level, 2);
}

TEST(CheckLevelUp, RedaraPoolGrowsAtEvenLevelsUpToFourteenRows) {
  GameHarness h(kRedara);
  h.ParkFigure();
  EXPECT_EQ(h.state.RedaraRows, 9);
  for (int level = 2; level <= 14; ++level) {
    h.state.Score = level * 1000;
    CheckLevelUp(h.game);
  }
  EXPECT_EQ(h.state.Level, 14);
  EXPECT_EQ(h.state.RedaraRows, 14);  // reached at level 10, no further
}

TEST(ShownScore, CountsByFivesThenTwosThenOnes) {
  GameState state;
  state.Score = 500;
  int steps = 0;
  while (state.ShownScore < state.Score) {
    CountShownScore(state);
    ++steps;
  }
  EXPECT_EQ(state.ShownScore, 500);
  // 80 steps of 5 bring the gap to 100, then 40 steps of 2 to 20, then 20 of 1.
  EXPECT_EQ(steps, 80 + 40 + 20);
}

TEST(Position, RisesOnlyAboveStrictlyLowerEntries) {
  GameState state;
  HighScoreTable table{};
  for (int row = 0; row < 10; ++row) table[0][row].EntryScore = 1000 - row * 100;  // 1000, 900, ..., 100
  state.GameType = kTorvane;
  state.Position = 11;
  state.Score = 100;  // equal to row 10: the older entry keeps its place
  UpdatePosition(state, table);
  EXPECT_EQ(state.Position, 11);
  state.Score = 101;
  UpdatePosition(state, table);
  EXPECT_EQ(state.Position, 10);
  state.Score = 1000;
  UpdatePosition(state, table);
  EXPECT_EQ(state.Position, 2);
  state.Score = 1001;
  UpdatePosition(state, table);
  EXPECT_EQ(state.Position, 1);
}

TEST(FiguresPerMinute, KeepsItsValueForTheFirstFiveSeconds) {
  GameState state;
  state.FiguresLanded = 7;
  state.Time.GameSeconds = 5;
  UpdateFiguresPerMinute(state);
  EXPECT_EQ(state.FiguresPerMinute, 0);
  state.Time.GameSeconds = 9;
  UpdateFiguresPerMinute(state);
  EXPECT_EQ(state.FiguresPerMinute, 47);  // 46.67 rounded
}

}  // namespace
}  // namespace zt
