// The menu drawn in the game's 3D scene: the background picture, the items as textured
// slabs (the selected one grown, brighter and rolling, with spinning red bricks beside it),
// the volume bars of bricks, the rotation and quality value slabs and the turning
// demonstration figure of the options screen; the pictures and the grey quad it uses.
#pragma once

#include <cstdint>
#include <functional>

#include "core/settings.h"
#include "device/device.h"
#include "game/figure_shapes.h"
#include "menu/menu.h"
#include "render/scene_resources.h"

namespace zt {

// MenuPictures indices.
constexpr int kMainItemPictures = 0;       // 0..4 the main menu items
constexpr int kOptionsItemPictures = 5;    // 5..9 the options items
constexpr int kGameTypeItemPictures = 10;  // 10..15 the game types and "return"
constexpr int kClockwisePicture = 16, kCounterClockwisePicture = 17;
constexpr int kQualityPictures = 18;  // 18..20 low, medium, high
constexpr int kStripePicture = 21;
constexpr int kBackdropPicture = 22;
constexpr int kMenuBackgroundPicture = 23;

constexpr D3DCOLOR kMenuQuadColour = 0x7F282828;  // ARGB(127, 40, 40, 40)

// The file of each menu picture and its colour key (0xFFFFFFFF: white is transparent).
struct MenuPictureFile {
  const char* File;
  D3DCOLOR ColorKey;
};
extern const std::array<MenuPictureFile, kMenuPictureCount> kMenuPictureFiles;

// Loading steps: the menu background; then the other pictures in four groups with the
// loading bar shown at 0.54, 0.59 and 0.64 between them.
void InitTexturesBkGr(Device& device, SceneResources& scene);
void InitTexturesMenu(Device& device, SceneResources& scene, const LoadingProgress& progress);
// Releases and re-creates MenuQuadVB and fills it; at loading and after a device restore.
void InitMenuQuadVB(Device& device, SceneResources& scene);
// For the shutdown: pictures 0..15 and 23, QuadVB and MenuQuadVB. (The pictures 16..22
// stay until the resources themselves go, at program end.)
void FreeMenuResources(SceneResources& scene);

// The translucent backdrop of the help and high-score pages.
void DrawBackdrop(Device& device, const SceneResources& scene);

// What the menu frame draws with pieces that belong to the text screens and the game
// scene; an empty one is skipped.
struct MenuScreenDrawers {
  std::function<void()> HelpScreen;          // the help page
  std::function<void()> HighScoreScreen;     // the high-score table of ShownHighScoreType
  std::function<void()> Shade;               // the black fade overlay
  std::function<void()> Notice;              // a failed save's notice, over the screen and under the shade
  std::function<void()> ControlsScreen{};    // the controls page
  std::function<void()> OptionsHint{};       // the line at the foot of the Options screen
  std::function<void()> StatisticsScreen{};  // the statistics of ShownHighScoreType
};

// One menu frame between BeginScene and EndScene, as the menu's step and its animation step left it.
void DrawMenu(Device& device, SceneResources& scene, const MenuState& menu, const Settings& settings,
              const FigureShapes& shapes, bool inputLocked, const MenuScreenDrawers& drawers);

}  // namespace zt
