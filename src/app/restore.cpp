#include "app/restore.h"

#include "app/start_up.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"

namespace zt {

namespace {

// The full-screen device is made anew; the textures live on with the window's context and
// need no reloading, the mesh buffers come back empty and are filled again.
bool RecreateFullScreenDevice(Program& program) {
  const DebugLog& log = program.Log;
  SceneResources& scene = program.Render.Scene;
  WriteLog(log, "Start");
  ReleaseBuffersForRestore(scene);
  Release(program.Render.Fonts.FontVB);
  WriteLog(log, "Start done");
  WriteLog(log, "Maximize");
  const HRESULT created = InitD3DFullScreen(program.Graphics, program.Graphics.D3D, program.Config, log);
  WriteLog(log, "InitD3DFullScreen");
  if (!Succeeded(created) || !program.Graphics.D3DDevice) {
    ReportD3DError(program, "InitD3DFullScreen", created);
    return false;
  }
  Device& device = *program.Graphics.D3DDevice;
  const HRESULT buffers = CreateMeshBuffers(device, scene);
  if (!Succeeded(buffers)) {
    ReportD3DError(program, "InitVertex", buffers);
    return false;
  }
  FillMeshBuffers(scene);
  WriteLog(log, "InitVertexBuffer");
  CreateShadeVB(device, scene);
  CreateTrailVB(device, scene);
  InitMenuQuadVB(device, scene);
  WriteLog(log, "InitVBuffers");
  SetupLights(device);
  WriteLog(log, "Next step");
  SetupCamera(device, scene);
  InitVBMenu(device, scene);
  InitFontVB(program.Render.Fonts, device);
  WriteLog(log, "Ready");
  return true;
}

}  // namespace

bool ApplicationRestore(Program& program) {
  if (program.Config.FullScreenMode && !RecreateFullScreenDevice(program)) return false;
  WriteLog(program.Log, "Keyboard restoring");
  if (!DICreateKeyboard(program.Input) || !DIAcquireKeyboard(program.Input, true)) return false;
  program.Input.KeyboardReady = true;
  program.AppActive = true;
  return true;
}

}  // namespace zt
