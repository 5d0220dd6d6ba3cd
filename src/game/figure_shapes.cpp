#include "game/figure_shapes.h"

#include <fstream>

#include "core/load_error.h"

namespace zt {

FigureShapes LoadFigImages(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw LoadError(path, "cannot open the file");
  FigureShapes shapes;
  int lineNumber = 0;
  std::string line;
  auto nextLine = [&]() {
    if (!std::getline(file, line)) throw LoadError(path, "the file ends early", lineNumber + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
  };
  for (auto& figure : shapes.Grids)
    for (FigureGrid& grid : figure) {
      nextLine();  // caption
      for (auto& row : grid) {
        nextLine();
        if (line.size() < 4) throw LoadError(path, "a grid row needs four digits", lineNumber);
        for (int j = 0; j < 4; ++j) {
          const char c = line[j];
          if (c < '0' || c > '9') throw LoadError(path, "a grid cell is not a digit", lineNumber);
          row[j] = static_cast<uint8_t>(c - '0');
        }
      }
    }
  return shapes;
}

}  // namespace zt
