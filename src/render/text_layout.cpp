#include "render/text_layout.h"

namespace zt {

int GlyphOfChar(char c) {
  const unsigned char code = static_cast<unsigned char>(c);
  if (code >= '0' && code <= '9') return 1 + (code - '0');
  if (code >= 'A' && code <= 'Z') return 11 + (code - 'A');
  if (code >= 'a' && code <= 'z') return 11 + (code - 'a');
  switch (code) {
    case ':':
      return 37;
    case ',':
      return 38;
    case '!':
      return 39;
    case '<':
      return 40;
    case '>':
      return 41;
    case '\'':
      return 42;
    case '-':
      return 43;
    case '.':
      return 44;
    case '+':
      return 45;
    case '/':
      return 46;
    case '|':
      return 47;
    case '=':
      return 48;
    case '?':
      return 49;
    case '@':
      return 50;
    case '$':
      return 51;
    case ' ':
      return kSpaceGlyph;
    default:
      return kIgnoredGlyph;
  }
}

float TextScale(int size) { return static_cast<float>(static_cast<double>(size) / 300.0); }

TextLayout LayOutText(const FontMetrics& font, int size, const std::string& text, float x, float y, float clipRight) {
  const float scale = TextScale(size);
  const float height = static_cast<float>(kGlyphHeight) * scale;
  const float halfUp = 0.5f * height;
  const float halfDown = -0.5f * height;
  TextLayout layout;
  float penX = x;
  for (char c : text) {  // GlyphOfChar reads lower-case letters as their capitals
    if (penX >= clipRight) break;
    const int glyph = GlyphOfChar(c);
    if (glyph == kIgnoredGlyph) continue;
    if (glyph == kSpaceGlyph) {
      penX += static_cast<float>(kSpaceAdvance) * scale;
      continue;
    }
    const GlyphRect& rect = font.Rect(glyph);
    GlyphQuad quad;
    quad.Glyph = glyph;
    quad.PenX = penX;
    quad.PenY = y;
    quad.Width = static_cast<float>(font.Width(glyph)) * scale;
    quad.Height = height;
    quad.X0 = 0.0f * quad.Width + penX;
    quad.X1 = 1.0f * quad.Width + penX;
    quad.Y0 = halfUp + y;
    quad.Y1 = halfDown + y;
    quad.U0 = rect.ULeft;
    quad.V0 = rect.VTop;
    quad.U1 = rect.URight;
    quad.V1 = rect.VBottom;
    layout.Quads.push_back(quad);
    penX += quad.Width;
  }
  layout.EndX = penX;
  return layout;
}

D3DMATRIX GlyphWorldMatrix(const GlyphQuad& quad, float z) {
  D3DMATRIX pen, scaling, world;
  MatTranslation(pen, quad.PenX, quad.PenY, z);
  MatScaling(scaling, quad.Width, quad.Height, 1.0f);
  MatMultiply(pen, scaling, world);
  return world;
}

}  // namespace zt
