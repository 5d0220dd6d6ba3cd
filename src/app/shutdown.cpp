#include "app/shutdown.h"

namespace zt {

void ReleaseAll(Program& program) {
  ClearAllParticles(program.Particles);
  Release(program.Graphics.D3DDevice);
  Release(program.Graphics.D3D);
  ReleaseAudio(program.Audio);
}

void FormDestroy(Program& program) {
  ReleaseAll(program);
  if (program.SaveOnExit) {
    SaveSettings(program.ConfigFile, program.Config, program.Audio.CurrentMusicTrack, program.Log);
    if (program.Scores.HighScoresLoaded) SaveHighScores(program.Scores, program.HighScorePath, program.Log);
  }
  DIFree(program.Input);
  if (program.SaveOnExit) WriteTimingReport(program.Timing, 1000, "result.txt");
}

}  // namespace zt
