// Plays many seeded games of every game type with random steering through the real game
// step, and checks after every step what the rules promise.
#include <gtest/gtest.h>

#include "game/auto_player.h"
#include "support/game_harness.h"

namespace zt {
namespace {

using testing::GameHarness;

int FreeBricks(const Glass& glass, const FigureGrid& grid, const TFigure& figure) {
  int count = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      const int column = figure.CellX + j, row = figure.CellY - i;
      if (grid[i][j] != 0 && Glass::Inside(column, row) && glass.IsFree(column, row)) ++count;
    }
  return count;
}

int LevelDivisor(int gameType) { return gameType == kVodoza ? 100 : (gameType == kKids ? 800 : 1000); }

// Mostly the automatic player, which clears rows and keeps games long; now and then a
// burst of random keys held for a while, as a clumsy player's would be.
struct Steering {
  Random random;
  AutoPlayer player;
  std::vector<uint8_t> held;
  int randomFrames = 0;
  explicit Steering(uint64_t seed) : random(seed) { player.LookAhead = false; }  // quicker, still long games
  void Next(const GameState& state, const FigureShapes& shapes, const Settings& settings) {
    if (randomFrames == 0 && random.Next(2000) == 0) randomFrames = 20 + random.Next(60);
    if (randomFrames == 0) {
      held = AutoPlayerKeys(player, state, shapes, settings);
      return;
    }
    --randomFrames;
    if (random.Next(6) != 0) return;
    held.clear();
    static constexpr uint8_t kKeys[] = {DIK_LEFT, DIK_RIGHT, DIK_UP, DIK_DOWN, DIK_SPACE, DIK_LCONTROL};
    const int pressed = random.Next(3);
    for (int n = 0; n < pressed; ++n) held.push_back(kKeys[random.Next(6)]);
  }
};

void PlayOneGame(int gameType, uint64_t seed, int maxFrames) {
  SCOPED_TRACE("game type " + std::to_string(gameType) + ", seed " + std::to_string(seed));
  GameHarness h(gameType);
  h.shapes = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
  h.random.Seed(seed);
  NewGame(h.game);
  Steering steering(seed * 7919 + 1);
  for (int frame = 0; frame < maxFrames && !h.state.Mode.GameOver; ++frame) {
    const GameState before = h.state;
    const int occupiedBefore = h.OccupiedCells();
    const TFigure figure = h.state.CurrentFigure;

    steering.Next(h.state, h.shapes, h.settings);
    h.clock.Advance(1 + static_cast<uint32_t>(steering.random.Next(40)));
    h.keyboardDevice.ReleaseAll();
    for (uint8_t key : steering.held) h.keyboardDevice.Press(key);
    PollGameKeys(h.state.Keys, h.keyboard, h.settings.SidewaysKeyDelay);
    GameStep(h.game);

    const GameState& after = h.state;
    ASSERT_GE(after.Score, before.Score);
    ASSERT_LE(after.ShownScore, after.Score);
    ASSERT_LE(after.Position, before.Position);
    const int cleared = after.Lines - before.Lines;
    ASSERT_GE(cleared, 0);
    ASSERT_LE(cleared, 4);
    ASSERT_GE(after.Level, before.Level);
    ASSERT_LE(after.Level, before.Level + 1);
    const int measure = gameType == kVodoza ? after.Time.GameSeconds : after.Score;
    ASSERT_LE(after.Level - 1, measure / LevelDivisor(gameType));

    // Nothing is gained or lost in the glass but a locked figure's bricks and whole cleared
    // rows, unless a bomb went off or a line was pushed in.
    const bool locked = after.FiguresLanded == before.FiguresLanded + 1;
    const bool bomb = before.Bonus.BombActive;
    const bool lineAdded = after.LinesAdded != before.LinesAdded;
    if (!bomb && !lineAdded) {
      // A line pushed in earlier may have moved bricks into the figure in flight: those
      // cells were occupied already and are not gained.
      const int gained =
          locked ? FreeBricks(before.Cells, ShapeInForce(figure, h.shapes, h.settings.RotationClockwise), figure) : 0;
      ASSERT_EQ(h.OccupiedCells(), occupiedBefore - 10 * cleared + gained) << "frame " << frame;
    }
    for (const ParticleList& list : h.particles) ASSERT_LT(list.Size(), 5000u);
    ASSERT_LE(ClearedRowsInUse(after), 8);
  }
}

TEST(SeededGames, EveryGameTypeKeepsItsPromisesUnderRandomSteering) {
  for (int gameType = kTorvane; gameType <= kRetro; ++gameType)
    for (uint64_t seed = 1; seed <= 6; ++seed) PlayOneGame(gameType, seed, 30000);
}

}  // namespace
}  // namespace zt
