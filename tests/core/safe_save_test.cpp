#include "core/safe_save.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::FilesIn;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(CreateFileSafely, CreatesAFileOnlyWhereNothingIs) {
  TempFolder folder;
  const std::string path = folder.File("config.ini");
  ASSERT_TRUE(CreateFileSafely(path, "first\r\n"));
  EXPECT_EQ(ReadBytes(path), "first\r\n");
  const mode_t umask = ::umask(022);  // what the player's session set, read back
  ::umask(umask);
  EXPECT_EQ(static_cast<mode_t>(std::filesystem::status(path).permissions() & std::filesystem::perms::all),
            0666 & ~umask)
      << "made like any file the game creates, not owner-only";

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

// A player's dot-file setup: the game folder's names are links into a folder of their own.
struct LinkedFiles : ::testing::Test {
  TempFolder folder;
  std::string game = folder.File("game");
  std::string dots = folder.File("dots");
  void SetUp() override {
    std::filesystem::create_directories(game);
    std::filesystem::create_directories(dots);
  }
};

TEST_F(LinkedFiles, APlayersLinkStaysAndTheFileItLeadsToIsReplaced) {
  WriteBytes(dots + "/highscores.dat", "old");
  std::filesystem::create_symlink("../dots/highscores.dat", game + "/highscores.dat");
  // A link to a link, and a link to a file that is not there yet.
  std::filesystem::create_symlink("../dots/config.ini", dots + "/config-link");
  std::filesystem::create_symlink("../dots/config-link", game + "/config.ini");

  ASSERT_TRUE(SaveFileSafely(game + "/highscores.dat", "new"));
  ASSERT_TRUE(SaveFileSafely(game + "/config.ini", "[Settings]"));
  EXPECT_TRUE(std::filesystem::is_symlink(game + "/highscores.dat"));
  EXPECT_TRUE(std::filesystem::is_symlink(game + "/config.ini"));
  EXPECT_TRUE(std::filesystem::is_symlink(dots + "/config-link"));
  EXPECT_EQ(ReadBytes(dots + "/highscores.dat"), "new");
  EXPECT_EQ(ReadBytes(dots + "/config.ini"), "[Settings]");
  EXPECT_EQ(FilesIn(game), 2u);
  EXPECT_EQ(FilesIn(dots), 3u) << "no temporary file is left behind";

  std::filesystem::create_symlink("loop-b", game + "/loop-a");
  std::filesystem::create_symlink("loop-a", game + "/loop-b");
  EXPECT_FALSE(SaveFileSafely(game + "/loop-a", "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(game + "/loop-a"));
}

// A name that is not the player's to link: whatever stands there is moved or replaced, and the
// file a planted link points at is never written.
TEST_F(LinkedFiles, LinksPlantedAtTheGamesOwnNamesAreNeverWrittenThrough) {
  const std::string victim = dots + "/victim";
  WriteBytes(victim, "precious");
  const std::string table = game + "/highscores.dat";
  WriteBytes(table, "damaged");
  for (const char* name : {".tmp", ".bad", ".bad.1", ".bad.2"}) std::filesystem::create_symlink(victim, table + name);
  std::filesystem::create_symlink(victim, game + "/result.txt");

  EXPECT_EQ(MoveFileAside(table), table + ".bad");
  ASSERT_TRUE(SaveFileSafely(table, "sound"));
  ASSERT_TRUE(ReplaceFileSafely(game + "/result.txt", "report"));
  EXPECT_EQ(ReadBytes(victim), "precious");
  EXPECT_EQ(ReadBytes(table), "sound");
  EXPECT_EQ(ReadBytes(table + ".bad"), "damaged");
  EXPECT_TRUE(std::filesystem::is_symlink(table + ".bad.1")) << "the planted link moved on as a link";
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(game + "/result.txt")));
  EXPECT_EQ(ReadBytes(game + "/result.txt"), "report");

  // A FIFO at the name is replaced too, without waiting for a reader.
  ASSERT_EQ(::mkfifo((game + "/debug.txt").c_str(), 0600), 0);
  ASSERT_TRUE(ReplaceFileSafely(game + "/debug.txt", ""));
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(game + "/debug.txt")));
}

TEST_F(LinkedFiles, DamagedFilesAreMovedAsideKeepingTheLastThreeBesideTheFileItself) {
  const std::string table = game + "/highscores.dat";
  EXPECT_FALSE(MoveFileAside(table)) << "nothing to move";
  for (int round = 1; round <= 4; ++round) {
    WriteBytes(table, "damaged " + std::to_string(round));
    EXPECT_EQ(MoveFileAside(table), table + ".bad");
    EXPECT_FALSE(std::filesystem::exists(table));
  }
  EXPECT_EQ(ReadBytes(table + ".bad"), "damaged 4");
  EXPECT_EQ(ReadBytes(table + ".bad.1"), "damaged 3");
  EXPECT_EQ(ReadBytes(table + ".bad.2"), "damaged 2");
  EXPECT_EQ(FilesIn(game), 3u);

  WriteBytes(dots + "/config.ini", "damaged");
  std::filesystem::create_symlink(dots + "/config.ini", game + "/config.ini");
  EXPECT_EQ(MoveFileAside(game + "/config.ini"), dots + "/config.ini.bad");
  EXPECT_EQ(ReadBytes(dots + "/config.ini.bad"), "damaged");
  EXPECT_TRUE(std::filesystem::is_symlink(game + "/config.ini")) << "the player's link stays";
  EXPECT_EQ(FilesIn(game), 4u);
}

}  // namespace
}  // namespace zt
