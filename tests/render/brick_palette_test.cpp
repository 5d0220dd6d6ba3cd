#include <gtest/gtest.h>

#include <algorithm>

#include "device/recording_device.h"
#include "render/brick_emboss.h"

namespace zt {
namespace {

constexpr int kSide = 128;

BrickPicture Grey(int width, int height, uint8_t level = 160) {
  return {width, height, std::vector<uint8_t>(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, level)};
}

uint8_t At(const BrickPicture& picture, int x, int y) {
  return picture.Bgr[(static_cast<size_t>(y) * static_cast<size_t>(picture.Width) + static_cast<size_t>(x)) * 3];
}

TEST(BrickEmbossing, RaisesThePatternInsideTheFaceAndLightsItLikeTheBevel) {
  const BrickPicture face = Grey(kSide, kSide);
  for (int emboss = 0; emboss < kBrickEmbossCount; ++emboss) {
    const BrickPicture embossed = EmbossedBrick(face, static_cast<BrickEmboss>(emboss));
    ASSERT_EQ(embossed.Bgr.size(), face.Bgr.size());
    int changed = 0;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const bool onBevel = x < 16 || y < 16 || x >= kSide - 16 || y >= kSide - 16;
        if (At(embossed, x, y) == At(face, x, y)) continue;
        ++changed;
        EXPECT_FALSE(onBevel) << "pattern " << emboss << " reaches the bevel at " << x << ", " << y;
      }
    EXPECT_GT(changed, kSide * kSide / 30) << "pattern " << emboss << " is too small to see";
  }
  // The disc: darker on top, its rim bright towards the light (left, and down the picture) and
  // dark away from it, as the bevel is.
  const BrickPicture disc = EmbossedBrick(face, BrickEmboss::kDisc);
  EXPECT_LT(At(disc, kSide / 2, kSide / 2), At(face, kSide / 2, kSide / 2));
  int litLeft = 0, litRight = 0;
  for (int x = 0; x < kSide / 2; ++x) litLeft = std::max<int>(litLeft, At(disc, x, kSide / 2));
  for (int x = kSide / 2; x < kSide; ++x) litRight = std::max<int>(litRight, At(disc, x, kSide / 2));
  EXPECT_GT(litLeft, At(face, 0, 0) + 40);
  EXPECT_LE(litRight, At(face, 0, 0));
}

TEST(BrickEmbossing, EveryPatternLooksDifferentAndAnyPictureSizeIsSafe) {
  const BrickPicture face = Grey(kSide, kSide);
  std::vector<std::vector<uint8_t>> pictures;
  for (int emboss = 0; emboss < kBrickEmbossCount; ++emboss)
    pictures.push_back(EmbossedBrick(face, static_cast<BrickEmboss>(emboss)).Bgr);
  for (size_t a = 0; a < pictures.size(); ++a)
    for (size_t b = a + 1; b < pictures.size(); ++b) EXPECT_NE(pictures[a], pictures[b]) << a << " and " << b;
  for (const BrickPicture& odd : {Grey(1, 1), Grey(3, 1), Grey(1, 5), Grey(2051, 2)})
    for (int emboss = 0; emboss < kBrickEmbossCount; ++emboss)
      EXPECT_EQ(EmbossedBrick(odd, static_cast<BrickEmboss>(emboss)).Bgr.size(), odd.Bgr.size());
  // A white face's lit rims stay white rather than wrapping round to dark.
  const BrickPicture white = EmbossedBrick(Grey(kSide, kSide, 255), BrickEmboss::kRing);
  EXPECT_EQ(*std::max_element(white.Bgr.begin(), white.Bgr.end()), 255);
  EXPECT_EQ(std::count_if(white.Bgr.begin(), white.Bgr.end(), [](uint8_t v) { return v < 80; }), 0);
}

struct PaletteSwitch : ::testing::Test {
  RecordingDevice device;
  SceneResources scene;
  BrickSource source;
  PaletteSwitch() { scene.GameDir = ZT_GAME_DIR; }
  std::vector<uint32_t> Middles() const {
    std::vector<uint32_t> texels;
    for (int c = 1; c <= kBrickColors; ++c)
      texels.push_back(scene.BrickTextures[static_cast<size_t>(c)]->TexelArgb(0, kSide / 2, kSide / 2));
    return texels;
  }
};

TEST_F(PaletteSwitch, AChangedPaletteRetintsTheSameTexturesAtOnceAndBack) {
  InitBrickTextures(device, scene, source, kGamePalette);
  const std::vector<uint32_t> game = Middles();
  const TexturePtr first = scene.BrickTextures[1];
  FollowBrickPalette(scene, source, kGamePalette);
  EXPECT_EQ(Middles(), game);

  FollowBrickPalette(scene, source, kColourBlindPalette);
  EXPECT_EQ(source.Palette, kColourBlindPalette);
  EXPECT_EQ(scene.BrickTextures[1], first) << "no texture is made anew";
  EXPECT_EQ(device.LiveTextures(), kBrickColors);
  const std::vector<uint32_t> colourBlind = Middles();
  EXPECT_NE(colourBlind, game);

  FollowBrickPalette(scene, source, kGamePalette);
  EXPECT_EQ(Middles(), game) << "back to the game's own tints exactly";

  // Loading straight into the colour-blind palette gives the same textures as switching to it.
  SceneResources loaded;
  loaded.GameDir = ZT_GAME_DIR;
  BrickSource loadedSource;
  InitBrickTextures(device, loaded, loadedSource, kColourBlindPalette);
  for (int c = 1; c <= kBrickColors; ++c)
    EXPECT_EQ(loaded.BrickTextures[static_cast<size_t>(c)]->TexelArgb(0, kSide / 2, kSide / 2),
              colourBlind[static_cast<size_t>(c - 1)]);
}

}  // namespace
}  // namespace zt
