#include "core/save_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>

#include "core/safe_save.h"

namespace zt {
namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(5);

// The lock file, opened for flock only: a link at its name is refused rather than followed, and
// anything but a regular file (a FIFO, a device) is not used.
int OpenLockFile(const std::string& path) {
  const std::optional<std::string> target = SaveTarget(path);
  if (!target) return -1;
  const std::string lockName = *target + ".lock";
  constexpr int kFlags = O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = ::open(lockName.c_str(), kFlags, 0666);
  if (fd < 0) return -1;
  struct stat file {};
  if (::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

SaveLock::SaveLock(const std::string& path) : fd_(OpenLockFile(path)) {
  if (fd_ < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSaveLockWaitMs);
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const bool busy = errno == EWOULDBLOCK || errno == EINTR;
    if (!busy || std::chrono::steady_clock::now() >= deadline) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
    std::this_thread::sleep_for(kRetryInterval);
  }
}

SaveLock::~SaveLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace zt
