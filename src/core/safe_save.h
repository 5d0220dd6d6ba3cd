// Saving of the files the player owns (config.ini, highscores.dat) and of the files the game
// writes for itself (debug.txt, result.txt, converted pictures): the new contents go to a
// temporary file of a unique name in the same folder, created exclusively (so never through a
// link), which is flushed to disk and then renamed into place, so a crash or a full disk during
// a save never leaves a half-written file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zt {

// The file a save of `path` replaces: `path` itself, or, when the player made it a symbolic
// link, the file the link leads to (which need not exist yet). Nothing for a loop of links.
std::optional<std::string> SaveTarget(const std::string& path);

// Replaces the file at SaveTarget(`path`) with `bytes`: a link the player made stays and its
// target gets the new contents. Returns false when any step fails; the old file is then left
// exactly as it was and no temporary file is left behind. An existing file keeps its
// permissions; a new one gets those the umask leaves.
bool SaveFileSafely(const std::string& path, std::string_view bytes);

// Puts a regular file holding `bytes` at `path` itself, written the same way: whatever was
// there, a link included, is replaced and never written through.
bool ReplaceFileSafely(const std::string& path, std::string_view bytes);

// Creates the file at `path` with `bytes` when nothing is there yet, written the same way. The
// rename never replaces anything, so a file that appears at `path` meanwhile is kept as it is.
// Returns false when the file was not created; no temporary file is then left behind. The new
// file's permissions are those of any file the game creates (the umask decides).
bool CreateFileSafely(const std::string& path, std::string_view bytes);

constexpr int kKeptDamagedFiles = 3;  // path.bad, path.bad.1, path.bad.2

// Moves a damaged file out of the way by renaming it (never copying it) beside its
// SaveTarget: to `.bad`, after an earlier `.bad` has moved to `.bad.1` and that one to
// `.bad.2`, so the last three are kept. Renames never follow a link at any of those names.
// Returns the name the file is kept as; nothing when there was no file to move or it could
// not be moved.
std::optional<std::string> MoveFileAside(const std::string& path);

}  // namespace zt
