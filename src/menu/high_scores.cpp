#include "menu/high_scores.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "core/file_read.h"
#include "core/safe_save.h"
#include "core/save_lock.h"
#include "game/lines.h"
#include "menu/record_replays.h"

namespace zt {
namespace {

constexpr uint8_t kNameEnd = 0xFF;
constexpr uint8_t kScoreEnd = 0x20;
// A table the game writes is about a kilobyte; anything larger than this is not one, however
// long the names it was given.
constexpr std::uintmax_t kLargestHighScoreFile = 64u << 10;

uint8_t RowKey(int row) { return static_cast<uint8_t>(10 * row); }  // rows 1..10

}  // namespace

DecodedHighScores DecodeHighScores(const std::string& bytes) {
  DecodedHighScores result;
  size_t at = 0;
  for (int type = 1; type <= kGameTypes; ++type) {
    for (int row = 1; row <= kHighScoreRows; ++row) {
      const uint8_t key = RowKey(row);
      HighScoreEntry& entry = result.Table[type - 1][row - 1];
      entry = HighScoreEntry{};
      uint8_t c = 0;
      while (c != kNameEnd && at < bytes.size()) {
        c = static_cast<uint8_t>(bytes[at++]) ^ key;
        if (c != kNameEnd) entry.EntryName += static_cast<char>(c);
      }
      int64_t score = 0;
      while (c != kScoreEnd && at < bytes.size()) {
        c = static_cast<uint8_t>(bytes[at++]) ^ key;
        if (c == kScoreEnd) break;
        if (c < '0' || c > '9') {
          result.Damage = "a score holds the byte " + std::to_string(c) + " (game type " + std::to_string(type) +
                          ", row " + std::to_string(row) + ")";
          return result;
        }
        score = score * 10 + (c - '0');
        if (score > INT32_MAX) {
          result.Damage = "a score is beyond the 32-bit range (game type " + std::to_string(type) + ", row " +
                          std::to_string(row) + ")";
          return result;
        }
      }
      entry.EntryScore = static_cast<int32_t>(score);
    }
  }
  return result;
}

void SetDamagedFileAside(const std::string& path, const std::string& used, DamagedTable damaged, const DebugLog& log) {
  if (damaged == DamagedTable::kLeave) {
    WriteLog(log, used + "; the file is left as it is");
    return;
  }
  const std::optional<std::string> kept = MoveFileAside(path);
  WriteLog(log, used + (kept ? "; the damaged file is kept as " + *kept
                             : ", and the damaged file could not be moved aside"));
}

namespace {

void SetDamagedTableAside(const std::string& path, const std::string& problem, DamagedTable damaged,
                          const DebugLog& log) {
  SetDamagedFileAside(path, "LoadHighScores - " + path + " is damaged: " + problem + "; the default table is used",
                      damaged, log);
}

}  // namespace

HighScoreTable DefaultHighScoreTable() {
  HighScoreTable table;
  for (auto& rows : table)
    for (HighScoreEntry& entry : rows) entry = HighScoreEntry{"Noname", 0};
  return table;
}

void LoadHighScores(HighScoreState& state, const std::string& path, const DebugLog& log, DamagedTable damaged) {
  const FileBytes read = ReadFileBytes(path, kLargestHighScoreFile);
  state.ReadError.clear();
  switch (read.Status) {
    case FileReadStatus::Missing:
      state.Table = DefaultHighScoreTable();
      state.HighScoresLoaded = true;
      return;
    case FileReadStatus::NotRegular:
    case FileReadStatus::Failed:
      state.Table = DefaultHighScoreTable();
      state.HighScoresLoaded = false;
      state.ReadError = read.Error;
      WriteLog(log, "LoadHighScores - " + path + " could not be read (" + read.Error +
                        "); the default table is used and not saved");
      return;
    case FileReadStatus::TooLarge:
      state.Table = DefaultHighScoreTable();
      state.HighScoresLoaded = true;
      SetDamagedTableAside(path, "it is far too large to be a table", damaged, log);
      return;
    case FileReadStatus::Read:
      break;
  }
  DecodedHighScores decoded = DecodeHighScores(read.Bytes);
  state.HighScoresLoaded = true;
  if (decoded.Damage.empty()) {
    state.Table = std::move(decoded.Table);
  } else {
    state.Table = DefaultHighScoreTable();
    SetDamagedTableAside(path, decoded.Damage, damaged, log);
  }
}

std::string EncodeHighScores(HighScoreTable& table) {
  std::string bytes;
  for (auto& rows : table) {
    for (int row = 1; row <= kHighScoreRows; ++row) {
      HighScoreEntry& entry = rows[row - 1];
      if (entry.EntryName.empty()) entry.EntryName = "noname";
      const uint8_t key = RowKey(row);
      for (const char c : entry.EntryName) {
        // The terminator cannot be part of a name: it would end the name on reading.
        if (static_cast<uint8_t>(c) != kNameEnd) bytes += static_cast<char>(static_cast<uint8_t>(c) ^ key);
      }
      bytes += static_cast<char>(kNameEnd ^ key);
      for (const char c : std::to_string(entry.EntryScore)) bytes += static_cast<char>(static_cast<uint8_t>(c) ^ key);
      bytes += static_cast<char>(kScoreEnd ^ key);
    }
  }
  return bytes;
}

namespace {

using HighScoreRows = std::array<HighScoreEntry, kHighScoreRows>;

// Puts `entry` into row `position` (1..10): the rows from there on move down and the old row 10
// is lost. The same for what is kept beside each row.
template <typename Row>
void InsertRow(std::array<Row, kHighScoreRows>& rows, int32_t position, Row entry) {
  position = std::clamp(position, 1, kHighScoreRows);
  for (int row = kHighScoreRows; row > position; --row) rows[row - 1] = rows[row - 2];
  rows[position - 1] = std::move(entry);
}

// Puts `entry` where its score ranks, below every equal score already there, as a running game's
// rank rises; returns its row, or kNoPosition when it does not rank.
int32_t InsertByRank(HighScoreRows& rows, HighScoreEntry entry) {
  const int32_t position = UpdatePosition(rows, entry.EntryScore, kNoPosition);
  if (position <= kHighScoreRows) InsertRow(rows, position, std::move(entry));
  return position;
}

// Ranks the run's entries into the table read from the file, noting where each row came from.
RowOrigins RankRunEntries(HighScoreTable& table, const std::vector<RunEntry>& entries) {
  RowOrigins origins = UnmovedRows();
  for (size_t i = 0; i < entries.size(); ++i) {
    const int32_t type = entries[i].GameType;
    const int32_t row = InsertByRank(table[type - 1], entries[i].Entry);
    if (row <= kHighScoreRows) InsertRow(origins[type - 1], row, RowOrigin{0, static_cast<int32_t>(i)});
  }
  return origins;
}

}  // namespace

bool SaveHighScores(HighScoreState& state, const std::string& path, const DebugLog& log) {
  if (!state.ReadError.empty()) {
    WriteLog(log, "SaveHighScores - skipped: " + path + " could not be read at loading and is kept as it is");
    return false;
  }
  const SaveLock lock(path);
  HighScoreState file;  // what the file holds now: another game may have saved since
  if (lock.Held()) LoadHighScores(file, path, log);
  if (!file.HighScoresLoaded) {
    WriteLog(log, "SaveHighScores - " + path + " could not be " + (lock.Held() ? "read" : "locked") +
                      "; the previous table is kept");
    return false;
  }
  const RowOrigins origins = RankRunEntries(file.Table, state.UnsavedEntries);
  if (!SaveFileSafely(path, EncodeHighScores(file.Table))) {
    WriteLog(log, "SaveHighScores - " + path + " could not be written; the previous table is kept");
    return false;
  }
  std::vector<std::string> replays;
  for (RunEntry& added : state.UnsavedEntries) replays.push_back(std::move(added.Replay));
  MoveRecordReplays(path, origins, replays, log);
  state.UnsavedEntries.clear();
  if (state.NameEntryActive) {
    // The name being typed reaches the file when its entry ends; until then it keeps its place
    // among the rows the file holds now (one pushed out of the table ends its entry).
    const HighScoreEntry typed = state.Table[state.NameEntryGameType - 1][state.NameEntryRow - 1];
    const int32_t row = InsertByRank(file.Table[state.NameEntryGameType - 1], typed);
    if (row <= kHighScoreRows)
      state.NameEntryRow = row;
    else
      state.NameEntryActive = false;
  }
  state.Table = std::move(file.Table);
  return true;
}

bool InsertNewScore(HighScoreState& state, int32_t gameType, int32_t score, int32_t position) {
  assert(gameType >= 1 && gameType <= kGameTypes);
  gameType = std::clamp(gameType, 1, kGameTypes);
  state.ShownHighScoreType = gameType;
  if (position < 1 || position > kHighScoreRows) {
    state.NameEntryActive = false;
    return false;
  }
  InsertRow(state.Table[gameType - 1], position, HighScoreEntry{"", score});
  state.NameEntryReplay.clear();
  state.NameEntryActive = true;
  state.NameEntryGameType = gameType;
  state.NameEntryRow = position;
  return true;
}

bool IsVisibleNameCharacter(uint8_t c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  constexpr std::string_view kSigns = " !\"$'+,-./:<=>?@|";
  return kSigns.find(static_cast<char>(c)) != std::string_view::npos;
}

NameKeyResult FormKeyPress(HighScoreState& state, uint8_t character) {
  if (!state.NameEntryActive) return NameKeyResult::NotEditing;
  std::string& name = state.Table[state.NameEntryGameType - 1][state.NameEntryRow - 1].EntryName;
  switch (character) {
    case 13:
      if (name.empty()) name = "Anonymous";
      EndNameEntry(state);
      return NameKeyResult::Finished;
    case 8:
      // Characters the font does not draw go together with the visible one before them.
      while (!name.empty() && !IsVisibleNameCharacter(static_cast<uint8_t>(name.back()))) name.pop_back();
      if (!name.empty()) name.pop_back();
      return NameKeyResult::Erased;
    case 27:
    case kNameEnd:  // the file's name terminator
      return NameKeyResult::Ignored;
    default:
      if (name.size() >= static_cast<size_t>(kMaxTypedNameLength)) return NameKeyResult::Ignored;
      name += static_cast<char>(character);
      return NameKeyResult::Appended;
  }
}

void EndNameEntry(HighScoreState& state) {
  if (!state.NameEntryActive) return;
  state.NameEntryActive = false;
  const HighScoreEntry& named = state.Table[state.NameEntryGameType - 1][state.NameEntryRow - 1];
  state.UnsavedEntries.push_back({state.NameEntryGameType, named, std::move(state.NameEntryReplay)});
  state.NameEntryReplay.clear();
}

bool ShowsNameEntry(const HighScoreState& scores, int32_t gameType) {
  return scores.NameEntryActive && scores.NameEntryGameType == gameType && scores.NameEntryRow >= 1 &&
         scores.NameEntryRow <= kHighScoreRows;
}

void StepNameCursor(HighScoreState& state, int32_t frameMs) {
  if (state.NameCursorTimer < 0) {
    state.NameCursor.assign(state.NameCursor.empty() ? 1 : 0, '|');
    state.NameCursorTimer = kNameCursorBlinkMs;
  }
  state.NameCursorTimer -= frameMs;
}

std::string NameEntryTail(const HighScoreState& state) {
  if (!state.PickingLetters || state.NameCursor.empty()) return state.NameCursor;
  const char letter = kPickerLetters[static_cast<size_t>(state.PickedLetter) % kPickerLetters.size()];
  return letter == ' ' ? state.NameCursor : std::string(1, letter);
}

}  // namespace zt
