// Recording the game being played as a replay file: the seed, the settings the rules read,
// every frame's milliseconds and held keys, and the typed characters. `--replay` plays it
// back frame for frame to the same final state (with the same high-score table).
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>

#include "app/game_folder.h"
#include "app/program.h"

namespace zt {

// The first line of every recording: an existing file that starts otherwise is not one.
constexpr const char* kRecordingHead = "# A game of Zellory Torvane, recorded frame by frame.";

// Why `path` must not take a recording; empty when it may. Refused: the player's files
// (config.ini, highscores.dat, debug.txt, result.txt, and every name a save makes beside one:
// .tmp, .bad, .lock, ...), reached by their names or through links at either end, and a file
// that is there already and is not an earlier recording.
std::string RecordingRefusal(const std::string& path, const GamePaths& paths);

class ReplayRecorder {
 public:
  // Opens the file and writes its head; false when the file cannot be written.
  bool Start(const std::string& path, const Program& program);
  void Typed(uint8_t character);  // delivered before the next frame
  // One frame that began at `tick`, with the keys of the snapshot it polled.
  void Frame(uint32_t tick, const KeySnapshot& keys);
  // The end of the recording: expect lines for the final state, so that a replay of the file
  // checks that it reached the same.
  void Finish(const Program& program);
  bool Good() const { return out_.good(); }

 private:
  void FlushTyped();
  std::ofstream out_;
  uint32_t lastTick_ = 0;
  uint64_t frames_ = 0;
  std::string typed_;
};

// The keys down in a snapshot as the replay file names them ("left space dik:30").
std::string KeyWords(const KeySnapshot& keys);
// The lines every recording begins with: its head and the settings the rules read.
std::string RecordingStart(const Settings& settings);
// The milliseconds a frame that began at `tick` is recorded with, `lastTick` moving on to it.
uint32_t RecordedFrameMs(uint32_t tick, uint32_t& lastTick);
std::string FrameLine(uint32_t ms, const KeySnapshot& keys);
// Expect lines for the state's values at the given paths, under a comment saying so.
std::string ExpectLines(const nlohmann::json& state, std::initializer_list<const char*> paths);
// Typed bytes as the text of a `type` line, with \r \b \e \\ escaped.
std::string TypedText(const std::string& bytes);

}  // namespace zt
