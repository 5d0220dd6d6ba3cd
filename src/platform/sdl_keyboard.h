// The keyboard device on SDL: the keyboard state read once per poll, SDL scancodes
// mapped to DirectInput key codes. Like a foreground DirectInput device it loses its
// input when the window loses the focus, and can be acquired again only while the
// window has it. A key pressed and let go again between two polls is kept from its
// key-down event and reads as down in the next poll, so no tap is lost to a slow frame;
// several taps between two polls read as several presses, one a poll with an up between.
// The keys the player bound (config.ini's "Keys") give their actions' codes: the mapping is
// applied here, on the physical key, so the rules see the game's codes on every layout and
// recordings hold what the poll saw.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "device/keyboard_device.h"

struct SDL_Window;
union SDL_Event;

namespace zt {

class SdlGamepads;

constexpr size_t kScancodeCount = 512;  // SDL_NUM_SCANCODES

// The DirectInput key code of an SDL scancode; 0 for keys without one.
uint8_t DikFromScancode(int scancode);
// The same with the player's bindings: a bound key gives its action's code, and a key the
// game gives a bound action gives nothing unless it is bound itself.
std::array<uint8_t, kScancodeCount> BoundKeyCodes(const KeyBindings& bindings);

class SdlKeyboard final : public KeyboardDevice {
 public:
  // Where the device looks: the SDL key state array and the window's focus. Tests
  // hand in their own.
  struct Sources {
    std::function<const uint8_t*(int& count)> KeyState;  // indexed by SDL scancode
    std::function<bool()> HasFocus;
  };
  explicit SdlKeyboard(SDL_Window* window);
  explicit SdlKeyboard(Sources sources);

  HRESULT CreateInput() override;
  void ReleaseInput() override;
  HRESULT CreateKeyboard() override;
  void ReleaseKeyboard() override;
  HRESULT Acquire() override;
  HRESULT Unacquire() override;
  HRESULT GetDeviceState(KeySnapshot& state) override;
  void DropPendingPresses() override;  // the keys' and the controllers' taps
  void UseBindings(const KeyBindings& bindings) override;
  std::optional<InputPress> TakeLastPress() override;

  // The window's events pass through here so the presses and a focus loss between two
  // polls are seen.
  void HandleEvent(const SDL_Event& event);
  void FocusLost() { focusLost_ = true; }
  // The game controllers whose buttons join every snapshot (null: none). Not owned.
  void SetGamepads(SdlGamepads* gamepads);

 private:
  Sources sources_;
  bool inputCreated_ = false;
  bool keyboardCreated_ = false;
  bool acquired_ = false;
  bool focusLost_ = false;
  static constexpr uint8_t kMostPendingPresses = 16;  // kept per key between two polls
  // A key's byte of the snapshot: `held` as the state array says, the kept presses counted in.
  uint8_t ReadKey(size_t key, bool held);
  std::array<uint8_t, 256> pendingPresses_{};  // presses (key-down events) not read yet
  std::array<bool, 256> reportedDown_{};       // what the last snapshot said of each key
  SdlGamepads* gamepads_ = nullptr;
  KeyBindings bindings_{};
  std::array<uint8_t, kScancodeCount> keyCodes_;  // the code each scancode gives, bindings applied
  std::optional<InputPress> lastPress_;
};

}  // namespace zt
