// The names of keys and controller buttons as SDL gives them.
#pragma once

#include "device/input_names.h"

namespace zt {

class SdlInputNames final : public InputNames {
 public:
  std::optional<BoundInput> Key(const std::string& name) const override;
  std::optional<BoundInput> Button(const std::string& name) const override;
};

}  // namespace zt
