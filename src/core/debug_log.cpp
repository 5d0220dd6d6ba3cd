#include "core/debug_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/safe_save.h"

namespace zt {

void ResetLog(const DebugLog& log) {
  if (!log.Enabled) return;
  ReplaceFileSafely(log.Path, "");  // a fresh regular file, whatever stood at the name
}

void WriteLog(const DebugLog& log, const std::string& text) {
  if (!log.Enabled) return;
  // Never through a link, and never into anything but a regular file: a log that cannot be
  // written never stops the game, it only loses the line.
  constexpr int kFlags = O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = ::open(log.Path.c_str(), kFlags, 0666);
  if (fd < 0) return;
  struct stat file {};
  if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode)) {
    const std::string line = text + "\r\n";
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
  }
  ::close(fd);
}

}  // namespace zt
