#include "core/safe_save.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

size_t FilesIn(const std::filesystem::path& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(CreateFileSafely, CreatesAFileOnlyWhereNothingIs) {
  TempFolder folder;
  const std::string path = folder.File("config.ini");
  ASSERT_TRUE(CreateFileSafely(path, "first\r\n"));
  EXPECT_EQ(ReadBytes(path), "first\r\n");
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  EXPECT_FALSE(CreateFileSafely(path, "second")) << "an existing file wins";
  EXPECT_EQ(ReadBytes(path), "first\r\n");

  // Not through a link either, even one to nowhere.
  const std::string link = folder.File("link.ini");
  std::filesystem::create_symlink(folder.File("target.ini"), link);
  EXPECT_FALSE(CreateFileSafely(link, "through"));
  EXPECT_FALSE(std::filesystem::exists(folder.File("target.ini")));
  EXPECT_EQ(FilesIn(folder.Path()), 2u) << "no temporary file is left behind";
}

TEST(CreateFileSafely, FailsCleanlyWhereTheFolderCannotHoldIt) {
  TempFolder folder;
  WriteBytes(folder.File("plain"), "x");
  EXPECT_FALSE(CreateFileSafely(folder.File("plain/config.ini"), "new"));
  EXPECT_FALSE(CreateFileSafely(folder.File("no/such/folder/config.ini"), "new"));

  std::filesystem::create_directories(folder.File("taken/inside"));
  EXPECT_FALSE(CreateFileSafely(folder.File("taken"), "new")) << "a folder of the name wins too";
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("taken")));
  EXPECT_EQ(FilesIn(folder.Path()), 2u);
  EXPECT_EQ(ReadBytes(folder.File("plain")), "x");
}

}  // namespace
}  // namespace zt
