// The replays of the records in the table the player sees: which entries have one, the marks
// their verification gives them on the high-score screen, and the replay an entry's watch plays.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/program.h"
#include "app/record_verifier.h"

namespace zt {

// The row of the saved table (and of its replay files) that a row of the table in memory shows:
// the same, but for the entry whose name is being typed (0: not saved yet) and the rows under it.
int32_t SavedRowOf(const HighScoreState& scores, int32_t gameType, int32_t row);

class RecordShelf {
 public:
  // After loading: reads the replays beside the table and starts verifying them.
  explicit RecordShelf(const Program& program);
  // Each frame: the replays read again when the table has changed, and the marks set.
  void Update(Program& program);
  // The replay of a row of the table in memory; empty when it has none.
  std::string ReplayOfRow(const Program& program, int32_t gameType, int32_t row) const;

 private:
  struct SavedReplay {
    bool Present = false;
    size_t Key = 0;  // RecordVerifier::ReplayKey of its text
  };
  void ReadReplays(const Program& program);
  RecordMark MarkOf(const Program& program, int32_t gameType, int32_t row) const;
  RecordMark MarkOfVerdict(size_t key, int32_t score) const;

  RecordVerifier verifier_;
  std::array<std::array<SavedReplay, kHighScoreRows>, kGameTypes> saved_{};
  HighScoreTable readWith_;  // the table the replays were last read for
  bool readWhileNaming_ = false;
  size_t namingKey_ = 0;    // of the replay of the entry being named
  int32_t chosenType_ = 1;  // the table whose row was chosen for watching
};

}  // namespace zt
