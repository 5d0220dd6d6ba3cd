// The automatic player: where it chooses to put figures and bombs, how it steers there
// through the real key poll, and that it finds its way when its plan is spoilt.
#include "game/auto_player.h"

#include <gtest/gtest.h>

#include "game/bonus.h"
#include "support/game_harness.h"

namespace zt {
namespace {

using testing::GameHarness;

struct Rig {
  GameHarness h;
  AutoPlayer player;
  explicit Rig(int gameType = kTorvane, uint32_t delay = 340, bool clockwise = true) : h(gameType) {
    h.shapes = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
    h.settings.SidewaysKeyDelay = delay;
    h.settings.RotationClockwise = clockwise;
    h.state.Cells.ClearGlass();
  }
  void Figure(int32_t color, int32_t turn, int32_t nextColor = 5) {
    PlaceCurrent(h.state.CurrentFigure, color, turn);
    PlaceNext(h.state.NextFigure, nextColor, 1);
  }
  // One frame: the player's keys for this frame's poll, then the program's poll and step.
  void Frame(uint32_t ms) {
    const std::vector<uint8_t> keys = AutoPlayerKeys(player, h.state, h.shapes, h.settings);
    h.clock.Advance(ms);
    h.keyboardDevice.ReleaseAll();
    for (uint8_t key : keys) h.keyboardDevice.Press(key);
    PollGameKeys(h.state.Keys, h.keyboard, h.settings.SidewaysKeyDelay);
    GameStep(h.game);
  }
  // Frames until the figure in play locks; the number of frames it took, or -1.
  int PlayUntilLock(uint32_t ms, int limit = 2000) {
    const int32_t landed = h.state.FiguresLanded;
    for (int frame = 1; frame <= limit; ++frame) {
      Frame(ms);
      if (h.state.FiguresLanded != landed) return frame;
    }
    return -1;
  }
  bool Occupied(int column, int row) const { return !h.state.Cells.IsFree(column, row); }
};

TEST(AutoPlayerChoice, ALineGoesDownTheWellAndClearsFourRows) {
  Rig rig;
  for (int row = 1; row <= 4; ++row) rig.h.FillRow(row, 3, 10);
  rig.Figure(1, 1);
  AutoPlacement choice;
  ASSERT_TRUE(AutoPlayerChoice(rig.player, rig.h.state, rig.h.shapes, rig.h.settings, choice));
  EXPECT_TRUE(choice.Turn == 2 || choice.Turn == 4);
  EXPECT_EQ(choice.X, 9);  // grid column 1 of the upright line: column 10
  EXPECT_EQ(choice.Y, 4);

  ASSERT_GT(rig.PlayUntilLock(16), 0);
  rig.Frame(16);  // the full rows go in the step after the lock
  EXPECT_EQ(rig.h.state.Lines, 4);
  EXPECT_EQ(rig.h.OccupiedCells(), 0);
}

// Empty cells with a brick above them, and the height of the highest column.
std::pair<int, int> HolesAndHeight(const Glass& glass) {
  int holes = 0, height = 0;
  for (int column = 1; column <= kGlassColumns; ++column) {
    bool covered = false;
    for (int row = kGlassRows; row >= 1; --row) {
      if (!glass.IsFree(column, row)) {
        covered = true;
        height = std::max(height, row);
      } else if (covered) {
        ++holes;
      }
    }
  }
  return {holes, height};
}

TEST(AutoPlayerChoice, TheBombGoesWhereItsBlastLeavesNoHoles) {
  for (int side = 0; side < 2; ++side) {
    SCOPED_TRACE(side == 0 ? "tower on the left" : "tower on the right");
    Rig rig;
    auto column = [side](int c) { return side == 0 ? c : kGlassColumns + 1 - c; };
    for (int row = 1; row <= 2; ++row)  // a clean floor
      for (int c = 1; c <= kGlassColumns - 1; ++c) rig.h.state.Cells.Occupy(column(c), row, 3);
    for (int row = 3; row <= 12; ++row)  // a tower with a hole in every other row
      for (int c = 1; c <= 3; ++c)
        if (row % 2 == 1 || c == 1) rig.h.state.Cells.Occupy(column(c), row, 3);
    rig.Figure(kBombFigure, 1);
    rig.h.state.Bonus.BombActive = true;
    rig.h.state.Bonus.BombRadius = 3;
    const auto [holesBefore, heightBefore] = HolesAndHeight(rig.h.state.Cells);
    AutoPlacement choice;
    ASSERT_TRUE(AutoPlayerChoice(rig.player, rig.h.state, rig.h.shapes, rig.h.settings, choice));
    // Low down, where everything above the blast drops and fills the tower's holes; on top
    // of the tower the blast would leave the lower holes.
    EXPECT_LE(choice.Y, 5) << "bomb at " << choice.X;
    const int bricksBefore = rig.h.OccupiedCells();

    ASSERT_GT(rig.PlayUntilLock(16), 0);
    EXPECT_FALSE(rig.h.state.Bonus.BombActive);
    const auto [holesAfter, heightAfter] = HolesAndHeight(rig.h.state.Cells);
    EXPECT_EQ(holesAfter, 0) << holesBefore;
    EXPECT_LE(heightAfter, heightBefore);
    EXPECT_LT(rig.h.OccupiedCells(), bricksBefore - 8);
  }
}

TEST(AutoPlayerSteering, ItGetsThereWithTheGameKeysInEitherTurnDirection) {
  for (bool clockwise : {true, false}) {
    SCOPED_TRACE(clockwise ? "clockwise" : "anticlockwise");
    Rig rig(kTorvane, 340, clockwise);
    // A floor with one gap that only an upright ell fills without a hole.
    for (int c = 1; c <= kGlassColumns; ++c)
      if (c != 9) rig.h.state.Cells.Occupy(c, 1, 3);
    for (int c = 1; c <= kGlassColumns; ++c)
      if (c != 9 && c != 10) rig.h.state.Cells.Occupy(c, 2, 3);
    for (int c = 1; c <= kGlassColumns; ++c)
      if (c != 9 && c != 10) rig.h.state.Cells.Occupy(c, 3, 3);
    rig.Figure(3, 1);
    AutoPlacement choice;
    ASSERT_TRUE(AutoPlayerChoice(rig.player, rig.h.state, rig.h.shapes, rig.h.settings, choice));
    const int frames = rig.PlayUntilLock(16);
    ASSERT_GT(frames, 0);
    // Where it was meant to go: the bricks of the chosen turn at the chosen place.
    const FigureGrid& shape = rig.h.shapes.Shape(3, choice.Turn);
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        if (shape[i][j] == 0) continue;
        EXPECT_TRUE(rig.Occupied(choice.X + j, choice.Y - i)) << i << ", " << j;
      }
    EXPECT_LE(frames, 60);  // turning, five steps and a drop: well under a second
    EXPECT_EQ(rig.player.Replans, 0);
  }
}

TEST(AutoPlayerSteering, LongFramesHoldTheKeyForItsRepeatAndShortOnesTapIt) {
  // The same six-column walk with 50 ms frames, where a step ends within its frame: taps
  // need a frame up between two presses, the repeat of a held key does not.
  auto walk = [](uint32_t ms, uint32_t delay) {
    Rig rig(kTorvane, delay);
    for (int c = 1; c <= kGlassColumns; ++c)
      if (c != 10) rig.h.state.Cells.Occupy(c, 1, 3);  // only the far right column is worth going to
    rig.Frame(ms);                                     // a first frame, so the player knows how long frames take
    rig.Figure(1, 2);
    rig.player = AutoPlayer{};
    int frames = 0;
    while (rig.h.state.CurrentFigure.CellX != 9 && frames < 200 && rig.h.state.FiguresLanded == 0) {
      rig.Frame(ms);
      ++frames;
    }
    EXPECT_EQ(rig.h.state.CurrentFigure.CellX, 9);
    return frames;
  };
  const int heldWalk = walk(50, 170);
  EXPECT_LE(heldWalk, 8);        // five steps: a press, 170 ms of delay, then a step every frame
  EXPECT_EQ(walk(50, 340), 9);   // a longer delay: tapped, a frame up between two presses
  EXPECT_LE(walk(16, 340), 20);  // three frames a step, key let go and pressed again
}

TEST(AutoPlayerSteering, ASpoiltPlanIsMadeAgainAndTheFigureStillLands) {
  Rig rig(kRetro);
  for (int c = 1; c <= kGlassColumns; ++c)
    if (c != 1) rig.h.state.Cells.Occupy(c, 1, 3);
  rig.Figure(1, 2);  // an upright line, bound for column 1
  rig.Frame(16);
  ASSERT_TRUE(rig.player.HasTarget);
  // A wall goes up across its way before it gets there.
  for (int row = 1; row <= 18; ++row) rig.h.state.Cells.Occupy(3, row, 3);
  const int frames = rig.PlayUntilLock(16);
  ASSERT_GT(frames, 0);
  EXPECT_GE(rig.player.Replans, 1);
  EXPECT_FALSE(rig.h.state.Mode.GameOver);
  EXPECT_FALSE(rig.Occupied(1, 2));  // it never got past the wall
  // With nowhere to go but where it stands, it is dropped there.
  for (int row = 1; row <= 16; ++row) rig.h.FillRow(row, 3, 5 + row % 2);
  rig.Figure(2, 1);
  rig.player = AutoPlayer{};
  EXPECT_GT(rig.PlayUntilLock(16, 400), 0);
}

TEST(AutoPlayerStrength, ATorvaneGameAtLevelOneRunsOnAndClearsRowsWithEverySetting) {
  // Seeded, every figure through the real key poll and game step; the player told the
  // settings the game runs with, as the demo, the replays and the benchmark tell it.
  struct Case {
    bool clockwise;
    float turnSpeed;
    uint32_t delay;
  };
  for (const Case& c :
       {Case{true, 0.75f, 340}, Case{false, 0.75f, 340}, Case{false, 1.15f, 250}, Case{true, 1.55f, 170}}) {
    SCOPED_TRACE(std::string(c.clockwise ? "clockwise, " : "counter-clockwise, ") + std::to_string(c.turnSpeed));
    Rig rig(kTorvane, c.delay, c.clockwise);
    rig.h.settings.RotationSpeedFactor = c.turnSpeed;
    rig.h.random.Seed(11);
    rig.h.Start(kTorvane);
    int frames = 0;
    while (rig.h.state.FiguresLanded < 400 && !rig.h.state.Mode.GameOver && frames < 100000) {
      rig.Frame(16);
      ++frames;
    }
    EXPECT_FALSE(rig.h.state.Mode.GameOver);
    EXPECT_EQ(rig.h.state.FiguresLanded, 400);
    EXPECT_GE(rig.h.state.Lines, 140);  // of the 160 the figures' 1600 bricks could fill
    EXPECT_EQ(rig.player.Fallbacks, 0);
  }
}

}  // namespace
}  // namespace zt
