// Saving of the files the player owns (config.ini, highscores.dat): the new contents go
// to a temporary file in the same folder, which is flushed to disk and then renamed over
// the old file, so a crash or a full disk during a save never leaves a half-written file.
#pragma once

#include <string>
#include <string_view>

namespace zt {

// Replaces the file at `path` with `bytes`. Returns false when any step fails; the old
// file is then left exactly as it was and no temporary file is left behind. A file that
// is a symbolic link has its target replaced, and an existing file keeps its permissions.
bool SaveFileSafely(const std::string& path, std::string_view bytes);

// Creates the file at `path` with `bytes` when nothing is there yet, written the same way: a
// temporary file of its own in the same folder (created exclusively, never through a link),
// flushed to disk and renamed into place. The rename never replaces anything, so a file that
// appears at `path` meanwhile is kept as it is. Returns false when the file was not created; no
// temporary file is then left behind. The new file is readable by its owner alone.
bool CreateFileSafely(const std::string& path, std::string_view bytes);

// The name of the temporary file a save of `path` writes first.
std::string SafeSaveTempPath(const std::string& path);

}  // namespace zt
