#include "app/record_shelf.h"

#include "core/file_read.h"
#include "menu/record_replays.h"

namespace zt {

int32_t SavedRowOf(const HighScoreState& scores, int32_t gameType, int32_t row) {
  if (!scores.NameEntryActive || scores.NameEntryGameType != gameType || row < scores.NameEntryRow) return row;
  return row == scores.NameEntryRow ? 0 : row - 1;
}

RecordShelf::RecordShelf(const Program& program) : verifier_(program.Shapes, program.Config) { ReadReplays(program); }

void RecordShelf::ReadReplays(const Program& program) {
  readWith_ = program.Scores.Table;
  readWhileNaming_ = program.Scores.NameEntryActive;
  const std::string& naming = program.Scores.NameEntryReplay;
  namingKey_ = RecordVerifier::ReplayKey(naming);
  if (!naming.empty()) verifier_.Verify(namingKey_, naming);
  for (int32_t type = 1; type <= kGameTypes; ++type)
    for (int32_t row = 1; row <= kHighScoreRows; ++row) {
      FileBytes read = ReadFileBytes(RecordReplayPath(program.HighScorePath, type, row), kMaxRecordReplayBytes);
      SavedReplay& saved = saved_[type - 1][row - 1];
      saved.Present = read.Ok();
      if (!saved.Present) continue;
      saved.Key = RecordVerifier::ReplayKey(read.Bytes);
      verifier_.Verify(saved.Key, std::move(read.Bytes));
    }
}

void RecordShelf::Update(Program& program) {
  HighScoreState& scores = program.Scores;
  if (scores.Table != readWith_ || scores.NameEntryActive != readWhileNaming_) ReadReplays(program);
  for (int32_t type = 1; type <= kGameTypes; ++type)
    for (int32_t row = 1; row <= kHighScoreRows; ++row) scores.Marks[type - 1][row - 1] = MarkOf(program, type, row);
  // A choice holds for the page it was made on, and only for a row with a replay.
  const bool samePage = program.Menu.MenuScreen == kHighScoresScreen && scores.ShownHighScoreType == chosenType_;
  if (!samePage || (scores.ChosenRow != 0 &&
                    scores.Marks[scores.ShownHighScoreType - 1][scores.ChosenRow - 1] == RecordMark::kNoReplay))
    scores.ChosenRow = 0;
  chosenType_ = scores.ShownHighScoreType;
}

RecordMark RecordShelf::MarkOfVerdict(size_t key, int32_t score) const {
  const std::optional<ReplayVerdict> verdict = verifier_.Verdict(key);
  if (!verdict) return RecordMark::kVerifying;
  return verdict->Held && verdict->Score == score ? RecordMark::kVerified : RecordMark::kFailed;
}

RecordMark RecordShelf::MarkOf(const Program& program, int32_t gameType, int32_t row) const {
  const HighScoreState& scores = program.Scores;
  const int32_t score = scores.Table[gameType - 1][row - 1].EntryScore;
  const int32_t saved = SavedRowOf(scores, gameType, row);
  if (saved == 0) {
    return scores.NameEntryReplay.empty() ? RecordMark::kNoReplay : MarkOfVerdict(namingKey_, score);
  }
  const SavedReplay& replay = saved_[gameType - 1][saved - 1];
  return replay.Present ? MarkOfVerdict(replay.Key, score) : RecordMark::kNoReplay;
}

std::string RecordShelf::ReplayOfRow(const Program& program, int32_t gameType, int32_t row) const {
  const int32_t saved = SavedRowOf(program.Scores, gameType, row);
  if (saved == 0) return program.Scores.NameEntryReplay;
  FileBytes read = ReadFileBytes(RecordReplayPath(program.HighScorePath, gameType, saved), kMaxRecordReplayBytes);
  return read.Ok() ? std::move(read.Bytes) : std::string();
}

}  // namespace zt
