// A replay's `start` line: what a game inherits from the games before it (InheritedState), as
// one JSON object, so that a replay of one game of a run can be played on its own.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>

#include "game/inherited_state.h"

namespace zt {

nlohmann::json InheritedStateJson(const InheritedState& inherited);
// Nothing when a field is missing, of the wrong kind or outside what a game can leave behind.
std::optional<InheritedState> InheritedStateFromJson(const nlohmann::json& object);

}  // namespace zt
