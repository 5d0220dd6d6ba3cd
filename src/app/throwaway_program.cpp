#include "app/throwaway_program.h"

#include <sstream>

#include "app/replay_runner.h"

namespace zt {

ThrowawayProgram::ThrowawayProgram(const FigureShapes& shapes, const Settings& settings) {
  ProgramDevices devices;
  devices.Time = &clock_;
  devices.Keys = &keys_;
  devices.Messages = &messages_;
  Program& program = *state_;
  InitProgram(program, devices, GamePaths{});
  program.Log.Enabled = false;
  program.SaveOnExit = program.SavesStatistics = false;
  program.Shapes = shapes;
  program.Config = settings;
  program.Scores.Table = DefaultHighScoreTable();
  program.Audio.Silent = true;
  DIInit(program.Input);
  DICreateKeyboard(program.Input);
  DIAcquireKeyboard(program.Input, true);
  program.Input.KeyboardReady = true;
  CreateVolumeBricks(program.Menu, program.Config);
  program.Game.Time.LastTick = clock_.Now();
  program.Loaded = program.AppActive = true;
}

int ThrowawayProgram::Run(const ReplayFile& file, const std::function<void()>& drawFrame) {
  ReplayDevices devices{clock_, keys_, sounds_, drawFrame};
  std::ostringstream ignored;
  try {
    return RunReplay(*state_, devices, file, ignored, ignored);
  } catch (const ReplayError&) {
    return 2;
  }
}

}  // namespace zt
