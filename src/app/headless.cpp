#include "app/headless.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>

#include "app/game_direct3d.h"
#include "app/game_folder.h"
#include "app/loading_sequence.h"
#include "app/replay_runner.h"
#include "app/shutdown.h"
#include "app/start_up.h"
#include "app/stop_signals.h"
#include "device/image_file.h"
#include "device/recording_device.h"
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

// What a run does besides the replay itself, each part optional.
struct SessionHooks {
  std::function<void(Program&)> AfterFrame;  // after each frame is drawn
  std::function<int(Program&)> AfterRun;     // before the shutdown; the exit status it adds
};

// Starts the program on the given graphics device, runs the replay, and shuts down as when
// the window closes. A run that keeps no player's files writes neither debug.txt nor what a
// close saves; no replay writes the statistics. SIGHUP, SIGINT and SIGTERM end the replay after
// the frame in progress, as if the file ended there.
int RunReplaySession(const std::string& replayPath, const std::function<Direct3DPtr(Settings&)>& createDirect3D,
                     bool keepsPlayerFiles, const SessionHooks& hooks, std::ostream& out, std::ostream& err) {
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
  auto program = std::make_unique<Program>();
  ProgramDevices devices;
  devices.Time = &clock;
  devices.Keys = &keyboard;
  devices.Audio = &mixer;
  devices.Messages = &messages;
  devices.CreateDirect3D = [&] { return createDirect3D(program->Config); };
  devices.Names = &names;

  InitProgram(*program, devices, paths);
  program->DisplayOverride = false;  // a replay is always drawn in a window of its own size
  program->SaveOnExit = keepsPlayerFiles;
  program->SavesStatistics = false;
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
  ReplayDevices replayDevices{clock, keyboard, mixer, [&program, &hooks] {
                                if (hooks.AfterFrame) hooks.AfterFrame(*program);
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
  if (hooks.AfterRun) status = std::max(status, hooks.AfterRun(*program));
  FormDestroy(*program);
  return status;
}

// A replay drawn with the real OpenGL device on a hidden window of width x height, keeping
// none of the player's files.
int RunDrawnReplay(const std::string& replayPath, int width, int height, const SessionHooks& hooks, std::ostream& out,
                   std::ostream& err) {
  std::string error;
  std::unique_ptr<SdlGlWindow> window = SdlGlWindow::Create(HiddenWindowOptions(width, height), error);
  if (!window) {
    err << error << '\n';
    return 1;
  }
  return RunReplaySession(
      replayPath, [&window](Settings& settings) { return CreateGameDirect3D(*window, settings); }, false, hooks, out,
      err);
}

// The picture of the frame just presented, written to `path`; false (and said) when it cannot be.
bool WriteDrawnFrame(const Program& program, const std::string& path, std::ostream& err) {
  if (!program.Graphics.D3DDevice) return false;
  if (WritePngFile(path, program.Graphics.D3DDevice->ReadBackBuffer())) return true;
  err << path << ": the picture cannot be written\n";
  return false;
}

// The name of the picture numbered 1, 2, ... in the frames' folder: "000001.png".
std::string FramePictureName(int number) {
  std::string digits = std::to_string(number);
  return std::string(digits.size() < 6 ? 6 - digits.size() : 0, '0') + digits + ".png";
}

}  // namespace

int RunHeadlessReplay(const std::string& replayPath, std::ostream& out, std::ostream& err) {
  // Nothing of a headless run looks at a texel, so none is kept.
  const auto direct3D = [](Settings&) {
    auto d3d = std::make_shared<RecordingDirect3D>();
    d3d->KeepTexels = false;
    return d3d;
  };
  return RunReplaySession(replayPath, direct3D, true, {}, out, err);
}

int RunScreenshotReplay(const std::string& replayPath, const std::string& pngPath, int width, int height,
                        std::ostream& out, std::ostream& err) {
  SessionHooks hooks;
  hooks.AfterRun = [&](Program& program) { return WriteDrawnFrame(program, pngPath, err) ? 0 : 1; };
  return RunDrawnReplay(replayPath, width, height, hooks, out, err);
}

int RunFramesReplay(const std::string& replayPath, const FramesOutput& output, std::ostream& out, std::ostream& err) {
  std::error_code error;
  std::filesystem::create_directories(output.Folder, error);
  if (error) {
    err << output.Folder << ": the folder for the frames cannot be made (" << error.message() << ")\n";
    return 1;
  }
  uint64_t frames = 0;
  int written = 0;
  bool failed = false;
  SessionHooks hooks;
  hooks.AfterFrame = [&](Program& program) {
    if (frames++ % static_cast<uint64_t>(output.Every) != 0) return;
    if (WriteDrawnFrame(program, (std::filesystem::path(output.Folder) / FramePictureName(++written)).string(), err))
      return;
    failed = true;
    program.CloseRequested = true;  // the run stops at the first picture it cannot keep
  };
  hooks.AfterRun = [&](Program&) { return failed ? 1 : 0; };
  return RunDrawnReplay(replayPath, output.Width, output.Height, hooks, out, err);
}

}  // namespace zt
