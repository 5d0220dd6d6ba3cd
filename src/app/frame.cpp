#include "app/frame.h"

#include "app/start_up.h"
#include "menu/key_bindings_file.h"
#include "menu/name_picker.h"
#include "render/brick_textures.h"

namespace zt {

namespace {

// While a fade locks the input the frame polls no keys, and presses made meanwhile are
// forgotten rather than kept for the poll after the fade.
void PollUnlessLocked(Program& program, void (*poll)(GameKeys&, Keyboard&, int32_t)) {
  if (program.Game.Mode.InputLocked)
    DIDropPendingPresses(program.Input);
  else
    poll(program.Game.Keys, program.Input, program.Config.SidewaysKeyDelay);
}

// What the controls page changed takes effect and is kept at once; a failed save is told on the
// Options screen it returns to.
void LeaveControlsPage(Program& program) {
  program.Bindings = program.Menu.Controls.Bindings;
  if (program.Devices.Keys != nullptr) program.Devices.Keys->UseBindings(program.Bindings);
  if (program.SaveOnExit && !SaveControls(program.ConfigFile, program.Bindings, program.Config, program.Log))
    PostSaveNotice(program.Menu, SaveNotice::kSettings);
}

void MenuFrame(Program& program) {
  PollUnlessLocked(program, PollMenuKeys);
  for (char character : PickNameCharacters(program.Scores, program.Game.Keys, program.Config.SidewaysKeyDelay))
    EnterNameCharacter(program, static_cast<uint8_t>(character));
  GameContext context = program.Context();
  MenuContext menu{program.Menu, program.Scores, context, program.Config};
  const uint8_t screenBefore = program.Menu.MenuScreen;
  if (program.Devices.Keys != nullptr) program.Menu.Controls.Press = program.Devices.Keys->TakeLastPress();
  MenuStep(menu);
  if (program.Menu.ExitRequested) program.CloseRequested = true;
  if (screenBefore == kControlsScreen && program.Menu.MenuScreen != kControlsScreen) LeaveControlsPage(program);
  // The options are kept as soon as the player leaves their screen, so a crash later in the
  // run does not lose them (the shutdown saves them again); a failed save is told on the
  // screen shown next.
  if (screenBefore == kOptionsScreen && program.Menu.MenuScreen != kOptionsScreen && program.SaveOnExit &&
      !WriteSettingsSection(program.ConfigFile, program.Config, program.Audio.CurrentMusicTrack, program.Log))
    PostSaveNotice(program.Menu, SaveNotice::kSettings);
}

void GameFrame(Program& program) {
  GameState& game = program.Game;
  PollUnlessLocked(program, PollGameKeys);
  GameContext context = program.Context();
  if (!game.Mode.GameOver && !game.Mode.Paused && !game.Mode.AbortAsked) {
    GameStep(context);
    return;
  }
  const LeaveResult result = InterruptedStep(context);
  if (result == LeaveResult::kStaying) return;
  const int32_t gameType = game.GameType;
  const GameRecord finished = RecordOf(game);  // before a new entry's NewGame resets the game
  MenuContext menu{program.Menu, program.Scores, context, program.Config};
  EnterMenuAfterGame(menu, result);
  CountGame(program.Stats, gameType, finished);
  // Kept at once, like a new entry; a failed save is told on the screen the game returned to.
  if (program.SavesStatistics && !SaveStatistics(program.Stats, program.StatisticsPath, program.Log))
    PostSaveNotice(program.Menu, SaveNotice::kStatistics);
}

}  // namespace

void IdleFrame(Program& program) {
  if (!program.AppActive || !program.Loaded) return;
  if (program.Game.Mode.InMenu)
    MenuFrame(program);
  else
    GameFrame(program);
  DrawFrame(program);
}

void DrawFrame(Program& program) {
  if (!program.Graphics.D3DDevice || program.CloseRequested) return;
  DrawStateOn(program, program);
}

void DrawStateOn(Program& state, Program& owner) {
  // The animations of the picture move on only in the frames that are drawn.
  if (state.Game.Mode.InMenu)
    MenuAnimationStep(state.Menu, state.Scores, state.Game.Time.FrameMs);
  else
    AdvanceSceneAnimations(owner.Render, state.Game);
  // A palette chosen on the controls page tints the bricks from this frame on.
  FollowBrickPalette(owner.Render.Scene, owner.Render.Bricks, state.Config.Palette);
  const FrameView view{state.Game, state.Particles, state.Shapes, state.Config, state.Scores, state.Menu, state.Stats};
  const FrameResult drawn = RenderFrame(*owner.Graphics.D3DDevice, owner.Render, view);
  // Reported only now that the frame is over: the report releases the device and the particles.
  if (drawn.FailedCall != nullptr) ReportD3DError(owner, drawn.FailedCall, drawn.Result);
}

void StartGameOfType(Program& program, int32_t gameType) {
  GameState& game = program.Game;
  game.Position = kNoPosition;
  program.Context().PlaySound(SoundId::kMenuEnter);
  game.Mode.FadeOut = true;
  game.Mode.InputLocked = true;
  game.GameType = gameType;
}

void ReachGameStart(Program& program, const InheritedState& inherited) {
  GameState& game = program.Game;
  GiveInheritedState(inherited, game, program.Rng, program.Audio.CurrentMusicTrack);
  game.Position = kNoPosition;
  game.Mode = ModeFlags{};
  game.Mode.FadeOut = game.Mode.InputLocked = true;
  game.Mode.FadeLevel = 254;  // the next fade step, of any length, ends the fade
  program.Menu.MenuScreen = kGameTypeScreen;
  program.Menu.MenuItem = inherited.GameType;
}

void TypeCharacter(Program& program, uint8_t character) {
  program.Scores.PickingLetters = false;  // the keyboard is used again
  EnterNameCharacter(program, character);
}

void EnterNameCharacter(Program& program, uint8_t character) {
  if (FormKeyPress(program.Scores, character) != NameKeyResult::Finished) return;
  program.Game.Keys.KeyEnter = false;  // this Enter is not a menu selection
  // The new entry is kept at once, so a crash later in the run does not lose it; a failed
  // save (a table that could not be read at loading is never written) is told on the table's page.
  if (program.SaveOnExit && !SaveHighScores(program.Scores, program.HighScorePath, program.Log))
    PostSaveNotice(program.Menu, SaveNotice::kHighScores);
}

}  // namespace zt
