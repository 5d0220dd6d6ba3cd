#include "menu/statistics.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "core/file_read.h"
#include "core/save_lock.h"

namespace zt {
namespace {

// Each number of a section: its key and where it is kept.
struct StatisticsKey {
  std::string Name;
  int32_t* Value;
};

std::string ClearKey(const std::string& prefix, int size) { return prefix + "Clears" + std::to_string(size); }

template <typename Totals>
std::vector<StatisticsKey> KeysOf(Totals& totals) {
  std::vector<StatisticsKey> keys = {
      {"Games", &totals.Games}, {"SecondsPlayed", &totals.SecondsPlayed}, {"Figures", &totals.Figures}};
  for (int size = 1; size <= kClearSizes; ++size) keys.push_back({ClearKey("", size), &totals.Clears[size - 1]});
  keys.push_back({"BestLevel", &totals.BestLevel});
  keys.push_back({"BestFiguresPerMinute", &totals.BestFiguresPerMinute});
  GameRecord& last = totals.LastGame;
  keys.push_back({"LastSeconds", &last.Seconds});
  keys.push_back({"LastFigures", &last.Figures});
  for (int size = 1; size <= kClearSizes; ++size) keys.push_back({ClearKey("Last", size), &last.Clears[size - 1]});
  keys.push_back({"LastLevel", &last.Level});
  keys.push_back({"LastFiguresPerMinute", &last.FiguresPerMinute});
  return keys;
}

int32_t SaturatingSum(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + int64_t{b};
  return static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

// The table of a file's bytes; damage says what makes them no file the game wrote.
StatisticsTable DecodeStatistics(const FileBytes& read, std::string& damage) {
  if (read.Status == FileReadStatus::TooLarge) {
    damage = "it is far too large to hold statistics";
    return {};
  }
  return ReadStatistics(IniFile::Parse(read.Bytes), &damage);
}

void SetDamagedStatisticsAside(const std::string& path, const std::string& damage, DamagedTable damaged,
                               const DebugLog& log) {
  SetDamagedFileAside(path, "LoadStatistics - " + path + " is damaged: " + damage + "; the statistics start afresh",
                      damaged, log);
}

}  // namespace

GameRecord RecordOf(const GameState& game) {
  return GameRecord{game.Time.GameSeconds, game.FiguresLanded, game.ClearsBySize, game.Level, game.FiguresPerMinute};
}

void AddGame(TypeStatistics& totals, const GameRecord& game) {
  totals.Games = SaturatingSum(totals.Games, 1);
  totals.SecondsPlayed = SaturatingSum(totals.SecondsPlayed, game.Seconds);
  totals.Figures = SaturatingSum(totals.Figures, game.Figures);
  for (int n = 0; n < kClearSizes; ++n) totals.Clears[n] = SaturatingSum(totals.Clears[n], game.Clears[n]);
  totals.BestLevel = std::max(totals.BestLevel, game.Level);
  totals.BestFiguresPerMinute = std::max(totals.BestFiguresPerMinute, game.FiguresPerMinute);
  totals.LastGame = game;
}

void CountGame(StatisticsState& state, int32_t gameType, const GameRecord& game) {
  if (gameType < 1 || gameType > kGameTypes) return;
  AddGame(state.Table[gameType - 1], game);
  state.UnsavedGames.push_back({gameType, game});
}

void WriteStatistics(IniFile& ini, const StatisticsTable& table) {
  for (int type = 1; type <= kGameTypes; ++type) {
    TypeStatistics totals = table[type - 1];
    for (const StatisticsKey& key : KeysOf(totals)) ini.WriteInteger(GameTypeName(type), key.Name, *key.Value);
  }
}

StatisticsTable ReadStatistics(const IniFile& ini, std::string* damage) {
  StatisticsTable table;
  std::string problem;
  if (const std::optional<size_t> stray = ini.FirstStrayLine())
    problem = "line " + std::to_string(*stray) + " is no key, section or comment";
  for (int type = 1; type <= kGameTypes; ++type) {
    const std::string section = GameTypeName(type);
    for (const StatisticsKey& key : KeysOf(table[type - 1])) {
      const std::optional<std::string> text = ini.ReadString(section, key.Name);
      if (!text) continue;
      const std::optional<int32_t> value = ParseIniInteger(*text);
      if (value && *value >= 0)
        *key.Value = *value;
      else if (problem.empty())
        problem = section + "/" + key.Name + " is not a whole number 0 or more";
    }
  }
  if (damage != nullptr) *damage = problem;
  return problem.empty() ? table : StatisticsTable{};
}

void LoadStatistics(StatisticsState& state, const std::string& path, const DebugLog& log, DamagedTable damaged) {
  const FileBytes read = ReadFileBytes(path, kMaxIniFileBytes);
  state.Table = {};
  state.ReadError.clear();
  if (read.Status == FileReadStatus::Missing) return;
  if (read.Status == FileReadStatus::NotRegular || read.Status == FileReadStatus::Failed) {
    state.ReadError = read.Error;
    WriteLog(log, "LoadStatistics - " + path + " could not be read (" + read.Error +
                      "); the statistics shown are this run's and are not saved");
    return;
  }
  std::string damage;
  state.Table = DecodeStatistics(read, damage);
  if (!damage.empty()) SetDamagedStatisticsAside(path, damage, damaged, log);
}

bool SaveStatistics(StatisticsState& state, const std::string& path, const DebugLog& log) {
  if (!state.ReadError.empty()) {
    WriteLog(log, "SaveStatistics - skipped: " + path + " could not be read at loading and is kept as it is");
    return false;
  }
  if (state.UnsavedGames.empty()) return true;
  const SaveLock lock(path);
  if (!lock.Held()) {
    WriteLog(log, "SaveStatistics - " + path + " could not be locked; the previous statistics are kept");
    return false;
  }
  // What the file holds now: another game in the folder may have saved since.
  const FileBytes read = ReadFileBytes(path, kMaxIniFileBytes);
  if (read.Status == FileReadStatus::NotRegular || read.Status == FileReadStatus::Failed) {
    WriteLog(log,
             "SaveStatistics - " + path + " could not be read (" + read.Error + "); the previous statistics are kept");
    return false;
  }
  std::string damage;
  StatisticsTable merged = DecodeStatistics(read, damage);
  IniFile ini = damage.empty() ? IniFile::Parse(read.Bytes) : IniFile();
  if (!damage.empty()) SetDamagedStatisticsAside(path, damage, DamagedTable::kMoveAside, log);
  for (const CountedGame& game : state.UnsavedGames) AddGame(merged[game.GameType - 1], game.Record);
  WriteStatistics(ini, merged);
  if (!ini.Save(path)) {
    WriteLog(log, "SaveStatistics - " + path + " could not be written; the previous statistics are kept");
    return false;
  }
  state.UnsavedGames.clear();
  state.Table = merged;
  return true;
}

}  // namespace zt
