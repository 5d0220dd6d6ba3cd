#include "app/headless.h"

#include <algorithm>
#include <functional>
#include <ostream>

#include "app/game_folder.h"
#include "app/loading_sequence.h"
#include "app/replay_runner.h"
#include "app/shutdown.h"
#include "app/start_up.h"
#include "app/stop_signals.h"
#include "device/image_file.h"
#include "device/recording_device.h"
#include "platform/gl_device.h"
#include "platform/sdl_input_names.h"
#include "platform/sdl_window.h"

namespace zt {

namespace {

// Message boxes of a run without a player go to the error stream.
class StreamMessageBox final : public MessageBox {
 public:
  explicit StreamMessageBox(std::ostream& err) : err_(err) {}
  void Show(const std::string& caption, const std::string& text) override { err_ << caption << ": " << text << '\n'; }

 private:
  std::ostream& err_;
};

// Starts the program on the given graphics device, runs the replay, and shuts down as when
// the window closes. `afterRun` sees the program before it shuts down. A run that keeps no
// player's files writes neither debug.txt nor what a close saves. SIGHUP, SIGINT and SIGTERM
// end the replay after the frame in progress, as if the file ended there.
int RunReplaySession(const std::string& replayPath, const std::function<Direct3DPtr()>& createDirect3D,
                     bool keepsPlayerFiles, const std::function<int(Program&)>& afterRun, std::ostream& out,
                     std::ostream& err) {
  CatchStopSignals();
  ReplayFile file;
  try {
    file = ReadReplayFile(replayPath);
  } catch (const ReplayError& error) {
    err << error.what() << '\n';
    return 2;
  }
  const GamePaths paths = EnterGameFolder();
  if (paths.NoHome) {
    err << kNoHomeMessage << '\n';
    return 1;
  }

  ManualClock clock(1000);
  ScriptedKeyboard keyboard;
  RecordingMixer mixer;
  StreamMessageBox messages(err);
  const SdlInputNames names;
  ProgramDevices devices;
  devices.Time = &clock;
  devices.Keys = &keyboard;
  devices.Audio = &mixer;
  devices.Messages = &messages;
  devices.CreateDirect3D = createDirect3D;
  devices.Names = &names;

  auto program = std::make_unique<Program>();
  InitProgram(*program, devices, paths);
  program->DisplayOverride = false;  // a replay is always drawn in a window of its own size
  program->SaveOnExit = keepsPlayerFiles;
  program->Log.Enabled = keepsPlayerFiles;
  if (!InitApplication(*program)) return 1;
  program->AppActive = true;
  LoadingOptions options;
  options.Seed = ReplaySeed(file);
  if (const std::optional<LoadingFailure> failure = LoadGame(*program, options)) {
    if (!failure->Message.empty()) messages.Show("Loading", failure->Message);
    return failure->ExitStatus;
  }

  // The runner stops at a close: a stop signal closes the program between two frames.
  ReplayDevices replayDevices{clock, keyboard, mixer, [&program] {
                                if (StopSignal() != 0) program->CloseRequested = true;
                              }};
  int status = 0;
  try {
    status = RunReplay(*program, replayDevices, file, out, err);
  } catch (const ReplayError& error) {
    err << error.what() << '\n';
    status = 2;
  }
  if (const int signal = StopSignal(); signal != 0) err << replayPath << ": stopped by signal " << signal << '\n';
  if (afterRun) status = std::max(status, afterRun(*program));
  FormDestroy(*program);
  return status;
}

}  // namespace

int RunHeadlessReplay(const std::string& replayPath, std::ostream& out, std::ostream& err) {
  // Nothing of a headless run looks at a texel, so none is kept.
  const auto direct3D = [] {
    auto d3d = std::make_shared<RecordingDirect3D>();
    d3d->KeepTexels = false;
    return d3d;
  };
  return RunReplaySession(replayPath, direct3D, true, nullptr, out, err);
}

int RunScreenshotReplay(const std::string& replayPath, const std::string& pngPath, int width, int height,
                        std::ostream& out, std::ostream& err) {
  std::string error;
  std::unique_ptr<SdlGlWindow> window = SdlGlWindow::Create(HiddenWindowOptions(width, height), error);
  if (!window) {
    err << error << '\n';
    return 1;
  }
  auto savePicture = [&](Program& program) {
    if (!program.Graphics.D3DDevice) return 1;
    const Image frame = program.Graphics.D3DDevice->ReadBackBuffer();
    if (WritePngFile(pngPath, frame)) return 0;
    err << pngPath << ": the picture cannot be written\n";
    return 1;
  };
  return RunReplaySession(
      replayPath, [&window] { return CreateGlDirect3D(*window); }, false, savePicture, out, err);
}

}  // namespace zt
