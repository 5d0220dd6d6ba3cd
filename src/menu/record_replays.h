// The replays of the records: a folder `replays` beside highscores.dat holds the replay of each
// entry that has one, named for its game type and row ("kids-01.replay"). The files follow
// their entries as the table changes: renamed when an entry moves down, removed when it falls
// out. They are changed only while the table's save holds its lock.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "core/high_score_table.h"

namespace zt {

constexpr const char* kRecordReplayFolder = "replays";
constexpr std::uintmax_t kMaxRecordReplayBytes = 32u << 20;  // as a replay file

// The replay of row 1..10 of a game type's table, beside the table at `highScorePath`.
std::string RecordReplayPath(const std::string& highScorePath, int32_t gameType, int32_t row);

// Where a row of a table came from when entries were ranked into it: a row of the table as it
// was (1..10), or one of the entries added (its index), or nothing.
struct RowOrigin {
  int32_t OldRow = 0;     // 0: not an old row
  int32_t NewEntry = -1;  // -1: not an added entry
  bool operator==(const RowOrigin&) const = default;
};
using RowOrigins = std::array<std::array<RowOrigin, kHighScoreRows>, kGameTypes>;
RowOrigins UnmovedRows();

// Moves, removes and writes the files so that each row of the new table has its entry's replay:
// an old row's file follows it, an added entry's replay (`addedReplays`, by index; empty: none) is
// written at its row, and the files of rows that fell out are removed. Failures are logged; the
// result says whether every step succeeded.
bool MoveRecordReplays(const std::string& highScorePath, const RowOrigins& origins,
                       const std::vector<std::string>& addedReplays, const DebugLog& log);

}  // namespace zt
