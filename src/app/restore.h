// Coming back after the window was minimised or lost the focus: in full screen a new device
// with its buffers, lights and camera; in both modes the keyboard again.
#pragma once

#include "app/program.h"

namespace zt {

// False when the keyboard cannot be had again: the program ends at once.
bool ApplicationRestore(Program& program);

}  // namespace zt
