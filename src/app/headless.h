// The program without a window: a replay run on the recording device with no audio device.
#pragma once

#include <iosfwd>
#include <string>

namespace zt {

// Exit status: 0 the file ran and every expect held, 1 an expect failed (or loading failed),
// 2 the file cannot be read or has a malformed line.
int RunHeadlessReplay(const std::string& replayPath, std::ostream& out, std::ostream& err);

}  // namespace zt
