#include "soak/soak_checks.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <sstream>

namespace zt::soak {

namespace {

constexpr uint16_t kRowMask = 0x7FE;
constexpr int32_t kLongestSpawnedLife = 234;  // every spawner gives lives below 235
constexpr int32_t kLifeAtDeath = 10;
constexpr double kInfinite = std::numeric_limits<double>::infinity();
// Where a particle may still be on its way out of the picture (world units).
constexpr float kParticleLeft = -50, kParticleRight = 60, kParticleBottom = -150, kParticleTop = 80;

std::string Describe(const char* what, double value) {
  std::ostringstream text;
  text << what << ' ' << value;
  return text.str();
}

using Rows = std::array<uint16_t, kGlassRows + 1>;

int Count(const Rows& rows) {
  int count = 0;
  for (int row = 1; row <= kGlassRows; ++row) count += std::popcount(static_cast<unsigned>(rows[row]));
  return count;
}

// The glass after the step's clearing: the lowest full rows (four at most) taken out.
int ClearLowestFullRows(Rows& rows) {
  int cleared = 0;
  Rows kept{};
  int to = 1;
  for (int row = 1; row <= kGlassRows; ++row) {
    if (rows[row] == kRowMask && cleared < 4) {
      ++cleared;
      continue;
    }
    kept[to++] = rows[row];
  }
  rows = kept;
  return cleared;
}

// True when `gained` is the figure's bricks in one of its turns, somewhere, but for bricks on
// cells that were occupied already (a pushed-in line moves bricks into the figure in flight).
bool IsFigure(const Rows& gained, const Rows& before, const FigureShapes& shapes, int32_t color) {
  for (int turn = 1; turn <= kTurnCount; ++turn) {
    const FigureGrid& grid = shapes.Shape(color, turn);
    for (int y = 1; y <= kGlassRows; ++y)
      for (int x = -3; x <= kGlassColumns; ++x) {
        Rows placed{};
        bool inside = true;
        for (int i = 0; i < 4 && inside; ++i)
          for (int j = 0; j < 4 && inside; ++j) {
            if (grid[i][j] == 0) continue;
            const int column = x + j, row = y - i;
            inside = Glass::Inside(column, row);
            if (inside) placed[row] |= static_cast<uint16_t>(1u << column);
          }
        bool matches = inside;
        for (int row = 1; row <= kGlassRows && matches; ++row)
          matches = (gained[row] & ~placed[row]) == 0 && (placed[row] & ~gained[row] & ~before[row]) == 0;
        if (matches) return true;
      }
  }
  return false;
}

// The glass before and after, side by side, top row first: '#' kept, '+' gained, '-' lost.
std::string Picture(const Rows& before, const Rows& after) {
  std::string text;
  for (int row = kGlassRows; row >= 1; --row) {
    text += "\n    ";
    for (int column = 1; column <= kGlassColumns; ++column) {
      const bool was = ((before[row] >> column) & 1u) != 0, is = ((after[row] >> column) & 1u) != 0;
      text += was && is ? '#' : (is ? '+' : (was ? '-' : '.'));
    }
  }
  return text;
}

}  // namespace

std::array<double, kParticleListCount> ParticleLifetimes(uint32_t shortestFrameMs) {
  std::array<double, kParticleListCount> lifetimes{};
  shortestFrameMs = std::clamp<uint32_t>(shortestFrameMs, 1, 100);
  for (int kind = 1; kind < kParticleListCount; ++kind) {
    const ParticleKind& k = kParticleKinds[kind];
    const double sizeMs = k.DSX < 0 ? k.SX / (-k.DSX / 10000.0) : kInfinite;
    double slowest = kInfinite;  // life lost per ms in the frame length that loses least
    for (uint32_t dt = shortestFrameMs; dt <= 100; ++dt)
      slowest = std::min(slowest, std::nearbyint(k.Decay / 100.0 * dt) / dt);
    const double lifeMs = slowest > 0 ? (kLongestSpawnedLife - kLifeAtDeath) / slowest : kInfinite;
    lifetimes[kind] = std::min(sizeMs, lifeMs) + 100;  // plus the frame it dies in
  }
  return lifetimes;  // kind 0 is never spawned: 0
}

StepChecker::StepChecker(const FigureShapes& shapes, bool clockwise, uint32_t shortestFrameMs)
    : shapes_(shapes), clockwise_(clockwise), lifetimes_(ParticleLifetimes(shortestFrameMs)) {}

StepChecker::Rows StepChecker::Occupancy(const Glass& glass) {
  Rows rows{};
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column)
      if (!glass.IsFree(column, row)) rows[row] |= static_cast<uint16_t>(1u << column);
  return rows;
}

void StepChecker::Reset(const GameState& state, uint32_t now) {
  Remember(state);
  lastSpawnChance_.fill(now);
  rowInFlight_.fill(false);
  for (size_t slot = 0; slot < rowInFlight_.size(); ++slot) {
    rowInFlight_[slot] = state.ClearedRows[slot].InUse;
    rowLaunched_[slot] = now;
  }
}

void StepChecker::Remember(const GameState& state) {
  cells_ = Occupancy(state.Cells);
  figure_ = state.CurrentFigure;
  bombActive_ = state.Bonus.BombActive;
  score_ = state.Score;
  lines_ = state.Lines;
  level_ = state.Level;
  figuresLanded_ = state.FiguresLanded;
  linesAdded_ = state.LinesAdded;
}

std::vector<std::string> StepChecker::AfterStep(const GameState& state, const ParticleLists& particles, uint32_t now) {
  std::vector<std::string> problems;
  if (state.Score < score_) problems.push_back(Describe("the score fell to", state.Score));
  if (state.ShownScore > state.Score)
    problems.push_back(Describe("the shown score ran past the score:", state.ShownScore));
  if (state.Level < level_ || state.Level > level_ + 1)
    problems.push_back(Describe("the level jumped to", state.Level));
  CheckFigure(state, problems);
  CheckGlass(state, problems);
  CheckParticles(state, particles, now, problems);
  CheckFlyingRows(state, now, problems);
  Remember(state);
  return problems;
}

void StepChecker::CheckFigure(const GameState& state, std::vector<std::string>& problems) const {
  const TFigure& figure = state.CurrentFigure;
  const FigureGrid& shape = ShapeInForce(figure, shapes_, clockwise_);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      if (shape[i][j] == 0) continue;
      const int column = figure.CellX + j, row = figure.CellY - i;
      if (column < 1 || column > kGlassColumns || row < 1 || row > kSpawnRow) {
        problems.push_back("a brick of the figure in play stands outside the glass at column " +
                           std::to_string(column) + ", row " + std::to_string(row));
        return;
      }
    }
  // Drawn between its cell and the lowest row it could fall to: a fast figure's cell follows
  // its drawn place a row per step, never past a ledge.
  auto fits = [&](int y) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j)
        if (shape[i][j] != 0 && (y - i < 1 || !state.Cells.IsOpen(figure.CellX + j, y - i))) return false;
    return true;
  };
  int lowest = figure.CellY;
  while (fits(lowest - 1)) --lowest;
  const float driftX = figure.PosX - static_cast<float>(figure.CellX);
  if (!(std::fabs(driftX) <= 1.0f + 1e-3f))
    problems.push_back(Describe("the figure is drawn off its column by", driftX));
  // A pushed-in line does not move the figure in flight: for that step it may be drawn into
  // the raised bricks, until its next fall step stops it on them.
  const bool lineAdded = state.LinesAdded != linesAdded_;
  if (!(figure.PosY <= figure.CellY + 1e-3f && (lineAdded || figure.PosY >= lowest - 1e-3f)))
    problems.push_back("the figure is drawn at row " + std::to_string(figure.PosY) + " with its cell at row " +
                       std::to_string(figure.CellY) + " and the lowest free row " + std::to_string(lowest));
  const TFigure& next = state.NextFigure;
  if (next.CellX != -6 || next.CellY != 18) problems.push_back("the preview figure left its place");
}

void StepChecker::CheckGlass(const GameState& state, std::vector<std::string>& problems) const {
  const Rows after = Occupancy(state.Cells);
  Rows model = cells_;
  const int cleared = ClearLowestFullRows(model);
  if (state.Lines - lines_ != cleared)
    problems.push_back("the lines went up by " + std::to_string(state.Lines - lines_) + " while " +
                       std::to_string(cleared) + " rows were full");
  const bool locked = state.FiguresLanded != figuresLanded_;
  if (state.FiguresLanded - figuresLanded_ > 1) problems.push_back("more than one figure locked in one step");

  if (state.LinesAdded != linesAdded_) {  // everything moved up a row under five new bricks
    for (int row = 1; row < kGlassRows; ++row)
      if ((model[row] & ~after[row + 1]) != 0) {
        problems.push_back("a brick was lost when a line was pushed in, row " + std::to_string(row));
        break;
      }
    if (std::popcount(static_cast<unsigned>(after[1])) != 5)
      problems.push_back("a pushed-in line does not hold five bricks");
    return;
  }
  if (locked && bombActive_) {  // the blast takes bricks, nothing comes in
    if (Count(after) > Count(model)) problems.push_back("the bomb added bricks to the glass");
    return;
  }
  Rows lost{}, gained{};
  bool anyLost = false, anyGained = false;
  for (int row = 1; row <= kGlassRows; ++row) {
    lost[row] = static_cast<uint16_t>(model[row] & ~after[row]);
    gained[row] = static_cast<uint16_t>(after[row] & ~model[row]);
    anyLost |= lost[row] != 0;
    anyGained |= gained[row] != 0;
  }
  for (int row = 1; row <= kGlassRows && anyLost; ++row)
    if (lost[row] != 0) {
      problems.push_back("a brick vanished from row " + std::to_string(row) + Picture(model, after));
      break;
    }
  if (!locked) {
    if (anyGained) problems.push_back("bricks appeared without a figure locking");
    return;
  }
  if (!IsFigure(gained, model, shapes_, figure_.Color)) {
    problems.push_back("the bricks a lock added are not the figure's (" + std::to_string(Count(gained)) +
                       " bricks); the figure " + std::to_string(figure_.Color) + " turn " +
                       std::to_string(figure_.Turn) + (figure_.Turning ? " turning" : "") + " stood at " +
                       std::to_string(figure_.CellX) + ", " + std::to_string(figure_.CellY) + " drawn at " +
                       std::to_string(figure_.PosX) + ", " + std::to_string(figure_.PosY) + Picture(model, after));
    return;
  }
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column)
      if (((gained[row] >> column) & 1u) != 0 && state.Cells.Cell(column, row).Brick.Color != figure_.Color) {
        problems.push_back("a locked brick took another figure's colour");
        return;
      }
}

void StepChecker::CheckParticles(const GameState& state, const ParticleLists& particles, uint32_t now,
                                 std::vector<std::string>& problems) {
  const bool locked = state.FiguresLanded != figuresLanded_;
  if (locked || state.Lines != lines_) lastSpawnChance_[1] = now;
  if (locked && bombActive_) lastSpawnChance_[2] = now;
  if (bombActive_ || state.Bonus.BombActive) lastSpawnChance_[3] = lastSpawnChance_[4] = now;

  for (int list = 0; list < kParticleListCount; ++list) {
    const ParticleList& particlesOfKind = particles[list];
    const double lifetime = lifetimes_[list];
    if (!particlesOfKind.Empty() && now - lastSpawnChance_[list] > lifetime) {
      problems.push_back("particles of kind " + std::to_string(list) + " outlived their kind by " +
                         std::to_string(now - lastSpawnChance_[list]) + " ms");
    }
    bool reported = false;
    particlesOfKind.ForEachFromHead([&](const TParticle& p) {
      if (reported) return;
      const ParticleKind& kind = kParticleKinds[p.Kind < kParticleListCount ? p.Kind : 0];
      // The size changes at a fixed rate from birth, so it tells the particle's age.
      const double age = kind.DSX != 0 ? (p.SX - kind.SX) / (kind.DSX / 10000.0) : 0;
      std::string problem;
      if (p.Kind != list)
        problem = "a particle of kind " + std::to_string(p.Kind) + " in list " + std::to_string(list);
      else if (!std::isfinite(p.X) || !std::isfinite(p.Y) || p.X < kParticleLeft || p.X > kParticleRight ||
               p.Y < kParticleBottom || p.Y > kParticleTop)
        problem = "a particle of kind " + std::to_string(list) + " flew to (" + std::to_string(p.X) + ", " +
                  std::to_string(p.Y) + ")";
      else if (age > lifetime + 1)
        problem = "a particle of kind " + std::to_string(list) + " is " + std::to_string(age) + " ms old";
      else if (p.Life <= kLifeAtDeath || p.Life > kLongestSpawnedLife)
        problem = "a particle of kind " + std::to_string(list) + " lives on with life " + std::to_string(p.Life);
      if (!problem.empty()) {
        problems.push_back(problem);
        reported = true;
      }
    });
  }
}

void StepChecker::CheckFlyingRows(const GameState& state, uint32_t now, std::vector<std::string>& problems) {
  for (size_t slot = 0; slot < state.ClearedRows.size(); ++slot) {
    const ClearedRow& row = state.ClearedRows[slot];
    if (row.InUse && !rowInFlight_[slot]) rowLaunched_[slot] = now;
    rowInFlight_[slot] = row.InUse;
    if (!row.InUse) continue;
    if (now - rowLaunched_[slot] > kFlyingRowMs)
      problems.push_back("a cleared row has been flying for " + std::to_string(now - rowLaunched_[slot]) + " ms");
    for (const TBrick& brick : row.Bricks)
      if (!(brick.X() >= 1 && brick.X() <= kGlassColumns && brick.Y() >= -20 && brick.Y() <= kGlassRows + 1 &&
            brick.Z() <= 0.01f && brick.Z() >= -12)) {
        problems.push_back("a brick of a cleared row flew to (" + std::to_string(brick.X()) + ", " +
                           std::to_string(brick.Y()) + ", " + std::to_string(brick.Z()) + ")");
        break;
      }
  }
}

}  // namespace zt::soak
