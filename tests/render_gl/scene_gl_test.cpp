// The shipped scene drawn for real through the OpenGL device (Mesa's software renderer
// under SDL's offscreen driver) at 720 x 540: the loading frame, a game scene with its
// background, glass frame, glass bricks and figures, and the main and options menus.
// Pixels are checked where things must show, and each frame is written as a PNG into the
// build's test output folder for looking at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/debug_log.h"
#include "game/figure_shapes.h"
#include "menu/menu.h"
#include "platform/gl_device.h"
#include "render/brick_textures.h"
#include "render/jpeg_conversion.h"
#include "render/loading_frame.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"
#include "render/scene_resources.h"
#include "support/hidden_gl_device.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 720, kHeight = 540;

int Red(uint32_t argb) { return static_cast<int>((argb >> 16) & 0xFF); }
int Green(uint32_t argb) { return static_cast<int>((argb >> 8) & 0xFF); }
int Blue(uint32_t argb) { return static_cast<int>(argb & 0xFF); }
int Brightness(uint32_t argb) { return Red(argb) + Green(argb) + Blue(argb); }

// A game folder of its own: the shipped data and pictures linked in, so the bitmaps the
// loading converts from the JPEGs are written here and not into the repository.
// One per process: CTest runs the tests of this suite side by side.
fs::path GameFolder() { return fs::temp_directory_path() / ("zt_scene_gl_game_" + std::to_string(getpid())); }

fs::path MakeGameFolder() {
  const fs::path folder = GameFolder();
  fs::remove_all(folder);
  fs::create_directories(folder / "textures");
  fs::create_directory_symlink(fs::path(ZT_GAME_DIR) / "data", folder / "data");
  for (const auto& entry : fs::directory_iterator(fs::path(ZT_GAME_DIR) / "textures")) {
    const std::string name = entry.path().filename().string();
    // Bitmaps a previous start converted from the JPEGs are not linked: they are made anew.
    if (entry.path().extension() == ".bmp" && fs::exists(fs::path(entry.path()).replace_extension(".jpg"))) continue;
    fs::create_symlink(entry.path(), folder / "textures" / name);
  }
  return folder;
}

class SceneGlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gl_ = new testing::HiddenGlDevice(testing::OpenHiddenGlDevice(kWidth, kHeight));
    ASSERT_NE(gl_->Device, nullptr) << gl_->Error;
    device_ = &gl_->Device;
    Load();
  }

  static void TearDownTestSuite() {
    delete scene_;
    delete shapes_;
    shapes_ = nullptr;
    delete gl_;
    scene_ = nullptr;
    device_ = nullptr;
    gl_ = nullptr;
    fs::remove_all(GameFolder());
  }

  // The loading steps the game runs, in its order.
  static void Load() {
    Device& device = **device_;
    scene_ = new SceneResources;
    SceneResources& scene = *scene_;
    scene.GameDir = MakeGameFolder();
    const DebugLog log{(scene.GameDir / "debug.txt").string()};
    SetupCamera(device, scene);
    ConvertIntroToBMP(scene.GameDir);
    InitTexturesLoading(device, scene);
    InitBarTextures(device, scene);
    InitVBMenu(device, scene);
    DrawLoadingProgress(device, scene, 0.08f);
    InitMotionBlurTexture(device, scene);
    ConvertPicturesToBMP(scene.GameDir);
    InitTexturesBkGr(device, scene);
    ASSERT_EQ(CreateMeshBuffers(device, scene), D3D_OK);
    CreateShadeVB(device, scene);
    CreateTrailVB(device, scene);
    InitMenuQuadVB(device, scene);
    InitModels(scene.Models, log, scene.GameDir);
    FillMeshBuffers(scene);
    LoadModelTextures(device, scene);
    SetupLights(device);
    BrickSource bricks;
    InitBrickTextures(device, scene, bricks, kGamePalette);
    InitTexturesBreakGameStates(device, scene);
    shapes_ = new FigureShapes(LoadFigImages((scene.GameDir / "data/figimages/images.dat").string()));
    InitGlassFrames(scene);
    InitBombModel(scene);
    InitSceneMaterial(scene);
    InitTexturesBkGrGame(device, scene, nullptr);
    InitTexturesMenu(device, scene, nullptr);
    loaded_ = true;
  }

  void SetUp() override { ASSERT_TRUE(loaded_) << "the window, the device or the loading failed"; }

  static Image Present(const std::string& name) {
    Device& device = **device_;
    device.EndScene();
    device.Present();
    Image image = device.ReadBackBuffer();
    fs::create_directories(ZT_TEST_OUTPUT_DIR);
    WritePngFile(std::string(ZT_TEST_OUTPUT_DIR) + "/" + name + ".png", image);
    return image;
  }

  // Where a world point lands on the screen.
  static void Project(float x, float y, float z, int& px, int& py) {
    D3DMATRIX viewProjection;
    MatMultiply(scene_->Projection, scene_->View, viewProjection);
    const float in[4] = {x, y, z, 1};
    float out[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c)
      for (int r = 0; r < 4; ++r) out[c] += in[r] * viewProjection.m[r][c];
    px = static_cast<int>(std::lround((out[0] / out[3] + 1) / 2 * kWidth));
    py = static_cast<int>(std::lround((1 - out[1] / out[3]) / 2 * kHeight));
  }

  // The game scene's states, its background, the glass frame of the game type, some bricks.
  static void DrawGameFrame(int gameType, Glass& glass, TFigure& current, TFigure& next, bool frame) {
    Device& device = **device_;
    SceneResources& scene = *scene_;
    device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSceneClearColour, 1.0f, 0);
    device.BeginScene();
    device.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device.SetRenderState(D3DRS_LIGHTING, 1);
    device.SetRenderState(D3DRS_SPECULARENABLE, 1);
    device.SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device.SetRenderState(D3DRS_NORMALIZENORMALS, 1);
    device.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);

    device.SetTexture(0, scene.GameBackgrounds[static_cast<size_t>(gameType)]);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device.SetStreamSource(0, scene.QuadVB, sizeof(TexColourVertex));
    device.SetVertexShader(kFvfTexColour);
    D3DMATRIX scaling, translation, world;
    MatScaling(scaling, 36, 26.25f, 1);
    MatTranslation(translation, kGlassCenterX, kGlassCenterY, 5.0f);
    MatMultiply(translation, scaling, world);
    device.SetTransform(D3DTS_WORLD, world);
    device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device.SetTexture(0, nullptr);

    Draw(device, scene, current, *shapes_, true, 2);
    Draw(device, scene, next, *shapes_, true, 2);
    if (frame) {
      device.LightEnable(4, false);
      device.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
      device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
      device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
      Draw(device, scene, gameType % 2 == 1 ? scene.GlassFrameA : scene.GlassFrameB);
      device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
      device.LightEnable(4, true);
    }
    for (int row = 1; row <= kGlassRows; ++row)
      for (int column = 1; column <= kGlassColumns; ++column)
        if (!glass.IsFree(column, row)) Draw(device, scene, glass.Cell(column, row).Brick, 2);
  }

  static inline testing::HiddenGlDevice* gl_ = nullptr;
  static inline DevicePtr* device_ = nullptr;
  static inline SceneResources* scene_ = nullptr;
  static inline FigureShapes* shapes_ = nullptr;
  static inline bool loaded_ = false;
};

TEST_F(SceneGlTest, LoadingFrameShowsTheIntroAndTheBarGrowingFromItsLeftEnd) {
  DrawLoadingProgress(**device_, *scene_, 0.5f);
  const Image image = (**device_).ReadBackBuffer();
  fs::create_directories("render_output");
  WritePngFile("render_output/loading.png", image);
  // The bar spans x from cx + 7.53 - 5.15 to cx + 7.53 + 5.15 at y = cy - 8.25, z = 3.
  int leftX, rightX, barY, midX, unused;
  Project(kGlassCenterX + 7.53f - 5.15f + 0.5f, kGlassCenterY - 8.25f, 3, leftX, barY);
  Project(kGlassCenterX + 7.53f + 5.15f - 0.5f, kGlassCenterY - 8.25f, 3, rightX, unused);
  Project(kGlassCenterX + 7.53f, kGlassCenterY - 8.25f, 3, midX, unused);
  ASSERT_GT(rightX, leftX);
  ASSERT_LT(rightX, kWidth);
  // Half full: the left end shows the bar picture, the right end the intro behind it.
  DrawLoadingProgress(**device_, *scene_, 0.0f);
  const Image empty = (**device_).ReadBackBuffer();
  EXPECT_NE(image.At(leftX, barY), empty.At(leftX, barY));
  EXPECT_EQ(image.At(rightX, barY), empty.At(rightX, barY));
  EXPECT_NE(image.At(midX - 20, barY), empty.At(midX - 20, barY));
  EXPECT_EQ(image.At(midX + 20, barY), empty.At(midX + 20, barY));
  // The intro fills the view: no pixel keeps the clear colour.
  for (int y = 0; y < kHeight; y += 45)
    for (int x = 0; x < kWidth; x += 60) EXPECT_NE(image.At(x, y) & 0xFFFFFF, kSceneClearColour & 0xFFFFFF);
}

TEST_F(SceneGlTest, GameSceneShowsTintedLitBricksTheGlowingFrameAndTheBackground) {
  Glass glass;
  glass.BuildGlass();
  glass.Occupy(1, 1, 2);    // red
  glass.Occupy(2, 1, 3);    // green
  glass.Occupy(3, 1, 4);    // blue
  glass.Occupy(4, 1, 5);    // yellow
  glass.Occupy(10, 1, 49);  // the dark grey of added lines
  for (int column = 1; column <= 9; ++column) glass.Occupy(column, 2, 1 + column % 7);
  glass.Occupy(5, 3, 6);
  TFigure current, next;
  current.Place(3, 1, 1.0f, 0, 12, 4);
  next.Place(6, 1, 0.75f, 0, 18, -6);
  MatScaling(next.ScaleMatrix, 0.75f, 0.75f, 0.75f);

  DrawGameFrame(1, glass, current, next, false);
  const Image bare = Present("game_scene_without_frame");
  DrawGameFrame(1, glass, current, next, true);
  const Image image = Present("game_scene");

  // Bricks: the front face centre of each coloured brick shows its tint, lit.
  const auto brickPixel = [&image](int column, int row) {
    int px, py;
    Project(static_cast<float>(column), static_cast<float>(row), -0.5f, px, py);
    return image.At(px, py);
  };
  const uint32_t red = brickPixel(1, 1), green = brickPixel(2, 1), blue = brickPixel(3, 1);
  const uint32_t yellow = brickPixel(4, 1), dark = brickPixel(10, 1);
  EXPECT_GT(Red(red), 2 * Green(red)) << std::hex << red;
  EXPECT_GT(Red(red), 2 * Blue(red)) << std::hex << red;
  EXPECT_GT(Green(green), 2 * Red(green)) << std::hex << green;
  EXPECT_GT(Blue(blue), 2 * Red(blue)) << std::hex << blue;
  EXPECT_GT(Red(yellow), 2 * Blue(yellow)) << std::hex << yellow;
  EXPECT_GT(Green(yellow), 2 * Blue(yellow)) << std::hex << yellow;
  // Front face, far from the point light: ambient 0x45/255 + 0.05, plus 0.4 x N.L (0.707) of
  // the sun, times the brick face's middle (about 0.88): about 135 of 255.
  EXPECT_NEAR(Red(red), 135, 25) << std::hex << red;
  EXPECT_LT(Brightness(dark), Brightness(yellow) / 2);

  // The figure in flight: figure 3's bricks stand where its grid puts them.
  int filled = 0;
  const FigureGrid& shape = shapes_->Shape(3, 1);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (shape[i][j] != 0) {
        int px, py;
        Project(static_cast<float>(4 + j), static_cast<float>(12 - i), -0.5f, px, py);
        EXPECT_GT(Green(image.At(px, py)), 2 * Red(image.At(px, py))) << "cell " << i << ", " << j;
        ++filled;
      }
  EXPECT_GT(filled, 0);

  // The background fills the view around the glass.
  for (const auto& [x, y] : {std::pair{5, 5}, std::pair{714, 5}, std::pair{5, 534}, std::pair{714, 534}})
    EXPECT_NE(image.At(x, y) & 0xFFFFFF, kSceneClearColour & 0xFFFFFF) << x << ", " << y;

  // The frame adds light (additive blending) along both walls of the glass and nowhere far off.
  int lighter = 0, lighterFarOff = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if (Brightness(image.At(x, y)) <= Brightness(bare.At(x, y)) + 30) continue;
      ++lighter;
      int left, right, unused;
      Project(-1.5f, 10.5f, 0, left, unused);
      Project(12.5f, 10.5f, 0, right, unused);
      if (x < left || x > right) ++lighterFarOff;
    }
  EXPECT_GT(lighter, kWidth * kHeight / 100);
  EXPECT_EQ(lighterFarOff, 0);
  int wallLeft, wallRight, wallY;
  Project(0.45f, 10.5f, -0.3f, wallLeft, wallY);
  Project(10.55f, 10.5f, -0.3f, wallRight, wallY);
  const auto glowsNear = [&](int cx) {
    for (int x = cx - 8; x <= cx + 8; ++x)
      if (Brightness(image.At(x, wallY)) > Brightness(bare.At(x, wallY)) + 30) return true;
    return false;
  };
  EXPECT_TRUE(glowsNear(wallLeft));
  EXPECT_TRUE(glowsNear(wallRight));
}

TEST_F(SceneGlTest, MenusShowTheirSlabsBricksAndVolumeBars) {
  Settings settings;
  settings.SoundVolume = 5;
  settings.MusicVolume = 9;
  settings.BrickQuality = 2;
  settings.RotationSpeedFactor = 1.15f;
  MenuState menu;
  CreateVolumeBricks(menu, settings);
  Device& device = **device_;
  const auto frame = [&](const std::string& name) {
    device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSceneClearColour, 1.0f, 0);
    device.BeginScene();
    DrawMenu(device, *scene_, menu, settings, *shapes_, false, MenuScreenDrawers{});
    return Present(name);
  };

  const Image main = frame("menu_main");
  // The selected slab (slot 1) at its centre, and the red brick beside it.
  int px, py;
  Project(kGlassCenterX - 6.4f, kGlassCenterY + 2.8f, -0.4f, px, py);
  EXPECT_GT(Red(main.At(px, py)), 2 * Green(main.At(px, py))) << std::hex << main.At(px, py);
  Project(kGlassCenterX + 6.4f, kGlassCenterY + 2.8f, -0.4f, px, py);
  EXPECT_GT(Red(main.At(px, py)), 2 * Green(main.At(px, py))) << std::hex << main.At(px, py);

  menu.MenuScreen = kOptionsScreen;
  MoveSelection(menu, 3);
  for (int n = 0; n < 20; ++n) frame("menu_options");
  const Image options = frame("menu_options");
  // Sound level 5: bricks 1..5 of the sound row stand, 6..9 do not; all nine music bricks stand.
  const auto volumeBrick = [&](int row, int i) {
    Project(kGlassCenterX + 3.75f + 0.84f * static_cast<float>(i - 1), kGlassCenterY + (row == 0 ? 2.6f : 0.2f), -0.37f,
            px, py);
    return options.At(px, py);
  };
  EXPECT_GT(Blue(volumeBrick(0, 2)), 2 * Red(volumeBrick(0, 2))) << std::hex << volumeBrick(0, 2);
  EXPECT_GT(Red(volumeBrick(0, 3)), 2 * Blue(volumeBrick(0, 3))) << std::hex << volumeBrick(0, 3);
  EXPECT_FALSE(Red(volumeBrick(0, 7)) > 2 * Blue(volumeBrick(0, 7)) &&
               Red(volumeBrick(0, 7)) > 2 * Green(volumeBrick(0, 7)))
      << "no red brick 7 at sound level 5";
  EXPECT_GT(Red(volumeBrick(1, 7)), 2 * Blue(volumeBrick(1, 7))) << std::hex << volumeBrick(1, 7);

  // The help page's backdrop: a panel over the middle, the background left as it was outside it.
  menu.MenuScreen = kHelpScreen;
  device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSceneClearColour, 1.0f, 0);
  device.BeginScene();
  DrawMenu(device, *scene_, menu, settings, *shapes_, false, {[&] { DrawBackdrop(device, *scene_); }, {}, {}, {}, {}});
  const Image help = Present("menu_help_backdrop");
  EXPECT_NE(help.At(kWidth / 2, kHeight / 2), main.At(kWidth / 2, kHeight / 2));
}

}  // namespace
}  // namespace zt
