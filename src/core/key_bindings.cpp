#include "core/key_bindings.h"

#include <algorithm>

namespace zt {

namespace {

struct ActionInfo {
  const char* Name;
  uint8_t KeyCode;
  uint8_t SecondKeyCode;  // 0: none
  InputList Defaults;     // SDL's scancodes and names of the keys the game reads
};

const std::array<ActionInfo, kGameActionCount>& Actions() {
  static const std::array<ActionInfo, kGameActionCount> actions = {{
      {"Left", 203, 0, {{80, "Left"}}},
      {"Right", 205, 0, {{79, "Right"}}},
      {"Turn", 200, 0, {{82, "Up"}}},
      {"Down", 208, 0, {{81, "Down"}}},
      {"Drop", 57, 0, {{44, "Space"}}},
      {"Instant Drop", 29, 157, {{224, "Left Ctrl"}, {228, "Right Ctrl"}}},
      {"Pause", 25, 197, {{19, "P"}, {72, "Pause"}}},
      {"Abort", 1, 0, {{41, "Escape"}}},
      {"Yes", 21, 0, {{28, "Y"}}},
      {"No", 49, 0, {{17, "N"}}},
      {"Enter", 28, 0, {{40, "Return"}}},
  }};
  return actions;
}

bool Holds(const InputList& list, int32_t code) {
  return std::any_of(list.begin(), list.end(), [code](const BoundInput& input) { return input.Code == code; });
}

bool BoundElsewhere(const KeyBindings& bindings, size_t action, int32_t code) {
  for (size_t other = 0; other < kGameActionCount; ++other)
    if (other != action && Holds(bindings.Keys[other], code)) return true;
  return false;
}

}  // namespace

const char* ActionName(size_t action) { return Actions()[action].Name; }
uint8_t ActionKeyCode(size_t action) { return Actions()[action].KeyCode; }
bool IsActionKeyCode(size_t action, uint8_t code) {
  return code != 0 && (code == Actions()[action].KeyCode || code == Actions()[action].SecondKeyCode);
}
const InputList& DefaultKeys(size_t action) { return Actions()[action].Defaults; }

InputList EffectiveKeys(const KeyBindings& bindings, size_t action) {
  if (!bindings.Keys[action].empty()) return bindings.Keys[action];
  InputList keys;
  for (const BoundInput& key : DefaultKeys(action))
    if (!BoundElsewhere(bindings, action, key.Code)) keys.push_back(key);
  return keys;
}

bool KeysRemapped(const KeyBindings& bindings, size_t action) {
  return EffectiveKeys(bindings, action) != DefaultKeys(action);
}

size_t ActionOfKey(const KeyBindings& bindings, int32_t scancode) {
  for (size_t action = 0; action < kGameActionCount; ++action)
    if (Holds(EffectiveKeys(bindings, action), scancode)) return action;
  return kGameActionCount;
}

}  // namespace zt
