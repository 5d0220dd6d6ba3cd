// Replay files: a recorded game as text, one command per line. A replay runs the program
// with a clock that moves only by the recorded frame times and the keyboard fed from the file.
//
//   # comment                 seed N                  game T (1..5)
//   frame MS [KEY ...]        frames N MS [KEY ...]   type TEXT
//   state                     expect PATH OP VALUE
//   autoplay N MS             N frames steered by the automatic player
//   option NAME VALUE         a setting the rules read, as the recorded game had it:
//                             RotationClockwise 0|1, RotationSpeedFactor 0.5..2,
//                             SidewaysKeyDelay 0..1000 (whole ms), FullScreenMode 0|1;
//                             or the brick palette the picture is drawn in: Palette 0|1
//   start {JSON}              the fade into a game of the menu at its last step, the game to
//                             begin with what the recorded one inherited (see start_line.h)
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/inherited_state.h"

namespace zt {

struct ReplayCommand {
  enum class Kind { kSeed, kGame, kFrames, kType, kState, kExpect, kAutoplay, kOption, kStart };
  Kind What = Kind::kState;
  int Line = 0;
  uint64_t Seed = 1;
  int32_t GameType = 1;
  uint32_t Count = 1;  // frames
  uint32_t Ms = 0;
  std::vector<uint8_t> Keys;    // key codes held during the frame
  std::string Text;             // typed characters, escapes resolved
  std::string Path, Op, Value;  // expect; option: Path is the setting's name, Value its value
  double OptionValue = 0;       // option: the value, within the setting's range
  InheritedState Start;         // start
};

struct ReplayFile {
  std::string Name;
  std::vector<ReplayCommand> Commands;
};

class ReplayError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Key names: esc tab y p enter lctrl n space rctrl pause up left right down, and dik:N.
bool KeyCodeForName(const std::string& name, uint8_t& code);
const char* KeyNameForCode(uint8_t code);  // the name a recording writes; nullptr: use dik:N

ReplayFile ParseReplay(const std::string& text, const std::string& name);
// A recording is at most this long: more than twelve hours of play, recorded a frame a line.
constexpr std::uintmax_t kMaxReplayFileBytes = 32u << 20;

// Throws ReplayError naming the file (and the line): a file that is missing, not a regular
// file, larger than kMaxReplayFileBytes, cannot be read, or has a malformed line.
ReplayFile ReadReplayFile(const std::string& path);

}  // namespace zt
