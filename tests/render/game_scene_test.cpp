// A frame of a running game on the recording device: what is drawn, with which texture,
// where and in which states, as the game type, the bomb, the interruptions, the fade and
// the message change it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "device/recording_device.h"
#include "support/scene_fixture.h"

namespace zt {
namespace {

using testing::BusyTable;
using testing::LoadRenderResources;
using testing::SetUpBusyGame;
using testing::ShippedShapes;

class GameSceneTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { shapes_ = new FigureShapes(ShippedShapes()); }
  static void TearDownTestSuite() { delete shapes_; }

  void SetUp() override {
    LoadRenderResources(device_, resources_);
    scores_.Table = BusyTable();
    SetUpBusyGame(game_, particles_, kTorvane, 4);
  }

  // A frame of the game scene as the program draws it: its animations first.
  FrameResult Frame() {
    AdvanceSceneAnimations(resources_, game_);
    return RenderFrame(device_, resources_,
                       FrameView{game_, particles_, *shapes_, settings_, scores_, menu_, statistics_});
  }

  std::vector<const DrawRecord*> Where(const std::function<bool(const DrawRecord&)>& match) const {
    std::vector<const DrawRecord*> found;
    for (const DrawRecord& d : device_.Draws)
      if (match(d)) found.push_back(&d);
    return found;
  }
  std::vector<const DrawRecord*> WithTexture(const TexturePtr& texture) const {
    return Where([&](const DrawRecord& d) { return texture && d.TextureUsed == texture.get(); });
  }
  std::vector<const DrawRecord*> OfModel(int model) const {
    const TModelInfo& info = resources_.Scene.Models.ModelTable[model];
    const VertexBuffer* buffer = (info.Textured ? resources_.Scene.TexMeshVB : resources_.Scene.MeshVB).get();
    return Where([&](const DrawRecord& d) {
      return d.StreamUsed == buffer && d.StartVertex >= static_cast<uint32_t>(info.FirstVertex) &&
             d.StartVertex < static_cast<uint32_t>(info.FirstVertex + 3 * info.TriangleCount);
    });
  }
  std::vector<const DrawRecord*> Glyphs(int font) const {
    return Where([&](const DrawRecord& d) {
      return d.StreamUsed == resources_.Fonts.FontVB.get() &&
             d.TextureUsed == resources_.Fonts.Textures[font - 1].get();
    });
  }
  size_t IndexOf(const DrawRecord* draw) const { return static_cast<size_t>(draw - device_.Draws.data()); }
  // Brick draws of one colour: every draw of the brick mesh in use with that colour's texture.
  size_t BrickDraws(int color) const { return WithTexture(resources_.Scene.BrickTextures[color]).size(); }

  static FigureShapes* shapes_;
  RecordingDevice device_{720, 540};
  RenderResources resources_;
  GameState game_;
  ParticleLists particles_;
  Settings settings_;
  HighScoreState scores_;
  MenuState menu_;
  StatisticsState statistics_;
};
FigureShapes* GameSceneTest::shapes_ = nullptr;

int FilledCells(const FigureShapes& shapes, const TFigure& figure) {
  int n = 0;
  for (const auto& row : shapes.Grids[figure.Color - 1][figure.Turn - 1])
    for (uint8_t cell : row) n += cell != 0;
  return n;
}

TEST_F(GameSceneTest, AFrameIsClearedDrawnInOneSceneAndPresented) {
  Frame();
  EXPECT_EQ(device_.Clears, 1);
  EXPECT_EQ(device_.LastClearColor, 0x000555A5u);
  EXPECT_EQ(device_.LastClearFlags, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
  EXPECT_EQ(device_.BeginScenes, 1);
  EXPECT_EQ(device_.EndScenes, 1);
  EXPECT_EQ(device_.Presents, 1);
  EXPECT_FALSE(device_.InScene);

  // In the menu the menu background is drawn instead of the game's.
  game_.Mode.InMenu = true;
  Frame();
  EXPECT_EQ(WithTexture(resources_.Scene.MenuPictures[kMenuBackgroundPicture]).size(), 1u);
  for (int type = 1; type <= 5; ++type) EXPECT_TRUE(WithTexture(resources_.Scene.GameBackgrounds[type]).empty());
}

TEST_F(GameSceneTest, BackgroundAndGlassFrameFollowTheGameType) {
  for (int type = 1; type <= 5; ++type) {
    game_.GameType = type;
    Frame();
    const auto background = WithTexture(resources_.Scene.GameBackgrounds[type]);
    ASSERT_EQ(background.size(), 1u) << type;
    EXPECT_EQ(IndexOf(background[0]), 0u);  // drawn first, behind everything
    EXPECT_FLOAT_EQ(background[0]->State.World(1, 1), 36.0f);
    EXPECT_FLOAT_EQ(background[0]->State.World(4, 3), 5.0f);
    EXPECT_EQ(background[0]->StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG1);

    const auto frameA = OfModel(kGlassFrameAModel), frameB = OfModel(kGlassFrameBModel);
    EXPECT_EQ(frameA.empty(), type % 2 == 0) << type;
    EXPECT_EQ(frameB.empty(), type % 2 == 1) << type;
    for (const DrawRecord* d : type % 2 == 1 ? frameA : frameB) {
      EXPECT_EQ(d->RenderState(D3DRS_ALPHABLENDENABLE), 1u);
      EXPECT_EQ(d->RenderState(D3DRS_SRCBLEND), D3DBLEND_ONE);
      EXPECT_EQ(d->RenderState(D3DRS_DESTBLEND), D3DBLEND_ONE);
      EXPECT_FALSE(d->State.LightEnabled[4]);
      EXPECT_TRUE(d->State.LightEnabled[1]);
      EXPECT_FLOAT_EQ(d->State.World(4, 3), -0.3f);
    }
  }
  // After the frame the point light is back and blending off for the bricks.
  for (const DrawRecord* d : WithTexture(resources_.Scene.BrickTextures[game_.Cells.Cell(1, 1).Brick.Color])) {
    EXPECT_TRUE(d->State.LightEnabled[4]);
    EXPECT_EQ(d->RenderState(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(d->RenderState(D3DRS_LIGHTING), 1u);
    EXPECT_EQ(d->RenderState(D3DRS_SPECULARENABLE), 1u);
    EXPECT_EQ(d->RenderState(D3DRS_NORMALIZENORMALS), 1u);
  }
}

TEST_F(GameSceneTest, FiguresTheGlassAndTheRowsInFlightAreDrawnBrickByBrick) {
  // An empty glass but for one row in flight, so every brick colour can be counted.
  game_.Cells.BuildGlass();
  game_.Cells.Occupy(2, 1, 40);
  game_.Cells.Occupy(9, 3, 40);
  game_.ClearedRows[5].InUse = true;
  for (int c = 0; c < kGlassColumns; ++c) game_.ClearedRows[5].Bricks[c] = TBrick::Create(41, c + 1.0f, 8.0f, 0);
  game_.ClearedRows[2].Bricks[0] = TBrick::Create(42, 1.0f, 9.0f, 0);  // a slot not in use
  Frame();
  const size_t runs = resources_.Scene.Models.ModelTable[settings_.BrickQuality].Runs.size();
  EXPECT_EQ(BrickDraws(game_.CurrentFigure.Color), FilledCells(*shapes_, game_.CurrentFigure) * runs);
  EXPECT_EQ(BrickDraws(game_.NextFigure.Color), FilledCells(*shapes_, game_.NextFigure) * runs);
  EXPECT_EQ(BrickDraws(40), 2 * runs);
  EXPECT_EQ(BrickDraws(41), 10 * runs);
  EXPECT_EQ(BrickDraws(42), 0u);
  // The glass bricks come after the frame, the particles after the bricks.
  const auto bricks = WithTexture(resources_.Scene.BrickTextures[40]);
  const auto frame = OfModel(kGlassFrameAModel);
  const auto sparks = Where([&](const DrawRecord& d) { return d.StreamUsed == resources_.Particles.VB.get(); });
  ASSERT_FALSE(frame.empty());
  ASSERT_EQ(sparks.size(), particles_[1].Size());
  EXPECT_LT(IndexOf(frame.back()), IndexOf(bricks.front()));
  EXPECT_LT(IndexOf(WithTexture(resources_.Scene.BrickTextures[41]).back()), IndexOf(sparks.front()));
}

TEST_F(GameSceneTest, TheBombReplacesTheFallingFigureAndThePreview) {
  const TFigure& current = game_.CurrentFigure;
  game_.Bonus.BombActive = true;
  Frame();
  EXPECT_EQ(BrickDraws(current.Color), 0u);
  EXPECT_GT(BrickDraws(game_.NextFigure.Color), 0u);
  auto bomb = OfModel(kBombModel);
  ASSERT_FALSE(bomb.empty());
  EXPECT_FLOAT_EQ(bomb[0]->State.World(4, 1), current.PosX + 1.5f);
  EXPECT_FLOAT_EQ(bomb[0]->State.World(4, 2), current.PosY - 1.03f);
  // No drop trail under a falling bomb.
  EXPECT_TRUE(WithTexture(resources_.Scene.MotionBlur).empty());

  game_.Bonus.BombActive = false;
  game_.Bonus.BombPending = true;
  Frame();
  EXPECT_GT(BrickDraws(current.Color), 0u);
  EXPECT_EQ(BrickDraws(game_.NextFigure.Color), 0u);
  bomb = OfModel(kBombModel);
  ASSERT_FALSE(bomb.empty());
  EXPECT_FLOAT_EQ(bomb[0]->State.World(4, 1), -4.6f);
  EXPECT_FLOAT_EQ(bomb[0]->State.World(4, 2), 16.1f);
  EXPECT_EQ(WithTexture(resources_.Scene.MotionBlur).size(), 2u);  // two trail columns
}

TEST_F(GameSceneTest, AfterGameOverNoFigureIsDrawnAndEachInterruptionShowsItsPicture) {
  game_.Bonus.BombPending = true;
  game_.Mode.GameOver = true;
  const float swingBefore = resources_.Swing.SwingAngle;
  Frame();
  EXPECT_EQ(BrickDraws(game_.CurrentFigure.Color), 0u);
  EXPECT_EQ(BrickDraws(game_.NextFigure.Color), 0u);
  EXPECT_TRUE(OfModel(kBombModel).empty());

  const auto picture = WithTexture(resources_.Scene.StateTextures[1]);
  ASSERT_EQ(picture.size(), 1u);
  EXPECT_EQ(picture[0]->RenderState(D3DRS_LIGHTING), 0u);
  EXPECT_FLOAT_EQ(picture[0]->State.World(4, 3), -1.0f);
  EXPECT_NEAR(picture[0]->State.World(2, 2), 2.5925925f, 1e-6);
  EXPECT_GT(resources_.Swing.SwingAngle, swingBefore);  // rocks on for the next frame
  EXPECT_TRUE(WithTexture(resources_.Scene.StateTextures[2]).empty());

  game_.Mode.GameOver = false;
  game_.Mode.Paused = true;
  Frame();
  EXPECT_EQ(WithTexture(resources_.Scene.StateTextures[2]).size(), 1u);
  // The picture turns about the vertical axis by the angle of the last frame.
  const D3DMATRIX& world = WithTexture(resources_.Scene.StateTextures[2])[0]->State.World;
  EXPECT_NEAR(world(1, 3), -14.0f * std::sin(swingBefore + 0.00026179938f * 16), 1e-4);

  game_.Mode.Paused = false;
  game_.Mode.AbortAsked = true;
  Frame();
  EXPECT_EQ(WithTexture(resources_.Scene.StateTextures[3]).size(), 1u);
  game_.Mode.AbortAsked = false;
  const float still = resources_.Swing.SwingAngle;
  Frame();
  for (int kind = 1; kind <= 3; ++kind) EXPECT_TRUE(WithTexture(resources_.Scene.StateTextures[kind]).empty());
  EXPECT_EQ(resources_.Swing.SwingAngle, still);  // the swing rests while no picture shows
}

TEST_F(GameSceneTest, AFailedParticleLockEndsTheFrameUnpresentedAndComesBackForItsReport) {
  Particle_Add(particles_, 3, 3, 100, 4, 4, 0, 0);  // smoke, drawn after the sparks
  uint8_t* held = nullptr;
  ASSERT_EQ(resources_.Particles.VB->Lock(0, 0, &held), D3D_OK);  // the next lock fails
  const FrameResult failed = Frame();
  resources_.Particles.VB->Unlock();
  ASSERT_NE(failed.FailedCall, nullptr);
  EXPECT_STREQ(failed.FailedCall, "FD3DVBParticles.Lock");
  EXPECT_EQ(failed.Result, D3DERR_INVALIDCALL);
  EXPECT_EQ(device_.EndScenes, 1);
  EXPECT_EQ(device_.Presents, 0);
  EXPECT_TRUE(Where([&](const DrawRecord& d) { return d.StreamUsed == resources_.Particles.VB.get(); }).empty());
  EXPECT_FALSE(particles_[1].Empty()) << "the drawing leaves the particles to the report";

  const FrameResult drawn = Frame();
  EXPECT_EQ(drawn.FailedCall, nullptr);
  EXPECT_EQ(drawn.Result, D3D_OK);
  EXPECT_EQ(device_.Presents, 1);
}

TEST_F(GameSceneTest, TheMessageShowsOnlyAboveOpacityTenWithItsBonusLine) {
  auto messageGlyphs = [&](int font) {
    std::vector<const DrawRecord*> found;
    for (const DrawRecord* d : Glyphs(font))
      if (d->State.World(4, 3) == -1.5f) found.push_back(d);
    return found;
  };
  game_.Msg = {"Wow", -2.4f, 7, 10.0f, 150, 1};
  Frame();
  EXPECT_TRUE(messageGlyphs(4).empty());
  EXPECT_TRUE(messageGlyphs(2).empty());

  game_.Msg.Alpha = 10.5f;
  Frame();
  auto glyphs = messageGlyphs(4);
  ASSERT_EQ(glyphs.size(), 3u);
  D3DCOLOR colour;
  std::memcpy(&colour, glyphs[0]->Vertices.data() + 12, sizeof(colour));
  EXPECT_EQ(colour >> 24, 10u);
  EXPECT_NEAR(glyphs[0]->State.World(4, 1), 5.5f - 2.4f, 1e-5);
  EXPECT_NEAR(glyphs[0]->State.World(4, 2), 10.5f + 6.6f, 1e-5);
  EXPECT_EQ(messageGlyphs(2).size(), 8u);  // "Bonus 150": eight glyphs and a blank
  EXPECT_NEAR(messageGlyphs(2)[0]->State.World(4, 1), 5.5f - 1.7f, 1e-5);
  // Drawn last, over everything.
  EXPECT_EQ(IndexOf(messageGlyphs(2).back()), device_.Draws.size() - 1);

  game_.Msg.Bonus = 0;
  Frame();
  EXPECT_TRUE(messageGlyphs(2).empty());
}

TEST_F(GameSceneTest, TheFadeOverlayCoversTheSceneWhileInputIsLocked) {
  const auto shade = [&] {
    return Where([&](const DrawRecord& d) { return d.StreamUsed == resources_.Scene.ShadeVB.get(); });
  };
  Frame();
  EXPECT_TRUE(shade().empty());
  game_.Mode.InputLocked = true;
  game_.Mode.FadeLevel = 200;
  Frame();
  ASSERT_EQ(shade().size(), 1u);
  const DrawRecord& d = *shade()[0];
  EXPECT_EQ(d.RenderState(D3DRS_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(d.RenderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
  EXPECT_EQ(d.RenderState(D3DRS_LIGHTING), 0u);
  EXPECT_EQ(d.TextureUsed, nullptr);
  EXPECT_FLOAT_EQ(d.State.World(4, 3), -3.0f);
  D3DCOLOR colour;
  std::memcpy(&colour, d.Vertices.data() + 12, sizeof(colour));
  EXPECT_EQ(colour, 0xC8000000u);
}

// The trail's texture is clear at its top row and opaque at its bottom row: repeated, the
// linear filter would blend the two along both edges of the quad.
TEST_F(GameSceneTest, TheTrailSamplesItsTextureClampedAndLeavesItRepeatedForWhatFollows) {
  game_.Mode.InputLocked = true;  // the fade overlay follows the trail
  Frame();
  const auto trail = WithTexture(resources_.Scene.MotionBlur);
  ASSERT_EQ(trail.size(), 2u);
  for (const DrawRecord* d : trail) {
    EXPECT_EQ(d->StageState(D3DTSS_ADDRESSU), D3DTADDRESS_CLAMP);
    EXPECT_EQ(d->StageState(D3DTSS_ADDRESSV), D3DTADDRESS_CLAMP);
  }
  for (const DrawRecord& d : device_.Draws) {
    if (d.TextureUsed == resources_.Scene.MotionBlur.get()) continue;
    EXPECT_EQ(d.StageState(D3DTSS_ADDRESSU), D3DTADDRESS_WRAP) << "draw " << IndexOf(&d);
    EXPECT_EQ(d.StageState(D3DTSS_ADDRESSV), D3DTADDRESS_WRAP) << "draw " << IndexOf(&d);
  }
  EXPECT_LT(IndexOf(trail.back()), device_.Draws.size() - 1) << "something is drawn after the trail";
}

TEST_F(GameSceneTest, PanelsAndBarsUseTheirFontsAndTexturePairs) {
  Frame();
  // "Next:" in font 2 at the top left of the panel comes right after the background.
  ASSERT_GT(device_.Draws.size(), 1u);
  EXPECT_EQ(device_.Draws[1].TextureUsed, resources_.Fonts.Textures[1].get());
  EXPECT_NEAR(device_.Draws[1].State.World(4, 1), 5.5f - 13.3f, 1e-5);
  // Torvane with the bonus clock: time bar with pair 2, power bar with pair 3.
  const auto frame2 = WithTexture(resources_.Scene.BarFrame2), fill2 = WithTexture(resources_.Scene.BarFill2);
  const auto frame3 = WithTexture(resources_.Scene.BarFrame3), fill3 = WithTexture(resources_.Scene.BarFill3);
  ASSERT_EQ(frame2.size(), 1u);
  ASSERT_EQ(fill2.size(), 1u);
  ASSERT_EQ(frame3.size(), 1u);
  ASSERT_EQ(fill3.size(), 1u);
  EXPECT_NEAR(frame2[0]->State.World(4, 2), 10.5f - 5.5f, 1e-5);
  EXPECT_NEAR(frame3[0]->State.World(4, 2), 10.5f - 7.0f, 1e-5);
  EXPECT_NEAR(frame3[0]->State.World(4, 1), 5.5f + 9.6f, 1e-5);
  EXPECT_EQ(fill2[0]->StartVertex, 4u);
  // The fill shows the bar's fraction: 39 s of 60 gone is 0.65 of the bar.
  float x1;
  std::memcpy(&x1, fill2[0]->Vertices.data() + 24, sizeof(x1));
  EXPECT_NEAR(x1, 0.65f - 0.5f, 1e-5);
  for (const DrawRecord* d : {frame2[0], fill3[0]}) {
    EXPECT_EQ(d->StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    EXPECT_EQ(d->RenderState(D3DRS_ALPHABLENDENABLE), 0u);
  }
  // Another game type without the bonus clock: no bars at all.
  game_.GameType = kVodoza;
  game_.Bonus.BonusMode = false;
  Frame();
  EXPECT_TRUE(WithTexture(resources_.Scene.BarFrame2).empty());
  EXPECT_TRUE(WithTexture(resources_.Scene.BarFrame3).empty());
}

}  // namespace
}  // namespace zt
