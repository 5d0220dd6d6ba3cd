#include "game/figure_shapes.h"

#include <fstream>
#include <sstream>

#include "core/load_error.h"

namespace zt {

FigureShapes LoadFigImages(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw LoadError(path, "cannot open the file");
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) throw LoadError(path, "cannot read the file");
  return ParseFigImages(text.str(), path);
}

FigureShapes ParseFigImages(const std::string& text, const std::string& path) {
  std::istringstream file(text);
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
