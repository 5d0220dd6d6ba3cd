// The program in its window: start-up, the "Loading..." frame, the loading sequence one
// second later, then the frame loop over SDL's events until the window closes.
#pragma once

#include "app/command_line.h"

namespace zt {

int RunWindowed(const CommandLine& line);

}  // namespace zt
