// A program state of its own for running a replay beside the game being played: a record's
// verification, or the player watching one. It takes what the loading read (the figure shapes,
// the settings) from the running program and keeps everything else fresh; it has no graphics
// device and no sound, and writes no file.
#pragma once

#include <functional>
#include <memory>

#include "app/program.h"
#include "app/replay_file.h"
#include "device/keyboard_device.h"
#include "device/message_box.h"
#include "device/mixer.h"

namespace zt {

class ThrowawayProgram {
 public:
  ThrowawayProgram(const FigureShapes& shapes, const Settings& settings);
  // Runs the replay as the headless runner does: 0 every expect held, 1 one failed, 2 the file
  // is malformed. `drawFrame` runs after each frame's step (it may set CloseRequested to stop).
  int Run(const ReplayFile& file, const std::function<void()>& drawFrame = {});

  Program& State() { return *state_; }
  ManualClock& Time() { return clock_; }

 private:
  ManualClock clock_{1000};
  ScriptedKeyboard keys_;
  RecordingMixer sounds_;  // stays silent: the state's audio has no device
  RecordingMessageBox messages_;
  std::unique_ptr<Program> state_ = std::make_unique<Program>();
};

}  // namespace zt
