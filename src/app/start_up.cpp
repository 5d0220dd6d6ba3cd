#include "app/start_up.h"

#include "app/shutdown.h"
#include "device/hresult.h"
#include "menu/key_bindings_file.h"

namespace zt {

bool InitApplication(Program& program) {
  LoadDisplayOptions(program.ConfigFile.Source(), program.Config);
  if (program.DisplayOverride) program.Config.FullScreenMode = *program.DisplayOverride;
  ResetLog(program.Log);
  if (!program.StartNote.empty()) WriteLog(program.Log, program.StartNote);
  if (program.Devices.Names != nullptr)
    ReadKeyBindings(IniFile::Read(program.ConfigFile.Source()).value_or(IniFile()), *program.Devices.Names, program.Log,
                    program.Bindings, program.Config);
  if (program.Devices.Keys != nullptr) program.Devices.Keys->UseBindings(program.Bindings);
  program.Menu.Controls.Bindings = program.Bindings;
  const Direct3DPtr factory = program.Devices.CreateDirect3D ? program.Devices.CreateDirect3D() : nullptr;
  if (program.Config.FullScreenMode) {
    const HRESULT result = InitD3DFullScreen(program.Graphics, factory, program.Config, program.Log);
    if (!Succeeded(result)) {
      ReportD3DError(program, "InitD3DFullScreen", result);
      return false;
    }
  } else {
    const HRESULT result = InitD3D(program.Graphics, factory);
    if (!Succeeded(result)) {
      ReportD3DError(program, "InitD3D", result);
      return false;
    }
  }
  WriteLog(program.Log, "InitD3D - done");
  WriteLog(program.Log, "AdapterFormat " + std::to_string(program.Graphics.AdapterFormat));
  return true;
}

void ReportD3DError(Program& program, const std::string& caption, HRESULT code) {
  program.AppActive = false;
  ReleaseAll(program);
  if (program.Devices.Messages != nullptr) program.Devices.Messages->Show(caption, D3DErrorText(code));
}

}  // namespace zt
