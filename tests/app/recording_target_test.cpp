// Where --record may write: never over a file the game keeps for the player, by its name or
// through a link at either end, and never over a file that is not an earlier recording.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/recorder.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

// An installed layout: config.ini in one folder, the other player's files in another.
class RecordingTarget : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"config", "data", "elsewhere"}) fs::create_directory(folder_.Path() / name);
    paths_.ConfigPath = Path("config/config.ini");
    paths_.PlayerDir = Path("data");
  }
  std::string Path(const std::string& name) const { return (folder_.Path() / name).string(); }
  bool Refused(const std::string& name) const { return !RecordingRefusal(Path(name), paths_).empty(); }

  TempFolder folder_;
  GamePaths paths_;
};

TEST_F(RecordingTarget, ThePlayersFilesAndEveryNameTheirSavesMakeAreRefused) {
  for (const char* name : {"config/config.ini", "config/config.ini.tmp", "config/config.ini.lock",
                           "config/config.ini.tmp.Xy12Ab", "data/highscores.dat", "data/highscores.dat.bad",
                           "data/highscores.dat.bad.2", "data/debug.txt", "data/result.txt"})
    EXPECT_TRUE(Refused(name)) << name;
  const std::string said = RecordingRefusal(Path("data/highscores.dat.bad.1"), paths_);
  EXPECT_NE(said.find("highscores.dat"), std::string::npos) << said;
  // The same names elsewhere, and other names beside them, are free.
  for (const char* name : {"elsewhere/config.ini", "data/config.ini", "config/debug.txt", "data/game.replay",
                           "data/highscores.dat-old.replay"})
    EXPECT_FALSE(Refused(name)) << name;
}

TEST_F(RecordingTarget, LinksAreFollowedAtBothEnds) {
  // A link to a player's file, dangling or not, and a folder link into the player's folder.
  WriteBytes(paths_.ConfigPath, "[Settings]\n");
  fs::create_symlink(paths_.ConfigPath, Path("elsewhere/to-config.replay"));
  fs::create_symlink("../data/highscores.dat", Path("elsewhere/to-table.replay"));  // no table yet
  fs::create_symlink(Path("elsewhere/to-table.replay"), Path("elsewhere/chain.replay"));
  fs::create_directory_symlink(Path("data"), Path("elsewhere/data-link"));
  for (const char* name : {"elsewhere/to-config.replay", "elsewhere/to-table.replay", "elsewhere/chain.replay",
                           "elsewhere/data-link/debug.txt", "elsewhere/data-link/../data/result.txt"})
    EXPECT_TRUE(Refused(name)) << name;

  // A config.ini the player keeps elsewhere through a link: its target and the names beside it.
  fs::create_directory(Path("dotfiles"));
  WriteBytes(Path("dotfiles/zt.ini"), "[Settings]\n");
  fs::remove(paths_.ConfigPath);
  fs::create_symlink(Path("dotfiles/zt.ini"), paths_.ConfigPath);
  EXPECT_TRUE(Refused("dotfiles/zt.ini"));
  EXPECT_TRUE(Refused("dotfiles/zt.ini.tmp"));
  EXPECT_TRUE(Refused("config/config.ini.bad"));
  EXPECT_FALSE(Refused("dotfiles/other.replay"));
}

TEST_F(RecordingTarget, AnExistingFileMustBeAnEarlierRecording) {
  WriteBytes(Path("elsewhere/old.replay"), std::string(kRecordingHead) + "\nseed 4\nframe 16\n");
  WriteBytes(Path("elsewhere/notes.txt"), "# A game of mine\n");
  WriteBytes(Path("elsewhere/empty.replay"), "");
  WriteBytes(Path("elsewhere/head-only.replay"), kRecordingHead);  // the line never ended
  EXPECT_FALSE(Refused("elsewhere/old.replay"));
  EXPECT_FALSE(Refused("elsewhere/new.replay"));
  EXPECT_TRUE(Refused("elsewhere/notes.txt"));
  EXPECT_TRUE(Refused("elsewhere/empty.replay"));
  EXPECT_TRUE(Refused("elsewhere/head-only.replay"));
  // What is not a file is refused without being opened (a FIFO would never answer).
  EXPECT_TRUE(Refused("elsewhere"));
  ASSERT_EQ(::mkfifo(Path("elsewhere/pipe").c_str(), 0600), 0);
  EXPECT_NE(RecordingRefusal(Path("elsewhere/pipe"), paths_).find("not a file"), std::string::npos);
}

}  // namespace
}  // namespace zt
