// Closing the program: every device resource and the audio released in their order,
// the settings and the high-score table saved, the keyboard freed, the timing report written.
#pragma once

#include "app/program.h"

namespace zt {

// Releases what the graphics device and the audio hold, in their fixed order.
void ReleaseAll(Program& program);
// The window is destroyed: release, save, free. A save that fails is told in one message box.
void FormDestroy(Program& program);

}  // namespace zt
