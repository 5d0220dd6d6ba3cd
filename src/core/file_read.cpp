#include "core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace zt {

namespace {

constexpr size_t kChunkBytes = 64 * 1024;  // the growth step of a file that tells no size

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Release() { return std::exchange(fd_, -1); }  // the caller closes it now

 private:
  int fd_;
};

FileBytes Refused(FileReadStatus status, std::string error) {
  FileBytes result;
  result.Status = status;
  result.Error = std::move(error);
  return result;
}

OpenedFile NotOpened(FileReadStatus status, std::string error) {
  OpenedFile result;
  result.Status = status;
  result.Error = std::move(error);
  return result;
}

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "is a folder, not a file";
  if (S_ISFIFO(mode)) return "is a pipe, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a file";
  return "is not a regular file";
}

std::string TooLarge(const std::string& size, std::uintmax_t maxBytes) {
  return "is " + size + " bytes long; at most " + std::to_string(maxBytes) + " are read";
}

}  // namespace

OpenedFile OpenReadableFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
  // Without O_NONBLOCK, opening a pipe would wait for a writer; the descriptor is then
  // refused from what fstat says before anything is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return NotOpened(FileReadStatus::Missing, "does not exist");
    return NotOpened(FileReadStatus::Failed, SystemError("cannot be opened"));
  }
  Descriptor closer(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0) return NotOpened(FileReadStatus::Failed, SystemError("cannot be read"));
  if (!S_ISREG(info.st_mode)) return NotOpened(FileReadStatus::NotRegular, KindOf(info.st_mode));
  const auto size = static_cast<std::uintmax_t>(info.st_size);
  if (size > maxBytes) return NotOpened(FileReadStatus::TooLarge, TooLarge(std::to_string(size), maxBytes));
  OpenedFile result;
  result.Status = FileReadStatus::Read;
  result.Descriptor = closer.Release();
  result.Size = size;
  return result;
}

FileBytes ReadFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes) {
  const OpenedFile file = OpenReadableFile(path, maxBytes);
  if (!file.Ok()) return Refused(file.Status, file.Error);
  const int fd = file.Descriptor;
  const Descriptor closer(fd);
  const std::uintmax_t size = file.Size;

  // One byte past the bound tells a file that grew meanwhile, or one whose size says
  // nothing (the kernel's own files read as size 0).
  const size_t limit = static_cast<size_t>(maxBytes) + 1;
  FileBytes result;
  std::string& bytes = result.Bytes;
  bytes.resize(std::min(limit, size > 0 ? static_cast<size_t>(size) + 1 : kChunkBytes));
  size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      if (used == limit) break;
      bytes.resize(std::min(limit, used + kChunkBytes));
    }
    const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Refused(FileReadStatus::Failed, SystemError("cannot be read"));
    if (got == 0) break;
    used += static_cast<size_t>(got);
  }
  if (used > maxBytes)
    return Refused(FileReadStatus::TooLarge, TooLarge("more than " + std::to_string(maxBytes), maxBytes));
  if (used < size)
    return Refused(FileReadStatus::Failed, "cannot be read: it ended after " + std::to_string(used) + " of its " +
                                               std::to_string(size) + " bytes");
  bytes.resize(used);
  result.Status = FileReadStatus::Read;
  return result;
}

}  // namespace zt
