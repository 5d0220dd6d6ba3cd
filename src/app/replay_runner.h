// Runs a replay file against a started program: frames advance a hand-moved clock and feed
// the keyboard from the file; `state` prints the state as JSON; `expect` checks it.
#pragma once

#include <functional>
#include <iosfwd>

#include "app/program.h"
#include "app/replay_file.h"
#include "device/keyboard_device.h"
#include "device/mixer.h"

namespace zt {

struct ReplayDevices {
  ManualClock& Clock;
  ScriptedKeyboard& Keys;
  RecordingMixer& Audio;            // whose played sounds the state lines list
  std::function<void()> DrawFrame;  // the drawing after each frame's step
};

// A recorded setting the rules read (see the option command).
void ApplyReplayOption(Settings& settings, const std::string& name, double value);

// The seed a replay asks for before its first frame (1 when it names none). The loading
// sequence takes it, and the seed line seeds the generator afresh before the first frame.
uint64_t ReplaySeed(const ReplayFile& file);

// Runs the commands in order. 0: every expect held; 1: an expect failed (the rest still ran).
// A seed after the first frame is malformed: ReplayError.
int RunReplay(Program& program, ReplayDevices& devices, const ReplayFile& file, std::ostream& out, std::ostream& err);

}  // namespace zt
