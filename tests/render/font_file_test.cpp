// Reading the glyph layout file: numbering, texture coordinates, row lines, limits, damaged files.
#include "render/font_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/load_error.h"

namespace zt {
namespace {

class FontFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& text) {
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("zt_font_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".dat"))
            .string();
    std::ofstream(path, std::ios::binary) << text;
    written_ = path;
    return path;
  }
  void TearDown() override {
    if (!written_.empty()) std::filesystem::remove(written_);
  }
  // The line a damaged file is reported at; fails the test when it loads.
  int ErrorLine(const std::string& text) {
    const std::string path = Write(text);
    try {
      LoadLetterTexCoords(path);
    } catch (const LoadError& e) {
      EXPECT_EQ(e.File(), path);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
      return e.Line();
    }
    ADD_FAILURE() << "loaded:\n" << text;
    return -1;
  }
  std::string written_;
};

TEST_F(FontFileTest, BoundariesGiveWidthsAndHorizontalCoordinates) {
  const FontMetrics font = LoadLetterTexCoords(Write("width\n256\nrows\n1\n0 20 45\n"));
  EXPECT_EQ(font.GlyphCount, 2);
  EXPECT_EQ(font.Width(1), 20);
  EXPECT_EQ(font.Width(2), 25);
  EXPECT_FLOAT_EQ(font.Rect(1).ULeft, 0.0f);
  EXPECT_FLOAT_EQ(font.Rect(1).URight, 20.0f / 256);
  EXPECT_FLOAT_EQ(font.Rect(2).ULeft, 20.0f / 256);
  EXPECT_FLOAT_EQ(font.Rect(2).URight, 45.0f / 256);
  EXPECT_FLOAT_EQ(font.Rect(2).VTop, 0.0f);
  EXPECT_FLOAT_EQ(font.Rect(2).VBottom, 1.0f);
}

TEST_F(FontFileTest, RowsSplitTheHeightIntoBandsAndNumberingContinuesAcrossThem) {
  const FontMetrics font = LoadLetterTexCoords(Write("w\n256\nr\n4\n0 10 30\n100 140\n0 5 9 12\n0 1\n"));
  EXPECT_EQ(font.GlyphCount, 7);
  // first glyph of the second row
  EXPECT_EQ(font.Width(3), 40);
  EXPECT_FLOAT_EQ(font.Rect(3).ULeft, 100.0f / 256);
  EXPECT_FLOAT_EQ(font.Rect(3).VTop, 0.25f);
  EXPECT_FLOAT_EQ(font.Rect(3).VBottom, 0.5f);
  EXPECT_EQ(font.Width(6), 3);
  EXPECT_FLOAT_EQ(font.Rect(6).VTop, 0.5f);
  EXPECT_FLOAT_EQ(font.Rect(7).VTop, 0.75f);
  EXPECT_FLOAT_EQ(font.Rect(7).VBottom, 1.0f);
  // glyphs the file does not define, and numbers outside 1..100, are empty
  EXPECT_EQ(font.Width(8), 0);
  EXPECT_FLOAT_EQ(font.Rect(8).URight, 0.0f);
  EXPECT_EQ(font.Width(0), 0);
  EXPECT_EQ(font.Width(101), 0);
  EXPECT_FLOAT_EQ(font.Rect(-3).URight, 0.0f);
}

TEST_F(FontFileTest, LineRules) {
  // Captions on lines 1 and 3 are free text; after W and R the rest of the line is skipped;
  // each row line is one row, however many numbers it holds; Windows line ends and blanks
  // after the last number read the same; lines after the last row are not read.
  const FontMetrics font = LoadLetterTexCoords(Write(
      "Texture 7 width\r\n  128 pixels across\r\n3 rows follow\r\n2\t(rows)\r\n0 8\r\n\t0  16 24  \r\nnot read\r\n"));
  EXPECT_EQ(font.TextureWidth, 128);
  EXPECT_EQ(font.RowCount, 2);
  EXPECT_EQ(font.GlyphCount, 3);
  EXPECT_EQ(font.Width(1), 8);
  EXPECT_FLOAT_EQ(font.Rect(1).VBottom, 0.5f);
  EXPECT_EQ(font.Width(2), 16);
  EXPECT_FLOAT_EQ(font.Rect(2).VTop, 0.5f);
  EXPECT_FLOAT_EQ(font.Rect(3).URight, 24.0f / 128);
}

TEST_F(FontFileTest, AtMostOneHundredGlyphs) {
  auto file = [](int glyphsInLastRow) {
    std::string text = "w\n1000\nr\n2\n";
    for (int x = 0; x <= 60; ++x) text.append(x ? " " : "").append(std::to_string(x));
    text += "\n0";
    for (int x = 1; x <= glyphsInLastRow; ++x) text.append(" ").append(std::to_string(x * 2));
    return text + "\n";
  };
  const FontMetrics full = LoadLetterTexCoords(Write(file(40)));
  EXPECT_EQ(full.GlyphCount, 100);
  EXPECT_EQ(full.Width(100), 2);
  EXPECT_FLOAT_EQ(full.Rect(100).URight, 80.0f / 1000);
  EXPECT_EQ(ErrorLine(file(41)), 6);
}

TEST_F(FontFileTest, DamagedFilesNameTheFileAndLine) {
  EXPECT_EQ(ErrorLine(""), 1);
  EXPECT_EQ(ErrorLine("w\n"), 2);
  EXPECT_EQ(ErrorLine("w\nwide\nr\n1\n0 4\n"), 2);
  EXPECT_EQ(ErrorLine("w\n0\nr\n1\n0 4\n"), 2);
  EXPECT_EQ(ErrorLine("w\n256px\nr\n1\n0 4\n"), 2);
  EXPECT_EQ(ErrorLine("w\n256\nr\n\n0 4\n"), 4);
  EXPECT_EQ(ErrorLine("w\n256\nr\n-2\n0 4\n"), 4);
  EXPECT_EQ(ErrorLine("w\n256\nr\n3\n0 4\n0 8\n"), 7);                   // a row missing
  EXPECT_EQ(ErrorLine("w\n256\nr\n2\n0 4\n\n"), 6);                      // an empty row
  EXPECT_EQ(ErrorLine("w\n256\nr\n2\n0 4\n0 8 x9\n"), 6);                // not a number
  EXPECT_EQ(ErrorLine("w\n256\nr\n1\n0 40 30\n"), 5);                    // running backwards
  EXPECT_EQ(ErrorLine("w\n256\nr\n1\n0 40 257\n"), 5);                   // beyond the texture
  EXPECT_EQ(ErrorLine("w\n256\nr\n1\n0 40 99999999999999999999\n"), 5);  // beyond any integer

  const std::string missing = "/nonexistent/zt/data/fonts/font.dat";
  try {
    LoadLetterTexCoords(missing);
    FAIL() << "a missing file loaded";
  } catch (const LoadError& e) {
    EXPECT_EQ(e.File(), missing);
  }
}

}  // namespace
}  // namespace zt
