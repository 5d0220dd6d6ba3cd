// The signals that close the program as the window's close button does: SIGHUP (the
// terminal went away, the player logged out), SIGINT and SIGTERM. The handler only notes
// which signal came; the frame loop and the replay runners look at the note between two
// frames and close the program the ordinary way, saving what a close saves.
#pragma once

namespace zt {

// Installs the handler for the three signals. Installed before SDL starts, it keeps SDL
// from taking SIGINT and SIGTERM for itself (SDL only takes signals nobody handles);
// installed after, it takes them back.
void CatchStopSignals();

// The last of the three signals that came; 0 while none has.
int StopSignal();

}  // namespace zt
