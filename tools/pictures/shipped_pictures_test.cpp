// The shipped pictures under game/textures: each one is there, in the file format its loader
// expects, at its power-of-two size; the pictures cut out with the white colour key have white
// around them; particle and trail textures fade out before their borders.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

enum class Format { Bmp24, Tga32, Jpeg };

struct Expected {
  const char* name;
  Format format;
  int width;
  int height;
  bool keyed;  // loaded with the white colour key
};

const Expected kPictures[] = {
    {"intro.jpg", Format::Jpeg, 1024, 1024, false},
    {"background.jpg", Format::Jpeg, 1024, 1024, false},
    {"bkgrgame.jpg", Format::Jpeg, 1024, 1024, false},
    {"bkgrgame2.jpg", Format::Jpeg, 1024, 1024, false},
    {"bkgrgame3.jpg", Format::Jpeg, 1024, 1024, false},
    {"bkgrgame4.jpg", Format::Jpeg, 1024, 1024, false},
    {"bkgrgame5.jpg", Format::Jpeg, 1024, 1024, false},
    {"backhelp.jpg", Format::Jpeg, 1024, 1024, true},
    {"loadingprogress.bmp", Format::Bmp24, 512, 32, false},
    {"loadingline2.bmp", Format::Bmp24, 256, 32, false},
    {"progressline2.bmp", Format::Bmp24, 256, 32, false},
    {"loadingline3.tga", Format::Tga32, 256, 32, false},
    {"progressline3.tga", Format::Tga32, 256, 32, false},
    {"motionblur.tga", Format::Tga32, 64, 128, false},
    {"gameover.bmp", Format::Bmp24, 1024, 256, false},
    {"pause.bmp", Format::Bmp24, 1024, 256, false},
    {"abortgame.bmp", Format::Bmp24, 1024, 256, false},
    {"newgame.bmp", Format::Bmp24, 512, 128, false},
    {"options.bmp", Format::Bmp24, 512, 128, false},
    {"highscores.bmp", Format::Bmp24, 512, 128, false},
    {"help.bmp", Format::Bmp24, 512, 128, false},
    {"exit.bmp", Format::Bmp24, 512, 128, false},
    {"sound.bmp", Format::Bmp24, 512, 128, false},
    {"music.bmp", Format::Bmp24, 512, 128, false},
    {"rotation.bmp", Format::Bmp24, 512, 128, false},
    {"quality.bmp", Format::Bmp24, 512, 128, false},
    {"return.bmp", Format::Bmp24, 512, 128, false},
    {"zellory1.bmp", Format::Bmp24, 512, 128, false},
    {"zellory2.bmp", Format::Bmp24, 512, 128, false},
    {"zellory3.bmp", Format::Bmp24, 512, 128, false},
    {"zellory4.bmp", Format::Bmp24, 512, 128, false},
    {"zellory5.bmp", Format::Bmp24, 512, 128, false},
    {"return2.bmp", Format::Bmp24, 512, 128, false},
    {"cw.bmp", Format::Bmp24, 256, 128, true},
    {"ccw.bmp", Format::Bmp24, 256, 128, true},
    {"low.bmp", Format::Bmp24, 256, 128, true},
    {"medium.bmp", Format::Bmp24, 256, 128, true},
    {"high.bmp", Format::Bmp24, 256, 128, true},
    {"stripe.bmp", Format::Bmp24, 512, 64, true},
    {"effect.tga", Format::Tga32, 64, 64, false},
    {"sparkle.tga", Format::Tga32, 64, 64, false},
    {"sparkle2.tga", Format::Tga32, 64, 64, false},
    {"explosion.tga", Format::Tga32, 128, 128, false},
    {"smoke.tga", Format::Tga32, 64, 64, false},
};

std::string PathOf(const std::string& name) { return std::string(ZT_GAME_DIR) + "/textures/" + name; }

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
  return v;
}

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// A decoded picture, rows top first, four channels.
struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
  const std::uint8_t* At(int x, int y) const {
    return &rgba.at((static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4);
  }
};

Pixels Decode(const std::string& path) {
  Pixels p;
  int channels = 0;
  stbi_uc* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 4);
  if (data != nullptr) {
    p.rgba.assign(data, data + static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 4);
    stbi_image_free(data);
  }
  return p;
}

// Width and height from a 24-bit uncompressed bitmap with a BITMAPINFOHEADER; fails otherwise.
void CheckBmp24(const std::vector<std::uint8_t>& b, const Expected& e) {
  ASSERT_GE(b.size(), 54u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  const std::uint32_t dataOffset = Le(b, 10, 4);
  EXPECT_GE(Le(b, 14, 4), 40u) << "info header size";
  const auto width = static_cast<std::int32_t>(Le(b, 18, 4));
  const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
  EXPECT_EQ(Le(b, 26, 2), 1u) << "planes";
  EXPECT_EQ(Le(b, 28, 2), 24u) << "bits per pixel";
  EXPECT_EQ(Le(b, 30, 4), 0u) << "compression";
  EXPECT_EQ(width, e.width);
  EXPECT_EQ(height, e.height) << "rows are stored bottom-up with a positive height";
  const std::size_t stride = (static_cast<std::size_t>(e.width) * 3 + 3) / 4 * 4;
  EXPECT_GE(b.size(), dataOffset + stride * static_cast<std::size_t>(e.height)) << "pixel data is cut short";
}

void CheckTga32(const std::vector<std::uint8_t>& b, const Expected& e) {
  ASSERT_GE(b.size(), 18u);
  EXPECT_EQ(b[1], 0) << "no colour map";
  EXPECT_TRUE(b[2] == 2 || b[2] == 10) << "true-colour image, plain or run-length";
  EXPECT_EQ(Le(b, 12, 2), static_cast<std::uint32_t>(e.width));
  EXPECT_EQ(Le(b, 14, 2), static_cast<std::uint32_t>(e.height));
  EXPECT_EQ(b[16], 32) << "bits per pixel";
  EXPECT_EQ(b[17] & 0x0F, 8) << "alpha bits";
  if (b[2] == 2) {
    EXPECT_GE(b.size(), 18u + b[0] + static_cast<std::size_t>(e.width) * static_cast<std::size_t>(e.height) * 4);
  }
}

// Baseline JPEG: the frame header is SOF0, three components; progressive files are refused.
void CheckJpeg(const std::vector<std::uint8_t>& b, const Expected& e) {
  ASSERT_GE(b.size(), 4u);
  ASSERT_EQ(b[0], 0xFF);
  ASSERT_EQ(b[1], 0xD8);
  std::size_t at = 2;
  while (at + 4 <= b.size()) {
    ASSERT_EQ(b[at], 0xFF) << "marker expected at byte " << at;
    const std::uint8_t marker = b[at + 1];
    const std::size_t length = (static_cast<std::size_t>(b[at + 2]) << 8) | b[at + 3];
    if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      FAIL() << "frame type 0x" << std::hex << int(marker) << " is not baseline";
    if (marker == 0xC0) {
      ASSERT_GE(b.size(), at + 10);
      EXPECT_EQ(b[at + 4], 8) << "sample precision";
      EXPECT_EQ((b[at + 5] << 8) | b[at + 6], e.height);
      EXPECT_EQ((b[at + 7] << 8) | b[at + 8], e.width);
      EXPECT_EQ(b[at + 9], 3) << "colour components";
      return;
    }
    at += 2 + length;
  }
  FAIL() << "no baseline frame header";
}

TEST(ShippedPictures, EveryFileHasItsFormatAndPowerOfTwoSize) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.name);
    const std::vector<std::uint8_t> bytes = ReadAll(PathOf(e.name));
    ASSERT_FALSE(bytes.empty()) << "missing or empty";
    EXPECT_TRUE(PowerOfTwo(e.width) && PowerOfTwo(e.height));
    switch (e.format) {
      case Format::Bmp24:
        CheckBmp24(bytes, e);
        break;
      case Format::Tga32:
        CheckTga32(bytes, e);
        break;
      case Format::Jpeg:
        CheckJpeg(bytes, e);
        break;
    }
    // The texture loader's decoder reads it at the same size.
    const Pixels p = Decode(PathOf(e.name));
    EXPECT_EQ(p.width, e.width);
    EXPECT_EQ(p.height, e.height);
  }
}

TEST(ShippedPictures, KeyedPicturesStandOnExactWhiteAndKeepTheirShapes) {
  for (const Expected& e : kPictures) {
    if (!e.keyed) continue;
    SCOPED_TRACE(e.name);
    const Pixels p = Decode(PathOf(e.name));
    ASSERT_EQ(p.width, e.width);
    const int corners[4][2] = {{0, 0}, {e.width - 1, 0}, {0, e.height - 1}, {e.width - 1, e.height - 1}};
    for (const auto& c : corners) {
      const std::uint8_t* px = p.At(c[0], c[1]);
      EXPECT_TRUE(px[0] == 255 && px[1] == 255 && px[2] == 255) << "corner " << c[0] << "," << c[1];
    }
    // Something survives the key: at least a tenth of the picture is not pure white.
    std::size_t shape = 0;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        const std::uint8_t* px = p.At(x, y);
        if (!(px[0] == 255 && px[1] == 255 && px[2] == 255)) ++shape;
      }
    EXPECT_GT(shape * 10, static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
  }
}

TEST(ShippedPictures, HelpBackdropIsCutCleanlyAroundItsPanel) {
  // The panel is dark; everything left, right and above it is exactly white, so the colour key
  // removes it without leaving pale specks from the compression.
  const Pixels p = Decode(PathOf("backhelp.jpg"));
  ASSERT_EQ(p.width, 1024);
  int specks = 0, holes = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const std::uint8_t* px = p.At(x, y);
      const bool white = px[0] == 255 && px[1] == 255 && px[2] == 255;
      const bool inPanel = x >= 176 && x < 848 && y >= 240;
      if (!inPanel && !white) ++specks;
      if (inPanel && white) ++holes;
    }
  EXPECT_EQ(specks, 0);
  EXPECT_EQ(holes, 0);
  const std::uint8_t* middle = p.At(512, 600);
  EXPECT_LT(middle[0] + middle[1] + middle[2], 150) << "the panel behind the text is dark";
}

TEST(ShippedPictures, ParticleTexturesFadeOutBeforeTheirBorders) {
  const char* additive[] = {"effect.tga", "sparkle.tga", "sparkle2.tga", "explosion.tga"};
  for (const char* name : additive) {
    SCOPED_TRACE(name);
    const Pixels p = Decode(PathOf(name));
    ASSERT_GT(p.width, 0);
    for (int i = 0; i < p.width; ++i)
      for (const int y : {0, p.height - 1}) {
        const std::uint8_t* px = p.At(i, y);
        EXPECT_LE(px[0] + px[1] + px[2] + px[3], 8) << "edge texel " << i << "," << y << " is lit";
      }
    const std::uint8_t* centre = p.At(p.width / 2, p.height / 2);
    EXPECT_GT(centre[3], 200);
    EXPECT_GT(centre[0] + centre[1] + centre[2], 600) << "bright at the centre";
  }
  const Pixels smoke = Decode(PathOf("smoke.tga"));
  ASSERT_GT(smoke.width, 0);
  for (int i = 0; i < smoke.width; ++i) {
    EXPECT_EQ(smoke.At(i, 0)[3], 0);
    EXPECT_EQ(smoke.At(0, i)[3], 0);
  }
  EXPECT_GT(smoke.At(smoke.width / 2, smoke.height / 2)[3], 100);
  EXPECT_GT(smoke.At(smoke.width / 2, smoke.height / 2)[0], 120) << "smoke is light grey, not black";
}

TEST(ShippedPictures, TrailFadesTowardsItsTopAndBarsShareTheirRims) {
  const Pixels trail = Decode(PathOf("motionblur.tga"));
  ASSERT_EQ(trail.height, 128);
  const int mid = trail.width / 2;
  EXPECT_LT(trail.At(mid, 0)[3], 10) << "the top of the trail is clear";
  EXPECT_GT(trail.At(mid, trail.height - 1)[3], 180) << "the trail is strongest at the figure";
  for (int y = 1; y < trail.height; ++y) EXPECT_GE(trail.At(mid, y)[3], trail.At(mid, y - 1)[3]);

  // A fill is laid over the left part of its frame; the rims must match so only the inside moves.
  const std::pair<const char*, const char*> pairs[] = {{"loadingline2.bmp", "progressline2.bmp"},
                                                       {"loadingline3.tga", "progressline3.tga"}};
  for (const auto& [frameName, fillName] : pairs) {
    SCOPED_TRACE(fillName);
    const Pixels frame = Decode(PathOf(frameName));
    const Pixels fill = Decode(PathOf(fillName));
    ASSERT_EQ(frame.width, fill.width);
    ASSERT_EQ(frame.height, fill.height);
    int rimDiff = 0, insideDiff = 0;
    for (int x = 0; x < frame.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        rimDiff = std::max(rimDiff, std::abs(frame.At(x, 0)[c] - fill.At(x, 0)[c]));
        rimDiff = std::max(rimDiff, std::abs(frame.At(x, frame.height - 1)[c] - fill.At(x, frame.height - 1)[c]));
        insideDiff = std::max(insideDiff, std::abs(frame.At(x, frame.height / 2)[c] - fill.At(x, frame.height / 2)[c]));
      }
    }
    EXPECT_LE(rimDiff, 3);
    EXPECT_GT(insideDiff, 60) << "the filled bar is visibly different inside";
  }
}

}  // namespace
