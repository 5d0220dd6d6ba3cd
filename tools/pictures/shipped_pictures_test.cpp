// The shipped pictures under game/textures: each one is there, in the file format its loader
// expects, at its size; the pictures cut out with the white colour key have white around them;
// particle and trail textures fade out before their borders. The menu's pictures fit the places
// the menu drawing gives them, measured on the recording device with the shipped meshes and the
// fixed camera: the slab pictures at their faces' aspect, the volume stripe's slots behind the
// volume bricks; and Retro's background is light behind the glass's lowest rows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "device/recording_device.h"
#include "game/figure_shapes.h"
#include "menu/menu.h"
#include "render/brick_textures.h"
#include "render/game_scene.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"
#include "render/model_file.h"

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
  bool keyed;   // loaded with the white colour key
  bool onSlab;  // drawn on a menu slab, at its face's aspect; other pictures have power-of-two sides
};

// clang-format off
const Expected kPictures[] = {
    {"intro.jpg", Format::Jpeg, 1024, 1024, false, false},
    {"background.jpg", Format::Jpeg, 1024, 1024, false, false},
    {"bkgrgame.jpg", Format::Jpeg, 1024, 1024, false, false},
    {"bkgrgame2.jpg", Format::Jpeg, 1024, 1024, false, false},
    {"bkgrgame3.jpg", Format::Jpeg, 1024, 1024, false, false},
    {"bkgrgame4.jpg", Format::Jpeg, 1024, 1024, false, false},
    {"bkgrgame5.jpg", Format::Jpeg, 1024, 1024, false, false},
    {"backhelp.jpg", Format::Jpeg, 1024, 1024, true, false},
    {"loadingprogress.bmp", Format::Bmp24, 512, 32, false, false},
    {"loadingline2.bmp", Format::Bmp24, 256, 32, false, false},
    {"progressline2.bmp", Format::Bmp24, 256, 32, false, false},
    {"loadingline3.tga", Format::Tga32, 256, 32, false, false},
    {"progressline3.tga", Format::Tga32, 256, 32, false, false},
    {"motionblur.tga", Format::Tga32, 64, 128, false, false},
    {"gameover.bmp", Format::Bmp24, 1024, 256, false, false},
    {"pause.bmp", Format::Bmp24, 1024, 256, false, false},
    {"abortgame.bmp", Format::Bmp24, 1024, 256, false, false},
    {"newgame.bmp", Format::Bmp24, 691, 128, false, true},
    {"options.bmp", Format::Bmp24, 691, 128, false, true},
    {"highscores.bmp", Format::Bmp24, 691, 128, false, true},
    {"help.bmp", Format::Bmp24, 691, 128, false, true},
    {"exit.bmp", Format::Bmp24, 691, 128, false, true},
    {"sound.bmp", Format::Bmp24, 691, 128, false, true},
    {"music.bmp", Format::Bmp24, 691, 128, false, true},
    {"rotation.bmp", Format::Bmp24, 691, 128, false, true},
    {"quality.bmp", Format::Bmp24, 691, 128, false, true},
    {"return.bmp", Format::Bmp24, 691, 128, false, true},
    {"zellory1.bmp", Format::Bmp24, 691, 128, false, true},
    {"zellory2.bmp", Format::Bmp24, 691, 128, false, true},
    {"zellory3.bmp", Format::Bmp24, 691, 128, false, true},
    {"zellory4.bmp", Format::Bmp24, 691, 128, false, true},
    {"zellory5.bmp", Format::Bmp24, 691, 128, false, true},
    {"return2.bmp", Format::Bmp24, 691, 128, false, true},
    {"cw.bmp", Format::Bmp24, 266, 128, true, true},
    {"ccw.bmp", Format::Bmp24, 266, 128, true, true},
    {"low.bmp", Format::Bmp24, 266, 128, true, true},
    {"medium.bmp", Format::Bmp24, 266, 128, true, true},
    {"high.bmp", Format::Bmp24, 266, 128, true, true},
    {"stripe.bmp", Format::Bmp24, 512, 64, true, false},
    {"effect.tga", Format::Tga32, 64, 64, false, false},
    {"sparkle.tga", Format::Tga32, 64, 64, false, false},
    {"sparkle2.tga", Format::Tga32, 64, 64, false, false},
    {"explosion.tga", Format::Tga32, 128, 128, false, false},
    {"smoke.tga", Format::Tga32, 64, 64, false, false},
};
// clang-format on

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

TEST(ShippedPictures, EveryFileHasItsFormatAndSize) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.name);
    const std::vector<std::uint8_t> bytes = ReadAll(PathOf(e.name));
    ASSERT_FALSE(bytes.empty()) << "missing or empty";
    EXPECT_TRUE(e.onSlab || (PowerOfTwo(e.width) && PowerOfTwo(e.height)));
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
    if (!e.keyed || e.onSlab) continue;  // a slab is drawn opaque: the key must find nothing there
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

namespace zt {
namespace {

double Luminance(const std::uint8_t* rgb) { return 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2]; }
bool White(const std::uint8_t* rgb) { return rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255; }

// A box on the fixed camera's screen (normalised coordinates, y up); U and V run 0..1 across it
// from its top left, as a picture's texture coordinates do over the quad the box shows.
struct ScreenBox {
  double X0 = 1e9, Y0 = 1e9, X1 = -1e9, Y1 = -1e9;
  void Take(double x, double y) {
    X0 = std::min(X0, x), X1 = std::max(X1, x), Y0 = std::min(Y0, y), Y1 = std::max(Y1, y);
  }
  double U(double x) const { return (x - X0) / (X1 - X0); }
  double V(double y) const { return (Y1 - y) / (Y1 - Y0); }
  bool Holds(double u, double v, double slack) const {
    return u >= X0 - slack && u <= X1 + slack && v >= Y0 - slack && v <= Y1 + slack;
  }
};

// The menu and the game's background drawn on the recording device with the shipped meshes and
// the fixed camera, every picture a stand-in texture that tells its draws apart.
class PicturePlaces : public ::testing::Test {
 protected:
  void SetUp() override {
    scene_.GameDir = ZT_GAME_DIR;
    SetupCamera(device_, scene_);
    InitModels(scene_.Models, DebugLog{"", false}, scene_.GameDir);
    ASSERT_EQ(CreateMeshBuffers(device_, scene_), D3D_OK);
    FillMeshBuffers(scene_);
    InitVBMenu(device_, scene_);
    for (TexturePtr& t : scene_.BrickTextures) device_.CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t);
    for (TexturePtr& t : scene_.MenuPictures) device_.CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t);
    shapes_ = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
    // The extent of the low brick, the mesh of every slab and of the volume bricks at quality 0.
    const TModelInfo& low = scene_.Models.ModelTable[kBrickLowModel];
    for (int v = low.FirstVertex; v < low.FirstVertex + 3 * low.TriangleCount; ++v) {
      const TexMeshVertex& at = scene_.Models.TexturedVertices.at(static_cast<size_t>(v));
      for (const auto& [axis, value] : {std::pair{0, at.X}, {1, at.Y}, {2, at.Z}})
        lo_[axis] = std::min(lo_[axis], value), hi_[axis] = std::max(hi_[axis], value);
    }
  }

  const std::vector<DrawRecord>& MenuFrame(int screen, const Settings& settings) {
    MenuState menu;
    CreateVolumeBricks(menu, settings);
    menu.MenuScreen = screen;
    device_.Draws.clear();
    device_.BeginScene();
    DrawMenu(device_, scene_, menu, settings, shapes_, false, {});
    device_.EndScene();
    return device_.Draws;
  }
  int PictureOf(const DrawRecord& d) const {
    for (int n = 0; n < kMenuPictureCount; ++n)
      if (d.TextureUsed == scene_.MenuPictures[static_cast<size_t>(n)].get()) return n;
    return -1;
  }
  bool IsBrick(const DrawRecord& d) const {
    return std::any_of(scene_.BrickTextures.begin(), scene_.BrickTextures.end(),
                       [&](const TexturePtr& t) { return t && d.TextureUsed == t.get(); });
  }
  void TakeOnScreen(ScreenBox& box, const D3DMATRIX& world, double x, double y, double z) const {
    D3DMATRIX toView, toScreen;
    MatMultiply(scene_.View, world, toView);
    MatMultiply(scene_.Projection, toView, toScreen);
    const double in[4] = {x, y, z, 1};
    double out[4] = {};
    for (int c = 0; c < 4; ++c)
      for (int r = 0; r < 4; ++r) out[c] += in[r] * toScreen(r + 1, c + 1);
    box.Take(out[0] / out[3], out[1] / out[3]);
  }
  // The unit quad of the shared quad buffer, or the low brick's face towards the camera, placed by `world`.
  ScreenBox OnScreen(const D3DMATRIX& world, bool brickFace) const {
    ScreenBox box;
    for (const double x : {brickFace ? lo_[0] : -0.5f, brickFace ? hi_[0] : 0.5f})
      for (const double y : {brickFace ? lo_[1] : -0.5f, brickFace ? hi_[1] : 0.5f})
        TakeOnScreen(box, world, x, y, brickFace ? lo_[2] : 0);
    return box;
  }

  RecordingDevice device_;
  SceneResources scene_;
  FigureShapes shapes_;
  float lo_[3] = {1e9f, 1e9f, 1e9f}, hi_[3] = {-1e9f, -1e9f, -1e9f};
};

// Each item and value picture is stored at the aspect of the slab face it covers, so its texels
// are square there; the value pictures, loaded with the white key but drawn opaque, are dark
// key-caps with no texel the key would turn black.
TEST_F(PicturePlaces, SlabPicturesHaveTheirFacesAspectAndNothingTheKeyTakes) {
  std::map<int, double> faceAspect;
  for (const int screen : {kMainScreen, kGameTypeScreen, kOptionsScreen})
    for (const bool clockwise : {true, false})
      for (int quality = 0; quality <= 2; ++quality) {
        Settings settings;
        settings.RotationClockwise = clockwise;
        settings.BrickQuality = quality;
        for (const DrawRecord& d : MenuFrame(screen, settings)) {
          const D3DMATRIX& w = d.State.World;
          if (const int picture = PictureOf(d); picture >= 0 && d.StreamUsed == scene_.TexMeshVB.get())
            faceAspect[picture] = std::hypot(w(1, 1), w(1, 2), w(1, 3)) * (hi_[0] - lo_[0]) /
                                  (std::hypot(w(2, 1), w(2, 2), w(2, 3)) * (hi_[1] - lo_[1]));
        }
      }
  EXPECT_EQ(faceAspect.size(), 21u) << "16 items, two rotation and three quality values";
  for (const auto& [picture, aspect] : faceAspect) {
    const MenuPictureFile& file = kMenuPictureFiles[static_cast<size_t>(picture)];
    SCOPED_TRACE(file.File);
    const Pixels p = Decode(std::string(ZT_GAME_DIR) + "/" + file.File);
    ASSERT_GT(p.height, 0);
    EXPECT_NEAR(p.width, aspect * p.height, 0.5) << "the nearest whole width for the face";
    if (file.ColorKey == 0) continue;
    int keyed = 0;
    double light = 0;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) keyed += White(p.At(x, y)), light += Luminance(p.At(x, y));
    EXPECT_EQ(keyed, 0);
    EXPECT_LT(light / (p.width * p.height), 90) << "a dark key-cap";
  }
}

// The stripe behind each volume row shows a slot where each of its nine bricks stands: every
// painted texel lies on a brick's face as the camera sees it (so a standing brick hides its slot),
// and every brick covers a slot, in both rows, whose stripes differ in width.
TEST_F(PicturePlaces, VolumeSlotsLieWhereTheVolumeBricksStand) {
  const Pixels stripe = Decode(PathOf("stripe.bmp"));
  ASSERT_GT(stripe.width, 0);
  Settings settings;
  settings.SoundVolume = settings.MusicVolume = kVolumeBricks;
  settings.BrickQuality = kBrickLowModel;
  const std::vector<DrawRecord>& draws = MenuFrame(kOptionsScreen, settings);
  int rows = 0;
  for (size_t n = 0; n < draws.size(); ++n) {
    if (PictureOf(draws[n]) != kStripePicture) continue;
    SCOPED_TRACE(rows++);
    const ScreenBox quad = OnScreen(draws[n].State.World, false);
    std::vector<ScreenBox> faces;  // in the stripe's u and v
    for (size_t b = n + 1; b < draws.size() && IsBrick(draws[b]); ++b) {
      const ScreenBox face = OnScreen(draws[b].State.World, true);
      faces.emplace_back().Take(quad.U(face.X0), quad.V(face.Y0));
      faces.back().Take(quad.U(face.X1), quad.V(face.Y1));
    }
    ASSERT_EQ(faces.size(), static_cast<size_t>(kVolumeBricks));
    int astray = 0;
    std::vector<int> painted(faces.size()), texels(faces.size());
    for (int y = 0; y < stripe.height; ++y)
      for (int x = 0; x < stripe.width; ++x) {
        const double u = (x + 0.5) / stripe.width, v = (y + 0.5) / stripe.height;
        const bool paint = !White(stripe.At(x, y));
        bool onFace = false;
        for (size_t i = 0; i < faces.size(); ++i) {
          if (faces[i].Holds(u, v, 0)) ++texels[i], painted[i] += paint;
          onFace = onFace || faces[i].Holds(u, v, 1.0 / stripe.height);
        }
        astray += paint && !onFace;
      }
    EXPECT_EQ(astray, 0) << "painted texels beside or above the bricks";
    for (size_t i = 0; i < faces.size(); ++i) EXPECT_GT(painted[i] * 2, texels[i]) << "brick " << i + 1;
  }
  EXPECT_EQ(rows, 2);
}

// Retro's added lines are of the darkest brick colour; the background behind the glass's three
// lowest rows must be at least twice as light as those bricks' faces.
TEST_F(PicturePlaces, RetroIsLightBehindTheRowsItsLinesAreAddedTo) {
  const Pixels background = Decode(PathOf("bkgrgame5.jpg"));
  ASSERT_GT(background.width, 0);
  device_.BeginScene();
  DrawBackground(device_, scene_, kRetro);
  ASSERT_EQ(device_.Draws.size(), 1u);
  const ScreenBox quad = OnScreen(device_.Draws[0].State.World, false);
  double light = 0;
  int samples = 0;
  for (int row = 1; row <= 3; ++row)
    for (int column = 1; column <= kGlassColumns; ++column)
      for (const double dx : {-0.4, 0.0, 0.4})
        for (const double dy : {-0.4, 0.0, 0.4}) {
          ScreenBox at;
          TakeOnScreen(at, kIdentityMatrix, column + dx, row + dy, 0);
          const int x = std::clamp(static_cast<int>(quad.U(at.X0) * background.width), 0, background.width - 1);
          const int y = std::clamp(static_cast<int>(quad.V(at.Y0) * background.height), 0, background.height - 1);
          light += Luminance(background.At(x, y)), ++samples;
        }
  const BrickPicture face = ReadBrickPicture(std::string(ZT_GAME_DIR) + "/" + kBrickPictureFile, "brick");
  const BrickTint& darkest = kBrickTints[kBrickColors - 1];
  double brick = 0;
  for (size_t i = 0; i + 2 < face.Bgr.size(); i += 3) {
    const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(face.Bgr[i + 2] * darkest.R),
                                 static_cast<std::uint8_t>(face.Bgr[i + 1] * darkest.G),
                                 static_cast<std::uint8_t>(face.Bgr[i] * darkest.B)};
    brick += Luminance(rgb) * 3 / static_cast<double>(face.Bgr.size());
  }
  EXPECT_GT(light / samples, 2 * brick);
}

}  // namespace
}  // namespace zt
