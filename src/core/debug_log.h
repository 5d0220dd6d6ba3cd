// The start-up log, debug.txt: one line per finished loading step, each appended
// with CR LF and the file closed again at once, so a crash never loses a line.
#pragma once

#include <string>

namespace zt {

constexpr const char* kLogFileName = "debug.txt";

struct DebugLog {
  std::string Path = kLogFileName;
  bool Enabled = true;  // a replay into a folder the player owns may switch logging off
};

void ResetLog(const DebugLog& log);  // starts a fresh empty file; a link at its name is replaced
// Appends one line; a link or anything but a regular file at the name is never written into.
void WriteLog(const DebugLog& log, const std::string& text);

}  // namespace zt
