// The shipped figure file, made by make_figures.py: its shapes, turns and pools.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/load_error.h"
#include "game/figure_shapes.h"

namespace zt {
namespace {

using Cell = std::pair<int, int>;  // (grid row i, grid column j)
using Cells = std::set<Cell>;

const std::string kFigureFile = std::string(ZT_GAME_DIR) + "/data/figimages/images.dat";

const FigureShapes& Shipped() {
  static const FigureShapes shapes = LoadFigImages(kFigureFile);
  return shapes;
}

Cells CellsOf(const FigureGrid& grid) {
  Cells cells;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (grid[i][j] != 0) cells.insert({i, j});
  return cells;
}

Cells ShapeCells(int figure, int turn) { return CellsOf(Shipped().Shape(figure, turn)); }

int NextTurn(int turn) { return turn % 4 + 1; }

Cell TopLeft(const Cells& cells) {
  int top = 4, left = 4;
  for (const auto& [i, j] : cells) {
    top = std::min(top, i);
    left = std::min(left, j);
  }
  return {top, left};
}

Cells Normalised(const Cells& cells) {
  const auto [top, left] = TopLeft(cells);
  Cells out;
  for (const auto& [i, j] : cells) out.insert({i - top, j - left});
  return out;
}

// A quarter turn clockwise as seen on screen (x = j to the right, y = -i upward).
Cells TurnedClockwise(const Cells& cells) {
  Cells out;
  for (const auto& [i, j] : cells) out.insert({j, -i});
  return Normalised(out);
}

// Where the turn animation leaves the brick of grid cell (i, j), at x = j, y = -i: swung
// clockwise about the point (1.5, -1), it ends at (2.5 - i, 0.5 - j). Returned as (2x, 2y).
std::set<Cell> SwingEndsInHalfCells(const Cells& cells) {
  std::set<Cell> out;
  for (const auto& [i, j] : cells) out.insert({5 - 2 * i, 1 - 2 * j});
  return out;
}

bool InsideBox(const Cells& cells, int di, int dj) {
  return std::all_of(cells.begin(), cells.end(), [&](const Cell& c) {
    return c.first + di >= 0 && c.first + di <= 3 && c.second + dj >= 0 && c.second + dj <= 3;
  });
}

std::string Picture(const Cells& cells) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) text += cells.count({i, j}) ? '#' : '.';
    text += '\n';
  }
  return text;
}

constexpr int kRedaraTableFigures[] = {10, 11, 13, 14, 8,  9,  16, 17, 19, 27, 28, 29, 12, 22,
                                       23, 33, 15, 18, 24, 26, 31, 32, 20, 21, 25, 30, 34};

TEST(ShippedFigureFile, HoldsNineHundredSixtyLinesOfCaptionsAndDigitRows) {
  std::ifstream file(kFigureFile, std::ios::binary);
  ASSERT_TRUE(file) << kFigureFile;
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 960u);
  for (size_t n = 0; n < lines.size(); ++n) {
    if (n % 5 == 0) {
      const int figure = static_cast<int>(n / 20) + 1, turn = static_cast<int>(n / 5 % 4) + 1;
      EXPECT_EQ(lines[n].rfind("figure " + std::to_string(figure) + " turn " + std::to_string(turn), 0), 0u)
          << "line " << n + 1 << ": " << lines[n];
    } else {
      EXPECT_EQ(lines[n].find_first_not_of("01"), std::string::npos) << "line " << n + 1;
      EXPECT_EQ(lines[n].size(), 4u) << "line " << n + 1;
    }
  }
}

TEST(ShippedFigureFile, BrickCountsFitEachPool) {
  for (int figure = 1; figure <= kFigureCount; ++figure)
    for (int turn = 1; turn <= kTurnCount; ++turn) {
      const size_t bricks = ShapeCells(figure, turn).size();
      SCOPED_TRACE("figure " + std::to_string(figure) + " turn " + std::to_string(turn));
      if (figure <= 7) {
        EXPECT_EQ(bricks, 4u);  // the classic figures
      } else if (figure <= 34) {
        EXPECT_GE(bricks, 3u);  // "Redara"
        EXPECT_LE(bricks, 5u);
      } else if (figure <= 41) {
        EXPECT_GE(bricks, 1u);  // "Kids"
        EXPECT_LE(bricks, 4u);
      } else {
        EXPECT_GE(bricks, 1u);  // "Vodoza"
      }
    }
  // Every figure the "Redara" table can hand out is one of 8..34 and was checked above.
  std::set<int> table(std::begin(kRedaraTableFigures), std::end(kRedaraTableFigures));
  EXPECT_EQ(table.size(), 27u);
  EXPECT_EQ(*table.begin(), 8);
  EXPECT_EQ(*table.rbegin(), 34);
}

TEST(ShippedFigureFile, BombSquareStandsInRowsOneTwoColumnsOneTwoInEveryTurn) {
  const Cells footprint = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};
  for (int turn = 1; turn <= kTurnCount; ++turn) EXPECT_EQ(ShapeCells(5, turn), footprint) << "turn " << turn;
}

TEST(ShippedFigureFile, EachTurnIsTheClockwiseQuarterTurnOfTheOneBefore) {
  for (int figure = 1; figure <= kFigureCount; ++figure)
    for (int turn = 1; turn <= kTurnCount; ++turn) {
      const Cells from = ShapeCells(figure, turn), to = ShapeCells(figure, NextTurn(turn));
      EXPECT_EQ(TurnedClockwise(from), Normalised(to))
          << "figure " << figure << " turn " << turn << " to " << NextTurn(turn) << ":\n"
          << Picture(from) << "turns into\n"
          << Picture(to);
    }
}

// The turn animation swings the bricks about a point half a cell off the grid; the new turn
// must stand where no other whole-cell shift inside the box would be closer to the swing's end.
// Turn 4 swinging back into turn 1 obeys the same rule.
TEST(ShippedFigureFile, EveryTurnStandsAsCloseToTheSwingEndAsTheBoxAllows) {
  for (int figure = 1; figure <= kFigureCount; ++figure)
    for (int turn = 1; turn <= kTurnCount; ++turn) {
      const Cells from = ShapeCells(figure, turn), to = ShapeCells(figure, NextTurn(turn));
      const std::set<Cell> swing = SwingEndsInHalfCells(from);
      // Swing ends in half cells as (2x, 2y); the new turn's bricks as (2j, -2i).
      int swingLeft = 99, swingTop = -99;
      for (const auto& [x, y] : swing) {
        swingLeft = std::min(swingLeft, x);
        swingTop = std::max(swingTop, y);
      }
      const auto [top, left] = TopLeft(to);
      const int dx = 2 * left - swingLeft, dy = -2 * top - swingTop;  // half cells, y upward
      const int distance = dx * dx + dy * dy;
      EXPECT_EQ(distance, 2) << "figure " << figure << " turn " << NextTurn(turn)
                             << " stands half a cell off its swing's end along each axis";
      for (int di = -3; di <= 3; ++di)
        for (int dj = -3; dj <= 3; ++dj) {
          if ((di == 0 && dj == 0) || !InsideBox(to, di, dj)) continue;
          const int ex = dx + 2 * dj, ey = dy - 2 * di;
          EXPECT_GE(ex * ex + ey * ey, distance)
              << "figure " << figure << " turn " << NextTurn(turn) << " shifted by rows " << di << ", columns " << dj
              << " would stand closer to the swing's end";
        }
    }
}

TEST(ShippedFigureFile, EveryTurnFitsTheGlassAtTheSpawnPosition) {
  constexpr int kSpawnColumn = 4, kSpawnRow = 20;
  for (int figure = 1; figure <= kFigureCount; ++figure)
    for (int turn = 1; turn <= kTurnCount; ++turn)
      for (const auto& [i, j] : ShapeCells(figure, turn)) {
        const int column = kSpawnColumn + j, row = kSpawnRow - i;
        EXPECT_TRUE(column >= 1 && column <= 10 && row >= 1 && row <= 20)
            << "figure " << figure << " turn " << turn << " reaches column " << column << ", row " << row;
      }
}

TEST(ShippedFigureFile, FiguresDifferWhereTheyMeetInOneGame) {
  auto equalInSomeTurn = [](int a, int b) {
    for (int ta = 1; ta <= kTurnCount; ++ta)
      for (int tb = 1; tb <= kTurnCount; ++tb)
        if (Shipped().Shape(a, ta) == Shipped().Shape(b, tb)) return true;
    return false;
  };
  // "Redara" draws from 1..34; "Vodoza" from 42..48, which must never look like a classic figure;
  // "Kids" from 35..41.
  for (int a = 1; a <= 34; ++a)
    for (int b = a + 1; b <= 34; ++b) EXPECT_FALSE(equalInSomeTurn(a, b)) << "figures " << a << " and " << b;
  for (int a = 42; a <= 48; ++a) {
    for (int b = 1; b <= 7; ++b) EXPECT_FALSE(equalInSomeTurn(a, b)) << "figures " << a << " and " << b;
    for (int b = a + 1; b <= 48; ++b) EXPECT_FALSE(equalInSomeTurn(a, b)) << "figures " << a << " and " << b;
  }
  for (int a = 35; a <= 41; ++a)
    for (int b = a + 1; b <= 41; ++b) EXPECT_FALSE(equalInSomeTurn(a, b)) << "figures " << a << " and " << b;
}

}  // namespace
}  // namespace zt
