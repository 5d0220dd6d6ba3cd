#include "app/game_recorder.h"

#include "app/recorder.h"
#include "app/start_line.h"
#include "app/state_json.h"

namespace zt {

void GameRecorder::BeforeFrame(const Program& program) {
  const ModeFlags& mode = program.Game.Mode;
  wasInMenu_ = mode.InMenu;
  if (!mode.InMenu || !mode.FadeOut) return;
  starting_ = TakeInheritedState(program.Game, program.Rng, program.Audio.CurrentMusicTrack);
  starts_ = RecordingStart(program.Config) + "start " + InheritedStateJson(*starting_).dump() + '\n';
}

void GameRecorder::AfterFrame(Program& program, uint32_t tick, const KeySnapshot& keys) {
  const uint32_t ms = RecordedFrameMs(tick, lastTick_);
  const GameState& game = program.Game;
  if (wasInMenu_ && !game.Mode.InMenu && starting_) Begin();
  if (recording_) {
    replay_ += FrameLine(ms, keys);
    if (game.Mode.GameOver) End(program);
    if (game.Mode.InMenu) recording_ = false;  // left by abort
  }
  HighScoreState& scores = program.Scores;
  if (!finished_.empty() && scores.NameEntryActive && game.Mode.InMenu) scores.NameEntryReplay = std::move(finished_);
  if (game.Mode.InMenu && !scores.NameEntryActive) finished_.clear();
}

void GameRecorder::Begin() {
  replay_ = std::move(starts_);
  starting_.reset();
  recording_ = true;
  finished_.clear();
}

void GameRecorder::End(const Program& program) {
  finished_ = std::move(replay_) + ExpectLines(StateJson(program, 0, {}), {"GameType", "Score", "Lines", "Level",
                                                                           "FiguresLanded", "GameOver", "Glass"});
  replay_.clear();
  recording_ = false;
}

}  // namespace zt
