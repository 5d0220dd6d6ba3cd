#include "app/headless.h"

#include <ostream>

#include "app/game_folder.h"
#include "app/loading_sequence.h"
#include "app/replay_runner.h"
#include "app/shutdown.h"
#include "app/start_up.h"
#include "core/load_error.h"
#include "device/recording_device.h"

namespace zt {

namespace {

// Message boxes of a run without a window go to the error stream.
class StreamMessageBox final : public MessageBox {
 public:
  explicit StreamMessageBox(std::ostream& err) : err_(err) {}
  void Show(const std::string& caption, const std::string& text) override { err_ << caption << ": " << text << '\n'; }

 private:
  std::ostream& err_;
};

}  // namespace

int RunHeadlessReplay(const std::string& replayPath, std::ostream& out, std::ostream& err) {
  ReplayFile file;
  try {
    file = ReadReplayFile(replayPath);
  } catch (const ReplayError& error) {
    err << error.what() << '\n';
    return 2;
  }
  EnterGameFolder();

  ManualClock clock(1000);
  ScriptedKeyboard keyboard;
  RecordingMixer mixer;
  StreamMessageBox messages(err);
  ProgramDevices devices;
  devices.Time = &clock;
  devices.Keys = &keyboard;
  devices.Audio = &mixer;
  devices.Messages = &messages;
  devices.CreateDirect3D = [] { return std::make_shared<RecordingDirect3D>(); };

  auto program = std::make_unique<Program>();
  InitProgram(*program, devices, ConfigPath());
  if (!InitApplication(*program, ScreenSize{720, 540})) return 1;
  program->AppActive = true;
  try {
    LoadingOptions options;
    options.Seed = ReplaySeed(file);
    RunLoadingSequence(*program, options);
  } catch (const LoadError& error) {
    messages.Show("Loading", error.what());
    ReleaseAll(*program);
    return 1;
  } catch (const DeviceFailure&) {
    return 1;
  } catch (const KeyboardUnavailable&) {
    ReleaseAll(*program);
    return 1;
  }

  ReplayDevices replayDevices{clock, keyboard, mixer, nullptr};
  int status = 0;
  try {
    status = RunReplay(*program, replayDevices, file, out, err);
  } catch (const ReplayError& error) {
    err << error.what() << '\n';
    status = 2;
  }
  FormDestroy(*program);
  return status;
}

}  // namespace zt
