#include "app/recorder.h"

#include <algorithm>

#include "app/replay_file.h"
#include "app/state_json.h"

namespace zt {

namespace {

constexpr uint32_t kLongestFrameMs = 100000;  // a replay frame lasts at most this long

}  // namespace

std::string KeyWords(const KeySnapshot& keys) {
  std::string words;
  for (int code = 0; code < 256; ++code) {
    if ((keys[code] & 0x80) == 0) continue;
    const char* name = KeyNameForCode(static_cast<uint8_t>(code));
    words += ' ';
    words += name != nullptr ? std::string(name) : "dik:" + std::to_string(code);
  }
  return words;
}

std::string TypedText(const std::string& bytes) {
  std::string text;
  for (char c : bytes) {
    switch (c) {
      case '\r': text += "\\r"; break;
      case '\b': text += "\\b"; break;
      case '\x1b': text += "\\e"; break;
      case '\\': text += "\\\\"; break;
      default: text += c;
    }
  }
  return text;
}

bool ReplayRecorder::Start(const std::string& path, const Program& program) {
  out_.open(path, std::ios::binary | std::ios::trunc);
  if (!out_) return false;
  const Settings& config = program.Config;
  out_ << "# A game of Zellory Torvane, recorded frame by frame.\n"
       << "seed " << program.Seed << '\n'
       << "option RotationClockwise " << (config.RotationClockwise ? 1 : 0) << '\n'
       << "option RotationSpeedFactor " << config.RotationSpeedFactor << '\n'
       << "option SidewaysKeyDelay " << config.SidewaysKeyDelay << '\n'
       << "option FullScreenMode " << (config.FullScreenMode ? 1 : 0) << '\n';
  lastTick_ = program.Game.Time.LastTick;  // the loading's last tick: the first frame counts from it
  return out_.good();
}

void ReplayRecorder::Typed(uint8_t character) { typed_ += static_cast<char>(character); }

void ReplayRecorder::FlushTyped() {
  if (typed_.empty()) return;
  out_ << "type " << TypedText(typed_) << '\n';
  typed_.clear();
}

void ReplayRecorder::Frame(uint32_t tick, const KeySnapshot& keys) {
  FlushTyped();
  const uint32_t ms = std::clamp<uint32_t>(tick - lastTick_, 1, kLongestFrameMs);
  lastTick_ = tick;
  out_ << "frame " << ms << KeyWords(keys) << '\n';
  ++frames_;
}

void ReplayRecorder::Finish(const Program& program) {
  FlushTyped();
  const nlohmann::json state = StateJson(program, frames_, {});
  out_ << "# where the recorded game ended\n";
  for (const char* path : {"Frame", "InMenu", "GameType", "Score", "Lines", "Level", "FiguresLanded", "GameOver",
                           "Current", "Next", "Glass"})
    out_ << "expect " << path << " == " << state[path].dump() << '\n';
  out_.flush();
}

}  // namespace zt
