// The keys the game and the menus poll once per frame: a held flag per key and a
// countdown timer per key group, loaded with its start value on the frame the key goes down.
// An action fires on the first frame of a press and again once the start value has run out.
#pragma once

#include <cstdint>

#include "device/keyboard_device.h"

namespace zt {

constexpr int32_t kUpKeyStart = 600;
constexpr int32_t kDropKeyStart = 1000;
constexpr int32_t kEscKeyStart = 1000;
constexpr int32_t kEnterKeyStart = 1000;
constexpr int32_t kMenuEnterKeyStart = 5000;
constexpr int32_t kPauseKeyStart = 1000;
constexpr int32_t kTabKeyStart = 1000;

struct GameKeys {
  bool KeyLeft = false, KeyRight = false, KeyUp = false, KeyDown = false, KeySpace = false, KeyCtrl = false;
  bool KeyEsc = false, KeyEnter = false, KeyPause = false, KeyYes = false, KeyNo = false;
  bool KeySelect = false;       // the menu's second Enter flag, cleared only when Space and Enter are up
  bool KeyPad = false;          // the menu's last poll had a key from a game controller
  bool KeyCtrlPressed = false;  // the menu's last poll found Ctrl newly down
  bool KeyTab = false;          // the menus only: between the high scores and the statistics
  int32_t ShiftKeyTimer = 0;    // ms, shared by Left and Right
  int32_t UpKeyTimer = 0;
  int32_t DropKeyTimer = 0;  // shared by Down, Space and Ctrl
  int32_t EscKeyTimer = 0;
  int32_t EnterKeyTimer = 0;
  int32_t PauseKeyTimer = 0;
  int32_t TabKeyTimer = 0;
};

// The firing rule: held, and the timer run out (<= 0) or still at its start value.
inline bool Fires(bool held, int32_t timer, int32_t start) { return held && (timer <= 0 || timer == start); }
// The firing rule for a key that steps through a list: after the first delay it fires again
// every `repeatMs` instead of every frame.
inline bool FiresRepeating(bool held, int32_t& timer, int32_t start, int32_t repeatMs) {
  if (!Fires(held, timer, start)) return false;
  if (timer <= 0) timer += repeatMs;
  return true;
}
// After the test, while the key is held, its timer runs down.
inline void CountDown(bool held, int32_t& timer, uint32_t frameMs) {
  if (held) timer -= static_cast<int32_t>(frameMs);
}

void PollGameKeys(GameKeys& keys, Keyboard& keyboard, int32_t sidewaysKeyDelay);
void PollMenuKeys(GameKeys& keys, Keyboard& keyboard, int32_t sidewaysKeyDelay);
// NewGame lets go of every game key.
void ReleaseGameKeys(GameKeys& keys);

}  // namespace zt
