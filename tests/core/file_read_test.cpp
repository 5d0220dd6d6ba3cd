#include "core/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

#include "support/temp_folder.h"

namespace zt {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

constexpr std::uintmax_t kBound = 1000;

bool Mentions(const FileBytes& read, const std::string& words) { return read.Error.find(words) != std::string::npos; }

struct FileReading : ::testing::Test {
  TempFolder folder;
  std::string path = folder.File("file");
};

TEST_F(FileReading, RegularFilesAreReadWholeThroughLinksToo) {
  const std::string bytes("a\0b\r\n\xFF", 6);
  WriteBytes(path, bytes);
  const FileBytes read = ReadFileBytes(path, kBound);
  ASSERT_TRUE(read.Ok()) << read.Error;
  EXPECT_EQ(read.Bytes, bytes);
  EXPECT_TRUE(read.Error.empty());

  // The scratch game folders of the tests link every data file.
  fs::create_symlink(path, folder.File("link"));
  fs::create_symlink(folder.File("link"), folder.File("link to the link"));
  EXPECT_EQ(ReadFileBytes(folder.File("link to the link"), kBound).Bytes, bytes);

  WriteBytes(path, "");
  const FileBytes empty = ReadFileBytes(path, kBound);
  EXPECT_TRUE(empty.Ok());
  EXPECT_TRUE(empty.Bytes.empty());
}

TEST_F(FileReading, NothingThereAndLinksToNothingAreMissing) {
  EXPECT_EQ(ReadFileBytes(path, kBound).Status, FileReadStatus::Missing);
  fs::create_symlink(folder.File("gone"), folder.File("dangling"));
  const FileBytes read = ReadFileBytes(folder.File("dangling"), kBound);
  EXPECT_EQ(read.Status, FileReadStatus::Missing);
  EXPECT_FALSE(read.Error.empty());
  EXPECT_TRUE(read.Bytes.empty());
}

TEST_F(FileReading, FoldersPipesAndDevicesAreRefusedWithoutWaiting) {
  fs::create_directory(path);
  FileBytes read = ReadFileBytes(path, kBound);
  EXPECT_EQ(read.Status, FileReadStatus::NotRegular);
  EXPECT_TRUE(Mentions(read, "folder")) << read.Error;

  // Nobody ever writes to the pipe: opening it the usual way would wait for ever.
  const std::string pipe = folder.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  read = ReadFileBytes(pipe, kBound);
  EXPECT_EQ(read.Status, FileReadStatus::NotRegular);
  EXPECT_TRUE(Mentions(read, "pipe")) << read.Error;
  fs::create_symlink(pipe, folder.File("link to the pipe"));
  EXPECT_EQ(ReadFileBytes(folder.File("link to the pipe"), kBound).Status, FileReadStatus::NotRegular);

  read = ReadFileBytes("/dev/zero", kBound);  // endless, were it read
  EXPECT_EQ(read.Status, FileReadStatus::NotRegular);
  EXPECT_TRUE(Mentions(read, "device")) << read.Error;
}

TEST_F(FileReading, TheBoundIsTheLargestFileRead) {
  WriteBytes(path, std::string(kBound, 'x'));
  EXPECT_TRUE(ReadFileBytes(path, kBound).Ok());
  WriteBytes(path, std::string(kBound + 1, 'x'));
  FileBytes read = ReadFileBytes(path, kBound);
  EXPECT_EQ(read.Status, FileReadStatus::TooLarge);
  EXPECT_TRUE(read.Bytes.empty());

  // A sparse gigabyte is refused from its size: the message names the size the file claims.
  ASSERT_EQ(::truncate(path.c_str(), 1 << 30), 0);
  read = ReadFileBytes(path, kBound);
  EXPECT_EQ(read.Status, FileReadStatus::TooLarge);
  EXPECT_TRUE(Mentions(read, "is 1073741824 bytes long")) << read.Error;
}

// Music is read from its file as it plays: the file is opened under the checks a whole read
// makes first, and only a regular file within the bound comes back open.
TEST_F(FileReading, FilesOpenedToBeReadBitByBitPassTheSameChecks) {
  WriteBytes(path, "abc");
  const OpenedFile opened = OpenReadableFile(path, kBound);
  ASSERT_TRUE(opened.Ok()) << opened.Error;
  EXPECT_EQ(opened.Size, 3u);
  char buffer[8] = {};
  EXPECT_EQ(::read(opened.Descriptor, buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer), "abc");
  ::close(opened.Descriptor);

  const std::string pipe = folder.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  fs::create_directory(folder.File("folder"));
  WriteBytes(folder.File("large"), std::string(kBound + 1, 'x'));
  const std::pair<std::string, FileReadStatus> refusals[] = {{pipe, FileReadStatus::NotRegular},
                                                             {folder.File("folder"), FileReadStatus::NotRegular},
                                                             {folder.File("large"), FileReadStatus::TooLarge},
                                                             {folder.File("gone"), FileReadStatus::Missing}};
  for (const auto& [refused, status] : refusals) {
    const OpenedFile file = OpenReadableFile(refused, kBound);
    EXPECT_EQ(file.Status, status) << refused;
    EXPECT_EQ(file.Descriptor, -1) << refused;
    EXPECT_FALSE(file.Error.empty()) << refused;
  }
}

TEST(FileReadErrors, AreResultsNamingTheError) {
  // The process's own memory is a regular file whose first page is never mapped: reading
  // it from the start fails with EIO.
  FileBytes read = ReadFileBytes("/proc/self/mem", kBound);
  EXPECT_EQ(read.Status, FileReadStatus::Failed);
  EXPECT_TRUE(Mentions(read, "Input/output error")) << read.Error;
  EXPECT_TRUE(read.Bytes.empty());

  TempFolder folder;
  fs::create_symlink("/proc/self/mem", folder.File("link"));
  EXPECT_EQ(ReadFileBytes(folder.File("link"), kBound).Status, FileReadStatus::Failed);
}

TEST(FileReadErrors, AFileEndingBeforeItsSizeIsNotTrusted) {
  // Attribute files of /sys claim a page and hold a few bytes, like a file cut short while read.
  const std::string file = "/sys/devices/system/cpu/online";
  std::error_code error;
  if (fs::file_size(file, error) != 4096) GTEST_SKIP() << file << " is not there or not a page long";
  const FileBytes read = ReadFileBytes(file, 8192);
  EXPECT_EQ(read.Status, FileReadStatus::Failed);
  EXPECT_TRUE(Mentions(read, "of its 4096 bytes")) << read.Error;
}

TEST(FileReadErrors, KernelFilesWithoutASizeAreReadToTheirEndWithinTheBound) {
  const FileBytes read = ReadFileBytes("/proc/self/status", 1 << 20);  // its size says 0
  ASSERT_TRUE(read.Ok()) << read.Error;
  EXPECT_EQ(read.Bytes.rfind("Name:", 0), 0u);
  EXPECT_EQ(ReadFileBytes("/proc/self/status", 16).Status, FileReadStatus::TooLarge);
}

}  // namespace
}  // namespace zt
