// The render resources of the shipped game folder loaded onto a device in the loading
// order, and a busy game in progress to draw: shared by the scene tests, the real-GL
// render and the benchmarks.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/debug_log.h"
#include "game/figure_shapes.h"
#include "game/game_state.h"
#include "game/motion.h"
#include "render/brick_textures.h"
#include "render/game_scene.h"
#include "render/jpeg_conversion.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"

namespace zt::testing {

// A game folder of this process: the shipped data and pictures linked in, so the bitmaps
// the loading converts from the JPEG pictures are written here, never into the repository,
// and test programs running side by side do not meet. Removed when the program ends.
inline std::filesystem::path GameDir() {
  namespace fs = std::filesystem;
  struct Folder {
    fs::path Path = fs::temp_directory_path() / ("zt_render_game_" + std::to_string(getpid()));
    Folder() {
      fs::remove_all(Path);
      fs::create_directories(Path / "textures");
      fs::create_directory_symlink(fs::path(ZT_GAME_DIR) / "data", Path / "data");
      for (const auto& entry : fs::directory_iterator(fs::path(ZT_GAME_DIR) / "textures")) {
        // Bitmaps an earlier start converted from the JPEG pictures are made anew here.
        if (entry.path().extension() == ".bmp" && fs::exists(fs::path(entry.path()).replace_extension(".jpg")))
          continue;
        fs::create_symlink(entry.path(), Path / "textures" / entry.path().filename());
      }
    }
    ~Folder() {
      std::error_code ignored;
      fs::remove_all(Path, ignored);
    }
  };
  static const Folder folder;
  return folder.Path;
}

inline FigureShapes ShippedShapes() { return LoadFigImages((GameDir() / "data/figimages/images.dat").string()); }

// Every resource of the frames, as the loading sequence makes them.
inline void LoadRenderResources(Device& device, RenderResources& r) {
  SceneResources& scene = r.Scene;
  scene.GameDir = GameDir();
  scene.TextureFormat = D3DFMT_A8R8G8B8;
  SetupCamera(device, scene);
  InitBarTextures(device, scene);
  InitVBMenu(device, scene);
  InitMotionBlurTexture(device, scene);
  ConvertPicturesToBMP(scene.GameDir);
  InitTexturesBkGr(device, scene);
  r.Fonts.Metrics = LoadLetterTexCoords((scene.GameDir / kFontFile).string());
  CreateMeshBuffers(device, scene);
  CreateShadeVB(device, scene);
  CreateTrailVB(device, scene);
  InitMenuQuadVB(device, scene);
  Particle_InitVB(r.Particles, device);
  DebugLog quiet;
  quiet.Enabled = false;
  InitModels(scene.Models, quiet, scene.GameDir);
  FillMeshBuffers(scene);
  LoadModelTextures(device, scene);
  SetupLights(device);
  InitBrickTextures(device, scene, r.Bricks, kGamePalette);
  InitTexturesBreakGameStates(device, scene);
  InitGlassFrames(scene);
  InitBombModel(scene);
  InitSceneMaterial(scene);
  InitTexturesBkGrGame(device, scene, {});
  InitTexturesMenu(device, scene, {});
  Particle_InitTextures(r.Particles, device, scene.TextureFormat, scene.GameDir);
  InitFontVB(r.Fonts, device);
  InitTexturesFont(r.Fonts, device, scene.TextureFormat, scene.GameDir);
}

// A game well under way: rows of bricks with holes, a figure falling, the preview, a
// score that ranks, the bonus clock running, a message, and sparks over the glass.
inline void SetUpBusyGame(GameState& game, ParticleLists& particles, int gameType, int filledRows) {
  game = GameState();
  game.Mode.InMenu = false;
  game.GameType = gameType;
  game.Cells.BuildGlass();
  for (int row = 1; row <= filledRows; ++row)
    for (int column = 1; column <= kGlassColumns; ++column)
      if ((column * 7 + row * 3) % 11 != 0) game.Cells.Occupy(column, row, 1 + (column + row * 5) % 48);
  PlaceCurrent(game.CurrentFigure, 3, 2);
  game.CurrentFigure.PosX = 4;
  game.CurrentFigure.PosY = static_cast<float>(std::min(filledRows + 6, 19));
  game.CurrentFigure.CellY = static_cast<int32_t>(game.CurrentFigure.PosY);
  PlaceNext(game.NextFigure, 6, 1);
  Grow(game.CurrentFigure, 1.0f, 1000);  // both grown in
  Grow(game.NextFigure, 0.75f, 1000);
  game.Score = 12840;
  game.ShownScore = 12790;
  game.Lines = 47;
  game.Level = 5;
  game.FiguresPerMinute = 38;
  game.Position = 3;
  game.Time.GameSeconds = 754;
  game.Time.FrameMs = 16;
  game.Bonus.BonusMode = gameType == kTorvane;
  game.Bonus.BonusCountdown = 21000;
  game.Bonus.ShownPowerPoints = 2100;
  game.Msg = {"Three Lines Cleared!", -4.6f, 5, 220.0f, 150, 1};
  game.Trail.TrailIntensity = 3.0f;
  game.Trail.Trail[1] = {true, 5.0f, static_cast<float>(filledRows + 1)};
  game.Trail.Trail[2] = {true, 6.0f, static_cast<float>(filledRows + 1)};
  ClearAllParticles(particles);
  for (int i = 0; i < 40; ++i) {
    const float x = 1.0f + static_cast<float>(i % 10);
    Particle_Add(particles, 1, 1, 60 + (i * 37) % 170, x, static_cast<float>(filledRows) + 0.3f * (i % 4), 0, 0);
  }
}

// The high-score table the busy game ranks third in.
inline HighScoreTable BusyTable() {
  HighScoreTable table;
  for (int type = 0; type < kGameTypes; ++type)
    for (int row = 0; row < kHighScoreRows; ++row) table[type][row] = {"Ace", 20000 - row * 1500};
  return table;
}

}  // namespace zt::testing
