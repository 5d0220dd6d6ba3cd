// The game scene drawn for real: a game in progress rendered by the OpenGL device (Mesa's
// software renderer under SDL's offscreen driver) at 720 x 540, written as a PNG to look
// at, checked at places whose look the scene fixes, and compared with the committed picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "device/image_file.h"
#include "platform/gl_device.h"
#include "platform/sdl_window.h"
#include "render/scene_fixture.h"
#include "support/golden_image.h"

namespace zt {
namespace {

constexpr int kWidth = 720, kHeight = 540;

std::filesystem::path OutputDir() {
  const std::filesystem::path dir = ZT_TEST_OUTPUT_DIR;
  std::filesystem::create_directories(dir);
  return dir;
}

::testing::AssertionResult MatchesGolden(const Image& actual, const std::string& name) {
  const std::filesystem::path golden =
      std::filesystem::path(ZT_SOURCE_DIR) / "tests/render_gl/golden" / (name + ".png");
  const testing::GoldenResult result = testing::CompareWithGolden(actual, golden, OutputDir(), name);
  if (result.Matches) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << result.Message;
}

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }
int Brightness(uint32_t argb) { return Channel(argb, 16) + Channel(argb, 8) + Channel(argb, 0); }

// World point (x, y, z) to its pixel through the game's fixed camera.
void ToPixel(float x, float y, float z, int& px, int& py) {
  D3DMATRIX view, projection;
  SetViewMatrix(view, MakeVector(5.5f, 10.5f, -19.0f), MakeVector(5.5f, 10.5f, 0), MakeVector(0, 1, 0));
  SetProjectionMatrix(projection, 1.0f, 0.75f, 1.0f, 25.0f);
  D3DMATRIX both;
  MatMultiply(projection, view, both);
  const float cx = x * both(1, 1) + y * both(2, 1) + z * both(3, 1) + both(4, 1);
  const float cy = x * both(1, 2) + y * both(2, 2) + z * both(3, 2) + both(4, 2);
  const float cw = x * both(1, 4) + y * both(2, 4) + z * both(3, 4) + both(4, 4);
  px = static_cast<int>((cx / cw * 0.5f + 0.5f) * kWidth);
  py = static_cast<int>((0.5f - cy / cw * 0.5f) * kHeight);
}

class GameSceneGlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  }

  void SetUp() override {
    std::string error;
    window_ = SdlGlWindow::Create(HiddenWindowOptions(kWidth, kHeight), error);
    ASSERT_NE(window_, nullptr) << error;
    d3d_ = CreateGlDirect3D(*window_);
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = kWidth;
    parameters.BackBufferHeight = kHeight;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = 1;
    parameters.EnableAutoDepthStencil = 1;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING, parameters, device_), D3D_OK);
    testing::LoadRenderResources(*device_, resources_);
    shapes_ = testing::ShippedShapes();
    scores_.Table = testing::BusyTable();
  }

  void TearDown() override {
    resources_ = RenderResources();
    device_.reset();
    d3d_.reset();
    window_.reset();
  }

  Image Render() {
    FrameView view{game_, particles_, shapes_, settings_, scores_, menu_};
    RenderFrame(*device_, resources_, view);
    return device_->ReadBackBuffer();
  }

  std::unique_ptr<SdlGlWindow> window_;
  Direct3DPtr d3d_;
  DevicePtr device_;
  RenderResources resources_;
  FigureShapes shapes_;
  GameState game_;
  ParticleLists particles_;
  Settings settings_;
  HighScoreState scores_;
  MenuState menu_;
};

TEST_F(GameSceneGlTest, AGameInProgressLooksFinished) {
  testing::SetUpBusyGame(game_, particles_, kTorvane, 5);
  const Image picture = Render();
  ASSERT_EQ(picture.Width, kWidth);
  ASSERT_EQ(picture.Height, kHeight);
  ASSERT_TRUE(WritePngFile((OutputDir() / "game_scene.png").string(), picture));

  // The background fills the view: no pixel keeps the clear colour in the corners.
  for (const auto& [x, y] : {std::pair{2, 2}, {kWidth - 3, 2}, {2, kHeight - 3}, {kWidth - 3, kHeight - 3}})
    EXPECT_NE(picture.At(x, y) & 0xFFFFFF, 0x0555A5u) << x << "," << y;
  // Bricks lie in the bottom rows: the cell (2, 2) is drawn lit, not the dark glass.
  int px, py;
  ToPixel(2.0f, 2.0f, -0.5f, px, py);
  EXPECT_GT(Brightness(picture.At(px, py)), 120);
  const GlFrameCounts counts = LastFrameCounts(*device_);
  EXPECT_GT(counts.DrawPrimitiveCalls, counts.GlDrawCalls);  // small draws merged
  EXPECT_TRUE(MatchesGolden(picture, "game_scene"));
}

TEST_F(GameSceneGlTest, ABombGamePausedWithItsFuseBurning) {
  testing::SetUpBusyGame(game_, particles_, kKids, 9);
  game_.Bonus.BombActive = true;
  game_.Bonus.BonusMode = true;
  game_.Bonus.ShownPowerPoints = 1900;
  game_.Bonus.BonusCountdown = 45000;
  game_.CurrentFigure.PosY = 15;
  const float bombX = game_.CurrentFigure.PosX + 1.5f, bombY = game_.CurrentFigure.PosY - 1.03f;
  for (int i = 0; i < 12; ++i) {
    Particle_Add(particles_, 3, 3, 120 + 8 * i, bombX + 0.1f * (i % 3), bombY + 1.0f + 0.15f * i, 0, 0);
    Particle_Add(particles_, 4, 4, 200, bombX + 0.2f * (i % 4) - 0.3f, bombY + 0.9f + 0.1f * (i % 5), 0, 0);
  }
  Particle_Add(particles_, 2, 2, 220, 3.0f, 9.0f, 0, 0);
  game_.Mode.Paused = true;
  const Image picture = Render();
  ASSERT_TRUE(WritePngFile((OutputDir() / "game_scene_paused.png").string(), picture));
  // The pause picture stands over the glass centre.
  int px, py;
  ToPixel(5.5f, 10.5f, -1.0f, px, py);
  EXPECT_NE(picture.At(px, py), picture.At(px, py - 60));
  EXPECT_TRUE(MatchesGolden(picture, "game_scene_paused"));
}

TEST_F(GameSceneGlTest, TheHelpAndHighScorePagesOverTheMenuBackground) {
  game_.Mode.InMenu = true;
  game_.Time.FrameMs = 16;
  menu_.MenuScreen = kHelpScreen;
  Render();  // from the second frame on the backdrop is blended as the text left the alpha stage
  const Image help = Render();
  ASSERT_TRUE(WritePngFile((OutputDir() / "help_page.png").string(), help));
  EXPECT_TRUE(MatchesGolden(help, "help_page"));

  menu_.MenuScreen = kHighScoresScreen;
  ASSERT_TRUE(InsertNewScore(scores_, kRedara, 18000, 3));
  for (uint8_t c : std::string("Zel")) FormKeyPress(scores_, c);
  scores_.ShownHighScoreType = kRedara;
  const Image table = Render();
  ASSERT_TRUE(WritePngFile((OutputDir() / "high_scores_page.png").string(), table));
  EXPECT_TRUE(MatchesGolden(table, "high_scores_page"));
}

}  // namespace
}  // namespace zt
