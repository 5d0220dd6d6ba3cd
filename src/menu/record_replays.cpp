#include "menu/record_replays.h"

#include <cstdio>
#include <filesystem>

#include "core/safe_save.h"

namespace zt {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, kGameTypes> kFileNames = {"torvane", "redara", "vodoza", "kids", "retro"};

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

bool Remove(const std::string& path, const DebugLog& log) {
  std::error_code error;
  fs::remove(path, error);
  if (error) WriteLog(log, "Record replays - " + path + " could not be removed: " + error.message());
  return !error;
}

bool Rename(const std::string& from, const std::string& to, const DebugLog& log) {
  std::error_code error;
  fs::rename(from, to, error);
  if (error) WriteLog(log, "Record replays - " + from + " could not be renamed: " + error.message());
  return !error;
}

bool Write(const std::string& path, const std::string& replay, const DebugLog& log) {
  std::error_code error;
  fs::create_directories(fs::path(path).parent_path(), error);
  if (!error && SaveFileSafely(path, replay)) return true;
  WriteLog(log, "Record replays - " + path + " could not be written");
  return false;
}

bool MoveRowsOfType(const std::string& highScorePath, int32_t gameType,
                    const std::array<RowOrigin, kHighScoreRows>& rows, const std::vector<std::string>& addedReplays,
                    const DebugLog& log) {
  bool good = true;
  std::array<bool, kHighScoreRows> kept{};
  for (const RowOrigin& origin : rows)
    if (origin.OldRow >= 1) kept[origin.OldRow - 1] = true;
  for (int32_t old = 1; old <= kHighScoreRows; ++old) {
    const std::string path = RecordReplayPath(highScorePath, gameType, old);
    if (!kept[old - 1] && Exists(path)) good = Remove(path, log) && good;
  }
  // Rows only ever move down, so from the bottom up every file goes to a name already free.
  for (int32_t row = kHighScoreRows; row >= 1; --row) {
    const RowOrigin& origin = rows[row - 1];
    const std::string path = RecordReplayPath(highScorePath, gameType, row);
    if (origin.OldRow == row) continue;
    const std::string from = origin.OldRow >= 1 ? RecordReplayPath(highScorePath, gameType, origin.OldRow) : "";
    const bool added = origin.NewEntry >= 0 && static_cast<size_t>(origin.NewEntry) < addedReplays.size() &&
                       !addedReplays[origin.NewEntry].empty();
    if (!from.empty() && Exists(from))
      good = Rename(from, path, log) && good;
    else if (added)
      good = Write(path, addedReplays[origin.NewEntry], log) && good;
    else if (Exists(path))
      good = Remove(path, log) && good;
  }
  return good;
}

}  // namespace

std::string RecordReplayPath(const std::string& highScorePath, int32_t gameType, int32_t row) {
  char name[32];
  std::snprintf(name, sizeof name, "%s-%02d.replay", kFileNames[(gameType - 1) % kGameTypes], row);
  return (fs::path(highScorePath).parent_path() / kRecordReplayFolder / name).string();
}

RowOrigins UnmovedRows() {
  RowOrigins origins;
  for (auto& rows : origins)
    for (int32_t row = 1; row <= kHighScoreRows; ++row) rows[row - 1].OldRow = row;
  return origins;
}

bool MoveRecordReplays(const std::string& highScorePath, const RowOrigins& origins,
                       const std::vector<std::string>& addedReplays, const DebugLog& log) {
  bool good = true;
  for (int32_t gameType = 1; gameType <= kGameTypes; ++gameType)
    if (origins[gameType - 1] != UnmovedRows()[gameType - 1])
      good = MoveRowsOfType(highScorePath, gameType, origins[gameType - 1], addedReplays, log) && good;
  return good;
}

}  // namespace zt
