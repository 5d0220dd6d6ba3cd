// The keys and controller buttons the player binds to the game's actions (config.ini's
// "Keys" and "Pad" sections). Each action stands for one key code of the game; a bound key
// or button gives that code wherever the game reads it, so the rules, the menus and the
// recordings see the game's own codes. Keys are physical keys (SDL scancodes, which are the
// USB keyboard usage numbers), so a binding holds on every keyboard layout; buttons are SDL's
// game-controller buttons.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zt {

enum GameAction : uint8_t {
  kActionLeft,
  kActionRight,
  kActionTurn,
  kActionDown,
  kActionDrop,
  kActionInstantDrop,
  kActionPause,
  kActionAbort,
  kActionYes,
  kActionNo,
  kActionEnter,
  kGameActionCount
};

// A key or a button with the name it is written and shown by.
struct BoundInput {
  int32_t Code = 0;  // scancode or controller button
  std::string Name;
  bool operator==(const BoundInput& other) const { return Code == other.Code; }
};

using InputList = std::vector<BoundInput>;

// The action's name in config.ini ("Left", "Instant Drop", ...).
const char* ActionName(size_t action);
// The key code (DirectInput) the action's keys give.
uint8_t ActionKeyCode(size_t action);
// Whether the game reads the code as the action: its own, and the second codes of the right
// Ctrl key (Instant Drop) and the Pause key (Pause).
bool IsActionKeyCode(size_t action, uint8_t code);
// The keys the game gives the action when config.ini binds none.
const InputList& DefaultKeys(size_t action);

struct KeyBindings {
  std::array<InputList, kGameActionCount> Keys{};     // empty: the default keys
  std::array<InputList, kGameActionCount> Buttons{};  // empty: the controller's default layout
};

// The keys that give the action: its bound ones, or else its default keys that no other
// action has taken.
InputList EffectiveKeys(const KeyBindings& bindings, size_t action);
// Whether the action's keys are not its default ones.
bool KeysRemapped(const KeyBindings& bindings, size_t action);
// The action that has the key among its effective keys, or kGameActionCount for none.
size_t ActionOfKey(const KeyBindings& bindings, int32_t scancode);

}  // namespace zt
