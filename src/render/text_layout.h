// Where the glyphs of a text go: the geometry that DrawString submits, one quad per glyph.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "core/vecmath.h"
#include "render/font_file.h"

namespace zt {

constexpr int kSpaceGlyph = 0;     // a blank: no glyph, the pen advances
constexpr int kIgnoredGlyph = -1;  // a character the fonts lack: no glyph, no advance
constexpr int kSpaceAdvance = 22;  // pen advance of a blank, in glyph pixel units
constexpr int kMappedGlyphs = 51;  // glyphs the character map uses; font.dat defines at least these

// The glyph number (1..51) of a character, kSpaceGlyph or kIgnoredGlyph. ASCII lower-case letters
// map as their capitals.
int GlyphOfChar(char c);

// Text size 4..7 (the callers' sizes) to world units per glyph pixel: size / 300.
float TextScale(int size);

// One glyph of a laid-out text. The quad's corners are the unit glyph quad
// (0, 0.5) (1, 0.5) (0, -0.5) (1, -0.5) scaled by (Width, Height) and moved to (PenX, PenY).
struct GlyphQuad {
  int Glyph = 0;                // 1..100
  float PenX = 0, PenY = 0;     // pen position when the glyph is drawn, world units
  float Width = 0, Height = 0;  // world units
  float X0 = 0, Y0 = 0;         // left, top
  float X1 = 0, Y1 = 0;         // right, bottom
  float U0 = 0, V0 = 0;         // u left, v top
  float U1 = 0, V1 = 0;         // u right, v bottom
};

struct TextLayout {
  std::vector<GlyphQuad> Quads;
  float EndX = 0;  // the pen's x after the text (after what was laid out of it, when cut)
};

// Lays out text with its first glyph's left edge at x, vertically centred on y, running towards +x.
// Glyphs touch, with no spacing between them beyond what their cells hold. The text is cut where
// the pen reaches clipRight: nothing from there on could show, so a name longer than the picture
// is wide costs no more than one that fills it.
TextLayout LayOutText(const FontMetrics& font, int size, const std::string& text, float x, float y,
                      float clipRight = std::numeric_limits<float>::infinity());

// The world matrix of a glyph quad in plane z: the glyph scaling first, then the pen.
D3DMATRIX GlyphWorldMatrix(const GlyphQuad& quad, float z);

}  // namespace zt
