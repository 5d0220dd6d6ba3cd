// Laying out a text: the character map, glyph sizes, the pen, blanks and characters the fonts lack.
#include "render/text_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace zt {
namespace {

// A font whose glyph g is 10 + g pixels wide, in a 1000-pixel texture of 10 rows.
FontMetrics TestFont() {
  FontMetrics font;
  font.TextureWidth = 1000;
  font.RowCount = 10;
  int x = 0;
  for (int g = 1; g <= kMappedGlyphs; ++g) {
    font.GlyphWidths[g - 1] = 10 + g;
    font.GlyphTable[g - 1] = {x / 1000.0f, ((g - 1) / 10 + 1) / 10.0f, (x + 10 + g) / 1000.0f, ((g - 1) / 10) / 10.0f};
    x += 10 + g;
  }
  font.GlyphCount = kMappedGlyphs;
  return font;
}

TEST(TextLayoutTest, CharacterMapFollowsTheGlyphOrderOfTheFontFiles) {
  const std::string order = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ:,!<>'-.+/|=?@$";
  ASSERT_EQ(static_cast<int>(order.size()), kMappedGlyphs);
  for (int i = 0; i < kMappedGlyphs; ++i) EXPECT_EQ(GlyphOfChar(order[i]), i + 1) << order[i];
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(GlyphOfChar(c), GlyphOfChar(static_cast<char>(c - 32))) << c;
  EXPECT_EQ(GlyphOfChar(' '), kSpaceGlyph);
  for (char c : std::string("%&#\"()*;[]\\^_`{}~\t\n\r\x7f\xc3\xa9"))
    EXPECT_EQ(GlyphOfChar(c), kIgnoredGlyph) << int(c);
  EXPECT_EQ(GlyphOfChar('\0'), kIgnoredGlyph);
}

TEST(TextLayoutTest, GlyphSizeFollowsTheTextSize) {
  FontMetrics font = TestFont();
  font.GlyphWidths[0] = 30;  // the digit 0
  const TextLayout layout = LayOutText(font, 6, "0 0", 2.0f, 3.0f);
  EXPECT_FLOAT_EQ(TextScale(6), 0.02f);
  ASSERT_EQ(layout.Quads.size(), 2u);
  const GlyphQuad& q = layout.Quads[0];
  EXPECT_FLOAT_EQ(q.Width, 0.6f);
  EXPECT_FLOAT_EQ(q.Height, 0.8f);
  EXPECT_FLOAT_EQ(q.X0, 2.0f);
  EXPECT_FLOAT_EQ(q.X1, 2.6f);
  EXPECT_FLOAT_EQ(q.Y0, 3.4f);  // vertically centred on y
  EXPECT_FLOAT_EQ(q.Y1, 2.6f);
  // the blank advances 22 x 0.02
  EXPECT_FLOAT_EQ(layout.Quads[1].X0, 2.0f + 0.6f + 0.44f);
  EXPECT_FLOAT_EQ(layout.EndX, 2.0f + 0.6f + 0.44f + 0.6f);
  // size 4 and 7, the callers' range
  EXPECT_FLOAT_EQ(LayOutText(font, 7, "0", 0, 0).Quads[0].Width, 30 * 7.0f / 300);
  EXPECT_FLOAT_EQ(LayOutText(font, 4, "0", 0, 0).Quads[0].Height, 40 * 4.0f / 300);
}

TEST(TextLayoutTest, PenRunsAlongTheTextWithoutGaps) {
  const FontMetrics font = TestFont();
  const float scale = TextScale(5);
  const TextLayout ab = LayOutText(font, 5, "A B", 1.0f, 0.0f);
  ASSERT_EQ(ab.Quads.size(), 2u);
  EXPECT_EQ(ab.Quads[0].Glyph, 11);
  EXPECT_EQ(ab.Quads[1].Glyph, 12);
  EXPECT_FLOAT_EQ(ab.Quads[1].X0, 1.0f + 21 * scale + 22 * scale);

  const TextLayout word = LayOutText(font, 5, "HELLO", 0.0f, 0.0f);
  for (size_t i = 1; i < word.Quads.size(); ++i) EXPECT_EQ(word.Quads[i].X0, word.Quads[i - 1].X1);
  EXPECT_EQ(word.EndX, word.Quads.back().X1);
}

TEST(TextLayoutTest, CharactersTheFontsLackLeaveThePenWhereItWas) {
  const FontMetrics font = TestFont();
  const TextLayout plain = LayOutText(font, 5, "AB", 0.5f, 1.0f);
  const TextLayout marked = LayOutText(font, 5, "A#B%&", 0.5f, 1.0f);
  ASSERT_EQ(marked.Quads.size(), plain.Quads.size());
  for (size_t i = 0; i < plain.Quads.size(); ++i) {
    EXPECT_EQ(marked.Quads[i].Glyph, plain.Quads[i].Glyph);
    EXPECT_EQ(marked.Quads[i].X0, plain.Quads[i].X0);
  }
  EXPECT_EQ(marked.EndX, plain.EndX);

  const TextLayout nothing = LayOutText(font, 5, "#%&\xc3\xa9", 0.5f, 1.0f);
  EXPECT_TRUE(nothing.Quads.empty());
  EXPECT_EQ(nothing.EndX, 0.5f);
  EXPECT_TRUE(LayOutText(font, 5, "", 0.5f, 1.0f).Quads.empty());
}

TEST(TextLayoutTest, LowerCaseIsLaidOutAsUpperCase) {
  const FontMetrics font = TestFont();
  const std::string text = "Game Over, try again? b";
  const TextLayout lower = LayOutText(font, 4, text, 0, 0);
  const TextLayout upper = LayOutText(font, 4, "GAME OVER, TRY AGAIN? B", 0, 0);
  ASSERT_EQ(lower.Quads.size(), upper.Quads.size());
  for (size_t i = 0; i < lower.Quads.size(); ++i) {
    EXPECT_EQ(lower.Quads[i].Glyph, upper.Quads[i].Glyph);
    EXPECT_EQ(lower.Quads[i].X1, upper.Quads[i].X1);
  }
  EXPECT_EQ(text, "Game Over, try again? b");
}

TEST(TextLayoutTest, ATextIsCutWhereThePenReachesTheClipEdge) {
  const FontMetrics font = TestFont();
  const std::string text = "Ab c%de" + std::string(60000, 'W');
  const TextLayout whole = LayOutText(font, 6, text, -4.5f, 0);
  const TextLayout cut = LayOutText(font, 6, text, -4.5f, 0, 2.0f);
  // What was laid out is exactly the start of the whole layout: every glyph that starts left
  // of the edge, the one crossing it included, and nothing after.
  ASSERT_LT(cut.Quads.size(), 40u);
  for (size_t i = 0; i < cut.Quads.size(); ++i) {
    EXPECT_EQ(cut.Quads[i].Glyph, whole.Quads[i].Glyph);
    EXPECT_EQ(cut.Quads[i].X0, whole.Quads[i].X0);
  }
  EXPECT_LT(cut.Quads.back().X0, 2.0f);
  EXPECT_GE(cut.Quads.back().X1, 2.0f);
  EXPECT_GE(whole.Quads[cut.Quads.size()].X0, 2.0f);
  EXPECT_EQ(cut.EndX, whole.Quads[cut.Quads.size()].X0);
  // Blanks and characters the fonts lack before the edge move the pen as ever.
  EXPECT_EQ(cut.Quads[2].Glyph, GlyphOfChar('C'));
  EXPECT_EQ(cut.Quads[3].Glyph, GlyphOfChar('D'));
  // A text that starts beyond the edge lays out nothing.
  EXPECT_TRUE(LayOutText(font, 6, "AB", 2.5f, 0, 2.0f).Quads.empty());
}

TEST(TextLayoutTest, QuadsCarryTheGlyphRectangleAndMatchTheWorldMatrix) {
  const FontMetrics font = TestFont();
  const TextLayout layout = LayOutText(font, 6, "Q7", -3.0f, 12.5f);
  ASSERT_EQ(layout.Quads.size(), 2u);
  const GlyphQuad& q = layout.Quads[0];
  const GlyphRect& r = font.Rect(GlyphOfChar('Q'));
  EXPECT_EQ(q.U0, r.ULeft);
  EXPECT_EQ(q.U1, r.URight);
  EXPECT_EQ(q.V0, r.VTop);  // the upper corners take v top
  EXPECT_EQ(q.V1, r.VBottom);

  // The unit glyph quad through the glyph's world matrix lands on the quad's corners.
  for (const GlyphQuad& g : layout.Quads) {
    const D3DMATRIX m = GlyphWorldMatrix(g, -1.5f);
    auto apply = [&](float x, float y) {
      return D3DVECTOR{x * m(1, 1) + y * m(2, 1) + m(4, 1), x * m(1, 2) + y * m(2, 2) + m(4, 2),
                       x * m(1, 3) + y * m(2, 3) + m(4, 3)};
    };
    const D3DVECTOR upperLeft = apply(0, 0.5f), lowerRight = apply(1, -0.5f);
    EXPECT_FLOAT_EQ(upperLeft.x, g.X0);
    EXPECT_FLOAT_EQ(upperLeft.y, g.Y0);
    EXPECT_FLOAT_EQ(lowerRight.x, g.X1);
    EXPECT_FLOAT_EQ(lowerRight.y, g.Y1);
    EXPECT_FLOAT_EQ(upperLeft.z, -1.5f);
  }
}

}  // namespace
}  // namespace zt
