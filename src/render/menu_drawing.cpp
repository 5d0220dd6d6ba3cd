#include "render/menu_drawing.h"

#include <algorithm>

#include "render/model_drawing.h"
#include "render/render_states.h"

namespace zt {

namespace {

constexpr D3DCOLOR kWhiteKey = 0xFFFFFFFFu;
constexpr float kSlotStep = 2.4f;        // from one item slot down to the next
constexpr float kSlabSection = 5.4f;     // width over height (and depth) of an item slab
constexpr float kValueSlabWidth = 2.6f;  // item width over value slab width
constexpr float kVolumeBrickSize = 0.74f;

D3DCOLOR Grey(int32_t level) {
  const auto b = static_cast<uint32_t>(std::clamp(level, 0, 255));
  return D3DCOLOR_ARGB(0, b, b, b);
}

// Brick i (1..9) of a volume row: yellow, blue, red, green, blue, yellow, red, green, blue.
int32_t VolumeBrickColor(int i) {
  static constexpr int32_t kColors[kVolumeBricks] = {5, 4, 2, 3, 4, 5, 2, 3, 4};
  return kColors[i - 1];
}

// Everything one menu frame draws with.
struct MenuFrame {
  Device& Dev;
  SceneResources& Scene;
  const MenuState& Menu;
  const Settings& Config;
  const FigureShapes& Shapes;

  const TexturePtr& Picture(int index) const { return Scene.MenuPictures[static_cast<size_t>(index)]; }

  // A slab of the low-detail brick mesh with a picture on it, at (x, y, 0), rolled about
  // its horizontal axis by `angle` when it rolls.
  void Slab(const TexturePtr& picture, const D3DMATRIX& scaling, bool rolls, float angle, float x, float y) {
    Dev.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    Dev.SetMaterial(Scene.SceneMaterial);
    Dev.SetStreamSource(0, Scene.TexMeshVB, kTexMeshStride);
    Dev.SetVertexShader(kFvfTexMesh);
    Dev.SetTexture(0, picture);
    D3DMATRIX world;
    D3DMATRIX position, placed;
    MatTranslation(position, x, y, 0);
    MatMultiply(position, scaling, placed);
    if (rolls) {
      // The brick mesh is centred, so the slab rolls about its own middle: its square
      // section looks the same after every quarter turn, and the roll winds back unseen.
      D3DMATRIX roll;
      MatRotationX(roll, angle);
      MatMultiply(placed, roll, world);
    } else {
      world = placed;
    }
    Dev.SetTransform(D3DTS_WORLD, world);
    const TModelInfo& mesh = Scene.Models.ModelTable[kBrickLowModel];
    Dev.DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<uint32_t>(mesh.FirstVertex),
                      static_cast<uint32_t>(mesh.TriangleCount));
    Dev.SetTexture(0, nullptr);
  }

  // The width of the slab in `slot`, with its ambient light set.
  float SlotWidth(int slot) {
    float width = kItemWidth;
    int32_t brightness = kItemBrightness;
    if (slot == Menu.MenuItem) {
      width = Menu.ItemScale;
      brightness = Menu.ItemBrightness;
    } else if (slot == Menu.PrevMenuItem) {
      width = Menu.PrevItemScale;
      brightness = Menu.PrevItemBrightness;
    }
    Dev.SetRenderState(D3DRS_AMBIENT, Grey(brightness));
    return width;
  }

  bool Rolls(int slot) const { return slot == Menu.MenuItem || Menu.ItemAngle[static_cast<size_t>(slot - 1)] != 0; }
  float Angle(int slot) const { return Menu.ItemAngle[static_cast<size_t>(slot - 1)]; }

  // Menu brick n (0, 1) with its spin, placed at (x, y, 0) and drawn in red.
  void MenuBrick(int n, float x, float y) {
    TBrick brick;
    brick.Color = 2;
    brick.Matrix = Menu.MenuBricks[static_cast<size_t>(n)];
    brick.Matrix(4, 1) = x;
    brick.Matrix(4, 2) = y;
    brick.Matrix(4, 3) = 0;
    Draw(Dev, Scene, brick, Config.BrickQuality);
  }

  // The item column of the main and game-type screens, with both bricks beside the selection.
  void ItemColumn(int count, int firstPicture, float top, float brickDy) {
    float y = top;
    for (int slot = 1; slot <= count; ++slot, y -= kSlotStep) {
      const float s = SlotWidth(slot);
      if (slot == Menu.MenuItem) {
        MenuBrick(0, kGlassCenterX - 6.4f, y + brickDy);
        MenuBrick(1, kGlassCenterX + 6.4f, y + brickDy);
      }
      Slab(Picture(firstPicture + slot - 1), ScaledAt(s, s / kSlabSection, s / kSlabSection, 0, 0, 0), Rolls(slot),
           Angle(slot), kGlassCenterX, y);
    }
    Dev.SetRenderState(D3DRS_AMBIENT, Grey(kItemBrightness));
  }

  void VolumeBar(int row, float stripeWidth, float stripeX, float y) {
    AlphaBlend(Dev);
    Dev.SetTexture(0, Picture(kStripePicture));
    Dev.SetStreamSource(0, Scene.QuadVB, sizeof(TexColourVertex));
    Dev.SetVertexShader(kFvfTexColour);
    Dev.SetTransform(D3DTS_WORLD, ScaledAt(stripeWidth, 0.8333333f, 1, kGlassCenterX + stripeX, y + 0.36f, 0));
    Dev.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    Dev.SetTexture(0, nullptr);
    const float rowY = kGlassCenterY + (row == 0 ? 2.6f : 0.2f);
    for (int i = 1; i <= kVolumeBricks; ++i) {
      const float size = Menu.VolumeBrickSize[static_cast<size_t>(row)][static_cast<size_t>(i - 1)];
      if (size == 0) continue;
      TBrick brick;
      brick.Color = VolumeBrickColor(i);
      brick.Matrix = ScaledAt(size, size, size, kGlassCenterX + 3.75f + 0.84f * static_cast<float>(i - 1), rowY, 0);
      Draw(Dev, Scene, brick, Config.BrickQuality);
    }
    Dev.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  }

  void ValueSlab(int slot, int picture, float y) {
    const float s = slot == Menu.MenuItem ? Menu.ItemScale : kItemWidth;
    Slab(Picture(picture), ScaledAt(s / kValueSlabWidth, s / kSlabSection, s / kSlabSection, 0, 0, 0), Rolls(slot),
         Angle(slot), kGlassCenterX + 5.1f, y);
  }

  void OptionsScreen() {
    Dev.SetRenderState(D3DRS_AMBIENT, Grey(kItemBrightness));
    Draw(Dev, Scene, Menu.DemoFigure, Shapes, Config.RotationClockwise, Config.BrickQuality);
    float y = kGlassCenterY + 2.6f;
    for (int slot = 1; slot <= 5; ++slot, y -= kSlotStep) {
      const float s = SlotWidth(slot);
      if (slot == Menu.MenuItem) MenuBrick(0, kGlassCenterX - 11.4f, y + 0.2f);
      Slab(Picture(kOptionsItemPictures + slot - 1), ScaledAt(s, s / kSlabSection, s / kSlabSection, 0, 0, 0),
           Rolls(slot), Angle(slot), kGlassCenterX - 5, y);
      switch (slot) {
        case 1:
          VolumeBar(0, 7.6923075f, 7.17f, y);
          break;
        case 2:
          VolumeBar(1, 7.76699f, 7.18f, y);
          break;
        case 3:
          ValueSlab(slot, Config.RotationClockwise ? kClockwisePicture : kCounterClockwisePicture, y);
          break;
        case 4:
          ValueSlab(slot, kQualityPictures + std::clamp(Config.BrickQuality, 0, 2), y);
          break;
        default:
          break;
      }
    }
    Dev.SetRenderState(D3DRS_AMBIENT, Grey(kItemBrightness));
  }
};

}  // namespace

const std::array<MenuPictureFile, kMenuPictureCount> kMenuPictureFiles = {{
    {"textures/newgame.bmp", 0},
    {"textures/options.bmp", 0},
    {"textures/highscores.bmp", 0},
    {"textures/help.bmp", 0},
    {"textures/exit.bmp", 0},
    {"textures/sound.bmp", 0},
    {"textures/music.bmp", 0},
    {"textures/rotation.bmp", 0},
    {"textures/quality.bmp", 0},
    {"textures/return.bmp", 0},
    {"textures/zellory1.bmp", 0},
    {"textures/zellory2.bmp", 0},
    {"textures/zellory3.bmp", 0},
    {"textures/zellory4.bmp", 0},
    {"textures/zellory5.bmp", 0},
    {"textures/return2.bmp", 0},
    {"textures/cw.bmp", kWhiteKey},
    {"textures/ccw.bmp", kWhiteKey},
    {"textures/low.bmp", kWhiteKey},
    {"textures/medium.bmp", kWhiteKey},
    {"textures/high.bmp", kWhiteKey},
    {"textures/stripe.bmp", kWhiteKey},
    {"textures/backhelp.bmp", kWhiteKey},
    {"textures/background.bmp", 0},
}};

namespace {

void LoadMenuPictures(Device& device, SceneResources& scene, int first, int last) {
  for (int n = first; n <= last; ++n) {
    const MenuPictureFile& picture = kMenuPictureFiles[static_cast<size_t>(n)];
    LoadSceneTexture(device, scene, picture.File, picture.ColorKey, scene.MenuPictures[static_cast<size_t>(n)]);
  }
}

}  // namespace

void InitTexturesBkGr(Device& device, SceneResources& scene) {
  LoadMenuPictures(device, scene, kMenuBackgroundPicture, kMenuBackgroundPicture);
}

void InitTexturesMenu(Device& device, SceneResources& scene, const LoadingProgress& progress) {
  LoadMenuPictures(device, scene, 0, 4);
  if (progress) progress(0.54f);
  LoadMenuPictures(device, scene, 5, 9);
  if (progress) progress(0.59f);
  LoadMenuPictures(device, scene, 10, 15);
  if (progress) progress(0.64f);
  LoadMenuPictures(device, scene, 16, 22);
}

void InitMenuQuadVB(Device& device, SceneResources& scene) {
  Release(scene.MenuQuadVB);
  device.CreateVertexBuffer(kMenuQuadVBBytes, 0, kFvfTexColour, D3DPOOL_DEFAULT, scene.MenuQuadVB);
  if (!scene.MenuQuadVB) return;
  const std::array<TexColourVertex, 4> vertices = {{{-0.5f, 0.5f, 0, kMenuQuadColour, 0, 0},
                                                    {0.5f, 0.5f, 0, kMenuQuadColour, 1, 0},
                                                    {-0.5f, -0.5f, 0, kMenuQuadColour, 0, 1},
                                                    {0.5f, -0.5f, 0, kMenuQuadColour, 1, 1}}};
  WriteVertices(*scene.MenuQuadVB, 0, vertices);
}

void FreeMenuResources(SceneResources& scene) {
  for (int n = 0; n <= 15; ++n) Release(scene.MenuPictures[static_cast<size_t>(n)]);
  Release(scene.MenuPictures[kMenuBackgroundPicture]);
  Release(scene.QuadVB);
  Release(scene.MenuQuadVB);
}

void DrawBackdrop(Device& device, const SceneResources& scene) {
  device.SetRenderState(D3DRS_LIGHTING, 0);
  AlphaBlend(device);
  TextureTimesDiffuseAlpha(device);  // translucent by its vertices' alpha, from the first frame on
  device.SetTexture(0, scene.MenuPictures[kBackdropPicture]);
  device.SetStreamSource(0, scene.MenuQuadVB, sizeof(TexColourVertex));
  device.SetVertexShader(kFvfTexColour);
  device.SetTransform(D3DTS_WORLD, ScaledAt(35.2f, 25.9875f, 1, kGlassCenterX, kGlassCenterY, 0));
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  device.SetTexture(0, nullptr);
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device.SetRenderState(D3DRS_LIGHTING, 1);
}

void DrawMenu(Device& device, SceneResources& scene, const MenuState& menu, const Settings& settings,
              const FigureShapes& shapes, bool inputLocked, const MenuScreenDrawers& drawers) {
  SetSolidSceneStates(device, false);
  // The slabs are lit as their scaled normals give, as before the first game: a game leaves
  // its normals normalised.
  device.SetRenderState(D3DRS_NORMALIZENORMALS, 0);

  device.SetTexture(0, scene.MenuPictures[kMenuBackgroundPicture]);
  device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device.SetStreamSource(0, scene.QuadVB, sizeof(TexColourVertex));
  device.SetVertexShader(kFvfTexColour);
  device.SetTransform(D3DTS_WORLD, ScaledAt(36, 26.25f, 1, kGlassCenterX, kGlassCenterY, 5.0f));
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  device.SetTexture(0, nullptr);

  MenuFrame frame{device, scene, menu, settings, shapes};
  switch (menu.MenuScreen) {
    case kMainScreen:
      frame.ItemColumn(5, kMainItemPictures, kGlassCenterY + 2.6f, 0.2f);
      break;
    case kGameTypeScreen:
      frame.ItemColumn(6, kGameTypeItemPictures, kGlassCenterY + 3.6f, -0.1f);
      break;
    case kOptionsScreen:
      frame.OptionsScreen();
      if (drawers.OptionsHint) drawers.OptionsHint();
      break;
    case kControlsScreen:
      if (drawers.ControlsScreen) drawers.ControlsScreen();
      break;
    case kHelpScreen:
      if (drawers.HelpScreen) drawers.HelpScreen();
      break;
    case kHighScoresScreen:
      if (drawers.HighScoreScreen) drawers.HighScoreScreen();
      break;
    case kStatisticsScreen:
      if (drawers.StatisticsScreen) drawers.StatisticsScreen();
      break;
    default:
      break;
  }
  if (drawers.Notice) drawers.Notice();
  if (inputLocked && drawers.Shade) drawers.Shade();
}

}  // namespace zt
