#include "core/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace zt {
namespace {

constexpr int kMaxLinkHops = 40;      // as many as the system itself follows
constexpr mode_t kSharedFile = 0666;  // the umask decides, as for any file a program creates

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

bool RenameReplacing(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

// A rename is only durable once the folder holding the file is flushed too.
void FlushFolder(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A new temporary file beside `path`, `path`.<random letters>.tmp, created exclusively (so never
// through a link, and never one another game is writing) with `mode` less the umask.
int CreateTempFile(const std::string& path, mode_t mode, std::string& tempName) {
  constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  constexpr int kRandomLetters = 8;
  constexpr int kAttempts = 100;  // each name is taken already with a chance of about 1 in 10^14
  std::random_device random;
  std::uniform_int_distribution<size_t> letter(0, kLetters.size() - 1);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    tempName = path + ".";
    for (int i = 0; i < kRandomLetters; ++i) tempName += kLetters[letter(random)];
    tempName += ".tmp";
    const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Writes `bytes` to a new temporary file beside `path`, flushes it and moves it to `path` with
// `place`. An existing regular file at `path` lends the new one its permissions; otherwise it
// gets `mode` less the umask.
bool WriteThroughTempFile(const std::string& path, std::string_view bytes, mode_t mode,
                          bool (*place)(const std::string&, const std::string&)) {
  std::string tempName;
  const int fd = CreateTempFile(path, mode, tempName);
  if (fd < 0) return false;
  struct stat old {};
  if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
  if (!WriteSyncAndClose(fd, bytes) || !place(tempName, path)) {
    ::unlink(tempName.c_str());
    return false;
  }
  FlushFolder(path);
  return true;
}

std::string AsideName(const std::string& target, int generation) {  // 0: .bad, n: .bad.n
  std::string name = target + ".bad";
  if (generation != 0) name.append(".").append(std::to_string(generation));
  return name;
}

}  // namespace

std::optional<std::string> SaveTarget(const std::string& path) {
  std::filesystem::path target(path);
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) return target.string();
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) return std::nullopt;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return std::nullopt;
}

bool SaveFileSafely(const std::string& path, std::string_view bytes) {
  const std::optional<std::string> target = SaveTarget(path);
  return target && WriteThroughTempFile(*target, bytes, kSharedFile, RenameReplacing);
}

bool ReplaceFileSafely(const std::string& path, std::string_view bytes) {
  return WriteThroughTempFile(path, bytes, kSharedFile, RenameReplacing);
}

bool CreateFileSafely(const std::string& path, std::string_view bytes) {
  return WriteThroughTempFile(path, bytes, kSharedFile, RenameWithoutReplacing);
}

std::optional<std::string> MoveFileAside(const std::string& path) {
  const std::optional<std::string> target = SaveTarget(path);
  struct stat file {};
  if (!target || ::lstat(target->c_str(), &file) != 0) return std::nullopt;  // gone already
  // A missing earlier generation simply leaves a gap; the oldest one is replaced.
  for (int generation = kKeptDamagedFiles - 1; generation > 0; --generation)
    RenameReplacing(AsideName(*target, generation - 1), AsideName(*target, generation));
  const std::string kept = AsideName(*target, 0);
  if (!RenameReplacing(*target, kept)) return std::nullopt;
  FlushFolder(kept);
  return kept;
}

}  // namespace zt
