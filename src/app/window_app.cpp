#include "app/window_app.h"

#include <SDL.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/first_start.h"
#include "app/frame.h"
#include "app/frame_pacing.h"
#include "app/game_direct3d.h"
#include "app/game_folder.h"
#include "app/game_recorder.h"
#include "app/loading_sequence.h"
#include "app/name_typing.h"
#include "app/record_shelf.h"
#include "app/recorder.h"
#include "app/replay_pace.h"
#include "app/replay_runner.h"
#include "app/restore.h"
#include "app/shutdown.h"
#include "app/start_up.h"
#include "app/stop_signals.h"
#include "app/throwaway_program.h"
#include "core/load_error.h"
#include "game/auto_player.h"
#include "platform/sdl_clock.h"
#include "platform/sdl_gamepads.h"
#include "platform/sdl_input_names.h"
#include "platform/sdl_keyboard.h"
#include "platform/sdl_message_box.h"
#include "platform/sdl_mixer.h"
#include "platform/sdl_window.h"

namespace zt {

namespace {

constexpr uint32_t kLoadingDelayMs = 1000;  // the loading starts one second after the first frame

// What the controllers' buttons stand for in the frame about to be polled. Game over is left
// as a menu is confirmed.
PadMode PadModeOf(const Program& program) {
  const ModeFlags& mode = program.Game.Mode;
  if (mode.InMenu) return program.Scores.NameEntryActive ? PadMode::kNameEntry : PadMode::kMenu;
  if (mode.AbortAsked) return PadMode::kAbortQuestion;
  return mode.GameOver ? PadMode::kMenu : PadMode::kGame;
}

// "Loading..." in white on black, centred, before anything else is loaded.
void DrawLoadingText(Program& program) {
  Device& device = *program.Graphics.D3DDevice;
  FontResources fonts;
  try {
    fonts.Metrics = LoadLetterTexCoords();
  } catch (const LoadError&) {
    return;  // the loading sequence reports the font file in its own step
  }
  InitFontVB(fonts, device);
  InitTexturesFont(fonts, device, ChooseTextureFormat(program.Graphics, true));
  SetupCamera(device, program.Render.Scene);
  device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  device.BeginScene();
  DrawCentredString(device, fonts, 1, 8, "Loading...", kGlassCenterX, kGlassCenterY, 0, 255);
  device.EndScene();
  device.Present();
  FreeFont(fonts);
}

class WindowApp {
 public:
  int Run(const CommandLine& line) {
    CatchStopSignals();  // before SDL starts, so that SIGINT and SIGTERM come here too
    const GamePaths paths = EnterGameFolder();
    if (!paths.Found) {
      SdlMessageBox(nullptr).Show(kGameTitle,
                                  "The game's data was not found: neither in the working folder, nor beside "
                                  "the program, nor in share/zellory-torvane.");
      return 1;
    }
    if (paths.NoHome) {
      SdlMessageBox(nullptr).Show(kGameTitle, kNoHomeMessage);
      return 1;
    }
    if (const std::string refusal = line.Record.empty() ? "" : RecordingRefusal(line.Record, paths); !refusal.empty()) {
      std::cerr << "zellory-torvane: " << refusal << '\n';  // as for every other mistake on the command line
      return 2;
    }
    if (!line.Replay.empty() && !ReadReplay(line.Replay)) return 2;
    std::string error;
    GlWindowOptions options;
    options.Width = 720;
    options.Height = 540;
    window_ = SdlGlWindow::Create(options, error);
    if (!window_) {
      SdlMessageBox(nullptr).Show(kGameTitle, error);
      return 1;
    }
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    messages_.SetOwner(window_->Window());
    keyboard_ = std::make_unique<SdlKeyboard>(window_->Window());
    gamepads_ = std::make_unique<SdlGamepads>();
    keyboard_->SetGamepads(gamepads_.get());

    ProgramDevices devices;
    devices.Time = replay_ ? static_cast<Clock*>(&replayClock_) : static_cast<Clock*>(&clock_);
    devices.Keys = replay_ || line.DemoType != 0 ? static_cast<KeyboardDevice*>(&scriptedKeys_) : keyboard_.get();
    devices.Audio = &mixer_;
    devices.Messages = &messages_;
    // Made once config.ini's "Options" are read.
    devices.CreateDirect3D = [this] { return CreateGameDirect3D(*window_, program_->Config); };
    devices.Names = &inputNames_;
    program_ = std::make_unique<Program>();
    InitProgram(*program_, devices, paths);
    if (!replay_) PrepareFirstStart(*program_);  // before anything reads config.ini
    program_->DisplayOverride = line.FullScreen;
    // A replay or a demo in the window never writes the player's files.
    program_->SaveOnExit = program_->SavesStatistics = !replay_ && line.DemoType == 0;
    if (!InitApplication(*program_)) return 1;
    if (program_->Config.FullScreenMode) SDL_ShowCursor(SDL_DISABLE);
    program_->AppActive = true;

    DrawLoadingText(*program_);
    if (!WaitForLoading()) return Close();
    if (const int status = Load(); status >= 0) return status;
    if (!line.Record.empty() && !recorder_.Start(line.Record, *program_))
      messages_.Show(kGameTitle, "The recording cannot be written to " + line.Record + ".");
    recording_ = recorder_.Good() && !line.Record.empty();
    if (recording_) program_->Rng.Seed(program_->Seed);  // as the replay's seed line will do
    // Play keeps each game's replay for the table; a demo or a replay saves none.
    recordingGames_ = !replay_ && line.DemoType == 0;
    if (recordingGames_) gameRecorder_.Start(*program_);
    if (!replay_) shelf_ = std::make_unique<RecordShelf>(*program_);
    const int startType = line.DemoType != 0 ? line.DemoType : line.GameType;
    if (startType != 0) {
      program_->Menu.MenuScreen = kGameTypeScreen;
      StartGameOfType(*program_, startType);
    }
    demo_ = line.DemoType;
    if (replay_)
      PlayReplay();
    else
      FrameLoop(line.FramesPerSecond);
    return Close();
  }

 private:
  bool ReadReplay(const std::string& path) {
    try {
      replay_ = std::make_unique<ReplayFile>(ReadReplayFile(path));
      return true;
    } catch (const ReplayError& error) {
      SdlMessageBox(nullptr).Show(kGameTitle, error.what());
      return false;
    }
  }

  // The first frame shows "Loading..."; the loading starts a second later, the window
  // answering its events meanwhile.
  bool WaitForLoading() {
    const uint32_t start = sdlClock_.Now();
    while (sdlClock_.Now() - start < kLoadingDelayMs) {
      if (!PumpEvents()) return false;
      SDL_Delay(10);
    }
    return true;
  }

  // -1 when loaded; otherwise the exit status, after the loading failure's message box.
  int Load() {
    clock_.Latch();
    LoadingOptions options;
    if (replay_) options.Seed = ReplaySeed(*replay_);
    const std::optional<LoadingFailure> failure = LoadGame(*program_, options);
    if (!failure) return -1;
    if (!failure->Message.empty()) messages_.Show(kGameTitle, failure->Message);
    return failure->ExitStatus;
  }

  // Frames at the display's pace (see FramePacer): the wait comes before the events are read,
  // so the frame shows the keys of the moment it starts.
  void FrameLoop(int fixedRate) {
    FramePacer pacer(PacingSetupOf(fixedRate));
    uint32_t lastFrame = sdlClock_.Now();
    bool inactive = false;  // the last pass drew no frame: minimised or without the focus
    while (true) {
      if (!inactive) SleepUntil(pacer.NextFrameStart(MicrosecondsNow(), StaticScreen()), MicrosecondsNow, SleepFor);
      if (!PumpEvents() || program_->CloseRequested) break;
      inactive = !program_->AppActive;
      if (inactive) {
        SDL_WaitEventTimeout(nullptr, 50);  // minimised: no frames until restored
        pacer.Restart();
        continue;
      }
      lastFrame = WaitForNextMillisecond(sdlClock_, lastFrame);
      clock_.Latch();
      gamepads_->SetMode(PadModeOf(*program_));
      if (demo_ != 0) SteerDemo();
      if (recordingGames_) gameRecorder_.BeforeFrame(*program_);
      IdleFrame(*program_);
      pacer.FramePresented(MicrosecondsNow());
      if (recording_) recorder_.Frame(clock_.Now(), program_->Input.KeyState);
      if (recordingGames_) gameRecorder_.AfterFrame(*program_, clock_.Now(), program_->Input.KeyState);
      UpdateTextInput();
      if (shelf_) shelf_->Update(*program_);
      if (watchAsked_) Watch();
    }
  }

  // The high-score page, its table's keys free: no name being typed, no fade.
  bool OnTablePage() const {
    return shelf_ && program_->Game.Mode.InMenu && !program_->Game.Mode.InputLocked &&
           program_->Menu.MenuScreen == kHighScoresScreen && !program_->Scores.NameEntryActive;
  }

  // The high-score page's own keys: PgDn / PgUp (pad X) choose a record, Enter (pad A) watches it.
  void TableKey(const SDL_Event& event) {
    HighScoreState& scores = program_->Scores;
    const bool key = event.type == SDL_KEYDOWN && event.key.repeat == 0;
    const bool button = event.type == SDL_CONTROLLERBUTTONDOWN;
    const SDL_Keycode code = key ? event.key.keysym.sym : SDLK_UNKNOWN;
    if (code == SDLK_PAGEDOWN || (button && event.cbutton.button == SDL_CONTROLLER_BUTTON_X)) ChooseRecord(1);
    if (code == SDLK_PAGEUP) ChooseRecord(-1);
    if (code == SDLK_RETURN || code == SDLK_KP_ENTER || (button && event.cbutton.button == SDL_CONTROLLER_BUTTON_A)) {
      if (scores.ChosenRow == 0) ChooseRecord(1);
      watchAsked_ = scores.ChosenRow != 0;
    }
  }

  // The next row (or the one before) of the shown table that has a replay.
  void ChooseRecord(int step) {
    HighScoreState& scores = program_->Scores;
    const auto& marks = scores.Marks[scores.ShownHighScoreType - 1];
    int32_t row = scores.ChosenRow;
    for (int tries = 0; tries < kHighScoreRows; ++tries) {
      row = (row + step + kHighScoreRows - 1) % kHighScoreRows + 1;
      if (marks[row - 1] != RecordMark::kNoReplay) {
        scores.ChosenRow = row;
        return;
      }
    }
    scores.ChosenRow = 0;
  }

  // The chosen record played in the window in a throwaway state of its own, at its own pace,
  // until its end (then its last picture stays) or Esc; the table is shown again after.
  void Watch() {
    watchAsked_ = false;
    HighScoreState& scores = program_->Scores;
    ReplayFile file;
    try {
      file = ParseReplay(shelf_->ReplayOfRow(*program_, scores.ShownHighScoreType, scores.ChosenRow), "record");
    } catch (const ReplayError&) {
      return;
    }
    ThrowawayProgram watched(program_->Shapes, program_->Config);
    ReplayPace pace(sdlClock_.Now());
    Paced paced(*this, pace, watched.Time());
    watching_ = true;
    auto draw = [&] {
      if (program_->Graphics.D3DDevice) DrawStateOn(watched.State(), *program_);  // none after a report
    };
    watched.Run(file, [&] {
      draw();
      if (!AwaitReplayFrame(pace, watched.Time().Now() - 1000u, true)) watched.State().CloseRequested = true;
    });
    while (watching_ && !program_->CloseRequested) {  // the end: its last picture until Esc
      SDL_Delay(30);
      if (!PumpEvents()) program_->CloseRequested = true;
      draw();
    }
    watching_ = false;
    // What was pressed meanwhile was for the watching, not for the table.
    DIDropPendingPresses(program_->Input);
    program_->Game.Keys.KeyEsc = true;  // a held Esc is not a new press
    program_->Game.Keys.EscKeyTimer = kEscKeyStart - 1;
  }

  // Waits, answering the window, until the frame `recorded` ms into the replay is due; false
  // when the window closes or (`watch`) the player ends the watching.
  bool AwaitReplayFrame(const ReplayPace& pace, uint64_t recorded, bool watch) {
    while (true) {
      if (!PumpEvents()) {
        program_->CloseRequested = true;
        return false;
      }
      if (watch && !watching_) return false;
      if (pace.Due(recorded, sdlClock_.Now())) return true;
      SDL_Delay(pace.Paused() ? 10 : 1);
    }
  }

  // A replay's pace keys: P, Space or pad Start pause; 1, 2, 4 or Left / Right (the pad's too)
  // set the speed; Esc or pad Back ends the watching of a record.
  void PaceKey(const SDL_Event& event) {
    const uint32_t now = sdlClock_.Now();
    const uint64_t recorded = pacedClock_->Now() - 1000u;
    SDL_Keycode code = SDLK_UNKNOWN;
    if (event.type == SDL_KEYDOWN && event.key.repeat == 0) code = event.key.keysym.sym;
    if (event.type == SDL_CONTROLLERBUTTONDOWN) {
      switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_START:
          code = SDLK_p;
          break;
        case SDL_CONTROLLER_BUTTON_BACK:
          code = SDLK_ESCAPE;
          break;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
          code = SDLK_LEFT;
          break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
          code = SDLK_RIGHT;
          break;
        default:
          break;
      }
    }
    switch (code) {
      case SDLK_p:
      case SDLK_SPACE:
        pace_->TogglePause(now, recorded);
        break;
      case SDLK_1:
      case SDLK_2:
      case SDLK_4:
        pace_->SetSpeed(static_cast<int>(code - SDLK_0), now, recorded);
        break;
      case SDLK_RIGHT:
        pace_->Faster(now, recorded);
        break;
      case SDLK_LEFT:
        pace_->Slower(now, recorded);
        break;
      case SDLK_ESCAPE:
      case SDLK_RETURN:
        if (watching_) watching_ = false;
        break;
      default:
        break;
    }
  }

  // The menu, the pause, the abort question and game over.
  bool StaticScreen() const {
    const ModeFlags& mode = program_->Game.Mode;
    return mode.InMenu || mode.Paused || mode.AbortAsked || mode.GameOver;
  }

  // The display's refresh rate and whether vsync took, as the driver reports them.
  PacingSetup PacingSetupOf(int fixedRate) const {
    PacingSetup setup;
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window_->Window());
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0)
      setup.RefreshRate = mode.refresh_rate;
    setup.VsyncOn = SDL_GL_GetSwapInterval() != 0;
    setup.FixedRate = fixedRate;
    return setup;
  }

  static uint64_t MicrosecondsNow() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
  }
  static void SleepFor(uint64_t us) { std::this_thread::sleep_for(std::chrono::microseconds(us)); }

  // The automatic player steers the demo game; when it ends, another begins.
  void SteerDemo() {
    const GameState& game = program_->Game;
    scriptedKeys_.ReleaseAll();
    if (game.Mode.InMenu && !game.Mode.InputLocked && !game.Mode.FadeIn) {
      StartGameOfType(*program_, demo_);
      return;
    }
    const bool playing = !game.Mode.InMenu && !game.Mode.GameOver && !game.Mode.Paused && !game.Mode.AbortAsked;
    if (game.Mode.GameOver && !game.Mode.InputLocked) scriptedKeys_.Press(DIK_RETURN);
    if (!playing) return;
    for (uint8_t key : AutoPlayerKeys(demoPlayer_, game, program_->Shapes, program_->Config)) scriptedKeys_.Press(key);
  }

  // A key pressed during the demo ends it: the game is left and the player has the keyboard.
  void EndDemo() {
    demo_ = 0;
    Keyboard& input = program_->Input;
    DIFree(input);
    input.Device = keyboard_.get();
    keyboard_->UseBindings(program_->Bindings);
    if (DIInit(input) && DICreateKeyboard(input) && DIAcquireKeyboard(input, true)) input.KeyboardReady = true;
    GameState& game = program_->Game;
    if (!game.Mode.InMenu) {
      game.Mode.AbortAsked = true;
      game.Mode.FadeOut = true;
      game.Mode.InputLocked = true;
    }
  }

  // A replay in the window, at the pace it was recorded (or 2x, 4x, paused: PaceKey): each frame
  // waits until as much real time has passed as the recording says.
  void PlayReplay() {
    ReplayPace pace(sdlClock_.Now());
    Paced paced(*this, pace, replayClock_);
    ReplayDevices devices{replayClock_, scriptedKeys_, recordingMixerForReplay_, [&] {
                            if (!AwaitReplayFrame(pace, replayClock_.Now() - 1000u, false)) throw ReplayStopped{};
                          }};
    std::ostringstream ignored;
    try {
      RunReplay(*program_, devices, *replay_, ignored, ignored);
    } catch (const ReplayStopped&) {
    } catch (const ReplayError& error) {
      messages_.Show(kGameTitle, error.what());
    }
  }
  struct ReplayStopped {};

  // While a replay is shown at a pace, the window's keys reach the pace.
  struct Paced {
    Paced(WindowApp& app, ReplayPace& pace, ManualClock& clock) : App(app) {
      App.pace_ = &pace;
      App.pacedClock_ = &clock;
    }
    ~Paced() {
      App.pace_ = nullptr;
      App.pacedClock_ = nullptr;
    }
    WindowApp& App;
  };

  // Name entry reads the window's typed characters; elsewhere text input stays off.
  void UpdateTextInput() {
    const bool wanted = program_->Scores.NameEntryActive;
    if (wanted == textInput_) return;
    textInput_ = wanted;
    if (!wanted) {
      SDL_StopTextInput();
      return;
    }
    nameTyping_.Begin([](int scancode) { return SDL_GetKeyboardState(nullptr)[scancode] != 0; });
    SDL_StartTextInput();
  }

  // Handles every waiting event; false once the window is to close.
  bool PumpEvents() {
    if (StopSignal() != 0) return false;   // SIGHUP, SIGINT or SIGTERM: closed as by the close button
    const bool tableKeys = OnTablePage();  // before a typed Enter can end a name's entry
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (pace_ != nullptr)
        PaceKey(event);
      else if (tableKeys)
        TableKey(event);
      keyboard_->HandleEvent(event);
      gamepads_->HandleEvent(event);  // controllers plugged in or out, their presses
      if (demo_ != 0 && (event.type == SDL_KEYDOWN || event.type == SDL_CONTROLLERBUTTONDOWN)) EndDemo();
      if (program_->Scores.NameEntryActive)
        for (char character : nameTyping_.Typed(event)) Type(static_cast<uint8_t>(character));
      switch (event.type) {
        case SDL_QUIT:
          return false;  // the close button
        case SDL_WINDOWEVENT:
          if (!WindowEvent(event.window.event)) return false;
          break;
        default:
          break;
      }
    }
    return true;
  }

  // Losing the focus minimises the game and stops its frames; coming back restores it.
  bool WindowEvent(uint8_t what) {
    switch (what) {
      case SDL_WINDOWEVENT_FOCUS_LOST:
        if (!program_->Loaded) break;
        program_->AppActive = false;
        minimised_ = true;
        SDL_MinimizeWindow(window_->Window());
        break;
      case SDL_WINDOWEVENT_RESTORED:
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (!minimised_) {
          program_->AppActive = true;
          break;
        }
        minimised_ = false;
        if (!ApplicationRestore(*program_)) return false;
        break;
      default:
        break;
    }
    return true;
  }

  int Close() {
    if (recording_) recorder_.Finish(*program_);
    FormDestroy(*program_);
    program_.reset();
    return 0;
  }

  // A typed character reaches the name entry, and the recording when one is made.
  void Type(uint8_t character) {
    if (recording_) recorder_.Typed(character);
    TypeCharacter(*program_, character);
  }

  SdlClock sdlClock_;
  LatchedClock clock_{sdlClock_};
  ManualClock replayClock_{1000};
  ScriptedKeyboard scriptedKeys_;
  RecordingMixer recordingMixerForReplay_;
  std::unique_ptr<ReplayFile> replay_;
  ReplayRecorder recorder_;
  bool recording_ = false;
  GameRecorder gameRecorder_;
  bool recordingGames_ = false;
  std::unique_ptr<RecordShelf> shelf_;  // the table's replays; not in a replay run
  bool watchAsked_ = false;             // the player asked to watch the chosen record
  bool watching_ = false;
  ReplayPace* pace_ = nullptr;  // of the replay being shown, if any
  ManualClock* pacedClock_ = nullptr;
  AutoPlayer demoPlayer_;
  int demo_ = 0;  // the game type the demo plays; 0: no demo
  SdlMixer mixer_;
  SdlMessageBox messages_;
  std::unique_ptr<SdlGlWindow> window_;
  std::unique_ptr<SdlKeyboard> keyboard_;
  std::unique_ptr<SdlGamepads> gamepads_;
  SdlInputNames inputNames_;
  std::unique_ptr<Program> program_;
  bool minimised_ = false;
  bool textInput_ = false;
  NameTyping nameTyping_;
};

}  // namespace

int RunWindowed(const CommandLine& line) { return WindowApp().Run(line); }

}  // namespace zt
