#include "core/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zt {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Writes the bytes, flushes them to disk and closes the file; false when any step fails.
bool WriteSyncAndClose(int fd, std::string_view bytes) {
  bool ok = WriteAll(fd, bytes);
  ok = (::fsync(fd) == 0) && ok;
  return (::close(fd) == 0) && ok;
}

// Moves `from` to `to` unless something is at `to` already. A file system (or kernel) that
// cannot rename that way gets a hard link, which refuses an existing name just the same.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if ((errno != EINVAL && errno != ENOSYS) || ::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

// A rename is only durable once the folder holding the file is flushed too.
void FlushFolder(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string SafeSaveTempPath(const std::string& path) { return path + ".tmp"; }

bool SaveFileSafely(const std::string& path, std::string_view bytes) {
  std::error_code error;
  std::filesystem::path target(path);
  if (std::filesystem::is_symlink(target, error)) {
    target = std::filesystem::canonical(target, error);
    if (error) return false;
  }
  const std::string targetName = target.string();
  const std::string tempName = SafeSaveTempPath(targetName);

  const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat old {};
  if (::stat(targetName.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  bool ok = WriteSyncAndClose(fd, bytes);
  if (ok) ok = ::rename(tempName.c_str(), targetName.c_str()) == 0;
  if (!ok) {
    ::unlink(tempName.c_str());
    return false;
  }
  FlushFolder(target);
  return true;
}

bool CreateFileSafely(const std::string& path, std::string_view bytes) {
  constexpr int kSuffixLength = 4;  // ".tmp", after the random part
  std::string tempName = path + ".XXXXXX.tmp";
  const int fd = ::mkostemps(tempName.data(), kSuffixLength, O_CLOEXEC);
  if (fd < 0) return false;
  if (!WriteSyncAndClose(fd, bytes) || !RenameWithoutReplacing(tempName, path)) {
    ::unlink(tempName.c_str());
    return false;
  }
  FlushFolder(path);
  return true;
}

}  // namespace zt
