#include "app/window_app.h"

#include <SDL.h>

#include <memory>

#include "app/frame.h"
#include "app/frame_pacing.h"
#include "app/game_folder.h"
#include "app/loading_sequence.h"
#include "app/restore.h"
#include "app/shutdown.h"
#include "app/start_up.h"
#include "core/load_error.h"
#include "platform/gl_device.h"
#include "platform/sdl_clock.h"
#include "platform/sdl_keyboard.h"
#include "platform/sdl_message_box.h"
#include "platform/sdl_mixer.h"
#include "platform/sdl_window.h"
#include "render/text_layout.h"

namespace zt {

namespace {

constexpr uint32_t kLoadingDelayMs = 1000;  // the loading starts one second after the first frame
constexpr const char* kTitle = "Zellory Torvane";

ScreenSize DesktopSize() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return ScreenSize{720, 540};
  return ScreenSize{static_cast<uint32_t>(mode.w), static_cast<uint32_t>(mode.h)};
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
  constexpr int kSize = 8;
  const float width = LayOutText(fonts.Metrics, kSize, "Loading...", 0, 0).EndX;
  device.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  device.BeginScene();
  DrawString(device, fonts, 1, kSize, "Loading...", kGlassCenterX - width / 2, kGlassCenterY, 0, 255);
  device.EndScene();
  device.Present();
  FreeFont(fonts);
}

// A character typed for a name: printable text as Latin-1 bytes (characters beyond one
// byte are not typed), and Enter, Backspace and Escape as their control codes.
void TypeText(Program& program, const char* utf8) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
  for (size_t i = 0; bytes[i] != 0;) {
    uint32_t code = bytes[i];
    size_t length = 1;
    if (code >= 0xF0) code = 0x110000, length = 4;
    else if (code >= 0xE0) code = 0x110000, length = 3;
    else if (code >= 0xC0) code = ((code & 0x1F) << 6) | (bytes[i + 1] & 0x3F), length = 2;
    for (size_t k = 1; k < length; ++k)
      if (bytes[i + k] == 0) return;  // cut short: ignore the rest
    if (code <= 0xFF) TypeCharacter(program, static_cast<uint8_t>(code));
    i += length;
  }
}

void TypeControlKey(Program& program, SDL_Keycode key) {
  if (key == SDLK_RETURN || key == SDLK_KP_ENTER) TypeCharacter(program, 13);
  if (key == SDLK_BACKSPACE) TypeCharacter(program, 8);
  if (key == SDLK_ESCAPE) TypeCharacter(program, 27);
}

class WindowApp {
 public:
  int Run(const CommandLine& line) {
    if (!EnterGameFolder()) {
      SdlMessageBox(nullptr).Show(kTitle, "The game's data folder was not found beside the program.");
      return 1;
    }
    const std::string configPath = ConfigPath();
    std::string error;
    GlWindowOptions options;
    options.Width = 720;
    options.Height = 540;
    window_ = SdlGlWindow::Create(options, error);
    if (!window_) {
      SdlMessageBox(nullptr).Show(kTitle, error);
      return 1;
    }
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    messages_.SetOwner(window_->Window());
    keyboard_ = std::make_unique<SdlKeyboard>(window_->Window());

    ProgramDevices devices;
    devices.Time = &clock_;
    devices.Keys = keyboard_.get();
    devices.Audio = &mixer_;
    devices.Messages = &messages_;
    devices.CreateDirect3D = [this] { return CreateGlDirect3D(*window_); };
    program_ = std::make_unique<Program>();
    InitProgram(*program_, devices, configPath);
    program_->DisplayOverride = line.FullScreen;
    if (!InitApplication(*program_, DesktopSize())) return 1;
    if (program_->Config.FullScreenMode) SDL_ShowCursor(SDL_DISABLE);
    program_->AppActive = true;

    DrawLoadingText(*program_);
    if (!WaitForLoading()) return Close();
    if (const int status = Load(); status >= 0) return status;
    if (line.GameType != 0) {
      program_->Menu.MenuScreen = kGameTypeScreen;
      StartGameOfType(*program_, line.GameType);
    }
    FrameLoop();
    return Close();
  }

 private:
  // The first frame shows "Loading..."; the loading starts a second later, the window
  // answering its events meanwhile.
  bool WaitForLoading() {
    const uint32_t start = clock_.Now();
    while (clock_.Now() - start < kLoadingDelayMs) {
      if (!PumpEvents()) return false;
      SDL_Delay(10);
    }
    return true;
  }

  // -1 when loaded; otherwise the exit status: 1 after a reported failure, 0 when the
  // keyboard cannot be had (the program simply ends).
  int Load() {
    try {
      RunLoadingSequence(*program_, LoadingOptions{});
      return -1;
    } catch (const LoadError& error) {
      program_->AppActive = false;
      ReleaseAll(*program_);
      messages_.Show(kTitle, error.what());
      return 1;
    } catch (const DeviceFailure&) {
      return 1;
    } catch (const KeyboardUnavailable&) {
      ReleaseAll(*program_);
      return 0;
    }
  }

  void FrameLoop() {
    uint32_t lastFrame = clock_.Now();
    while (PumpEvents() && !program_->CloseRequested) {
      if (!program_->AppActive) {
        SDL_WaitEventTimeout(nullptr, 50);  // minimised: no frames until restored
        continue;
      }
      lastFrame = WaitForNextMillisecond(clock_, lastFrame);
      IdleFrame(*program_);
      UpdateTextInput();
    }
  }

  // Name entry reads the window's typed characters; elsewhere text input stays off.
  void UpdateTextInput() {
    const bool wanted = program_->Scores.NameEntryActive;
    if (wanted == textInput_) return;
    textInput_ = wanted;
    if (wanted)
      SDL_StartTextInput();
    else
      SDL_StopTextInput();
  }

  // Handles every waiting event; false once the window is to close.
  bool PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      keyboard_->HandleEvent(event);
      switch (event.type) {
        case SDL_QUIT: return false;  // the close button, and SIGINT or SIGTERM
        case SDL_TEXTINPUT:
          if (program_->Scores.NameEntryActive) TypeText(*program_, event.text.text);
          break;
        case SDL_KEYDOWN:
          if (program_->Scores.NameEntryActive && !event.key.repeat) TypeControlKey(*program_, event.key.keysym.sym);
          break;
        case SDL_WINDOWEVENT:
          if (!WindowEvent(event.window.event)) return false;
          break;
        default: break;
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
        if (!ApplicationRestore(*program_, DesktopSize())) return false;
        break;
      default: break;
    }
    return true;
  }

  int Close() {
    FormDestroy(*program_);
    program_.reset();
    return 0;
  }

  SdlClock clock_;
  SdlMixer mixer_;
  SdlMessageBox messages_;
  std::unique_ptr<SdlGlWindow> window_;
  std::unique_ptr<SdlKeyboard> keyboard_;
  std::unique_ptr<Program> program_;
  bool minimised_ = false;
  bool textInput_ = false;
};

}  // namespace

int RunWindowed(const CommandLine& line) { return WindowApp().Run(line); }

}  // namespace zt
