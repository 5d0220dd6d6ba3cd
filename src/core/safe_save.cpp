#include "core/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

  bool ok = WriteAll(fd, bytes);
  ok = (::fsync(fd) == 0) && ok;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(tempName.c_str(), targetName.c_str()) == 0;
  if (!ok) {
    ::unlink(tempName.c_str());
    return false;
  }
  FlushFolder(target);
  return true;
}

}  // namespace zt
