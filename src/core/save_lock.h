// Two games in one folder: before a game re-reads and rewrites a file the player owns, it
// takes an exclusive lock on a lock file beside it (highscores.dat.lock beside highscores.dat;
// for a file the player linked, beside the file the link leads to). The other game's save then
// waits, and reads what this one wrote before it writes its own.
#pragma once

#include <string>

namespace zt {

constexpr int kSaveLockWaitMs = 5000;  // how long a save waits for another game's save to end

class SaveLock {
 public:
  // Locks the file at `path` (flock on its lock file, which is created or opened without
  // following a link and must be a regular file), waiting up to kSaveLockWaitMs for a game
  // that holds it. Held() tells whether it succeeded.
  explicit SaveLock(const std::string& path);
  ~SaveLock();  // releases the lock; the lock file stays for the next save
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;

  bool Held() const { return fd_ >= 0; }  // false: the file must not be written now

 private:
  int fd_ = -1;
};

}  // namespace zt
