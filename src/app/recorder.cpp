#include "app/recorder.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <vector>

#include "app/replay_file.h"
#include "app/state_json.h"
#include "core/file_read.h"

namespace zt {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kLongestFrameMs = 100000;  // a replay frame lasts at most this long
constexpr int kMostLinks = 40;                // links followed before a chain counts as a loop

// A path with its folder's links resolved, absolute; the last name is kept as it is.
fs::path InRealFolder(const fs::path& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error) return path;
  const fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
  return error ? absolute.lexically_normal() : folder / absolute.filename();
}

// Where a write to `path` lands: every link followed, a dangling one too.
fs::path WrittenPath(const fs::path& path) {
  fs::path landing = InRealFolder(path);
  std::error_code error;
  for (int hop = 0; hop < kMostLinks && fs::is_symlink(landing, error); ++hop) {
    const fs::path target = fs::read_symlink(landing, error);
    if (error) break;
    landing = InRealFolder(target.is_absolute() ? target : landing.parent_path() / target);
  }
  return landing;
}

// `name` is the player's file itself or a name its saves make beside it ("highscores.dat.bad.1").
bool NamedAfter(const std::string& name, const std::string& playerName) {
  return name == playerName || name.starts_with(playerName + ".");
}

// A recording the game could replay: readable as a replay file is, and begun by the recorder.
bool StartsAsARecording(const fs::path& file) {
  const FileBytes read = ReadFileBytes(file, kMaxReplayFileBytes);
  return read.Ok() && read.Bytes.starts_with(std::string(kRecordingHead) + '\n');
}

}  // namespace

std::string RecordingRefusal(const std::string& path, const GamePaths& paths) {
  std::vector<fs::path> playerFiles;  // each by its own name and where a write to it lands
  const std::string named[] = {paths.ConfigPath, paths.PlayerFile(kHighScoreFileName), paths.PlayerFile(kLogFileName),
                               paths.PlayerFile(kTimingReportFileName), paths.PlayerFile(kStatisticsFileName)};
  for (const std::string& file : named) {
    if (file.empty()) continue;
    playerFiles.push_back(InRealFolder(file));
    playerFiles.push_back(WrittenPath(file));
  }
  const fs::path landing = WrittenPath(path);
  for (const fs::path& written : {InRealFolder(path), landing})
    for (const fs::path& player : playerFiles)
      if (written.parent_path() == player.parent_path() &&
          NamedAfter(written.filename().string(), player.filename().string()))
        return "--record " + path + ": that name belongs to the player's " + player.filename().string() +
               "; choose another file";
  std::error_code error;
  const fs::file_status status = fs::status(landing, error);
  if (!fs::exists(status)) return "";
  if (!fs::is_regular_file(status)) return "--record " + path + ": that is not a file";
  if (!StartsAsARecording(landing))
    return "--record " + path + ": the file is there already and is not a recording; choose another file";
  return "";
}

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
      case '\r':
        text += "\\r";
        break;
      case '\b':
        text += "\\b";
        break;
      case '\x1b':
        text += "\\e";
        break;
      case '\\':
        text += "\\\\";
        break;
      default:
        text += c;
    }
  }
  return text;
}

std::string RecordingStart(const Settings& config) {
  return std::string(kRecordingHead) + '\n' + "option RotationClockwise " + (config.RotationClockwise ? "1" : "0") +
         "\noption RotationSpeedFactor " + (std::ostringstream() << config.RotationSpeedFactor).str() +
         "\noption SidewaysKeyDelay " + std::to_string(config.SidewaysKeyDelay) + "\noption FullScreenMode " +
         (config.FullScreenMode ? "1" : "0") + '\n';
}

uint32_t RecordedFrameMs(uint32_t tick, uint32_t& lastTick) {
  const uint32_t ms = std::clamp<uint32_t>(tick - lastTick, 1, kLongestFrameMs);
  lastTick = tick;
  return ms;
}

std::string FrameLine(uint32_t ms, const KeySnapshot& keys) {
  return "frame " + std::to_string(ms) + KeyWords(keys) + '\n';
}

std::string ExpectLines(const nlohmann::json& state, std::initializer_list<const char*> paths) {
  std::string lines = "# where the recorded game ended\n";
  for (const char* path : paths) lines += std::string("expect ") + path + " == " + state[path].dump() + '\n';
  return lines;
}

bool ReplayRecorder::Start(const std::string& path, const Program& program) {
  out_.open(path, std::ios::binary | std::ios::trunc);
  if (!out_) return false;
  const std::string start = RecordingStart(program.Config);
  const size_t headEnd = start.find('\n') + 1;  // the seed goes right after the head
  out_ << start.substr(0, headEnd) << "seed " << program.Seed << '\n' << start.substr(headEnd);
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
  out_ << FrameLine(RecordedFrameMs(tick, lastTick_), keys);
  ++frames_;
}

void ReplayRecorder::Finish(const Program& program) {
  FlushTyped();
  out_ << ExpectLines(StateJson(program, frames_, {}), {"Frame", "InMenu", "GameType", "Score", "Lines", "Level",
                                                        "FiguresLanded", "GameOver", "Current", "Next", "Glass"});
  out_.flush();
}

}  // namespace zt
