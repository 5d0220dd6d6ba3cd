// The window's key and text events as the characters of a name being typed.
//
// Text arrives as the window system delivers it (its key repeat included) and keeps only
// what a name can hold (NameCharactersFromUtf8); Enter and Esc type their control codes once
// a press, Backspace once a press and again at each of the window system's repeats. The key
// that left the game-over picture (Space, Enter, Esc or Ctrl) may still be held when the name
// entry opens: nothing it types lands in the name until it has been let go.
#pragma once

#include <functional>
#include <string>

union SDL_Event;

namespace zt {

class NameTyping {
 public:
  // The name entry opens; `held(scancode)` tells which keys are down at that moment.
  void Begin(const std::function<bool(int scancode)>& held);
  // The characters an event types into the name (often none).
  std::string Typed(const SDL_Event& event);

 private:
  enum LeaveKey : int { kSpace, kEnter, kKeypadEnter, kEscape, kLeftCtrl, kRightCtrl, kLeaveKeyCount };
  static int LeaveKeyOf(int scancode);   // -1 for other keys
  bool stillHeld_[kLeaveKeyCount] = {};  // down since before the entry opened
};

}  // namespace zt
