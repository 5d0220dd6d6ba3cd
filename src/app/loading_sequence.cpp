#include "app/loading_sequence.h"

#include <string>

#include "app/shutdown.h"
#include "app/start_up.h"
#include "core/load_error.h"
#include "render/brick_textures.h"
#include "render/jpeg_conversion.h"
#include "render/loading_frame.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"

namespace zt {

namespace {

class LoadingSequence {
 public:
  explicit LoadingSequence(Program& program)
      : program_(program), log_(program.Log), device_(*program.Graphics.D3DDevice), scene_(program.Render.Scene) {}

  void Run(const LoadingOptions& options) {
    DeviceResources();
    program_.Seed = options.Seed.value_or(program_.Devices.Time->Now());
    program_.Rng.Seed(program_.Seed);
    PicturesAndBuffers();
    SettingsAndMeshes();
    Game();
    TexturesAndFonts();
    KeyboardScoresAudio();
    WriteLog(log_, "Loading - done");
    program_.Loaded = true;
  }

 private:
  void Progress(float fraction) { DrawLoadingProgress(device_, scene_, fraction); }
  LoadingProgress ProgressHook() {
    return [this](float fraction) { Progress(fraction); };
  }

  void DeviceResources() {
    SetupCamera(device_, scene_);
    program_.Graphics.TextureFormat = ChooseTextureFormat(program_.Graphics, true);
    scene_.TextureFormat = program_.Graphics.TextureFormat;
    WriteLog(log_, "TextureFormat " + std::to_string(program_.Graphics.TextureFormat));
    ConvertIntroToBMP(scene_.GameDir);
    InitTexturesLoading(device_, scene_);
    WriteLog(log_, "InitTexturesLoading - Ok");
    InitBarTextures(device_, scene_);
    InitVBMenu(device_, scene_);
    WriteLog(log_, "InitVBMenu - Ok");
    Progress(0.08f);
    InitMotionBlurTexture(device_, scene_);
  }

  void PicturesAndBuffers() {
    ConvertPicturesToBMP(scene_.GameDir);
    WriteLog(log_, "Convert pictures to BMP - Ok");
    InitTexturesBkGr(device_, scene_);
    WriteLog(log_, "InitTexturesBkGr - Ok");
    program_.Render.Fonts.Metrics = LoadLetterTexCoords();
    WriteLog(log_, "LoadLetterTexCoords - Ok");
    Progress(0.1f);
    Check("InitVertex", CreateMeshBuffers(device_, scene_));
    CreateShadeVB(device_, scene_);
    CreateTrailVB(device_, scene_);
    InitMenuQuadVB(device_, scene_);
    Check("Particle_InitVB", Particle_InitVB(program_.Render.Particles, device_));
    WriteLog(log_, "Init Vertex Buffers - done");
  }

  void SettingsAndMeshes() {
    ClearAllParticles(program_.Particles);
    LoadSettings(program_.ConfigFile, program_.Config);
    const SettingsFile& config = program_.ConfigFile;
    if (!config.ReadError.empty())
      WriteLog(log_, "LoadSettings - " + config.Source() + " " + config.ReadError +
                         "; the settings of a missing file are used, and it is not written this run");
    WriteLog(log_, "FillVB + GetOptions - done");
    Progress(0.12f);
    CreateVolumeBricks(program_.Menu, program_.Config);
    Progress(0.15f);
    InitModels(scene_.Models, log_, scene_.GameDir);
    FillMeshBuffers(scene_);
    LoadModelTextures(device_, scene_);
    WriteLog(log_, "InitModels - done");
    Progress(0.19f);
    SetupLights(device_);
    WriteLog(log_, "SetupLights - done");
    Progress(0.2f);
    InitBrickTextures(device_, scene_, program_.Render.Bricks, program_.Config.Palette);
    WriteLog(log_, "InitBrickTextures - done");
    Progress(0.23f);
    InitTexturesBreakGameStates(device_, scene_);
    WriteLog(log_, "InitTexturesBreakGameStates - done");
    Progress(0.25f);
  }

  void Game() {
    GameState& game = program_.Game;
    program_.Shapes = LoadFigImages("data/figimages/images.dat");
    WriteLog(log_, "LoadFigImages");
    Progress(0.26f);
    InitGlassFrames(scene_);
    WriteLog(log_, "GlassFrame - done");
    game.Cells.ClearGlass();
    Progress(0.27f);
    InitBombModel(scene_);
    WriteLog(log_, "BombModel - done");
    Progress(0.28f);
    InitSceneMaterial(scene_);
    PlaceCurrent(game.CurrentFigure, 2, 1);
    PlaceNext(game.NextFigure, 1, 1);
    game.Time.LastTick = program_.Devices.Time->Now();
    game.Cells.BuildGlass();
    game.Flip.FlipActive = false;
    game.Flip.FlipAxis = program_.Rng.Next(6);
    game.LockDelayMs = 100;
    WriteLog(log_, "Garbage - done");
    Progress(0.29f);
  }

  void TexturesAndFonts() {
    InitTexturesBkGrGame(device_, scene_, ProgressHook());
    WriteLog(log_, "InitTexturesBkGrGame - done");
    InitTexturesMenu(device_, scene_, ProgressHook());
    WriteLog(log_, "InitTexturesMenu - done");
    Progress(0.69f);
    Particle_InitTextures(program_.Render.Particles, device_, program_.Graphics.TextureFormat, scene_.GameDir);
    WriteLog(log_, "Particle_InitTextures - done");
    InitFontVB(program_.Render.Fonts, device_);
    Progress(0.71f);
    InitTexturesFont(program_.Render.Fonts, device_, program_.Graphics.TextureFormat, scene_.GameDir);
    WriteLog(log_, "InitTexturesFont - done");
    WriteLog(log_, "Pixel output - Ok");
    Progress(0.75f);
  }

  void KeyboardScoresAudio() {
    if (!DIInit(program_.Input)) ReportD3DError(program_, "DirectInput Init", 1);
    WriteLog(log_, "DIInit - Ok");
    if (!DICreateKeyboard(program_.Input) || !DIAcquireKeyboard(program_.Input, true)) throw KeyboardUnavailable{};
    WriteLog(log_, "Keyboard - Ok");
    program_.Input.KeyboardReady = true;
    WriteLog(log_, "InitDI - done");
    LoadHighScores(program_.Scores, program_.HighScorePath, log_,
                   program_.SaveOnExit ? DamagedTable::kMoveAside : DamagedTable::kLeave);
    LoadStatistics(program_.Stats, program_.StatisticsPath, log_,
                   program_.SavesStatistics ? DamagedTable::kMoveAside : DamagedTable::kLeave);
    Progress(0.8f);
    LoadAudio(program_.Audio, program_.Devices.Audio, program_.Config, log_);
    Progress(1.0f);
  }

  // A device failure at loading is fatal: reported, then the loading stops.
  void Check(const char* caption, HRESULT result) {
    if (Succeeded(result)) return;
    ReportD3DError(program_, caption, result);
    throw DeviceFailure{};
  }

  Program& program_;
  const DebugLog& log_;
  Device& device_;
  SceneResources& scene_;
};

}  // namespace

void RunLoadingSequence(Program& program, const LoadingOptions& options) { LoadingSequence(program).Run(options); }

std::optional<LoadingFailure> LoadGame(Program& program, const LoadingOptions& options) {
  LoadingFailure failure;
  try {
    RunLoadingSequence(program, options);
    return std::nullopt;
  } catch (const LoadError& error) {
    failure.Message = error.what();
  } catch (const DeviceFailure&) {
    return failure;  // reported and released already
  } catch (const KeyboardUnavailable&) {
  }
  program.AppActive = false;
  ReleaseAll(program);
  return failure;
}

}  // namespace zt
