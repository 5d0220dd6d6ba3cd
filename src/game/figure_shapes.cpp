#include "game/figure_shapes.h"

#include "core/load_error.h"
#include "core/text_file.h"

namespace zt {

FigureShapes LoadFigImages(const std::string& path) { return ParseFigImages(ReadWholeFile(path, path), path); }

FigureShapes ParseFigImages(const std::string& text, const std::string& path) {
  LineReader lines(text, path);
  FigureShapes shapes;
  for (auto& figure : shapes.Grids)
    for (FigureGrid& grid : figure) {
      lines.Next();  // caption
      for (auto& row : grid) {
        const std::string& line = lines.Next();
        if (line.size() < 4) throw LoadError(path, "a grid row needs four digits", lines.Number());
        for (int j = 0; j < 4; ++j) {
          const char c = line[j];
          if (c < '0' || c > '9') throw LoadError(path, "a grid cell is not a digit", lines.Number());
          row[j] = static_cast<uint8_t>(c - '0');
        }
      }
    }
  return shapes;
}

}  // namespace zt
