// The fonts the game ships: every character the game can show has a glyph inside the textures,
// and the four textures decode at the size the layout describes, with an alpha channel.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/font_file.h"
#include "render/text_layout.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace zt {
namespace {

const std::string kFonts = std::string(ZT_GAME_DIR) + "/data/fonts/";

struct Image {
  int Width = 0, Height = 0, Channels = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> Pixels{nullptr, stbi_image_free};
  int Alpha(int x, int y) const { return Pixels.get()[(static_cast<size_t>(y) * Width + x) * 4 + 3]; }
};

Image LoadTga(const std::string& path) {
  Image image;
  image.Pixels.reset(stbi_load(path.c_str(), &image.Width, &image.Height, &image.Channels, 4));
  return image;
}

TEST(ShippedFontTest, EveryMappedCharacterHasAGlyphInsideTheTexture) {
  const FontMetrics font = LoadLetterTexCoords(kFonts + "font.dat");
  ASSERT_GE(font.GlyphCount, kMappedGlyphs);
  for (int g = 1; g <= kMappedGlyphs; ++g) {
    const GlyphRect& r = font.Rect(g);
    EXPECT_GT(font.Width(g), 0) << "glyph " << g;
    EXPECT_GE(r.ULeft, 0.0f) << "glyph " << g;
    EXPECT_LT(r.ULeft, r.URight) << "glyph " << g;
    EXPECT_LE(r.URight, 1.0f) << "glyph " << g;
    EXPECT_GE(r.VTop, 0.0f) << "glyph " << g;
    EXPECT_LT(r.VTop, r.VBottom) << "glyph " << g;
    EXPECT_LE(r.VBottom, 1.0f) << "glyph " << g;
  }
  // Digits share one width, so a score counting up does not jitter.
  for (char c = '1'; c <= '9'; ++c) EXPECT_EQ(font.Width(GlyphOfChar(c)), font.Width(GlyphOfChar('0')));
}

TEST(ShippedFontTest, TexturesDecodeAtTheLayoutsSizeWithClearCellBorders) {
  const FontMetrics font = LoadLetterTexCoords(kFonts + "font.dat");
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE("font" + std::to_string(n) + ".tga");
    const Image image = LoadTga(kFonts + "font" + std::to_string(n) + ".tga");
    ASSERT_NE(image.Pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(image.Channels, 4);
    // one band per glyph row, as high as a glyph is drawn, so glyphs keep their proportions
    ASSERT_EQ(image.Width, font.TextureWidth);
    ASSERT_EQ(image.Height, font.RowCount * kGlyphHeight);

    for (int g = 1; g <= kMappedGlyphs; ++g) {
      const GlyphRect& r = font.Rect(g);
      const int x0 = static_cast<int>(r.ULeft * image.Width + 0.5f);
      const int x1 = static_cast<int>(r.URight * image.Width + 0.5f);
      const int y0 = static_cast<int>(r.VTop * image.Height + 0.5f);
      const int y1 = static_cast<int>(r.VBottom * image.Height + 0.5f);
      int opaque = 0, borderAlpha = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          if (image.Alpha(x, y) == 255) ++opaque;
          if (x == x0 || x == x1 - 1 || y == y0 || y == y1 - 1) borderAlpha += image.Alpha(x, y);
        }
      EXPECT_GT(opaque, 4) << "glyph " << g << " has no ink";
      EXPECT_EQ(borderAlpha, 0) << "glyph " << g << " reaches its cell's border, filtering would bleed";
    }
  }
}

}  // namespace
}  // namespace zt
