#include "app/state_json.h"

#include <charconv>

namespace zt {

namespace {

using nlohmann::json;

json FigureJson(const TFigure& figure) {
  return json{{"Color", figure.Color},      {"Turn", figure.Turn},       {"CellX", figure.CellX},
              {"CellY", figure.CellY},      {"PosX", figure.PosX},       {"PosY", figure.PosY},
              {"Scale", figure.Scale},      {"Turning", figure.Turning}, {"TurnAngle", figure.TurnAngle},
              {"ShiftDir", figure.ShiftDir}};
}

json GlassJson(const Glass& glass) {
  json rows = json::array();
  for (int row = 1; row <= kGlassRows; ++row) {
    json cells = json::array();
    for (int column = 1; column <= kGlassColumns; ++column)
      cells.push_back(glass.IsFree(column, row) ? 0 : glass.Cell(column, row).Brick.Color);
    rows.push_back(cells);
  }
  return rows;
}

json HighScoresJson(const HighScoreTable& table) {
  json types = json::array();
  for (const auto& rows : table) {
    json entries = json::array();
    for (const HighScoreEntry& entry : rows)
      entries.push_back({{"Name", entry.EntryName}, {"Score", entry.EntryScore}});
    types.push_back(entries);
  }
  return types;
}

// Names may hold any byte; JSON text must be UTF-8, so bytes above 127 are shown as Latin-1.
std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

json StateJson(const Program& program, uint64_t frames, const std::vector<std::string>& sounds) {
  const GameState& game = program.Game;
  const ModeFlags& mode = game.Mode;
  const BonusState& bonus = game.Bonus;
  const Settings& config = program.Config;
  json particles = json::array();
  for (const ParticleList& list : program.Particles) particles.push_back(list.Size());
  json highScores = HighScoresJson(program.Scores.Table);
  for (auto& rows : highScores)
    for (auto& entry : rows) entry["Name"] = Latin1ToUtf8(entry["Name"].get<std::string>());

  return json{
      {"Frame", frames},
      {"Time", program.Devices.Time->Now()},
      {"InMenu", mode.InMenu},
      {"InputLocked", mode.InputLocked},
      {"FadeOut", mode.FadeOut},
      {"FadeIn", mode.FadeIn},
      {"FadeLevel", mode.FadeLevel},
      {"GameOver", mode.GameOver},
      {"Paused", mode.Paused},
      {"AbortAsked", mode.AbortAsked},
      {"MenuScreen", program.Menu.MenuScreen},
      {"MenuItem", program.Menu.MenuItem},
      {"ShownHighScoreType", program.Scores.ShownHighScoreType},
      {"NameEntryActive", program.Scores.NameEntryActive},
      {"GameType", game.GameType},
      {"Score", game.Score},
      {"ShownScore", game.ShownScore},
      {"Lines", game.Lines},
      {"Level", game.Level},
      {"FiguresLanded", game.FiguresLanded},
      {"FiguresPerMinute", game.FiguresPerMinute},
      {"Position", game.Position},
      {"GameSeconds", game.Time.GameSeconds},
      {"LinesAdded", game.LinesAdded},
      {"RedaraRows", game.RedaraRows},
      {"BaseFallSpeed", game.BaseFallSpeed},
      {"FallSpeed", game.FallSpeed},
      {"ShiftSpeed", game.ShiftSpeed},
      {"LockDelayActive", game.LockDelayActive},
      {"LockDelayMs", game.LockDelayMs},
      {"BonusMode", bonus.BonusMode},
      {"BonusCountdown", bonus.BonusCountdown},
      {"PowerPoints", bonus.PowerPoints},
      {"ShownPowerPoints", bonus.ShownPowerPoints},
      {"BombPending", bonus.BombPending},
      {"BombActive", bonus.BombActive},
      {"BombRadius", bonus.BombRadius},
      {"SuperfigurePending", bonus.SuperfigurePending},
      {"Current", FigureJson(game.CurrentFigure)},
      {"Next", json{{"Color", game.NextFigure.Color}, {"Turn", game.NextFigure.Turn}}},
      {"Glass", GlassJson(game.Cells)},
      {"Message", json{{"Text", game.Msg.Text}, {"Alpha", game.Msg.Alpha}, {"Bonus", game.Msg.Bonus}}},
      {"ClearedRowsInUse", ClearedRowsInUse(game)},
      {"Particles", particles},
      {"Sounds", sounds},
      {"MusicTrack", program.Audio.CurrentMusicTrack},
      {"MusicPlaying", program.Audio.MusicPlaying.load()},
      {"Settings", json{{"MusicVolume", config.MusicVolume},
                        {"SoundVolume", config.SoundVolume},
                        {"RotationClockwise", config.RotationClockwise},
                        {"BrickQuality", config.BrickQuality},
                        {"SidewaysKeyDelay", config.SidewaysKeyDelay},
                        {"RotationSpeedFactor", config.RotationSpeedFactor}}},
      {"HighScores", highScores},
  };
}

const nlohmann::json* FindPath(const nlohmann::json& state, const std::string& path) {
  const json* node = &state;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t dot = path.find('.', start);
    const std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (node->is_object()) {
      auto it = node->find(part);
      if (it == node->end()) return nullptr;
      node = &*it;
    } else if (node->is_array()) {
      size_t index = 0;
      auto [rest, error] = std::from_chars(part.data(), part.data() + part.size(), index);
      if (error != std::errc() || rest != part.data() + part.size() || index >= node->size()) return nullptr;
      node = &(*node)[index];
    } else {
      return nullptr;
    }
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return node;
}

bool CompareJson(const nlohmann::json& actual, const std::string& op, const nlohmann::json& expected) {
  if (op == "==") return actual == expected;
  if (op == "!=") return actual != expected;
  const bool comparable = (actual.is_number() && expected.is_number()) || (actual.is_string() && expected.is_string());
  if (!comparable) return false;
  if (op == "<") return actual < expected;
  if (op == "<=") return actual <= expected;
  if (op == ">") return actual > expected;
  if (op == ">=") return actual >= expected;
  return false;
}

}  // namespace zt
