// The figure-file reader's errors, on the shipped file edited.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/load_error.h"
#include "game/figure_shapes.h"

namespace zt {
namespace {

const std::string kFigureFile = std::string(ZT_GAME_DIR) + "/data/figimages/images.dat";

const FigureShapes& Shipped() {
  static const FigureShapes shapes = LoadFigImages(kFigureFile);
  return shapes;
}

class FigureFileReader : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(path_.c_str()); }

  static std::vector<std::string> ShippedLines() {
    std::ifstream file(kFigureFile, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  const std::string& Write(const std::vector<std::string>& lines, const std::string& end = "\n") {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) file << line << end;
    return path_;
  }

  // Loads `path`, expecting a LoadError that names the file and the given line (0: none).
  static void ExpectLoadError(const std::string& path, int line) {
    try {
      LoadFigImages(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const LoadError& error) {
      EXPECT_EQ(error.File(), path);
      EXPECT_EQ(error.Line(), line);
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
      if (line > 0) {
        EXPECT_NE(std::string(error.what()).find("line " + std::to_string(line)), std::string::npos) << error.what();
      }
    }
  }

  // One file per test: CTest runs the tests of this suite side by side.
  std::string path_ = ::testing::TempDir() + "figure_file_reader_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".dat";
};

TEST_F(FigureFileReader, AFileEndingEarlyNamesTheFirstMissingLine) {
  std::vector<std::string> lines = ShippedLines();
  lines.pop_back();
  ExpectLoadError(Write(lines), 960);
  lines.resize(7);  // figure 1 turn 1, then the caption and one row of turn 2
  ExpectLoadError(Write(lines), 8);
  ExpectLoadError(Write({}), 1);
}

TEST_F(FigureFileReader, AGridCharacterThatIsNoDigitNamesItsLine) {
  std::vector<std::string> lines = ShippedLines();
  lines[2] = "01x0";  // figure 1 turn 1, grid row 1
  ExpectLoadError(Write(lines), 3);

  lines = ShippedLines();
  lines[959] = "000 ";  // the very last grid row
  ExpectLoadError(Write(lines), 960);

  lines = ShippedLines();
  lines[501] = "01";  // figure 26 turn 1, grid row 0: too short to hold four cells
  ExpectLoadError(Write(lines), 502);
}

TEST_F(FigureFileReader, AMissingFileIsNamed) {
  const std::string missing = ::testing::TempDir() + "no_such_folder/images.dat";
  ExpectLoadError(missing, 0);
}

TEST_F(FigureFileReader, CrLfLineEndsReadLikeLf) {
  const FigureShapes crlf = LoadFigImages(Write(ShippedLines(), "\r\n"));
  EXPECT_EQ(crlf.Grids, Shipped().Grids);
}

TEST_F(FigureFileReader, CaptionsAndTextAfterTheFourDigitsAreIgnoredAndDigitsKeptAsGiven) {
  std::vector<std::string> lines = ShippedLines();
  lines[0] = "";            // a blank caption
  lines[1] = "9000 tail";   // a row with text after its four cells
  lines[6] = "0101010101";  // figure 1 turn 2, grid row 0
  const FigureShapes shapes = LoadFigImages(Write(lines));
  EXPECT_EQ(shapes.Shape(1, 1)[0], (std::array<uint8_t, 4>{9, 0, 0, 0}));
  EXPECT_EQ(shapes.Shape(1, 2)[0], (std::array<uint8_t, 4>{0, 1, 0, 1}));
  EXPECT_EQ(shapes.Shape(48, 4), Shipped().Shape(48, 4));
}

}  // namespace
}  // namespace zt
