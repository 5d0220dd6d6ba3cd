// What the scene draws, as recorded by the recording device: meshes of one and of several
// materials, bricks in their colours, figures while turning and shrunken, the loading
// frame and the menu screens.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <set>

#include "device/recording_device.h"
#include "game/motion.h"
#include "render/loading_frame.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::TempFolder;

float Translation(const D3DMATRIX& m, int axis) { return m(4, axis); }

TEST(ModelDrawing, OneCallPerMaterialRunWithTheRunsMaterial) {
  TempFolder folder;
  DebugLog log{folder.File("debug.txt")};
  std::string square = "Vertices\n4\n0 0 0\n0 1 0\n1 1 0\n1 0 0\nTriangles\n2\n0 1 2\n0 2 3\n";
  testing::WriteBytes(folder.File("one.mesh"), square + "MaterialList\n1\nMaterial\n0.2 0.4 0.6 1\n\n\n\n");
  std::string six = "Vertices\n4\n0 0 0\n0 1 0\n1 1 0\n1 0 0\nTriangles\n6\n";
  for (int t = 0; t < 6; ++t) six += "0 1 2\n";
  six += "MaterialList\n3\n6\n0\n0\n1\n1\n1\n2\n";
  for (const char* colour : {"1 0 0 1", "0 1 0 1", "0 0 1 1"}) six += std::string("Material\n") + colour + "\n\n\n\n";
  testing::WriteBytes(folder.File("six.mesh"), six);

  RecordingDevice device;
  SceneResources scene;
  scene.Models.NextModelIndex = kGlassFrameAModel;
  LoadModel(scene.Models, "one.mesh", log, folder.Path());
  LoadModel(scene.Models, "six.mesh", log, folder.Path());
  ASSERT_EQ(CreateMeshBuffers(device, scene), D3D_OK);
  FillMeshBuffers(scene);

  TModel one{kGlassFrameAModel, kIdentityMatrix}, many{kGlassFrameBModel, kIdentityMatrix};
  MatTranslation(many.Matrix, 2, 3, 4);
  device.BeginScene();
  Draw(device, scene, one);
  Draw(device, scene, many);
  ASSERT_EQ(device.Draws.size(), 4u);
  const DrawRecord& single = device.Draws[0];
  EXPECT_EQ(single.StartVertex, 0u);
  EXPECT_EQ(single.PrimitiveCount, 2u);
  EXPECT_FLOAT_EQ(single.State.Material.Diffuse.b, 0.6f);
  EXPECT_EQ(single.State.Fvf, kFvfMesh);
  EXPECT_EQ(single.State.StreamStride, 24u);
  MeshVertex first;
  std::memcpy(&first, single.Vertices.data() + 3 * sizeof(MeshVertex), sizeof(first));  // triangle 2, corner 1
  EXPECT_FLOAT_EQ(first.X, 0);
  EXPECT_FLOAT_EQ(first.Y, 0);
  EXPECT_FLOAT_EQ(first.NZ, -1) << "the square faces the camera";

  const uint32_t starts[3] = {6, 6 + 6, 6 + 15}, counts[3] = {2, 3, 1};
  for (int run = 0; run < 3; ++run) {
    const DrawRecord& draw = device.Draws[static_cast<size_t>(1 + run)];
    EXPECT_EQ(draw.StartVertex, starts[run]) << run;
    EXPECT_EQ(draw.PrimitiveCount, counts[run]) << run;
    EXPECT_FLOAT_EQ(draw.State.Material.Diffuse.r, run == 0 ? 1.0f : 0.0f) << run;
    EXPECT_FLOAT_EQ(draw.State.Material.Diffuse.b, run == 2 ? 1.0f : 0.0f) << run;
    EXPECT_FLOAT_EQ(Translation(draw.State.World, 3), 4);
  }
}

class SceneDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    const DebugLog log{"", false};
    InitModels(scene_.Models, log, ZT_GAME_DIR);
    ASSERT_EQ(CreateMeshBuffers(device_, scene_), D3D_OK);
    FillMeshBuffers(scene_);
    InitVBMenu(device_, scene_);
    InitSceneMaterial(scene_);
    shapes_ = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
    for (int c = 1; c <= kBrickColors; ++c)
      device_.CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, scene_.BrickTextures[c]);
    for (TexturePtr& picture : scene_.MenuPictures)
      device_.CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, picture);
    device_.BeginScene();
  }

  // The draws that used the brick texture of `color`.
  std::vector<const DrawRecord*> BrickDraws(int color) const {
    std::vector<const DrawRecord*> found;
    for (const DrawRecord& draw : device_.Draws)
      if (draw.TextureUsed == scene_.BrickTextures[static_cast<size_t>(color)].get()) found.push_back(&draw);
    return found;
  }
  std::vector<const DrawRecord*> PictureDraws(int picture) const {
    std::vector<const DrawRecord*> found;
    for (const DrawRecord& draw : device_.Draws)
      if (draw.TextureUsed == scene_.MenuPictures[static_cast<size_t>(picture)].get()) found.push_back(&draw);
    return found;
  }

  // Where the figure's bricks are drawn, as (x, y) in thousandths of a cell.
  std::set<std::pair<long, long>> BrickPlaces(const TFigure& figure, bool clockwise) {
    device_.Draws.clear();
    Draw(device_, scene_, figure, shapes_, clockwise, 0);
    std::set<std::pair<long, long>> places;
    for (const DrawRecord& draw : device_.Draws)
      places.emplace(std::lround(Translation(draw.State.World, 1) * 1000),
                     std::lround(Translation(draw.State.World, 2) * 1000));
    return places;
  }

  RecordingDevice device_;
  SceneResources scene_;
  FigureShapes shapes_;
};

TEST_F(SceneDrawing, BricksTakeTheQualityMeshAndTheirColoursTexture) {
  TBrick brick = TBrick::Create(7, 3, 4, 0);
  Draw(device_, scene_, brick, 1);
  ASSERT_EQ(BrickDraws(7).size(), 1u);
  const DrawRecord& draw = *BrickDraws(7)[0];
  const TModelInfo& medium = scene_.Models.ModelTable[kBrickMediumModel];
  EXPECT_EQ(draw.StartVertex, static_cast<uint32_t>(medium.FirstVertex));
  EXPECT_EQ(draw.PrimitiveCount, static_cast<uint32_t>(medium.TriangleCount));
  EXPECT_EQ(draw.State.Fvf, kFvfTexMesh);
  EXPECT_EQ(draw.StageState(D3DTSS_COLOROP), D3DTOP_MODULATE);
  EXPECT_FLOAT_EQ(draw.State.Material.Power, 60);
  EXPECT_EQ(device_.State().Textures[0], nullptr) << "the texture is unset after the draw";
}

TEST_F(SceneDrawing, EveryQuarterTurnEndsWhereTheNextTurnIsDrawn) {
  for (const bool clockwise : {true, false})
    for (int figure = 1; figure <= kFigureCount; ++figure)
      for (int turn = 1; turn <= kTurnCount; ++turn)
        for (const float scale : {1.0f, 0.75f}) {
          TFigure f;
          f.Place(figure, turn, scale, 0, 15, 3);
          f.Turning = true;
          MatRotationZ(f.TurnMatrix, clockwise ? -std::numbers::pi_v<float> / 2 : std::numbers::pi_v<float> / 2);
          const auto turned = BrickPlaces(f, clockwise);
          TFigure after;
          after.Place(figure, TurnAfter(turn, clockwise), scale, 0, 15, 3);
          EXPECT_EQ(turned, BrickPlaces(after, clockwise))
              << "figure " << figure << " turn " << turn << (clockwise ? " clockwise" : " the other way") << " at "
              << scale;
        }
}

TEST_F(SceneDrawing, TurningFigureStartsWhereItStoodAndTurnsItsBricks) {
  TFigure f;
  f.Place(2, 1, 1.0f, 0, 15, 3);
  const auto still = BrickPlaces(f, true);
  f.Turning = true;
  f.TurnMatrix = kIdentityMatrix;
  EXPECT_EQ(BrickPlaces(f, true), still);
  MatRotationZ(f.TurnMatrix, -std::numbers::pi_v<float> / 4);
  const D3DMATRIX m = FigureBrickMatrix(f, PivotOfTurn(shapes_.Shape(2, 1), shapes_.Shape(2, 2), true), 0, 0);
  EXPECT_NEAR(m(1, 2), -std::sqrt(0.5f), 1e-6) << "the brick itself is turned";
}

TEST_F(SceneDrawing, ShrunkenFigureDrawsOneSmallBrickPerCellDrawnIn) {
  TFigure f;
  f.Place(1, 1, 0.5f, -0.25f, 18, -6);
  const D3DMATRIX corner = FigureBrickMatrix(f, {}, 0, 0), far = FigureBrickMatrix(f, {}, 3, 3);
  EXPECT_FLOAT_EQ(corner(1, 1), 0.5f);
  // Half-size bricks half a cell apart, moved in by (1 - 0.5) x 2 towards the box's middle.
  EXPECT_FLOAT_EQ(Translation(corner, 1), -5.0f);
  EXPECT_FLOAT_EQ(Translation(corner, 2), 17.0f);
  EXPECT_FLOAT_EQ(Translation(far, 1), -3.5f);
  EXPECT_FLOAT_EQ(Translation(far, 2), 15.5f);
  EXPECT_FLOAT_EQ(Translation(corner, 3), -0.25f);
  Draw(device_, scene_, f, shapes_, true, 0);
  int cells = 0;
  for (const auto& row : shapes_.Shape(1, 1))
    for (uint8_t cell : row) cells += cell != 0;
  EXPECT_EQ(static_cast<int>(BrickDraws(1).size()), cells);
}

TEST_F(SceneDrawing, LoadingFrameDrawsThePictureAndTheBarCutAtTheFraction) {
  device_.EndScene();
  DrawLoadingProgress(device_, scene_, 0.3f);
  ASSERT_EQ(device_.Draws.size(), 2u);
  EXPECT_EQ(device_.LastClearColor, 0x000555A5u);
  EXPECT_EQ(device_.Presents, 1);
  const DrawRecord& bar = device_.Draws[1];
  EXPECT_EQ(bar.StartVertex, 4u);
  EXPECT_EQ(bar.StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG1);
  TexColourVertex right;
  std::memcpy(&right, bar.Vertices.data() + sizeof(TexColourVertex), sizeof(right));
  EXPECT_FLOAT_EQ(right.X, 0.3f - 0.5f);
  EXPECT_FLOAT_EQ(right.U, 0.3f);
}

TEST_F(SceneDrawing, MainMenuDrawsFiveSlabsTheSelectedGrownBrightAndFlankedByBricks) {
  MenuState menu;
  HighScoreState scores;
  Settings settings;
  MoveSelection(menu, 2);
  MenuAnimationStep(menu, scores, 50);
  int shades = 0;
  int shadesBeforeNotice = -1;
  DrawMenu(device_, scene_, menu, settings, shapes_, true,
           {nullptr, nullptr, [&shades] { ++shades; }, [&] { shadesBeforeNotice = shades; }, nullptr});
  EXPECT_EQ(PictureDraws(kMenuBackgroundPicture).size(), 1u);
  EXPECT_EQ(shades, 1);
  EXPECT_EQ(shadesBeforeNotice, 0);  // a save's notice is over the screen and fades with it
  const float grown = 8.0f + 0.004f * 50;
  for (int slot = 1; slot <= 5; ++slot) {
    ASSERT_EQ(PictureDraws(kMainItemPictures + slot - 1).size(), 1u);
    const DrawRecord& slab = *PictureDraws(kMainItemPictures + slot - 1)[0];
    EXPECT_EQ(slab.PrimitiveCount, static_cast<uint32_t>(scene_.Models.ModelTable[0].TriangleCount));
    EXPECT_NEAR(slab.State.World(1, 1), slot <= 2 ? grown : 8.0f, 1e-4) << slot;
    EXPECT_NEAR(Translation(slab.State.World, 2), kGlassCenterY + 2.6f - 2.4f * (slot - 1), 1e-4) << slot;
    EXPECT_EQ(slab.RenderState(D3DRS_AMBIENT), slot == 2   ? 0x00797979u
                                               : slot == 1 ? 0x00B6B6B6u
                                                           : 0x00656565u)
        << "brightness 101 + 20, 202 - 20, 101 for slot " << slot;
  }
  const auto bricks = BrickDraws(2);
  ASSERT_EQ(bricks.size(), 2u);
  EXPECT_FLOAT_EQ(Translation(bricks[0]->State.World, 1), kGlassCenterX - 6.4f);
  EXPECT_FLOAT_EQ(Translation(bricks[1]->State.World, 2), kGlassCenterY + 0.2f + 0.2f);
  EXPECT_EQ(device_.State().RenderState(D3DRS_AMBIENT), 0x00656565u);
}

TEST_F(SceneDrawing, ARollingSlabTurnsAboutItsOwnMiddle) {
  MenuState menu;
  Settings settings;
  MoveSelection(menu, 2);
  for (const float angle : {-0.3f, -0.785f, -1.5f}) {
    menu.ItemAngle[1] = angle;
    device_.Draws.clear();
    DrawMenu(device_, scene_, menu, settings, shapes_, false, {});
    ASSERT_EQ(PictureDraws(kMainItemPictures + 1).size(), 1u);
    const D3DMATRIX& world = PictureDraws(kMainItemPictures + 1)[0]->State.World;
    EXPECT_NEAR(Translation(world, 1), kGlassCenterX, 1e-5) << angle;
    EXPECT_NEAR(Translation(world, 2), kGlassCenterY + 2.6f - 2.4f, 1e-5) << angle;
    EXPECT_NEAR(Translation(world, 3), 0, 1e-5) << angle;
  }
}

TEST_F(SceneDrawing, MenuScreensSetTheStatesTheyDrawWithWhateverCameBefore) {
  // What a game leaves set: normalised normals; and a fresh device's alpha, the texture's alone.
  device_.SetRenderState(D3DRS_NORMALIZENORMALS, 1);
  MenuState menu;
  Settings settings;
  DrawMenu(device_, scene_, menu, settings, shapes_, false, {});
  for (int slot = 1; slot <= 5; ++slot)
    EXPECT_EQ(PictureDraws(kMainItemPictures + slot - 1)[0]->RenderState(D3DRS_NORMALIZENORMALS), 0u) << slot;

  device_.Draws.clear();
  InitMenuQuadVB(device_, scene_);
  DrawBackdrop(device_, scene_);
  ASSERT_EQ(PictureDraws(kBackdropPicture).size(), 1u);
  const DrawRecord& backdrop = *PictureDraws(kBackdropPicture)[0];
  EXPECT_EQ(backdrop.RenderState(D3DRS_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(backdrop.StageState(D3DTSS_ALPHAOP), D3DTOP_MODULATE) << "translucent on the first frame too";
  EXPECT_EQ(backdrop.StageState(D3DTSS_ALPHAARG2), D3DTA_DIFFUSE);
}

TEST_F(SceneDrawing, OptionsDrawVolumeBricksValueSlabsAndTheDemoFigure) {
  MenuState menu;
  Settings settings;
  settings.SoundVolume = 3;
  settings.MusicVolume = 0;
  settings.RotationClockwise = false;
  settings.BrickQuality = 2;
  CreateVolumeBricks(menu, settings);
  menu.MenuScreen = kOptionsScreen;
  menu.MenuItem = 3;
  bool helpDrawn = false;
  const MenuScreenDrawers helpOnly{[&helpDrawn] { helpDrawn = true; }, nullptr, nullptr, nullptr, nullptr};
  DrawMenu(device_, scene_, menu, settings, shapes_, false, helpOnly);
  EXPECT_FALSE(helpDrawn);
  // Volume bricks 1..3 of the sound row: colours 5, 4, 2 at full size; none of the music row.
  EXPECT_EQ(BrickDraws(5).size(), 1u);
  ASSERT_EQ(BrickDraws(4).size(), 1u);
  EXPECT_FLOAT_EQ(BrickDraws(4)[0]->State.World(2, 2), 0.74f);
  EXPECT_FLOAT_EQ(Translation(BrickDraws(4)[0]->State.World, 1), kGlassCenterX + 3.75f + 0.84f);
  EXPECT_EQ(BrickDraws(2).size(), 2u) << "the third volume brick and the brick beside Rotation";
  EXPECT_EQ(PictureDraws(kStripePicture).size(), 2u);
  EXPECT_EQ(PictureDraws(kStripePicture)[0]->RenderState(D3DRS_ALPHABLENDENABLE), 1u);
  ASSERT_EQ(PictureDraws(kCounterClockwisePicture).size(), 1u);
  EXPECT_NEAR(PictureDraws(kCounterClockwisePicture)[0]->State.World(1, 1), 8.4f / 2.6f, 1e-4);
  EXPECT_EQ(PictureDraws(kQualityPictures + 2).size(), 1u);
  EXPECT_EQ(BrickDraws(7).size(), 4u) << "the demonstration figure";

  menu.MenuScreen = kHelpScreen;
  DrawMenu(device_, scene_, menu, settings, shapes_, false, helpOnly);
  EXPECT_TRUE(helpDrawn);
}

}  // namespace
}  // namespace zt
