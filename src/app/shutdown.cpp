#include "app/shutdown.h"

#include "render/brick_textures.h"
#include "render/menu_drawing.h"

namespace zt {

void ReleaseAll(Program& program) {
  SceneResources& scene = program.Render.Scene;
  ReleaseSceneTextures(scene);
  ReleaseBrickTextures(scene);
  ReleaseModelTextures(scene);
  ReleaseStateTextures(scene);
  FreeMenuResources(scene);
  FreeFont(program.Render.Fonts);
  ReleaseMeshBuffers(scene);
  ReleaseGameBackgrounds(scene);
  Particle_Free(program.Render.Particles);
  ClearAllParticles(program.Particles);
  ReleaseTrailAndShade(scene);  // no buffer outlives the device
  Release(program.Graphics.D3DDevice);
  Release(program.Graphics.D3D);
  ReleaseAudio(program.Audio);
}

void FormDestroy(Program& program) {
  EndNameEntry(program.Scores);  // a name still being typed is saved as typed
  if (!program.Game.Mode.InMenu) CountGame(program.Stats, program.Game.GameType, RecordOf(program.Game));
  ReleaseAll(program);
  bool scoresSaved = true, settingsSaved = true, statisticsSaved = true;
  if (program.SavesStatistics) statisticsSaved = SaveStatistics(program.Stats, program.StatisticsPath, program.Log);
  if (program.SaveOnExit) {
    settingsSaved = SaveSettings(program.ConfigFile, program.Config, program.Audio.CurrentMusicTrack, program.Log);
    // A table that could not be read is written only to try to keep this run's new entries.
    if (program.Scores.HighScoresLoaded || !program.Scores.UnsavedEntries.empty())
      scoresSaved = SaveHighScores(program.Scores, program.HighScorePath, program.Log);
  }
  DIFree(program.Input);
  if (program.SaveOnExit) WriteTimingReport(program.Timing, 1000, program.ResultPath);
  // The player is told once, at the very end, of everything that could not be kept.
  std::string message;
  auto tell = [&message](const std::string& what, const std::string& path) {
    message += (message.empty() ? "" : "\n") + what + " could not be saved to " + path + ".";
  };
  if (!scoresSaved) tell("The high scores", program.HighScorePath);
  if (!settingsSaved) tell("The settings", program.ConfigFile.Path);
  if (!statisticsSaved) tell("The statistics", program.StatisticsPath);
  if (!message.empty() && program.Devices.Messages != nullptr) program.Devices.Messages->Show(kGameTitle, message);
}

}  // namespace zt
