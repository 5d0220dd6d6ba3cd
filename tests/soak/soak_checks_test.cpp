// The soak's step checks: each broken promise is reported, and what the rules do on purpose
// (clearing, a lock over bricks a pushed-in line moved, a bomb) is not.
#include "soak/soak_checks.h"

#include <gtest/gtest.h>

#include <cmath>

#include "soak/soak_run.h"

namespace zt::soak {
namespace {

bool Mentions(const std::vector<std::string>& problems, const std::string& words) {
  for (const std::string& problem : problems)
    if (problem.find(words) != std::string::npos) return true;
  return false;
}

struct Checked {
  FigureShapes shapes = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
  GameState state;
  ParticleLists particles;
  StepChecker checker{shapes, true, 5};
  uint32_t now = 1000;

  Checked() {
    state.Cells.ClearGlass();
    PlaceCurrent(state.CurrentFigure, 2, 1);
    checker.Reset(state, now);
  }
  std::vector<std::string> Step(uint32_t ms = 16) {
    now += ms;
    return checker.AfterStep(state, particles, now);
  }
  void Fill(int row, int gap = 0) {
    for (int column = 1; column <= kGlassColumns; ++column)
      if (column != gap) state.Cells.Occupy(column, row, 3);
  }
};

TEST(SoakGlassChecks, BricksComeOnlyFromLocksAndGoOnlyByClearingBombsAndAddedLines) {
  {
    Checked c;
    EXPECT_TRUE(c.Step().empty());
    c.state.Cells.Occupy(4, 1, 3);  // out of nowhere
    EXPECT_TRUE(Mentions(c.Step(), "appeared without a figure locking"));
    c.state.Cells.FreeCell(4, 1);
    EXPECT_TRUE(Mentions(c.Step(), "vanished from row 1"));
  }
  {
    Checked c;  // a full row cleared and counted
    c.Fill(1);
    c.Fill(2, 5);
    c.checker.Reset(c.state, c.now);
    c.state.Cells.ClearGlass();
    c.Fill(1, 5);  // the row above came down
    c.state.Lines = 1;
    EXPECT_TRUE(c.Step().empty());
  }
  {
    Checked c;  // a full row the lines do not count
    c.Fill(1);
    c.checker.Reset(c.state, c.now);
    c.state.Cells.ClearGlass();
    EXPECT_TRUE(Mentions(c.Step(), "while 1 rows were full"));
  }
  {
    Checked c;  // a tee locks on the floor: turn 1 is .#.. / ###.
    c.state.Cells.Occupy(5, 2, 2);
    for (int column = 4; column <= 6; ++column) c.state.Cells.Occupy(column, 1, 2);
    c.state.FiguresLanded = 1;
    EXPECT_TRUE(c.Step().empty());
    c.state.Cells.Occupy(1, 1, 2);  // one brick more than a tee has
    for (int column = 4; column <= 6; ++column) c.state.Cells.Occupy(column, 3, 2);
    c.state.FiguresLanded = 2;
    EXPECT_TRUE(Mentions(c.Step(), "are not the figure's"));
  }
  {
    Checked c;  // a line pushed in earlier moved bricks into the tee: those are not gained
    c.state.Cells.Occupy(4, 1, kAddedLineColor);
    c.state.Cells.Occupy(5, 2, kAddedLineColor);
    c.checker.Reset(c.state, c.now);
    for (int column = 4; column <= 6; ++column) c.state.Cells.Occupy(column, 1, 2);
    c.state.FiguresLanded = 1;
    EXPECT_TRUE(c.Step().empty());
  }
  {
    Checked c;  // the bomb takes bricks but never brings any
    c.Fill(1, 3);
    c.state.Bonus.BombActive = true;
    c.checker.Reset(c.state, c.now);
    c.state.Bonus.BombActive = false;
    c.state.FiguresLanded = 1;
    for (int column = 5; column <= 8; ++column) c.state.Cells.FreeCell(column, 1);
    EXPECT_TRUE(c.Step().empty());
    c.state.Bonus.BombActive = true;
    c.checker.Reset(c.state, c.now);
    c.state.Bonus.BombActive = false;
    c.state.FiguresLanded = 2;
    c.Fill(4);
    EXPECT_TRUE(Mentions(c.Step(), "bomb added bricks"));
  }
  {
    Checked c;  // a pushed-in line: everything up a row, five bricks below
    c.Fill(1, 2);
    c.checker.Reset(c.state, c.now);
    c.state.Cells.ClearGlass();
    c.Fill(2, 2);
    for (int column = 1; column <= 5; ++column) c.state.Cells.Occupy(column, 1, kAddedLineColor);
    c.state.LinesAdded = 1;
    EXPECT_TRUE(c.Step().empty());
    c.state.LinesAdded = 2;  // said to be pushed in, yet nothing moved up
    EXPECT_TRUE(Mentions(c.Step(), "lost when a line was pushed in"));
  }
}

TEST(SoakFigureAndScoreChecks, TheFigureStaysInTheGlassAndTheScoreNeverFalls) {
  Checked c;
  c.state.Score = 100;
  c.state.ShownScore = 90;
  EXPECT_TRUE(c.Step().empty());
  c.state.Score = 95;
  EXPECT_TRUE(Mentions(c.Step(), "score fell"));
  c.state.ShownScore = 96;
  EXPECT_TRUE(Mentions(c.Step(), "shown score ran past"));
  c.state.ShownScore = 0;

  c.state.CurrentFigure.CellX = 9;  // the tee is three bricks wide
  c.state.CurrentFigure.PosX = 9;
  EXPECT_TRUE(Mentions(c.Step(), "outside the glass at column 11"));
  PlaceCurrent(c.state.CurrentFigure, 2, 1);
  c.state.CurrentFigure.PosY = 17.5f;  // drawn rows ahead of its cell over free rows, as in a fast drop
  EXPECT_TRUE(c.Step().empty());
  c.Fill(10);
  c.state.CurrentFigure.PosY = 9.5f;  // drawn into the bricks of row 10
  EXPECT_TRUE(Mentions(c.Step(), "drawn at row"));
  c.state.CurrentFigure.PosY = 20.5f;  // drawn above its cell
  EXPECT_TRUE(Mentions(c.Step(), "drawn at row"));
}

TEST(SoakParticleChecks, ParticlesAndFlyingRowsMustGoInTime) {
  const auto lifetimes = ParticleLifetimes(5);
  EXPECT_NEAR(lifetimes[4], 1.0 / (30 / 10000.0) + 100,
              1);                                              // a fuse spark shrinks away in a third of a second
  EXPECT_NEAR(lifetimes[1], (234 - 10) / (1 / 5.0) + 100, 1);  // a line spark: 1 life per 5 ms frame
  EXPECT_LT(lifetimes[3], 2500);                               // smoke by its life
  EXPECT_TRUE(std::isinf(ParticleLifetimes(2)[3]));            // in frames of 2 ms smoke loses no life

  {
    Checked c;  // an explosion's particles once the bomb has gone: they must be gone in time
    Particle_Add(c.particles, 2, 2, 200, 5, 5, 0, 0);
    EXPECT_TRUE(c.Step().empty());
    bool reported = false;
    for (int frame = 0; frame < 400 && !reported; ++frame) reported = Mentions(c.Step(), "outlived their kind");
    EXPECT_TRUE(reported);
    EXPECT_GT(c.now - 1000, lifetimes[2]);
  }
  {
    Checked c;  // smoke grown far beyond any life it could have had
    Particle_Add(c.particles, 3, 3, 200, 5, 5, 0, 0);
    c.particles[3].Storage().back().SX = 0.4f + 4 / 10000.0f * 5000;
    c.state.Bonus.BombActive = true;  // still burning: only its age gives it away
    EXPECT_TRUE(Mentions(c.Step(), "ms old"));
  }
  {
    Checked c;
    Particle_Add(c.particles, 1, 1, 200, 5, -400, 0, 0);
    c.state.FiguresLanded = 0;
    EXPECT_TRUE(Mentions(c.Step(), "flew to"));
    c.particles[1].Clear();
    Particle_Add(c.particles, 1, 2, 200, 5, 5, 0, 0);  // a kind in another's list
    EXPECT_TRUE(Mentions(c.Step(), "in list 1"));
  }
  {
    Checked c;  // a cleared row that never leaves
    c.state.ClearedRows[3].InUse = true;
    for (int column = 1; column <= kGlassColumns; ++column)
      c.state.ClearedRows[3].Bricks[column - 1] = TBrick::Create(3, static_cast<float>(column), 4, 0);
    EXPECT_TRUE(c.Step().empty());
    bool reported = false;
    for (int frame = 0; frame < 100 && !reported; ++frame) reported = Mentions(c.Step(20), "has been flying for");
    EXPECT_TRUE(reported);
    EXPECT_GT(c.now - 1016, kFlyingRowMs);
  }
}

TEST(SoakRun, AShortSoakOfEveryGameTypeKeepsEveryPromise) {
  const SoakOptions options{
      .Figures = 250, .GameFigures = 50, .GameDir = ZT_GAME_DIR, .SampleFigures = 50, .WarmupFigures = 100};
  const SoakReport report = RunSoak(options);
  EXPECT_EQ(report.ProblemCount, 0) << (report.Problems.empty() ? "" : report.Problems.front());
  EXPECT_EQ(report.Figures, 250);
  ASSERT_EQ(report.Games.size(), 5u);
  for (int type = 1; type <= 5; ++type) EXPECT_EQ(report.Games[type - 1].GameType, type);
  EXPECT_EQ(report.Memory.size(), 5u);
  EXPECT_GT(report.BaselineRssKb, 0);
  EXPECT_GT(ResidentKb(), 0);
}

}  // namespace
}  // namespace zt::soak
