// The loading sequence: every resource of the game in a fixed order, one log line per
// finished step in debug.txt and a progress frame now and then. Runs once, before the first
// frame. A missing or damaged data file throws LoadError out of the step that read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// How a loading that stops short ends the program: the message naming the file and line, and
// the exit status. The message is empty when there is nothing more to tell: a device failure has
// had its report, and a keyboard that cannot be had ends the program without one.
struct LoadingFailure {
  std::string Message;
  int ExitStatus = 1;
};

// Runs the loading sequence. When a step fails, no more frames run, everything is released and
// the failure comes back; nothing when the game has loaded.
std::optional<LoadingFailure> LoadGame(Program& program, const LoadingOptions& options);

}  // namespace zt
