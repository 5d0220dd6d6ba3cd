// Every game played in the window, recorded in memory as a replay that runs on its own: it
// begins with the frame in which the menu's fade started the game, its start line carrying
// what the game inherited, and ends with the frame that ended it, with expect lines for the
// game's own end. When the game's score enters the table, its replay goes with the entry.
#pragma once

#include <optional>
#include <string>

#include "app/program.h"
#include "game/inherited_state.h"

namespace zt {

class GameRecorder {
 public:
  // After loading: the first frame counts from the loading's last tick.
  void Start(const Program& program) { lastTick_ = program.Game.Time.LastTick; }
  // Before each frame: a game the fade may start in this frame inherits the state as it is now.
  void BeforeFrame(const Program& program);
  // After each frame that began at `tick` with the keys of the snapshot it polled.
  void AfterFrame(Program& program, uint32_t tick, const KeySnapshot& keys);

 private:
  void Begin();
  void End(const Program& program);

  uint32_t lastTick_ = 0;
  std::optional<InheritedState> starting_;  // of a game the fade is starting
  std::string starts_;                      // the recording's first lines for that game
  bool wasInMenu_ = true;
  bool recording_ = false;
  std::string replay_;    // the game being played
  std::string finished_;  // the last game lost, until its entry is made or the next game begins
};

}  // namespace zt
