// Game controllers on SDL, read as keys: each poll the buttons and sticks of every plugged-in
// controller are written into the keyboard snapshot with the DirectInput codes of the keys
// they stand for, so the game and the menus see nothing but keys. What a button stands for
// depends on what the player is doing (PadMode):
//
//                          game        menus       abort question   name entry
//   D-pad and left stick   the arrow keys (the stick with a dead zone and hysteresis) in every mode
//   A                      Up (turn)   Enter       Y (yes)          Right (next letter)
//   B                      Space       Space       N (no)           Left (delete)
//   X                      Ctrl        Ctrl
//   Start                  P (pause)   Enter                        Enter (done)
//   Back                   Esc         Esc         Esc              Esc
//
// In the game and the menus, config.ini's "Pad" section can bind any button to an action
// instead (UseButtons); the stick stays the arrows. Every snapshot a controller gives a key in
// also carries DIK_PADINPUT, so the menus can tell that the player uses one.
//
// Controllers come and go with SDL's SDL_CONTROLLERDEVICEADDED / REMOVED events, which the
// window's event loop passes to HandleEvent (SDL must be started with SDL_INIT_GAMECONTROLLER;
// SDL also sends an ADDED event for every controller present at start). The program calls
// SetMode every frame before the key poll.
// A button pressed (SDL_CONTROLLERBUTTONDOWN) or a stick flicked past the dead zone
// (SDL_CONTROLLERAXISMOTION) and let go again before the poll still reads as down in it, once,
// like a tapped key.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/key_bindings.h"
#include "device/keyboard_device.h"

union SDL_Event;

namespace zt {

// A stick direction counts as pressed beyond this part of its range and as released again
// only below the second, so a stick held near the edge does not flicker.
constexpr int32_t kStickPress = 13107;   // 40 % of 32767
constexpr int32_t kStickRelease = 8192;  // 25 %

enum class PadMode : uint8_t { kGame, kMenu, kAbortQuestion, kNameEntry };

class SdlGamepads {
 public:
  // SDL's game-controller buttons, in SDL's order.
  enum Button : int {
    kA,
    kB,
    kX,
    kY,
    kBack,
    kGuide,
    kStart,
    kLeftStick,
    kRightStick,
    kLeftShoulder,
    kRightShoulder,
    kDpadUp,
    kDpadDown,
    kDpadLeft,
    kDpadRight,
    kMisc1,
    kPaddle1,
    kPaddle2,
    kPaddle3,
    kPaddle4,
    kTouchpad,
    kButtonCount
  };

  // Where the unit looks: SDL's controller functions, or a test's own. A handle is whatever
  // Open returned (SDL_GameController*), null when the device cannot be opened.
  struct Sources {
    std::function<void*(int deviceIndex)> Open;
    std::function<void(void* handle)> Close;
    std::function<int32_t(void* handle)> InstanceId;  // what REMOVED events name
    std::function<bool(void* handle, Button button)> Pressed;
    std::function<int16_t(void* handle, bool vertical)> LeftStick;  // -32768..32767, down and right positive
  };

  SdlGamepads();  // SDL's controller functions
  explicit SdlGamepads(Sources sources) : sources_(std::move(sources)) {}
  ~SdlGamepads();
  SdlGamepads(const SdlGamepads&) = delete;
  SdlGamepads& operator=(const SdlGamepads&) = delete;

  // SDL_CONTROLLERDEVICEADDED opens the controller, SDL_CONTROLLERDEVICEREMOVED closes it;
  // button presses and left-stick motion of an open controller are kept for the next poll;
  // other events are ignored.
  void HandleEvent(const SDL_Event& event);
  void SetMode(PadMode mode) { mode_ = mode; }
  PadMode Mode() const { return mode_; }
  // The buttons config.ini binds to each action (empty: the layout above).
  void UseButtons(const std::array<InputList, kGameActionCount>& buttons) { bound_ = buttons; }

  // Sets the bytes (0x80) of the keys the controllers hold down, or pressed since the last
  // poll; leaves the others alone.
  void AddKeys(KeySnapshot& state);
  // Forgets the presses kept for the next poll (the keyboard drops its own with them).
  void DropPendingPresses();
  size_t Count() const { return pads_.size(); }

 private:
  struct Pad {
    void* Handle = nullptr;
    int32_t InstanceId = -1;
    std::array<bool, 4> StickHeld{};          // left, right, up, down
    std::array<bool, 4> StickTapped{};        // leant past the dead zone since the last poll
    std::array<bool, kButtonCount> Tapped{};  // pressed since the last poll
  };
  // Moves one axis of the left stick to `value`: its two directions' hysteresis, and a
  // direction newly leant into is kept as tapped.
  static void LeanStick(Pad& pad, bool vertical, int32_t value);
  std::vector<Pad>::iterator FindPad(int32_t instanceId);
  // The key code each button gives in the present mode; 0 for none.
  std::array<uint8_t, kButtonCount> ButtonKeys() const;

  Sources sources_;
  std::vector<Pad> pads_;
  PadMode mode_ = PadMode::kMenu;  // the program starts in the menu
  std::array<InputList, kGameActionCount> bound_{};
};

}  // namespace zt
