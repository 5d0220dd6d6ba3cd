// The 48 figures in their four turns, read at loading from data/figimages/images.dat.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zt {

constexpr int kFigureCount = 48;
constexpr int kTurnCount = 4;

// A 4x4 grid: [grid row i, 0 = top][grid column j, 0 = left]; non-zero = a brick.
using FigureGrid = std::array<std::array<uint8_t, 4>, 4>;

struct FigureShapes {
  std::array<std::array<FigureGrid, kTurnCount>, kFigureCount> Grids{};
  const FigureGrid& Shape(int figure, int turn) const { return Grids[figure - 1][turn - 1]; }  // 1-based
};

// Reads the figure file: for every figure and turn, a caption line then four grid rows
// whose first four characters are decimal digits. Throws LoadError naming the file and line.
FigureShapes LoadFigImages(const std::string& path);

// The same for the file's bytes already in memory; `path` only names the file in errors.
FigureShapes ParseFigImages(const std::string& text, const std::string& path);

}  // namespace zt
