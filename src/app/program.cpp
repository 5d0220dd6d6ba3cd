#include "app/program.h"

namespace zt {

void InitProgram(Program& program, const ProgramDevices& devices, const GamePaths& paths) {
  program.Devices = devices;
  program.ConfigFile.Path = paths.ConfigPath;
  program.Log.Path = paths.PlayerFile("debug.txt");
  program.HighScorePath = paths.PlayerFile(kHighScoreFileName);
  program.ResultPath = paths.PlayerFile("result.txt");
  program.Input.Device = devices.Keys;
}

}  // namespace zt
