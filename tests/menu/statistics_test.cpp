#include "menu/statistics.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

struct StatisticsFile : ::testing::Test {
  TempFolder folder;
  std::string path = folder.File(kStatisticsFileName);
  DebugLog log{folder.File("debug.txt")};

  StatisticsState Loaded() {
    StatisticsState state;
    LoadStatistics(state, path, log);
    return state;
  }
};

const GameRecord kShortGame{95, 40, {6, 2, 1, 0}, 3, 25};
const GameRecord kLongGame{1210, 610, {50, 12, 4, 3}, 9, 30};
const GameRecord kFastGame{62, 41, {3, 0, 0, 1}, 2, 40};

// Two games in one folder, each having loaded the file before the other saved.
TEST_F(StatisticsFile, TwoRunsSavingInTurnBothKeepTheirGames) {
  WriteBytes(path, "; kept by hand\r\n[Kids]\r\nGames=2\r\nFigures=100\r\nBestLevel=12\r\n[Notes]\r\nMine=1\r\n");
  StatisticsState first = Loaded(), second = Loaded();
  ASSERT_TRUE(first.ReadError.empty());
  EXPECT_EQ(first.Table[kKids - 1].Games, 2);
  CountGame(first, kKids, kShortGame);
  CountGame(second, kKids, kLongGame);
  CountGame(second, kRetro, kFastGame);
  ASSERT_TRUE(SaveStatistics(first, path, log));
  ASSERT_TRUE(SaveStatistics(second, path, log));

  const StatisticsState saved = Loaded();
  EXPECT_EQ(saved.Table, second.Table) << "the last save's table is the file's";
  EXPECT_TRUE(second.UnsavedGames.empty());
  const TypeStatistics& kids = saved.Table[kKids - 1];
  EXPECT_EQ(kids.Games, 4);
  EXPECT_EQ(kids.SecondsPlayed, 95 + 1210);
  EXPECT_EQ(kids.Figures, 100 + 40 + 610);
  EXPECT_EQ(kids.Clears, (std::array<int32_t, kClearSizes>{56, 14, 5, 3}));
  EXPECT_EQ(kids.BestLevel, 12) << "a best from the file stays when no game beats it";
  EXPECT_EQ(kids.BestFiguresPerMinute, 30);
  EXPECT_EQ(kids.LastGame, kLongGame);
  EXPECT_EQ(saved.Table[kRetro - 1].LastGame, kFastGame);
  EXPECT_EQ(saved.Table[kTorvane - 1], TypeStatistics{});
  const std::string text = ReadBytes(path);
  EXPECT_EQ(text.rfind("; kept by hand\r\n[Kids]\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("[Notes]\r\nMine=1\r\n"), std::string::npos) << "what the game does not know stays";

  EXPECT_TRUE(SaveStatistics(second, path, log)) << "nothing new to add";
  EXPECT_EQ(ReadBytes(path), text);
}

TEST_F(StatisticsFile, TotalsStopAtTheLargestNumberTheFileHolds) {
  WriteBytes(path, "[Torvane]\nGames=2147483647\nSecondsPlayed=2147483600\n");
  StatisticsState state = Loaded();
  CountGame(state, kTorvane, kLongGame);
  ASSERT_TRUE(SaveStatistics(state, path, log));
  EXPECT_EQ(Loaded().Table[kTorvane - 1].Games, INT32_MAX);
  EXPECT_EQ(Loaded().Table[kTorvane - 1].SecondsPlayed, INT32_MAX);
}

TEST_F(StatisticsFile, ADamagedFileIsKeptAsideAndTheCountingStartsAfresh) {
  for (const std::string damaged : {"[Kids]\nGames=many\n", "[Kids]\nFigures=-4\n", "\x01\x89PNG\r\n[Kids]\nGames=3\n",
                                    "[Kids]\nGames=99999999999\n"}) {
    std::filesystem::remove(path + ".bad");
    WriteBytes(path, damaged);
    StatisticsState state = Loaded();
    EXPECT_EQ(state.Table, StatisticsTable{}) << damaged;
    EXPECT_TRUE(state.ReadError.empty());
    EXPECT_EQ(ReadBytes(path + ".bad"), damaged) << "the damaged file is kept whole";
    EXPECT_FALSE(std::filesystem::exists(path));
    CountGame(state, kKids, kShortGame);
    ASSERT_TRUE(SaveStatistics(state, path, log));
    EXPECT_EQ(Loaded().Table[kKids - 1].Games, 1);
  }
  EXPECT_NE(ReadBytes(log.Path).find("is damaged"), std::string::npos);
}

TEST_F(StatisticsFile, AFileDamagedWhileTheGameRunsIsKeptAsideAtTheSave) {
  StatisticsState state = Loaded();
  CountGame(state, kVodoza, kFastGame);
  WriteBytes(path, "[Vodoza]\nGames=x\n");
  ASSERT_TRUE(SaveStatistics(state, path, log));
  EXPECT_EQ(ReadBytes(path + ".bad"), "[Vodoza]\nGames=x\n");
  EXPECT_EQ(Loaded().Table[kVodoza - 1].Games, 1);
}

TEST_F(StatisticsFile, AFileThatCannotBeReadIsNeverWritten) {
  std::filesystem::create_symlink("/proc/self/mem", path);  // every read fails
  StatisticsState state = Loaded();
  EXPECT_FALSE(state.ReadError.empty());
  CountGame(state, kRedara, kShortGame);
  EXPECT_EQ(state.Table[kRedara - 1].Games, 1) << "the run's games still show";
  EXPECT_FALSE(SaveStatistics(state, path, log));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(state.UnsavedGames.size(), 1u);

  StatisticsState elsewhere;  // a folder that is gone: the games wait for the next save
  CountGame(elsewhere, kRedara, kShortGame);
  EXPECT_FALSE(SaveStatistics(elsewhere, folder.File("gone/statistics.ini"), log));
  EXPECT_EQ(elsewhere.UnsavedGames.size(), 1u);
}

}  // namespace
}  // namespace zt
