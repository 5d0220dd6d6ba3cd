// The names keys and controller buttons are written by in config.ini and shown by on the
// screen: SDL's scancode names ("Left", "A", "Left Ctrl", "Keypad 4") and game-controller
// button names ("a", "dpleft", "start"). Names compare without regard to case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/key_bindings.h"

namespace zt {

class InputNames {
 public:
  virtual ~InputNames() = default;
  // The key or button a name stands for, with its name as the platform spells it; nothing
  // for a name it does not know.
  virtual std::optional<BoundInput> Key(const std::string& name) const = 0;
  virtual std::optional<BoundInput> Button(const std::string& name) const = 0;
};

}  // namespace zt
