// What the player has played, per game type: the lifetime totals and bests, and the last game
// of each type. Kept in statistics.ini beside highscores.dat, one section a game type.
//
// Every game is counted once, when it ends: by game over, by a confirmed abort or by the
// window closing while it runs. The games a run counts reach the file when they end; a save
// takes the file's lock, reads the file again and adds them to what it holds, so two games in
// one folder both keep what they played.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "core/high_score_table.h"
#include "core/ini_file.h"
#include "game/game_state.h"
#include "menu/high_scores.h"

namespace zt {

constexpr const char* kStatisticsFileName = "statistics.ini";

// The figures of one game.
struct GameRecord {
  int32_t Seconds = 0;                        // of play, pauses excluded
  int32_t Figures = 0;                        // landed
  std::array<int32_t, kClearSizes> Clears{};  // rows cleared one, two, three, four (or more) at once
  int32_t Level = 0;
  int32_t FiguresPerMinute = 0;
  bool operator==(const GameRecord&) const = default;
};

// One game type's totals.
struct TypeStatistics {
  int32_t Games = 0;
  int32_t SecondsPlayed = 0;
  int32_t Figures = 0;
  std::array<int32_t, kClearSizes> Clears{};
  int32_t BestLevel = 0;
  int32_t BestFiguresPerMinute = 0;
  GameRecord LastGame;  // all 0 before the first game
  bool operator==(const TypeStatistics&) const = default;
};

using StatisticsTable = std::array<TypeStatistics, kGameTypes>;  // [gameType - 1]

// A game this run counted that the file does not hold yet.
struct CountedGame {
  int32_t GameType = 1;  // 1..5
  GameRecord Record;
};

struct StatisticsState {
  StatisticsTable Table;                  // the file as last read or saved, with this run's games
  std::vector<CountedGame> UnsavedGames;  // in the order they were played
  std::string ReadError;                  // why the file could not be read at loading; while set nothing writes it
};

// The game as it stands now.
GameRecord RecordOf(const GameState& game);

// Adds one game to a type's totals: sums, bests and the last game. Totals stop at the 32-bit limit.
void AddGame(TypeStatistics& totals, const GameRecord& game);

// A game has ended: it joins the totals in memory and the games the next save adds to the file.
void CountGame(StatisticsState& state, int32_t gameType, const GameRecord& game);

// The file's sections for the table, and the table the sections hold. Values that are missing
// read as 0; `damage` (when given) tells what is wrong with a file the game cannot have written
// (a value that is not a whole number 0 or more, a line that is no key, section or comment) and
// is empty when it is sound.
void WriteStatistics(IniFile& ini, const StatisticsTable& table);
StatisticsTable ReadStatistics(const IniFile& ini, std::string* damage = nullptr);

// Reads the file at `path`; a missing one gives all zeros. A damaged file gives all zeros too and
// is renamed aside (`damaged` kMoveAside), as a damaged high-score table is. A file that exists but
// cannot be read is logged, gives all zeros and sets ReadError.
void LoadStatistics(StatisticsState& state, const std::string& path, const DebugLog& log,
                    DamagedTable damaged = DamagedTable::kMoveAside);

// Adds UnsavedGames to what the file holds now, under the file's lock, and writes it through a
// temporary file and a rename; the merged totals become the table in memory. Sections and keys the
// game does not know stay as the file had them; a file found damaged is moved aside and written
// afresh. Nothing to add writes nothing. A failure is logged, keeps the old file and the unsaved
// games (the next save tries again); the result says whether the games are in the file.
bool SaveStatistics(StatisticsState& state, const std::string& path, const DebugLog& log);

}  // namespace zt
