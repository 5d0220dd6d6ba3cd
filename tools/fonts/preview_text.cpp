// Renders sample screens with the game's fonts, to look at them before they ship:
//
//   preview_text <fonts folder> <output folder>
//
// Reads font.dat and font1..4.tga exactly as the game does, lays the texts out with the game's own
// text layout at the positions the game uses, projects them through the game's camera into a
// 1024x768 picture (trilinear filtering over a box-filtered mip chain, alpha blending) over a dark,
// busy stand-in background, and writes PNG files. It also prints the width of the texts the game
// centres, as a check of the glyph widths.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "device/image_file.h"
#include "font_tool.h"
#include "render/font_file.h"
#include "render/text_layout.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr float kCx = 5.5f, kCy = 10.5f;  // glass centre, world units
constexpr float kCameraZ = -19.0f;

struct Colour {
  float r = 0, g = 0, b = 0, a = 0;  // 0..1
};

struct Level {
  int W = 0, H = 0;
  std::vector<Colour> P;
  Colour At(int x, int y) const {
    x = std::clamp(x, 0, W - 1);
    y = std::clamp(y, 0, H - 1);
    return P[static_cast<size_t>(y) * W + x];
  }
};

// A texture with its mip chain, as the device builds it.
struct Texture {
  std::vector<Level> Levels;
};

Level ToLevel(const zt::Image& picture) {
  Level level{picture.Width, picture.Height, {}};
  auto channel = [](uint32_t argb, int shift) { return ((argb >> shift) & 0xFF) / 255.0f; };
  for (uint32_t p : picture.Argb) level.P.push_back({channel(p, 16), channel(p, 8), channel(p, 0), channel(p, 24)});
  return level;
}

// The picture and its box-filtered mip chain, made the way the device makes them.
Texture LoadTexture(const std::string& path) {
  zt::Image picture;
  std::string error;
  if (!zt::ReadImageFile(path, picture, error)) throw std::runtime_error(error);
  Texture t;
  t.Levels.push_back(ToLevel(picture));
  while (picture.Width > 1 || picture.Height > 1) {
    picture = zt::HalveImage(picture);
    t.Levels.push_back(ToLevel(picture));
  }
  return t;
}

Colour Mix(const Colour& a, const Colour& b, float f) {
  return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f, a.a + (b.a - a.a) * f};
}

Colour Bilinear(const Level& l, float u, float v) {
  const float x = u * l.W - 0.5f, y = v * l.H - 0.5f;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = x - x0, fy = y - y0;
  return Mix(Mix(l.At(x0, y0), l.At(x0 + 1, y0), fx), Mix(l.At(x0, y0 + 1), l.At(x0 + 1, y0 + 1), fx), fy);
}

Colour Trilinear(const Texture& t, float u, float v, float lod) {
  lod = std::clamp(lod, 0.0f, static_cast<float>(t.Levels.size() - 1));
  const int l0 = static_cast<int>(std::floor(lod));
  const int l1 = std::min(l0 + 1, static_cast<int>(t.Levels.size()) - 1);
  return Mix(Bilinear(t.Levels[l0], u, v), Bilinear(t.Levels[l1], u, v), lod - l0);
}

struct Picture {
  std::vector<Colour> P = std::vector<Colour>(kWidth * kHeight);
  Colour& At(int x, int y) { return P[static_cast<size_t>(y) * kWidth + x]; }
  void Blend(int x, int y, Colour c, float alpha) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
    Colour& d = At(x, y);
    d.r = c.r * alpha + d.r * (1 - alpha);
    d.g = c.g * alpha + d.g * (1 - alpha);
    d.b = c.b * alpha + d.b * (1 - alpha);
  }
  void Save(const std::string& path) const {
    zt::Image picture{kWidth, kHeight, {}};
    auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    for (const Colour& c : P) picture.Argb.push_back(0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b));
    if (!zt::WritePngFile(path, picture)) throw std::runtime_error("cannot write " + path);
    std::printf("wrote %s\n", path.c_str());
  }
};

// The game's camera: eye at (cx, cy, -19) looking along +z, vertical field of view 1 radian.
struct Camera {
  float Focal = (kHeight / 2.0f) / std::tan(0.5f);
  float Zoom = 1.0f;  // extra magnification about the screen centre, for close-up sheets
  float ScreenX(float x, float z) const { return kWidth / 2.0f + (x - kCx) * Focal * Zoom / (z - kCameraZ); }
  float ScreenY(float y, float z) const { return kHeight / 2.0f - (y - kCy) * Focal * Zoom / (z - kCameraZ); }
};

struct Fonts {
  zt::FontMetrics Metrics;
  std::array<Texture, 4> Textures;
};

void DrawString(Picture& pic, const Camera& cam, const Fonts& fonts, int font, int size, const std::string& text,
                float x, float y, float z, int alpha) {
  const Texture& tex = fonts.Textures[font - 1];
  const zt::TextLayout layout = zt::LayOutText(fonts.Metrics, size, text, x, y);
  for (const zt::GlyphQuad& q : layout.Quads) {
    const float sx0 = cam.ScreenX(q.X0, z), sx1 = cam.ScreenX(q.X1, z);
    const float sy0 = cam.ScreenY(q.Y0, z), sy1 = cam.ScreenY(q.Y1, z);
    if (sx1 <= sx0 || sy1 <= sy0) continue;
    const float texelsX = (q.U1 - q.U0) * tex.Levels[0].W / (sx1 - sx0);
    const float texelsY = (q.V1 - q.V0) * tex.Levels[0].H / (sy1 - sy0);
    const float lod = std::log2(std::max({texelsX, texelsY, 1e-6f}));
    for (int py = static_cast<int>(std::ceil(sy0 - 0.5f)); py + 0.5f < sy1; ++py)
      for (int px = static_cast<int>(std::ceil(sx0 - 0.5f)); px + 0.5f < sx1; ++px) {
        const float u = q.U0 + (px + 0.5f - sx0) / (sx1 - sx0) * (q.U1 - q.U0);
        const float v = q.V0 + (py + 0.5f - sy0) / (sy1 - sy0) * (q.V1 - q.V0);
        const Colour c = Trilinear(tex, u, v, lod);
        pic.Blend(px, py, c, c.a * alpha / 255.0f);
      }
  }
}

// Deterministic noise for the stand-in backgrounds.
struct Noise {
  uint32_t State = 12345;
  float Next() {
    State = State * 1664525u + 1013904223u;
    return static_cast<float>(State >> 8) / 16777216.0f;
  }
};

// A dark, busy picture like the game's backgrounds: a deep gradient, glowing blobs, streaks, grain.
void PaintBackground(Picture& pic, uint32_t seed, Colour tint) {
  Noise n{seed};
  struct Blob {
    float x, y, r;
    Colour c;
  };
  std::vector<Blob> blobs;
  for (int i = 0; i < 40; ++i)
    blobs.push_back(
        {n.Next() * kWidth,
         n.Next() * kHeight,
         20 + n.Next() * 140,
         {0.2f + n.Next() * 0.8f, 0.2f + n.Next() * 0.8f, 0.2f + n.Next() * 0.8f, 0.25f + n.Next() * 0.45f}});
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const float t = static_cast<float>(y) / kHeight;
      Colour c{tint.r * (0.35f - 0.2f * t), tint.g * (0.35f - 0.2f * t), tint.b * (0.35f - 0.2f * t), 1};
      for (const Blob& b : blobs) {
        const float d2 = ((x - b.x) * (x - b.x) + (y - b.y) * (y - b.y)) / (b.r * b.r);
        if (d2 < 4) {
          const float w = std::exp(-d2 * 2) * b.c.a;
          c.r += b.c.r * w;
          c.g += b.c.g * w;
          c.b += b.c.b * w;
        }
      }
      const float streak = 0.5f + 0.5f * std::sin((x * 0.9f + y * 1.7f) * 0.05f);
      const float grain = n.Next() * 0.08f;
      c.r += streak * 0.05f + grain;
      c.g += streak * 0.04f + grain;
      c.b += streak * 0.07f + grain;
      pic.At(x, y) = c;
    }
}

void FillRect(Picture& pic, const Camera& cam, float x0, float y0, float x1, float y1, float z, Colour c, float alpha) {
  const int px0 = static_cast<int>(cam.ScreenX(x0, z)), px1 = static_cast<int>(cam.ScreenX(x1, z));
  const int py0 = static_cast<int>(cam.ScreenY(y1, z)), py1 = static_cast<int>(cam.ScreenY(y0, z));
  for (int y = py0; y < py1; ++y)
    for (int x = px0; x < px1; ++x) pic.Blend(x, y, c, alpha);
}

// The glass with a few bright bricks, so texts near it sit on a busy scene.
void PaintGlass(Picture& pic, const Camera& cam) {
  FillRect(pic, cam, 0.5f, 0.5f, 10.5f, 20.5f, 0, {0.05f, 0.06f, 0.1f, 1}, 0.55f);
  Noise n{77};
  const Colour palette[] = {{0.9f, 0.2f, 0.2f, 1},  {0.2f, 0.8f, 0.3f, 1}, {0.2f, 0.4f, 0.95f, 1},
                            {0.95f, 0.8f, 0.2f, 1}, {0.8f, 0.3f, 0.9f, 1}, {0.2f, 0.85f, 0.9f, 1}};
  for (int row = 1; row <= 8; ++row)
    for (int col = 1; col <= 10; ++col) {
      if (n.Next() < 0.25f + row * 0.06f) continue;
      const Colour c = palette[static_cast<int>(n.Next() * 6)];
      FillRect(pic, cam, col - 0.5f, row - 0.5f, col + 0.5f, row + 0.5f, 0, {c.r * 0.5f, c.g * 0.5f, c.b * 0.5f, 1}, 1);
      FillRect(pic, cam, col - 0.42f, row - 0.42f, col + 0.42f, row + 0.42f, 0, c, 1);
    }
  for (float x : {0.3f, 10.5f}) FillRect(pic, cam, x, 0.3f, x + 0.2f, 20.7f, 0, {0.6f, 0.7f, 0.9f, 1}, 0.6f);
  FillRect(pic, cam, 0.3f, 0.3f, 10.7f, 0.5f, 0, {0.6f, 0.7f, 0.9f, 1}, 0.6f);
}

void Backdrop(Picture& pic) {
  for (Colour& c : pic.P) {
    c.r = c.r * 0.5f + 40 / 255.0f * 0.5f;
    c.g = c.g * 0.5f + 40 / 255.0f * 0.5f;
    c.b = c.b * 0.5f + 40 / 255.0f * 0.5f;
  }
}

// A page of the menu: its background, darkened behind the texts.
Picture MenuPage(uint32_t seed, Colour tint) {
  Picture pic;
  PaintBackground(pic, seed, tint);
  Backdrop(pic);
  return pic;
}

void GameScene(const Fonts& f, const std::string& out, int gameType, const std::string& message, float messageX,
               int messageSize, int bonus) {
  Picture pic;
  Camera cam;
  PaintBackground(pic, 1000 + gameType, gameType % 2 ? Colour{0.5f, 0.6f, 1.0f, 1} : Colour{1.0f, 0.55f, 0.5f, 1});
  PaintGlass(pic, cam);
  auto text = [&](int font, int size, const std::string& s, float dx, float dy) {
    DrawString(pic, cam, f, font, size, s, kCx + dx, kCy + dy, 0, 255);
  };
  const char* names[] = {"Torvane", "Redara", "Vodoza", "Kids", "Retro"};
  const float nameDx[] = {7.0f, 7.82f, 7.75f, 8.33f, 8.06f};
  const int fNext = gameType == 2 || gameType == 4 ? 2 : 1;
  text(2, 5, "Next:", -13.3f, 7.8f);
  text(4, 4, "Scores: 123456", -13.3f, 3.0f);
  text(4, 4, "Lines: 87", -13.3f, 1.8f);
  text(4, 4, "Level: 9", -13.3f, 0.6f);
  text(2, 4, "Speed: 42", -13.3f, -1.8f);
  text(2, 4, gameType == 5 ? "Position: None" : "Position: 4", -13.3f, -3.0f);
  text(1, 5, "Game Time:", 7.02f, 7.8f);
  text(4, 5, "02:05", 8.35f, 6.6f);
  text(1, 5, "Game Type:", 7.0f, 2.3f);
  text(4, 5, names[gameType - 1], nameDx[gameType - 1], 1.1f);
  text(fNext, 4, "Next Score: 234567", 6.5f, -1.8f);
  text(fNext, 4, "Best Score: 987654", 6.5f, -3.0f);
  if (gameType == 5) text(1, 4, "Lines Added: 3", 7.0f, -6.75f);
  text(2, 3, "Time", 8.9f, -6.0f);
  if (gameType == 1) {
    text(2, 3, "Bomb", 7.6f, -7.5f);
    text(2, 3, "Power", 10.18f, -7.5f);
  } else if (gameType != 5) {
    text(2, 3, "Bomb Power", 8.0f, -7.5f);
  }
  DrawString(pic, cam, f, 4, messageSize, message, kCx + messageX, kCy + 6.6f, -1.5f, 255);
  if (bonus != 0) DrawString(pic, cam, f, 2, 4, "Bonus " + std::to_string(bonus), kCx - 1.7f, kCy + 5.9f, -1.5f, 255);
  pic.Save(out);
}

void HelpScreen(const Fonts& f, const std::string& out) {
  Picture pic = MenuPage(7, {0.6f, 0.5f, 1.0f, 1});
  Camera cam;
  struct Line {
    const char* text;
    int font, size;
    float dx, dy;
  };
  const Line lines[] = {
      {"Game Help", 4, 6, -2.9f, 5.6f},
      {"The rules of Zellory Torvane are similar to those", 2, 4, -10, 4.6f},
      {"of a regular zellory game, however here you will", 2, 4, -10, 3.8f},
      {"have to deal with somewhat unusually shaped", 2, 4, -10, 3.0f},
      {"blocks and interesting bonuses. Your result will", 2, 4, -10, 2.2f},
      {"depend to a great extent not only on your skill but", 2, 4, -10, 1.4f},
      {"also your speed. If you don't believe us, see for", 2, 4, -10, 0.6f},
      {"yourself!", 2, 4, -10, -0.2f},
      {"Control Keys:", 4, 5, -10, -1.5f},
      {"Left arrow - Move left", 2, 4, -10, -2.5f},
      {"Right arrow - Move right", 2, 4, -10, -3.3f},
      {"Up arrow - Rotate", 2, 4, -10, -4.1f},
      {"Down arrow - Move down", 2, 4, -10, -4.9f},
      {"Space - Drops it faster", 2, 4, -10, -5.7f},
      {"Ctrl - Turbo drop", 2, 4, -10, -6.5f},
      {"Esc - Exit or return", 2, 4, -10, -7.3f},
      {"Press Esc to return", 2, 7, -6.2f, -9.6f},
  };
  for (const Line& l : lines) DrawString(pic, cam, f, l.font, l.size, l.text, kCx + l.dx, kCy + l.dy, 0, 255);
  pic.Save(out);
}

void ScoreScreen(const Fonts& f, const std::string& out) {
  Picture pic = MenuPage(9, {1.0f, 0.7f, 0.4f, 1});
  Camera cam;
  DrawString(pic, cam, f, 4, 7, "Torvane", kCx - 3.2f, kCy + 5.5f, 0, 255);
  const char* names[] = {"Marta",   "Olek",      "J. Pike", "Sandor", "Quinn <3",
                         "Wu Zhen", "Anonymous", "Rebecca", "Ivo",    "Yasmin"};
  for (int i = 1; i <= 10; ++i) {
    const float y = kCy + 5.2f - 1.2f * i;
    int font = i <= 3 ? 4 : 2;
    std::string name = names[i - 1];
    if (i == 5) {
      font = 1;
      name = "Lucky$ 77|";
    }
    DrawString(pic, cam, f, font, 6, name, kCx - 10, y, 0, 255);
    DrawString(pic, cam, f, font, 6, std::to_string(250000 - i * 21357), kCx + 6.7f, y, 0, 255);
  }
  DrawString(pic, cam, f, 2, 7, "Enter your name", kCx - 5.5f, kCy - 9.6f, 0, 255);
  pic.Save(out);
}

// Close-ups: the four looks side by side, magnified, and every glyph of each font.
void Sheet(const Fonts& f, const std::string& out) {
  Picture pic;
  PaintBackground(pic, 3, {0.7f, 0.7f, 0.9f, 1});
  Camera cam;
  cam.Zoom = 2.2f;
  const char* samples[] = {"Score: 12345", "Level 3", "PAUSE", "Bonus 500"};
  for (int font = 1; font <= 4; ++font)
    DrawString(pic, cam, f, font, 7, samples[font - 1], kCx - 5.6f, kCy + 5.2f - 1.35f * font, 0, 255);
  Camera plain;
  for (int font = 1; font <= 4; ++font) {
    DrawString(pic, plain, f, font, 5, "0123456789 ABCDEFGHIJKLM", kCx - 13.2f, kCy - 1.6f - 1.75f * font, 0, 255);
    DrawString(pic, plain, f, font, 5, "NOPQRSTUVWXYZ :,!<>'-.+/|=?@$", kCx - 13.2f, kCy - 2.45f - 1.75f * font, 0,
               255);
  }
  pic.Save(out);
}

void ReportWidths(const Fonts& f) {
  struct Centred {
    const char* text;
    int size;
    float left;  // the x offset the game draws it at, relative to the point it is centred on
  };
  const Centred centred[] = {{"Four Lines Cleared!", 5, -4.3f},
                             {"Three Lines Cleared!", 5, -4.6f},
                             {"Level 3", 7, -2.4f},
                             {"Warning...", 6, -2.7f},
                             {"Game Help", 6, -2.9f},
                             {"Press Esc to return", 7, -6.2f},
                             {"Press Esc to exit", 7, -5.5f},
                             {"Enter your name", 7, -5.5f}};
  std::printf("centred texts: width as laid out vs. width the position implies (world units)\n");
  for (const Centred& c : centred) {
    const zt::TextLayout l = zt::LayOutText(f.Metrics, c.size, c.text, 0, 0);
    std::printf("  %-22s size %d: %6.2f vs %6.2f\n", c.text, c.size, static_cast<double>(l.EndX),
                static_cast<double>(-2 * c.left));
  }
  const float visibleHalfWidth = 19.0f * std::tan(0.5f) / 0.75f;
  const zt::TextLayout widest = zt::LayOutText(f.Metrics, 4, "Next Score: 1234567", kCx + 6.5f, 0);
  const zt::TextLayout help =
      zt::LayOutText(f.Metrics, 4, "depend to a great extent not only on your skill but", kCx - 10, 0);
  std::printf("right panel \"Next Score: 1234567\" ends %.2f units right of the glass centre (screen edge %.2f)\n",
              static_cast<double>(widest.EndX - kCx), static_cast<double>(visibleHalfWidth));
  std::printf("longest help line ends %.2f units right of the centre\n", static_cast<double>(help.EndX - kCx));
}

// Renders the sample screens with the fonts of the first folder into the second.
void RenderPreviews(const std::string& in, const std::string& out) {
  Fonts fonts;
  fonts.Metrics = zt::LoadLetterTexCoords(in + "/font.dat");
  for (int i = 0; i < 4; ++i) fonts.Textures[i] = LoadTexture(in + "/font" + std::to_string(i + 1) + ".tga");
  ReportWidths(fonts);
  GameScene(fonts, out + "/game_torvane.png", 1, "Four Lines Cleared!", -4.3f, 5, 500);
  GameScene(fonts, out + "/game_retro.png", 5, "Level 3", -2.4f, 7, 0);
  GameScene(fonts, out + "/game_kids.png", 4, "Warning...", -2.7f, 6, 0);
  HelpScreen(fonts, out + "/help.png");
  ScoreScreen(fonts, out + "/scores.png");
  Sheet(fonts, out + "/sheet.png");
}

}  // namespace

int main(int argc, char** argv) {
  return RunFontTool(argc, argv, "preview_text", "<fonts folder> <output folder>", RenderPreviews);
}
