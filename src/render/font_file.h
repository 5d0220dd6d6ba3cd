// The glyph layout shared by the four font textures, read at loading from data/fonts/font.dat.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zt {

constexpr int kMaxGlyphs = 100;   // glyph numbers 1..100
constexpr int kGlyphHeight = 40;  // height of a glyph cell, in the texture's pixel units
constexpr const char* kFontFile = "data/fonts/font.dat";

// Texture coordinates of one glyph's rectangle, in the file's order.
struct GlyphRect {
  float ULeft = 0, VBottom = 0, URight = 0, VTop = 0;
};

struct FontMetrics {
  std::array<GlyphRect, kMaxGlyphs> GlyphTable{};  // [glyph - 1]; unread glyphs stay all zero
  std::array<int32_t, kMaxGlyphs> GlyphWidths{};   // [glyph - 1], texture pixels
  int GlyphCount = 0;                              // glyphs the file defines
  int TextureWidth = 0;                            // W, pixels
  int RowCount = 0;                                // R, bands of the texture height

  // Glyph 1..kMaxGlyphs; anything else reads as an empty glyph.
  const GlyphRect& Rect(int glyph) const;
  int32_t Width(int glyph) const;
};

// Reads the font file: line 1 skipped; line 2 the texture width W; line 3 skipped; line 4 the
// number of glyph rows R; then R lines of glyph boundaries x0 x1 ... xn, n glyphs per row, numbered
// in reading order. Throws LoadError naming the file and line when the file is missing or malformed.
FontMetrics LoadLetterTexCoords(const std::string& path = kFontFile);

// The same for the file's bytes already in memory; `path` only names the file in errors.
FontMetrics ParseLetterTexCoords(const std::string& text, const std::string& path = kFontFile);

}  // namespace zt
