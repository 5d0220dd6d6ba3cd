#include "render/game_scene.h"

#include "render/menu_drawing.h"
#include "render/menu_pages.h"
#include "render/model_drawing.h"
#include "render/render_states.h"

namespace zt {

namespace {

constexpr uint32_t kQuadStride = 24;
constexpr uint32_t kShadeStride = 16;
constexpr uint32_t kBarQuadFirstVertex = 4;

void DrawTexts(Device& device, FontResources& fonts, const std::vector<HudText>& texts) {
  for (const HudText& t : texts) DrawString(device, fonts, t.Font, t.Size, t.Text, t.X, t.Y, 0.0f, 255);
}

void DrawBarWith(Device& device, SceneResources& scene, float yOffset, float fraction, const TexturePtr& frame,
                 const TexturePtr& fill) {
  // The colour comes from the texture alone, as the background left stage 0.
  device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device.SetStreamSource(0, scene.QuadVB, kQuadStride);
  device.SetVertexShader(kFvfTexColour);
  device.SetTransform(D3DTS_WORLD, ScaledAt(5.3f, 0.4f, 1.0f, kGlassCenterX + 9.6f, kGlassCenterY + yOffset, 0.0f));
  device.SetTexture(0, frame);
  FillBarQuad(scene, 1.0f);
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, kBarQuadFirstVertex, 2);
  device.SetTexture(0, fill);
  FillBarQuad(scene, fraction);
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, kBarQuadFirstVertex, 2);
  device.SetTexture(0, nullptr);
}

// The bomb model at (x, y) in the plane it was made in.
void DrawBombAt(Device& device, const SceneResources& scene, float x, float y) {
  TModel bomb = scene.Bomb;
  bomb.Matrix(4, 1) = x;
  bomb.Matrix(4, 2) = y;
  Draw(device, scene, bomb);
}

}  // namespace

void DrawBackground(Device& device, const SceneResources& scene, int32_t gameType) {
  const bool known = gameType >= 1 && gameType <= kGameTypes;
  device.SetTexture(0, known ? scene.GameBackgrounds[static_cast<size_t>(gameType)] : nullptr);
  device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device.SetStreamSource(0, scene.QuadVB, kQuadStride);
  device.SetVertexShader(kFvfTexColour);
  device.SetTransform(D3DTS_WORLD, ScaledAt(36.0f, 26.25f, 1.0f, kGlassCenterX, kGlassCenterY, 5.0f));
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  device.SetTexture(0, nullptr);
}

void DrawBar(Device& device, SceneResources& scene, float yOffset, float fraction) {
  DrawBarWith(device, scene, yOffset, fraction, scene.BarFrame2, scene.BarFill2);
}

void DrawPowerBar(Device& device, SceneResources& scene, float fraction) {
  DrawBarWith(device, scene, -7.0f, fraction, scene.BarFrame3, scene.BarFill3);
}

void DrawGlassBricks(Device& device, const SceneResources& scene, const GameState& game, int32_t brickQuality) {
  for (int row = 1; row <= kGlassRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column) {
      const TGlassCell& cell = game.Cells.Cell(column, row);
      if (!cell.Free) Draw(device, scene, cell.Brick, brickQuality);
    }
}

void DrawClearingRows(Device& device, const SceneResources& scene, const GameState& game, int32_t brickQuality) {
  for (const ClearedRow& row : game.ClearedRows)
    if (row.InUse)
      for (const TBrick& brick : row.Bricks) Draw(device, scene, brick, brickQuality);
}

void DrawTrails(Device& device, const SceneResources& scene, const DropTrail& trail) {
  TextureTimesDiffuseAlpha(device);
  device.SetRenderState(D3DRS_LIGHTING, 0);
  AlphaBlend(device);
  device.SetStreamSource(0, scene.TrailVB, kQuadStride);
  device.SetVertexShader(kFvfTexColour);
  device.SetTexture(0, scene.MotionBlur);
  // Clamped: repeated, the filter would carry the opaque bottom row into the clear top edge.
  TextureAddressing(device, D3DTADDRESS_CLAMP);
  for (const TrailColumn& column : trail.Trail) {
    if (!column.Active) continue;
    device.SetTransform(D3DTS_WORLD, ScaledAt(0.95f, trail.TrailIntensity, 1.0f, column.X, column.Y, 0.0f));
    device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  }
  TextureAddressing(device, D3DTADDRESS_WRAP);
  device.SetTexture(0, nullptr);
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device.SetRenderState(D3DRS_LIGHTING, 1);
}

void DrawShade(Device& device, SceneResources& scene, int32_t fadeLevel) {
  // The overlay's opacity is the fade level the fades last reached.
  SetShadeAlpha(scene, fadeLevel);
  device.SetRenderState(D3DRS_LIGHTING, 0);
  AlphaBlend(device);
  device.SetStreamSource(0, scene.ShadeVB, kShadeStride);
  device.SetVertexShader(kFvfColour);
  device.SetTexture(0, nullptr);
  device.SetTransform(D3DTS_WORLD, ScaledAt(26.0f, 20.0f, 1.0f, kGlassCenterX, kGlassCenterY, -3.0f));
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device.SetRenderState(D3DRS_LIGHTING, 1);
}

void DrawStatePicture(Device& device, const SceneResources& scene, const SwingState& swing, int kind) {
  device.SetRenderState(D3DRS_LIGHTING, 0);  // stays off until the next draw that sets it
  D3DMATRIX scaling, rotation, translation, turned, world;
  MatScaling(scaling, 14.0f, 2.5925925f, 1.0f);
  MatRotationY(rotation, swing.ShownAngle);
  const bool known = kind >= 1 && kind <= kStatePictures;
  device.SetTexture(0, known ? scene.StateTextures[static_cast<size_t>(kind)] : nullptr);
  device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device.SetMaterial(scene.SceneMaterial);
  device.SetStreamSource(0, scene.QuadVB, kQuadStride);
  device.SetVertexShader(kFvfTexColour);
  MatTranslation(translation, kGlassCenterX, kGlassCenterY, -1.0f);
  MatMultiply(rotation, scaling, turned);
  MatMultiply(translation, turned, world);
  device.SetTransform(D3DTS_WORLD, world);
  device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  device.SetTexture(0, nullptr);
}

FrameResult DrawGameScene(Device& device, RenderResources& resources, const FrameView& view) {
  SceneResources& scene = resources.Scene;
  FontResources& fonts = resources.Fonts;
  const GameState& game = view.Game;
  const ModeFlags& mode = game.Mode;
  const int32_t quality = view.Config.BrickQuality;

  // 1. The states of the solid scene. The texture filters are the menu's (linear), set here
  // too so the scene looks the same however it is reached.
  SetSolidSceneStates(device, true);
  device.SetRenderState(D3DRS_NORMALIZENORMALS, 1);

  // 2.-4. Background, panels, bars.
  DrawBackground(device, scene, game.GameType);
  DrawTexts(device, fonts, HudTexts(game, view.Scores.Table));
  for (const HudBarGroup& group : HudBarsOf(game)) {
    DrawTexts(device, fonts, group.Labels);
    if (group.Bar.Kind == BarKind::kPowerBar)
      DrawPowerBar(device, scene, group.Bar.Fraction);
    else
      DrawBar(device, scene, group.Bar.YOffset, group.Bar.Fraction);
  }

  // 5.-6. The current figure or the falling bomb; the preview or the pending bomb.
  if (!mode.GameOver) {
    if (!game.Bonus.BombActive)
      Draw(device, scene, game.CurrentFigure, view.Shapes, view.Config.RotationClockwise, quality);
    else
      DrawBombAt(device, scene, game.CurrentFigure.PosX + 1.5f, game.CurrentFigure.PosY - 1.03f);
    if (!game.Bonus.BombPending)
      Draw(device, scene, game.NextFigure, view.Shapes, view.Config.RotationClockwise, quality);
    else
      DrawBombAt(device, scene, -4.6f, 16.1f);
  }

  // 7. The glass frame, glowing additively, without the point light.
  device.LightEnable(4, false);
  AdditiveBlend(device);
  Draw(device, scene, game.GameType % 2 == 1 ? scene.GlassFrameA : scene.GlassFrameB);
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device.LightEnable(4, true);

  // 8.-10. The glass contents, the rows in flight, the particles.
  DrawGlassBricks(device, scene, game, quality);
  DrawClearingRows(device, scene, game, quality);
  FrameResult result;
  for (const ParticleList& list : view.Particles) {
    result.Result = Particle_Draw(resources.Particles, device, list);
    if (Failed(result.Result)) {
      result.FailedCall = kParticleLockCall;
      break;
    }
  }

  // 11.-13. Trail, fade overlay, interruption picture.
  if (game.Trail.TrailIntensity > 0 && !game.Bonus.BombActive) DrawTrails(device, scene, game.Trail);
  if (mode.InputLocked) DrawShade(device, scene, mode.FadeLevel);
  if (const int kind = StatePictureKind(mode); kind != 0) DrawStatePicture(device, scene, resources.Swing, kind);

  // 14. The floating message and its bonus.
  if (const int alpha = MessageDrawAlpha(game.Msg.Alpha); alpha >= 0) {
    DrawString(device, fonts, 4, game.Msg.Size, game.Msg.Text, kGlassCenterX + game.Msg.X, kGlassCenterY + 6.6f, -1.5f,
               alpha);
    if (game.Msg.Bonus != 0)
      DrawString(device, fonts, 2, 4, "Bonus " + std::to_string(game.Msg.Bonus), kGlassCenterX - 1.7f,
                 kGlassCenterY + 5.9f, -1.5f, alpha);
  }
  return result;
}

void AdvanceSceneAnimations(RenderResources& resources, const GameState& game) {
  if (StatePictureKind(game.Mode) != 0) AdvanceSwing(resources.Swing, game.Time.FrameMs);
}

FrameResult RenderFrame(Device& device, RenderResources& resources, const FrameView& view) {
  device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSceneClearColour, 1.0f, 0);
  device.BeginScene();
  FrameResult result;
  if (view.Game.Mode.InMenu) {
    MenuScreenDrawers drawers;
    const ControlsPage& controls = view.Menu.Controls;  // its bindings are the game's while it is closed
    drawers.HelpScreen = [&] { DrawHelpScreen(device, resources.Fonts, resources.Scene, controls.Bindings); };
    drawers.ControlsScreen = [&] { DrawControlsPage(device, resources.Fonts, resources.Scene, controls, view.Config); };
    drawers.OptionsHint = [&] { DrawOptionsHint(device, resources.Fonts, controls.Bindings); };
    drawers.HighScoreScreen = [&] {
      DrawHighScoreScreen(device, resources.Fonts, resources.Scene, view.Scores, view.Scores.ShownHighScoreType);
    };
    drawers.StatisticsScreen = [&] {
      DrawStatisticsScreen(device, resources.Fonts, resources.Scene, view.Statistics, view.Scores.ShownHighScoreType,
                           view.Config.BrickQuality);
    };
    drawers.Notice = [&] { DrawSaveNotice(device, resources.Fonts, view.Menu.Notice); };
    drawers.Shade = [&] { DrawShade(device, resources.Scene, view.Game.Mode.FadeLevel); };
    DrawMenu(device, resources.Scene, view.Menu, view.Config, view.Shapes, view.Game.Mode.InputLocked, drawers);
  } else {
    result = DrawGameScene(device, resources, view);
  }
  device.EndScene();
  if (result.FailedCall == nullptr) result.Result = device.Present();
  return result;
}

}  // namespace zt
