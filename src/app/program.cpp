#include "app/program.h"

namespace zt {

void InitProgram(Program& program, const ProgramDevices& devices, const GamePaths& paths) {
  program.Devices = devices;
  program.ConfigFile.Path = paths.ConfigPath;
  program.Log.Path = paths.PlayerFile(kLogFileName);
  program.HighScorePath = paths.PlayerFile(kHighScoreFileName);
  program.ResultPath = paths.PlayerFile(kTimingReportFileName);
  program.StatisticsPath = paths.PlayerFile(kStatisticsFileName);
  program.Input.Device = devices.Keys;
}

}  // namespace zt
