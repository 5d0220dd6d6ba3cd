// The loading sequence: every resource of the game in a fixed order, one log line per
// finished step in debug.txt and a progress frame now and then. Runs once, before the first
// frame. A missing or damaged data file throws LoadError out of the step that read it.
#pragma once

#include <cstdint>
#include <optional>

#include "app/program.h"

namespace zt {

struct LoadingOptions {
  std::optional<uint64_t> Seed;  // a replay's seed; otherwise the clock seeds the generator
};

// The keyboard cannot be created or acquired: the program ends at once, without a message.
struct KeyboardUnavailable {};
// A device call failed and was reported (ReportD3DError): the program ends.
struct DeviceFailure {};

void RunLoadingSequence(Program& program, const LoadingOptions& options);

}  // namespace zt
