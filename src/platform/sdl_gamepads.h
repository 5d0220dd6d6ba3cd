// Game controllers on SDL, read as keys: each poll the buttons and sticks of every plugged-in
// controller are written into the keyboard snapshot with the DirectInput codes of the keys
// they stand for, so the game and the menus see nothing but keys.
//
//   D-pad and left stick   the arrow keys (the stick with a dead zone and hysteresis)
//   A                      Up (turn) in the game, Enter in the menus
//   B                      Space          X      Ctrl
//   Start                  P (pause)      Back   Esc
//
// Controllers come and go with SDL's SDL_CONTROLLERDEVICEADDED / REMOVED events, which the
// window's event loop passes to HandleEvent (SDL must be started with SDL_INIT_GAMECONTROLLER;
// SDL also sends an ADDED event for every controller present at start). The program calls
// SetMenuMode every frame before the key poll: true while the menus (or the name entry) run.
// A button pressed (SDL_CONTROLLERBUTTONDOWN) or a stick flicked past the dead zone
// (SDL_CONTROLLERAXISMOTION) and let go again before the poll still reads as down in it, once,
// like a tapped key.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "device/keyboard_device.h"

union SDL_Event;

namespace zt {

// A stick direction counts as pressed beyond this part of its range and as released again
// only below the second, so a stick held near the edge does not flicker.
constexpr int32_t kStickPress = 13107;   // 40 % of 32767
constexpr int32_t kStickRelease = 8192;  // 25 %

class SdlGamepads {
 public:
  enum Button : int { kA, kB, kX, kStart, kBack, kDpadUp, kDpadDown, kDpadLeft, kDpadRight, kButtonCount };

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
  // In the menus A is Enter; in the game it is Up.
  void SetMenuMode(bool menu) { menuMode_ = menu; }
  bool MenuMode() const { return menuMode_; }

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

  Sources sources_;
  std::vector<Pad> pads_;
  bool menuMode_ = true;  // the program starts in the menu
};

}  // namespace zt
