// A game wired to test doubles: a hand-moved clock, a scripted keyboard, a recording mixer.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "audio/sounds.h"
#include "device/keyboard_device.h"
#include "device/mixer.h"
#include "game/game_context.h"
#include "game/game_step.h"

namespace zt::testing {

// A grid from four strings of '.' and '#', top row first.
inline FigureGrid Grid(std::initializer_list<const char*> rows) {
  FigureGrid grid{};
  int i = 0;
  for (const char* row : rows) {
    for (int j = 0; j < 4 && row[j] != '\0'; ++j) grid[i][j] = row[j] == '#' ? 1 : 0;
    ++i;
  }
  return grid;
}

// Every figure in every turn a 2x2 square in grid rows 1-2, columns 1-2, unless a test says otherwise.
inline FigureShapes SquareShapes() {
  FigureShapes shapes;
  const FigureGrid square = Grid({"....", ".##.", ".##.", "...."});
  for (auto& figure : shapes.Grids) figure.fill(square);
  return shapes;
}

struct GameHarness {
  FigureShapes shapes = SquareShapes();
  ParticleLists particles;
  Random random{7};
  ManualClock clock{1000};
  RecordingMixer mixer;
  Sounds sounds;
  Settings settings;
  HighScoreTable highScores{};
  GameState state;
  ScriptedKeyboard keyboardDevice;
  Keyboard keyboard;
  GameContext game{state, shapes, particles, random, clock, sounds, settings, highScores};

  explicit GameHarness(int gameType = kTorvane) {
    settings.RotationSpeedFactor = 0.75f;
    settings.SidewaysKeyDelay = 340;
    settings.SoundVolume = 9;
    sounds.Device = &mixer;
    for (int t = 0; t < kMusicTracks; ++t) sounds.MusicStreams[t] = mixer.StreamOpenFile(kMusicFiles[t]);
    for (int n = 0; n < kSoundCount; ++n) sounds.SoundSamples[n] = mixer.SampleLoad(kSoundFiles[n]);
    keyboard.Device = &keyboardDevice;
    DIInit(keyboard);
    DICreateKeyboard(keyboard);
    DIAcquireKeyboard(keyboard, true);
    keyboard.KeyboardReady = true;
    state.Time.LastTick = clock.Now();
    Start(gameType);
  }

  void Start(int gameType) {
    state.GameType = gameType;
    state.Mode.InMenu = false;
    NewGame(game);
    mixer.TakePlayedSounds();
  }

  // One frame of play as the program runs it: the game poll, then the game or interrupted step.
  void Frame(uint32_t ms, std::initializer_list<uint8_t> keys = {}) {
    clock.Advance(ms);
    keyboardDevice.ReleaseAll();
    for (uint8_t key : keys) keyboardDevice.Press(key);
    if (!state.Mode.InputLocked) PollGameKeys(state.Keys, keyboard, settings.SidewaysKeyDelay);
    if (state.Mode.GameOver || state.Mode.Paused || state.Mode.AbortAsked)
      lastLeave = InterruptedStep(game);
    else
      GameStep(game);
  }
  void Frames(int count, uint32_t ms, std::initializer_list<uint8_t> keys = {}) {
    for (int n = 0; n < count; ++n) Frame(ms, keys);
  }

  std::vector<std::string> PlayedSounds() { return mixer.TakePlayedSounds(); }

  // Holds the current figure still at the top, so that it cannot lock during a test.
  void ParkFigure() {
    state.CurrentFigure.CellY = 20;
    state.CurrentFigure.PosY = 20;
    state.BaseFallSpeed = state.FallSpeed = 0.0f;
  }

  void FillRow(int row, int color = 3, int gapColumn = 0) {
    for (int column = 1; column <= kGlassColumns; ++column)
      if (column != gapColumn) state.Cells.Occupy(column, row, color);
  }
  int OccupiedCells() const {
    int count = 0;
    for (int row = 1; row <= kGlassRows; ++row)
      for (int column = 1; column <= kGlassColumns; ++column) count += state.Cells.IsFree(column, row) ? 0 : 1;
    return count;
  }

  LeaveResult lastLeave = LeaveResult::kStaying;
};

inline bool Contains(const std::vector<std::string>& list, const std::string& item) {
  for (const std::string& entry : list)
    if (entry == item) return true;
  return false;
}

}  // namespace zt::testing
