#include "render/brick_emboss.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zt {

// Each figure of a game type's seven has its own pattern (colours 1..7, 35..41 and 42..48 are
// the same seven); the other colours of the Redara pool share a pattern only with colours that
// look far from them to every eye; the added lines' bricks have a pattern of their own.
const std::array<BrickEmboss, kBrickColors> kColourBlindEmbosses = [] {
  using enum BrickEmboss;
  return std::array<BrickEmboss, kBrickColors>{
      kDisc,     kRing,     kPlus, kSaltire,  kBars,     kFourDots, kTriangle, kBars,     kDisc,     kDisc,
      kTriangle, kFourDots, kPlus, kFourDots, kTriangle, kDisc,     kFourDots, kFourDots, kRing,     kDisc,
      kDisc,     kSaltire,  kPlus, kSaltire,  kTriangle, kSaltire,  kBars,     kRing,     kBars,     kSaltire,
      kTriangle, kRing,     kBars, kPlus,     kDisc,     kRing,     kPlus,     kSaltire,  kBars,     kFourDots,
      kTriangle, kDisc,     kRing, kPlus,     kSaltire,  kBars,     kFourDots, kTriangle, kNineDots,
  };
}();

namespace {

constexpr float kPatternHalfSize = 0.33f;         // of the picture's side: the pattern fills the face inside the bevel
constexpr float kRimWidth = 0.09f;                // of the pattern's half size: the slope from the face up to its top
constexpr float kTopDarkening = 0.3f;             // the pattern's top, darker than the face by this share
constexpr float kRimLight = 0.6f;                 // how much a rim facing the light brightens (the other side darkens)
constexpr float kLightX = -0.8f, kLightY = 0.6f;  // towards the light, in picture terms: left and down, as the
                                                  // bevel is lit

float Rectangle(float u, float v, float halfWidth, float halfHeight) {
  const float dx = std::abs(u) - halfWidth, dy = std::abs(v) - halfHeight;
  return std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f)) + std::min(std::max(dx, dy), 0.0f);
}

float Dot(float u, float v, float centreU, float centreV, float radius) {
  return std::hypot(u - centreU, v - centreV) - radius;
}

float Cross(float u, float v, float arm, float thickness) {
  return std::min(Rectangle(u, v, arm, thickness), Rectangle(u, v, thickness, arm));
}

// How far (u, v) lies outside the pattern, in its own units (-1..1 across the face); negative inside.
float PatternDistance(BrickEmboss emboss, float u, float v) {
  constexpr float kDiagonal = 0.70710678f;
  switch (emboss) {
    case BrickEmboss::kDisc:
      return Dot(u, v, 0, 0, 0.42f);
    case BrickEmboss::kRing:
      return std::abs(Dot(u, v, 0, 0, 0.52f)) - 0.13f;
    case BrickEmboss::kPlus:
      return Cross(u, v, 0.62f, 0.15f);
    case BrickEmboss::kSaltire:
      return Cross((u + v) * kDiagonal, (u - v) * kDiagonal, 0.68f, 0.14f);
    case BrickEmboss::kBars:
      return std::min({Rectangle(u, v + 0.42f, 0.62f, 0.11f), Rectangle(u, v, 0.62f, 0.11f),
                       Rectangle(u, v - 0.42f, 0.62f, 0.11f)});
    case BrickEmboss::kFourDots:
      return std::min({Dot(u, v, -0.45f, -0.45f, 0.2f), Dot(u, v, 0.45f, -0.45f, 0.2f), Dot(u, v, -0.45f, 0.45f, 0.2f),
                       Dot(u, v, 0.45f, 0.45f, 0.2f)});
    case BrickEmboss::kTriangle: {
      // apex up on the screen, where the picture shows turned over; its sides 0.3 from a centre
      // a little below the face's
      const float w = -v - 0.1f;
      return std::max(w, 0.866f * std::abs(u) - 0.5f * w) - 0.3f;
    }
    case BrickEmboss::kNineDots: {
      float nearest = INFINITY;
      for (float du : {-0.5f, 0.0f, 0.5f})
        for (float dv : {-0.5f, 0.0f, 0.5f}) nearest = std::min(nearest, Dot(u, v, du, dv, 0.13f));
      return nearest;
    }
  }
  return INFINITY;
}

// 0 on the face, 1 on the pattern's top, rising smoothly across the rim.
float Height(float distance) {
  const float t = std::clamp(0.5f - distance / kRimWidth, 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// The pattern's heights over the picture, row by row from the top.
std::vector<float> HeightField(BrickEmboss emboss, int width, int height) {
  std::vector<float> heights(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float u = ((static_cast<float>(x) + 0.5f) / static_cast<float>(width) - 0.5f) / kPatternHalfSize;
      const float v = ((static_cast<float>(y) + 0.5f) / static_cast<float>(height) - 0.5f) / kPatternHalfSize;
      heights[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
          Height(PatternDistance(emboss, u, v));
    }
  return heights;
}

}  // namespace

BrickPicture EmbossedBrick(const BrickPicture& face, BrickEmboss emboss) {
  const int width = face.Width, height = face.Height;
  const std::vector<float> heights = HeightField(emboss, width, height);
  auto at = [&](int x, int y) {
    return heights[static_cast<size_t>(std::clamp(y, 0, height - 1)) * static_cast<size_t>(width) +
                   static_cast<size_t>(std::clamp(x, 0, width - 1))];
  };
  // A slope in rim widths: a pixel step of the picture is this much of the pattern's units.
  const float perPixelX = kRimWidth * 2 * kPatternHalfSize * static_cast<float>(width) / 2;
  const float perPixelY = kRimWidth * 2 * kPatternHalfSize * static_cast<float>(height) / 2;
  BrickPicture embossed = face;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float slopeX = (at(x + 1, y) - at(x - 1, y)) / 2 * perPixelX;
      const float slopeY = (at(x, y + 1) - at(x, y - 1)) / 2 * perPixelY;
      const float facing = -(slopeX * kLightX + slopeY * kLightY);
      const float factor = std::clamp(1 + kRimLight * facing - kTopDarkening * at(x, y), 0.35f, 1.6f);
      uint8_t* pixel = embossed.Bgr.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + x) * 3;
      for (int channel = 0; channel < 3; ++channel)
        pixel[channel] = static_cast<uint8_t>(std::clamp(std::lround(pixel[channel] * factor), 0L, 255L));
    }
  return embossed;
}

}  // namespace zt
