// The program: every unit's state, owned in one place, and the devices it talks to.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/device_setup.h"
#include "app/game_folder.h"
#include "audio/sounds.h"
#include "core/debug_log.h"
#include "core/key_bindings.h"
#include "core/random.h"
#include "core/settings.h"
#include "device/clock.h"
#include "device/input_names.h"
#include "device/keyboard_device.h"
#include "device/message_box.h"
#include "device/mixer.h"
#include "game/game_context.h"
#include "menu/high_scores.h"
#include "menu/menu.h"
#include "menu/settings_file.h"
#include "menu/statistics.h"
#include "menu/timing_report.h"
#include "render/game_scene.h"

namespace zt {

constexpr const char* kGameTitle = "Zellory Torvane";  // the window's caption and every message box's

// The outside world: the real SDL pieces in play, test doubles in replays and tests.
struct ProgramDevices {
  Clock* Time = nullptr;
  KeyboardDevice* Keys = nullptr;
  Mixer* Audio = nullptr;  // null: no audio device, the game plays silently
  MessageBox* Messages = nullptr;
  std::function<Direct3DPtr()> CreateDirect3D;  // the graphics device factory
  const InputNames* Names = nullptr;            // null: config.ini's keys and buttons are not read
};

struct Program {
  ProgramDevices Devices;
  DebugLog Log;
  Settings Config;
  KeyBindings Bindings;
  SettingsFile ConfigFile;
  Random Rng;
  FigureShapes Shapes;
  ParticleLists Particles;
  GameState Game;
  Sounds Audio;
  Keyboard Input;
  HighScoreState Scores;
  StatisticsState Stats;
  MenuState Menu;
  TimingSlots Timing;
  DeviceSetup Graphics;
  RenderResources Render;

  uint64_t Seed = 1;       // what the random generator was seeded with at loading
  bool AppActive = false;  // the window is active and the device usable
  bool Loaded = false;     // the loading sequence has finished
  bool CloseRequested = false;
  bool SaveOnExit = true;               // off for a replay in the window: the player's files stay as they are
  bool SavesStatistics = true;          // off for every replay and the demo: only the player's own games count
  std::optional<bool> DisplayOverride;  // --fullscreen / --windowed: this run only
  std::string StartNote;                // a line for debug.txt once it is started afresh; empty: none
  std::string HighScorePath = kHighScoreFileName;
  std::string ResultPath = kTimingReportFileName;
  std::string StatisticsPath = kStatisticsFileName;

  GameContext Context() {
    return GameContext{Game, Shapes, Particles, Rng, *Devices.Time, Audio, Config, Scores.Table};
  }
};

// Every unit's start values before loading; the state is then filled by the loading sequence.
void InitProgram(Program& program, const ProgramDevices& devices, const GamePaths& paths);

}  // namespace zt
