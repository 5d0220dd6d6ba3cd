// Start-up before the loading sequence: display options, a fresh debug.txt, the graphics
// device; and the report of a fatal device error.
#pragma once

#include <string>

#include "app/program.h"

namespace zt {

// Reads the display options, starts debug.txt afresh and creates the device. On a device
// failure the error is reported (ReportD3DError) and the result is false.
bool InitApplication(Program& program);

// A fatal device error: no more frames, everything released, one message box.
void ReportD3DError(Program& program, const std::string& caption, HRESULT code);

}  // namespace zt
