#include "app/loading_sequence.h"

#include <string>

#include "game/glass.h"

namespace zt {

namespace {

// Ends the program at once without a message, as when the keyboard cannot be had.
struct KeyboardUnavailable {};

void Progress(Program& program, float fraction) {
  (void)program;
  (void)fraction;
}

void SetUpKeyboard(Program& program) {
  if (!DIInit(program.Input)) WriteLog(program.Log, "DirectInput Init failed");
  else WriteLog(program.Log, "DIInit - Ok");
  if (!DICreateKeyboard(program.Input) || !DIAcquireKeyboard(program.Input, true)) throw KeyboardUnavailable{};
  WriteLog(program.Log, "Keyboard - Ok");
  program.Input.KeyboardReady = true;
  WriteLog(program.Log, "InitDI - done");
}

}  // namespace

void RunLoadingSequence(Program& program, const LoadingOptions& options) {
  const DebugLog& log = program.Log;
  GameState& game = program.Game;
  Clock& clock = *program.Devices.Time;

  program.Graphics.TextureFormat = ChooseTextureFormat(program.Graphics, true);
  WriteLog(log, "TextureFormat " + std::to_string(program.Graphics.TextureFormat));
  WriteLog(log, "InitTexturesLoading - Ok");
  WriteLog(log, "InitVBMenu - Ok");
  Progress(program, 0.08f);
  program.Rng.Seed(options.Seed.value_or(clock.Now()));
  WriteLog(log, "Convert pictures to BMP - Ok");
  WriteLog(log, "InitTexturesBkGr - Ok");
  WriteLog(log, "LoadLetterTexCoords - Ok");
  Progress(program, 0.1f);
  WriteLog(log, "Init Vertex Buffers - done");
  ClearAllParticles(program.Particles);
  LoadSettings(program.ConfigFile, program.Config);
  WriteLog(log, "FillVB + GetOptions - done");
  Progress(program, 0.12f);
  CreateVolumeBricks(program.Menu, program.Config);
  Progress(program, 0.15f);
  WriteLog(log, "InitModels - done");
  Progress(program, 0.19f);
  WriteLog(log, "SetupLights - done");
  Progress(program, 0.2f);
  WriteLog(log, "InitBrickTextures - done");
  Progress(program, 0.23f);
  WriteLog(log, "InitTexturesBreakGameStates - done");
  Progress(program, 0.25f);
  program.Shapes = LoadFigImages("data/figimages/images.dat");
  WriteLog(log, "LoadFigImages");
  Progress(program, 0.26f);
  WriteLog(log, "GlassFrame - done");
  game.Cells.ClearGlass();
  Progress(program, 0.27f);
  WriteLog(log, "BombModel - done");
  Progress(program, 0.28f);

  PlaceCurrent(game.CurrentFigure, 2, 1);
  PlaceNext(game.NextFigure, 1, 1);
  game.Time.LastTick = clock.Now();
  game.Cells.BuildGlass();
  game.Flip.FlipActive = false;
  game.Flip.FlipAxis = program.Rng.Next(6);
  game.LockDelayMs = 100;
  WriteLog(log, "Garbage - done");
  Progress(program, 0.29f);
  for (int gameType = 1; gameType <= 5; ++gameType) Progress(program, 0.2f / (6 - gameType) + 0.29f);
  WriteLog(log, "InitTexturesBkGrGame - done");
  Progress(program, 0.54f);
  Progress(program, 0.59f);
  Progress(program, 0.64f);
  WriteLog(log, "InitTexturesMenu - done");
  Progress(program, 0.69f);
  WriteLog(log, "Particle_InitTextures - done");
  Progress(program, 0.71f);
  WriteLog(log, "InitTexturesFont - done");
  WriteLog(log, "Pixel output - Ok");
  Progress(program, 0.75f);

  SetUpKeyboard(program);
  LoadHighScores(program.Scores, program.HighScorePath, log);
  Progress(program, 0.8f);
  LoadAudio(program.Audio, program.Devices.Audio, program.Config, log);
  Progress(program, 1.0f);
  WriteLog(log, "Loading - done");
  program.Loaded = true;
}

}  // namespace zt
