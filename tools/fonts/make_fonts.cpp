// Builds the game's bitmap fonts: game/data/fonts/font.dat (the shared glyph layout) and
// font1.tga .. font4.tga (one look each), from a bold TrueType face rendered with FreeType.
//
//   make_fonts <face.ttf> <output folder>
//
// Run through make_fonts.sh. The output depends only on the face file and this program: every
// run writes the same bytes.
//
// Layout: one glyph cell is 40 pixels high (the height the game draws a glyph with) and as wide as
// the glyph with its outline, its spacing and a clear border; cells run side by side in rows of a
// 512-pixel-wide texture, one 40-pixel band per row, in the order the game numbers its glyphs.
// Every cell keeps its outermost pixels fully transparent, and every glyph stays at least 1.5
// pixels inside its cell, so bilinear filtering and the first mip levels never pick up a neighbour.
//
// Looks (the texture colour is what the game shows; the vertex colour only carries the opacity):
//   font 1  white with a thin dark edge and a soft shadow: captions, the highlighted name entry
//   font 2  cool blue-white with a navy outline: body text, labels, help pages, the table rows
//   font 3  red-orange embers with a dark red outline: spare look of the shared layout
//   font 4  gold with a dark brown outline and a bevel: titles, scores, messages, the top ranks
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "font_tool.h"

namespace {

constexpr int kBand = 40;            // glyph cell height, pixels
constexpr int kTextureWidth = 512;   // pixels
constexpr int kSuper = 4;            // supersampling of the glyph shapes per axis
constexpr float kCapHeight = 22.0f;  // height of the capitals, pixels
constexpr float kCapCentre = 19.0f;  // band row the middle of the capitals sits on
constexpr float kInkTop = 4.0f;      // no glyph fill above this row ...
constexpr float kInkBottom = 36.5f;  // ... or below this one (room for the outline and shadow)
constexpr float kMaxOutline = 2.0f;  // the widest outline of the four looks, pixels
constexpr float kMinPad = 1.5f;      // clear pixels between a glyph's outline and its cell edge
constexpr float kTracking = 2.5f;    // added to the face's advance, for the outline
constexpr float kStretch = 1.1f;     // the face drawn a little wider than it comes: a chunkier display look

// The glyphs in the game's numbering: digits, letters, then the punctuation.
const std::string kGlyphChars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ:,!<>'-.+/|=?@$";

struct Rgb {
  float r, g, b;
};

struct Stop {
  float t;  // 0 at the top of the capitals, 1 at the baseline
  Rgb colour;
};

struct Look {
  std::vector<Stop> Gradient;
  float OutlineRadius;  // pixels
  Rgb OutlineColour;
  float OutlineOpacity;
  float ShadowDx, ShadowDy;  // pixels, towards the lower right
  float ShadowSigma;         // blur, pixels
  float ShadowOpacity;
  float Bevel;  // strength of the light from the upper left on the fill's edges
};

Rgb Hex(uint32_t v) {
  return {static_cast<float>((v >> 16) & 255) / 255.0f, static_cast<float>((v >> 8) & 255) / 255.0f,
          static_cast<float>(v & 255) / 255.0f};
}

std::array<Look, 4> Looks() {
  Look white{{{0.0f, Hex(0xFFFFFF)}, {0.55f, Hex(0xF4F6FA)}, {1.0f, Hex(0xC9D1DE)}},
             1.25f,
             Hex(0x0B0E14),
             0.9f,
             1.25f,
             1.75f,
             1.3f,
             0.85f,
             0.20f};
  Look ice{{{0.0f, Hex(0xF4FBFF)}, {0.45f, Hex(0xC2E6FF)}, {1.0f, Hex(0x5EA6F2)}},
           2.0f,
           Hex(0x061630),
           1.0f,
           1.0f,
           1.5f,
           1.2f,
           0.7f,
           0.30f};
  Look ember{{{0.0f, Hex(0xFFEA9A)}, {0.4f, Hex(0xFF9A2E)}, {0.75f, Hex(0xF2521C)}, {1.0f, Hex(0xC21E12)}},
             2.0f,
             Hex(0x2E0500),
             1.0f,
             1.0f,
             1.5f,
             1.2f,
             0.7f,
             0.35f};
  Look gold{{{0.0f, Hex(0xFFF9CF)},
             {0.38f, Hex(0xFFDD55)},
             {0.52f, Hex(0xF5B521)},
             {0.60f, Hex(0xFFCB3A)},
             {1.0f, Hex(0xC47A06)}},
            2.0f,
            Hex(0x2E1800),
            1.0f,
            1.0f,
            1.5f,
            1.2f,
            0.7f,
            0.45f};
  return {white, ice, ember, gold};
}

Rgb GradientAt(const std::vector<Stop>& stops, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].t) {
      const Stop& a = stops[i - 1];
      const Stop& b = stops[i];
      const float f = (t - a.t) / (b.t - a.t);
      return {a.colour.r + (b.colour.r - a.colour.r) * f, a.colour.g + (b.colour.g - a.colour.g) * f,
              a.colour.b + (b.colour.b - a.colour.b) * f};
    }
  }
  return stops.back().colour;
}

// A coverage picture, 0..1 per pixel.
struct Mask {
  int W = 0, H = 0;
  std::vector<float> V;
  Mask() = default;
  Mask(int w, int h) : W(w), H(h), V(static_cast<size_t>(w) * h, 0.0f) {}
  float At(int x, int y) const { return x < 0 || y < 0 || x >= W || y >= H ? 0.0f : V[y * W + x]; }
  float& Ref(int x, int y) { return V[y * W + x]; }
};

// One glyph of the face, rendered unhinted at kSuper times the final size.
struct Shape {
  char Char = 0;
  Mask Hi;                          // the fill, supersampled, cell-sized once placed
  int Left = 0, Top = 0;            // bitmap offset from the pen origin (supersampled pixels, y up)
  float Advance = 0;                // final pixels
  float InkLeft = 0, InkRight = 0;  // final pixels from the pen origin
  int CellWidth = 0;                // final pixels
  float OriginX = 0;                // pen origin inside the cell, final pixels (multiple of 1/kSuper)
};

void Check(FT_Error error, const char* what) {
  if (error) throw std::runtime_error(std::string(what) + " failed (FreeType error " + std::to_string(error) + ")");
}

Shape RenderShape(FT_Face face, char c, float pixelsPerUnit) {
  // Glyphs reaching beyond the band's ink area (the vertical line) are squeezed vertically to fit.
  FT_Set_Transform(face, nullptr, nullptr);
  Check(FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_SCALE), "FT_Load_Char");
  const FT_Glyph_Metrics units = face->glyph->metrics;  // a copy: the next load overwrites it
  const float top = kCapCentre + kCapHeight / 2 - static_cast<float>(units.horiBearingY) * pixelsPerUnit;
  const float bottom =
      kCapCentre + kCapHeight / 2 - static_cast<float>(units.horiBearingY - units.height) * pixelsPerUnit;
  float squeeze = 1.0f;
  if (top < kInkTop || bottom > kInkBottom) {
    const float baseline = kCapCentre + kCapHeight / 2;
    squeeze = std::min((baseline - kInkTop) / (baseline - top), (kInkBottom - baseline) / (bottom - baseline));
    squeeze = std::min(squeeze, 1.0f);
  }
  FT_Matrix matrix{static_cast<FT_Fixed>(std::lround(kStretch * 65536.0f)), 0, 0,
                   static_cast<FT_Fixed>(std::lround(squeeze * 65536.0f))};
  FT_Set_Transform(face, &matrix, nullptr);
  Check(FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), "FT_Load_Char");
  Check(FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL), "FT_Render_Glyph");
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  Shape shape;
  shape.Char = c;
  shape.Hi = Mask(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
  for (int y = 0; y < shape.Hi.H; ++y)
    for (int x = 0; x < shape.Hi.W; ++x)
      shape.Hi.Ref(x, y) = static_cast<float>(bitmap.buffer[y * bitmap.pitch + x]) / 255.0f;
  shape.Left = face->glyph->bitmap_left;
  shape.Top = face->glyph->bitmap_top;
  shape.Advance = static_cast<float>(units.horiAdvance) * pixelsPerUnit * kStretch;
  shape.InkLeft = static_cast<float>(shape.Left) / kSuper;
  shape.InkRight = static_cast<float>(shape.Left + shape.Hi.W) / kSuper;
  return shape;
}

float Quarter(float v) { return std::round(v * kSuper) / kSuper; }

// Cell width and pen origin: the face's advance plus tracking, widened where the ink and its
// outline would come closer than kMinPad to a cell edge. Digits share one width, so numbers that
// count up keep still.
void PlaceInCells(std::vector<Shape>& shapes) {
  const float reach = kMaxOutline + kMinPad;
  auto needs = [&](const Shape& s, float& origin) {
    origin = std::max(kTracking / 2, reach - s.InkLeft);
    const float right = std::max(origin + s.Advance + kTracking / 2, origin + s.InkRight + reach);
    return right;
  };
  float digitWidth = 0;
  for (Shape& s : shapes) {
    float origin = 0;
    const float right = needs(s, origin);
    if (s.Char >= '0' && s.Char <= '9') {
      // centred: the ink's middle on the cell's middle
      digitWidth = std::max(digitWidth, std::max(right, 2 * reach + (s.InkRight - s.InkLeft)));
      continue;
    }
    s.CellWidth = static_cast<int>(std::ceil(right));
    s.OriginX = Quarter(origin + (static_cast<float>(s.CellWidth) - right) / 2);
  }
  const int digitCell = static_cast<int>(std::ceil(digitWidth));
  for (Shape& s : shapes)
    if (s.Char >= '0' && s.Char <= '9') {
      s.CellWidth = digitCell;
      s.OriginX = Quarter(static_cast<float>(digitCell) / 2 - (s.InkLeft + s.InkRight) / 2);
    }
}

// Grey-scale dilation by a disc: the outline's coverage.
Mask Dilate(const Mask& m, float radius) {
  const int r = static_cast<int>(std::ceil(radius));
  std::vector<std::pair<int, int>> disc;
  std::vector<float> weight;
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
      const float w = std::clamp(radius + 0.5f - d, 0.0f, 1.0f);  // soft rim of the disc
      if (w > 0) {
        disc.push_back({dx, dy});
        weight.push_back(w);
      }
    }
  Mask out(m.W, m.H);
  for (int y = 0; y < m.H; ++y)
    for (int x = 0; x < m.W; ++x) {
      float best = 0;
      for (size_t i = 0; i < disc.size() && best < 1.0f; ++i)
        best = std::max(best, m.At(x + disc[i].first, y + disc[i].second) * weight[i]);
      out.Ref(x, y) = best;
    }
  return out;
}

Mask Downsample(const Mask& hi) {
  Mask out(hi.W / kSuper, hi.H / kSuper);
  for (int y = 0; y < out.H; ++y)
    for (int x = 0; x < out.W; ++x) {
      float sum = 0;
      for (int j = 0; j < kSuper; ++j)
        for (int i = 0; i < kSuper; ++i) sum += hi.At(x * kSuper + i, y * kSuper + j);
      out.Ref(x, y) = sum / (kSuper * kSuper);
    }
  return out;
}

Mask Shift(const Mask& m, int dx, int dy) {
  Mask out(m.W, m.H);
  for (int y = 0; y < m.H; ++y)
    for (int x = 0; x < m.W; ++x) out.Ref(x, y) = m.At(x - dx, y - dy);
  return out;
}

Mask Blur(const Mask& m, float sigma) {
  const int r = static_cast<int>(std::ceil(sigma * 3));
  std::vector<float> kernel(2 * r + 1);
  float total = 0;
  for (int i = -r; i <= r; ++i) total += kernel[i + r] = std::exp(-static_cast<float>(i * i) / (2 * sigma * sigma));
  for (float& k : kernel) k /= total;
  Mask across(m.W, m.H), out(m.W, m.H);
  for (int y = 0; y < m.H; ++y)
    for (int x = 0; x < m.W; ++x) {
      float s = 0;
      for (int i = -r; i <= r; ++i) s += m.At(x + i, y) * kernel[i + r];
      across.Ref(x, y) = s;
    }
  for (int y = 0; y < m.H; ++y)
    for (int x = 0; x < m.W; ++x) {
      float s = 0;
      for (int i = -r; i <= r; ++i) s += across.At(x, y + i) * kernel[i + r];
      out.Ref(x, y) = s;
    }
  return out;
}

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};

// Straight-alpha "over".
void Over(Rgba& dst, Rgb colour, float alpha) {
  const float a = alpha + dst.a * (1 - alpha);
  if (a <= 0) return;
  dst.r = (colour.r * alpha + dst.r * dst.a * (1 - alpha)) / a;
  dst.g = (colour.g * alpha + dst.g * dst.a * (1 - alpha)) / a;
  dst.b = (colour.b * alpha + dst.b * dst.a * (1 - alpha)) / a;
  dst.a = a;
}

// The finished cell of one glyph in one look, kBand rows high.
std::vector<Rgba> PaintCell(const Shape& s, const Look& look) {
  const int w = s.CellWidth;
  Mask fillHi(w * kSuper, kBand * kSuper);
  const int ox = static_cast<int>(std::lround(s.OriginX * kSuper)) + s.Left;
  const int oy = static_cast<int>(std::lround((kCapCentre + kCapHeight / 2) * kSuper)) - s.Top;
  for (int y = 0; y < s.Hi.H; ++y)
    for (int x = 0; x < s.Hi.W; ++x) {
      const int cx = ox + x, cy = oy + y;
      if (cx >= 0 && cy >= 0 && cx < fillHi.W && cy < fillHi.H) fillHi.Ref(cx, cy) = s.Hi.At(x, y);
    }
  const Mask outlineHi = Dilate(fillHi, look.OutlineRadius * kSuper);
  const Mask fill = Downsample(fillHi);
  const Mask outline = Downsample(outlineHi);
  const Mask shadow = Blur(Downsample(Shift(outlineHi, static_cast<int>(std::lround(look.ShadowDx * kSuper)),
                                            static_cast<int>(std::lround(look.ShadowDy * kSuper)))),
                           look.ShadowSigma);
  const Mask soft = Blur(fill, 0.9f);

  const float capTop = kCapCentre - kCapHeight / 2;
  std::vector<Rgba> cell(static_cast<size_t>(w) * kBand);
  for (int y = 0; y < kBand; ++y)
    for (int x = 0; x < w; ++x) {
      Rgba p;
      Over(p, Rgb{0, 0, 0}, shadow.At(x, y) * look.ShadowOpacity);
      Over(p, look.OutlineColour, outline.At(x, y) * look.OutlineOpacity);
      Rgb c = GradientAt(look.Gradient, (static_cast<float>(y) + 0.5f - capTop) / kCapHeight);
      // light from the upper left: brighter where the fill rises towards it, darker where it falls away
      const float slope = soft.At(x - 1, y - 1) - soft.At(x + 1, y + 1);
      const float light = 1.0f + look.Bevel * slope;
      c = {std::min(1.0f, c.r * light), std::min(1.0f, c.g * light), std::min(1.0f, c.b * light)};
      Over(p, c, fill.At(x, y));
      // the cell's border stays clear
      if (x == 0 || y == 0 || x == w - 1 || y == kBand - 1) p.a = 0;
      // invisible pixels carry the outline's colour, so filtering towards them darkens only the edge
      if (p.a < 1.0f / 512) p = Rgba{look.OutlineColour.r, look.OutlineColour.g, look.OutlineColour.b, 0};
      cell[static_cast<size_t>(y) * w + x] = p;
    }
  return cell;
}

uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

// Uncompressed 32-bit TGA, rows top first, 8 alpha bits.
void WriteTga(const std::string& path, int w, int h, const std::vector<Rgba>& pixels) {
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;
  bytes[12] = static_cast<uint8_t>(w & 255);
  bytes[13] = static_cast<uint8_t>(w >> 8);
  bytes[14] = static_cast<uint8_t>(h & 255);
  bytes[15] = static_cast<uint8_t>(h >> 8);
  bytes[16] = 32;
  bytes[17] = 0x28;
  for (const Rgba& p : pixels) {
    bytes.push_back(Byte(p.b));
    bytes.push_back(Byte(p.g));
    bytes.push_back(Byte(p.r));
    bytes.push_back(Byte(p.a));
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

// Renders the face into the game's four fonts: font.dat and font1.tga .. font4.tga in the folder.
void MakeFonts(const std::string& faceFile, const std::string& folder) {
  FT_Library library;
  Check(FT_Init_FreeType(&library), "FT_Init_FreeType");
  FT_Face face;
  Check(FT_New_Face(library, faceFile.c_str(), 0, &face), "FT_New_Face");
  Check(FT_Load_Char(face, 'H', FT_LOAD_NO_SCALE), "FT_Load_Char");
  const float capUnits = static_cast<float>(face->glyph->metrics.height);
  const float pixelsPerUnit = kCapHeight / capUnits;
  const float emPixels = pixelsPerUnit * static_cast<float>(face->units_per_EM);
  Check(FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(emPixels * kSuper * 64)), 72, 72),
        "FT_Set_Char_Size");

  std::vector<Shape> shapes;
  for (char c : kGlyphChars) shapes.push_back(RenderShape(face, c, pixelsPerUnit));
  PlaceInCells(shapes);

  // Rows of cells in glyph order.
  std::vector<std::vector<int>> rows(1);
  int rowWidth = 0;
  for (int i = 0; i < static_cast<int>(shapes.size()); ++i) {
    if (rowWidth + shapes[i].CellWidth > kTextureWidth) {
      rows.emplace_back();
      rowWidth = 0;
    }
    rows.back().push_back(i);
    rowWidth += shapes[i].CellWidth;
  }
  const int height = kBand * static_cast<int>(rows.size());

  std::ofstream dat(folder + "/font.dat", std::ios::binary);
  dat << "Texture width in pixels\n"
      << kTextureWidth << "\nGlyph rows, each a band of the texture height\n"
      << rows.size() << "\n";
  for (const auto& row : rows) {
    int x = 0;
    dat << x;
    for (int i : row) dat << ' ' << (x += shapes[i].CellWidth);
    dat << "\n";
  }
  if (!dat.flush()) throw std::runtime_error("cannot write font.dat");

  const std::array<Look, 4> looks = Looks();
  for (int font = 0; font < 4; ++font) {
    std::vector<Rgba> texture(
        static_cast<size_t>(kTextureWidth) * height,
        Rgba{looks[font].OutlineColour.r, looks[font].OutlineColour.g, looks[font].OutlineColour.b, 0});
    for (size_t r = 0; r < rows.size(); ++r) {
      int x0 = 0;
      for (int i : rows[r]) {
        const Shape& s = shapes[i];
        const std::vector<Rgba> cell = PaintCell(s, looks[font]);
        for (int y = 0; y < kBand; ++y)
          for (int x = 0; x < s.CellWidth; ++x)
            texture[(r * kBand + y) * kTextureWidth + x0 + x] = cell[static_cast<size_t>(y) * s.CellWidth + x];
        x0 += s.CellWidth;
      }
    }
    WriteTga(folder + "/font" + std::to_string(font + 1) + ".tga", kTextureWidth, height, texture);
  }
  std::printf("%zu glyphs in %zu rows, textures %dx%d, capitals %.0f px\n", shapes.size(), rows.size(), kTextureWidth,
              height, static_cast<double>(kCapHeight));
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

}  // namespace

int main(int argc, char** argv) {
  return RunFontTool(argc, argv, "make_fonts", "<face.ttf> <output folder>", MakeFonts);
}
