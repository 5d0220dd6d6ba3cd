#include "app/frame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>


namespace zt {
namespace {

// A program past its loading, on test devices, its files in a folder of the test's own.
class ProgramFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("zt_frames_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    ProgramDevices devices;
    devices.Time = &clock_;
    devices.Keys = &keys_;
    devices.Audio = &mixer_;
    GamePaths paths;
    paths.ConfigPath = (folder_ / "config.ini").string();
    paths.PlayerDir = folder_.string();
    InitProgram(program_, devices, paths);
    LoadSettings(program_.ConfigFile, program_.Config);
    DIInit(program_.Input);
    DICreateKeyboard(program_.Input);
    DIAcquireKeyboard(program_.Input, true);
    program_.Input.KeyboardReady = true;
    program_.Loaded = program_.AppActive = true;
  }
  void Frame(std::initializer_list<uint8_t> down = {}) {
    clock_.Advance(16);
    keys_.ReleaseAll();
    for (uint8_t key : down) keys_.Press(key);
    IdleFrame(program_);
  }

  std::filesystem::path folder_;
  ManualClock clock_{1000};
  ScriptedKeyboard keys_;
  RecordingMixer mixer_;
  Program program_;
};

TEST_F(ProgramFrames, LeavingTheOptionsKeepsTheSettingsAtOnce) {
  program_.Menu.MenuScreen = kOptionsScreen;
  program_.Config.SoundVolume = 7;
  Frame();
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config.ini"));
  Frame({DIK_ESCAPE});
  ASSERT_EQ(program_.Menu.MenuScreen, kMainScreen);
  std::ifstream file(folder_ / "config.ini");
  const std::string text((std::istreambuf_iterator<char>(file)), {});
  EXPECT_NE(text.find("Sound volume=7"), std::string::npos) << text;
}

TEST_F(ProgramFrames, ReplaysAndDemosLeaveThePlayersFilesAlone) {
  program_.SaveOnExit = false;
  program_.Menu.MenuScreen = kOptionsScreen;
  Frame({DIK_ESCAPE});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config.ini"));
}

TEST_F(ProgramFrames, NoFrameRunsBeforeLoadingOrWhileInactive) {
  program_.AppActive = false;
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 1);
  program_.AppActive = true;
  program_.Loaded = false;
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 1);
  program_.Loaded = true;
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 2);
}

}  // namespace
}  // namespace zt
