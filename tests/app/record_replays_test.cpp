#include "menu/record_replays.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/game_recorder.h"
#include "app/program_frames.h"
#include "app/record_verifier.h"
#include "app/replay_pace.h"

namespace zt {
namespace {

// Whole games through the program's frames, each recorded as play records it.
class RecordedGames : public ProgramFrames {
 protected:
  void SetUp() override {
    ProgramFrames::SetUp();
    program_.Shapes = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
    LoadHighScores(program_.Scores, program_.HighScorePath, program_.Log);
    program_.Config.RotationSpeedFactor = 1.15f;  // as the game's own settings have them
    program_.Config.SidewaysKeyDelay = 250;
    recorder_.Start(program_);
  }
  void RecordedFrame(std::initializer_list<uint8_t> down = {}) {
    recorder_.BeforeFrame(program_);
    Frame(down);
    recorder_.AfterFrame(program_, clock_.Now(), program_.Input.KeyState);
  }
  // A game from the game-type screen to its end: each figure dropped with Space, now and then
  // after a step to the left; the game over left with Enter and the name entered at once.
  // Returns the score.
  int32_t PlayToGameOver(int32_t gameType) {
    program_.Menu.MenuScreen = kGameTypeScreen;
    StartGameOfType(program_, gameType);
    for (int frame = 0; !program_.Game.Mode.GameOver && frame < 20000; ++frame) {
      if (frame % 2 == 0)
        RecordedFrame();
      else if (frame % 14 == 1)
        RecordedFrame({DIK_LEFT});
      else
        RecordedFrame({DIK_SPACE});
    }
    EXPECT_TRUE(program_.Game.Mode.GameOver);
    const int32_t score = program_.Game.Score;
    for (int frame = 0; !program_.Game.Mode.InMenu && frame < 200; ++frame) RecordedFrame({DIK_RETURN});
    if (program_.Scores.NameEntryActive) TypeCharacter(program_, '\r');
    RecordedFrame();
    return score;
  }
  std::string SavedReplay(int32_t gameType, int32_t row) const {
    std::ifstream file(RecordReplayPath(program_.HighScorePath, gameType, row), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), {});
  }
  std::vector<std::filesystem::path> FilesInFolder() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_)) files.push_back(entry.path());
    return files;
  }

  GameRecorder recorder_;
};

TEST_F(RecordedGames, ALaterGameOfARunIsSavedWithItsEntryAndVerifiesAlone) {
  const int32_t first = PlayToGameOver(kRetro);
  const int32_t second = PlayToGameOver(kKids);
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  const std::string replay = SavedReplay(kKids, 1);
  ASSERT_NE(replay.find("\nstart {"), std::string::npos) << replay.substr(0, 400);
  EXPECT_NE(SavedReplay(kRetro, 1), "");
  EXPECT_EQ(replay.find("HighScores"), std::string::npos);  // it ends with the game, not the table

  const std::vector<std::filesystem::path> before = FilesInFolder();
  const ReplayVerdict verdict = VerifyReplay(replay, program_.Shapes, program_.Config);
  EXPECT_TRUE(verdict.Held);
  EXPECT_EQ(verdict.Score, second);
  EXPECT_TRUE(VerifyReplay(SavedReplay(kRetro, 1), program_.Shapes, program_.Config).Held);

  std::string edited = replay;
  const std::string claim = "expect Score == " + std::to_string(second) + "\n";
  ASSERT_NE(edited.find(claim), std::string::npos);
  edited.replace(edited.find(claim), claim.size(), "expect Score == " + std::to_string(second + 100) + "\n");
  EXPECT_FALSE(VerifyReplay(edited, program_.Shapes, program_.Config).Held);
  EXPECT_EQ(FilesInFolder(), before);  // verifying writes nothing
}

TEST_F(RecordedGames, AnAbortedGameOrOneThatMissesTheTableLeavesNoReplay) {
  program_.Menu.MenuScreen = kGameTypeScreen;
  StartGameOfType(program_, kTorvane);
  for (int frame = 0; frame < 60; ++frame) RecordedFrame();
  for (int frame = 0; !program_.Game.Mode.InMenu && frame < 200; ++frame)
    RecordedFrame(frame % 2 == 0 ? std::initializer_list<uint8_t>{DIK_ESCAPE} : std::initializer_list<uint8_t>{DIK_Y});
  ASSERT_TRUE(program_.Game.Mode.InMenu);
  for (auto& row : program_.Scores.Table[kVodoza - 1]) row.EntryScore = 1000000;
  PlayToGameOver(kVodoza);
  EXPECT_FALSE(std::filesystem::exists(folder_ / kRecordReplayFolder));
}

TEST(ReplayPace, PlaysAtTheChosenSpeedFromTheFrameShownAndNotWhilePaused) {
  ReplayPace pace(1000);
  EXPECT_TRUE(pace.Due(100, 1100));
  EXPECT_FALSE(pace.Due(101, 1100));
  pace.SetSpeed(4, 1100, 100);  // from here on four recorded ms a real one
  EXPECT_TRUE(pace.Due(500, 1200));
  EXPECT_FALSE(pace.Due(501, 1200));
  pace.Slower(1200, 500);
  EXPECT_EQ(pace.Speed(), 2);
  pace.TogglePause(1200, 500);
  EXPECT_FALSE(pace.Due(500, 999999));
  pace.TogglePause(5000, 500);  // the pause costs no replay time
  EXPECT_TRUE(pace.Due(520, 5010));
  pace.SetSpeed(3, 5010, 520);
  EXPECT_EQ(pace.Speed(), 2);
}

}  // namespace
}  // namespace zt
