// The one way the game reads a file from outside: the whole file at once, at most a bound
// the caller picks, only from a regular file (a link to one is followed), never waiting on a
// pipe or a device, and every failure a result the caller turns into its own error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace zt {

enum class FileReadStatus {
  Read,        // the whole file is in Bytes
  Missing,     // nothing at the path, a link to nothing included
  NotRegular,  // a folder, a pipe, a device or a socket
  TooLarge,    // more than the bound; refused from its size without reading when it has one
  Failed,      // cannot be opened, or a read failed (an I/O error, or it ended before its size)
};

struct FileBytes {
  FileReadStatus Status = FileReadStatus::Failed;
  std::string Bytes;  // the file when Status is Read, else empty
  std::string Error;  // otherwise what is wrong, worded to follow the file's name ("is a folder")
  bool Ok() const { return Status == FileReadStatus::Read; }
};

// Reads the file at `path` when it holds at most `maxBytes` bytes.
FileBytes ReadFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes);

// A file opened for a reader that takes it a piece at a time (music, decoded as it plays),
// refused as ReadFileBytes refuses a file before reading it.
struct OpenedFile {
  FileReadStatus Status = FileReadStatus::Failed;  // Read: open, a regular file within the bound
  int Descriptor = -1;                             // when open; the caller closes it
  std::uintmax_t Size = 0;                         // what the file says it holds
  std::string Error;                               // as FileBytes::Error
  bool Ok() const { return Status == FileReadStatus::Read; }
};
OpenedFile OpenReadableFile(const std::filesystem::path& path, std::uintmax_t maxBytes);

}  // namespace zt
