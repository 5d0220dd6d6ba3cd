// One frame on the screen: the clear, the menu or the game scene, and the present. The game
// scene is the background of the game type, the text panels and bars beside the glass, the
// current and next figure (or the bomb), the glass frame and its bricks, the rows in flight,
// the particles, the drop trail, the fade overlay, the interruption picture and the message.
#pragma once

#include <cstdint>

#include "core/settings.h"
#include "device/device.h"
#include "game/figure_shapes.h"
#include "game/game_state.h"
#include "game/particles.h"
#include "menu/high_scores.h"
#include "menu/menu.h"
#include "menu/statistics.h"
#include "render/brick_textures.h"
#include "render/font.h"
#include "render/hud.h"
#include "render/particle_draw.h"
#include "render/scene_resources.h"

namespace zt {

// Everything the frames are drawn with, made during loading.
struct RenderResources {
  SceneResources Scene;
  BrickSource Bricks;  // the picture the brick textures are tinted from, and their palette
  FontResources Fonts;
  ParticleResources Particles;
  SwingState Swing;  // of the interruption picture
};

// What drawing one frame came to. A drawing call that fails ends the frame unpresented; its
// fatal report (caption and code) is the caller's, once the frame is over.
struct FrameResult {
  HRESULT Result = D3D_OK;           // the failed call's code, or else Present's result
  const char* FailedCall = nullptr;  // the report's caption; null: no drawing call failed
};

// What a frame shows: the game and the menu as the step and the animation step left them.
struct FrameView {
  const GameState& Game;
  const ParticleLists& Particles;
  const FigureShapes& Shapes;
  const Settings& Config;
  const HighScoreState& Scores;  // the table beside the glass; the high-score page and its cursor
  const MenuState& Menu;
  const StatisticsState& Statistics;  // the statistics page
};

// The animations of the game scene's own state, run in each frame that draws the game
// scene, before it is drawn: the interruption picture swings while it is shown.
void AdvanceSceneAnimations(RenderResources& resources, const GameState& game);

// Clear, begin, the menu (while InMenu) or the game scene, end, and present unless a drawing
// call failed; the brick textures first take the palette of the settings when it has changed.
FrameResult RenderFrame(Device& device, RenderResources& resources, const FrameView& view);

// The game scene between BeginScene and EndScene. A particle list whose drawing fails is the
// last one drawn.
FrameResult DrawGameScene(Device& device, RenderResources& resources, const FrameView& view);

// The pieces of the game scene.
void DrawBackground(Device& device, const SceneResources& scene, int32_t gameType);
void DrawBar(Device& device, SceneResources& scene, float yOffset, float fraction);  // frame 2, fill 2
void DrawPowerBar(Device& device, SceneResources& scene, float fraction);            // frame 3, fill 3
void DrawGlassBricks(Device& device, const SceneResources& scene, const GameState& game, int32_t brickQuality);
void DrawClearingRows(Device& device, const SceneResources& scene, const GameState& game, int32_t brickQuality);
void DrawTrails(Device& device, const SceneResources& scene, const DropTrail& trail);
// The black fade overlay at opacity fadeLevel (0..255); the menu draws it too.
void DrawShade(Device& device, SceneResources& scene, int32_t fadeLevel);
// The interruption picture kind 1 game over, 2 pause, 3 abort question, turned by the swing's shown angle.
void DrawStatePicture(Device& device, const SceneResources& scene, const SwingState& swing, int kind);

}  // namespace zt
