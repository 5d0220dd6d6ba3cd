#include "app/program.h"

namespace zt {

void InitProgram(Program& program, const ProgramDevices& devices, const std::string& configPath) {
  program.Devices = devices;
  program.ConfigFile.Path = configPath;
  program.Input.Device = devices.Keys;
}

}  // namespace zt
