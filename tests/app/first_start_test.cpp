#include "app/first_start.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "app/start_up.h"
#include "device/recording_device.h"
#include "support/settings_checks.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kShippedDefaults = ZT_GAME_DIR "/default-config.ini";

// A start of the program on test devices as the window starts it: the first-start check, the
// start-up with its display options, then the settings the loading reads.
class FirstStart : public ::testing::Test {
 protected:
  void Start(const std::string& configPath, const std::string& defaultsPath) {
    ProgramDevices devices;
    devices.Time = &clock_;
    devices.Keys = &keys_;
    devices.Audio = &mixer_;
    devices.Messages = &messages_;
    devices.CreateDirect3D = [] { return std::make_shared<RecordingDirect3D>(); };
    GamePaths paths;
    paths.Found = true;
    paths.ConfigPath = configPath;
    paths.PlayerDir = folder_.Path().string();
    InitProgram(program_, devices, paths);
    PrepareFirstStart(program_, defaultsPath);
    ASSERT_TRUE(InitApplication(program_));
    LoadSettings(program_.ConfigFile, program_.Config);
  }
  std::string Config() const { return folder_.File("config.ini"); }
  std::string Log() const { return ReadBytes(folder_.File("debug.txt")); }
  std::set<std::string> FolderNames() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  void ExpectTheRulesDefaults() const { testing::ExpectPlaySettings(program_.Config, testing::kSettingsOfAnEmptyFile); }
  // What game/default-config.ini holds: sound and music on, clockwise turns, a window.
  void ExpectTheShippedDefaults() const {
    EXPECT_FALSE(program_.Config.FullScreenMode);
    testing::ExpectPlaySettings(program_.Config, {1.15f, 250, 6, 7, true, 1});
  }

  TempFolder folder_;
  ManualClock clock_{1000};
  ScriptedKeyboard keys_;
  RecordingMixer mixer_;
  RecordingMessageBox messages_;
  Program program_;
};

TEST_F(FirstStart, WithoutAConfigTheShippedDefaultsAreCopiedAndPlayed) {
  const std::string shipped = ReadBytes(kShippedDefaults);
  ASSERT_FALSE(shipped.empty());
  for (size_t at = shipped.find('\n'); at != std::string::npos; at = shipped.find('\n', at + 1))
    ASSERT_TRUE(at > 0 && shipped[at - 1] == '\r') << "CR LF line ends, as the game writes config.ini";

  Start(Config(), kShippedDefaults);
  EXPECT_EQ(ReadBytes(Config()), shipped);
  EXPECT_EQ(program_.ConfigFile.Source(), Config());
  ExpectTheShippedDefaults();
  EXPECT_EQ(Log().find("FirstStart - "), std::string::npos) << Log();
  EXPECT_EQ(FolderNames(), (std::set<std::string>{"config.ini", "debug.txt"})) << "no temporary file is left";

  // The copy is the player's own from now on: a save changes its settings and keeps the rest.
  program_.Config.MusicVolume = 2;
  ASSERT_TRUE(SaveSettings(program_.ConfigFile, program_.Config, 0, program_.Log));
  const std::string saved = ReadBytes(Config());
  EXPECT_NE(saved.find("Music volume=2\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Keys Sensetive=1\r\n"), std::string::npos) << saved;
  EXPECT_EQ(ReadBytes(kShippedDefaults), shipped);
}

TEST_F(FirstStart, AConfigThatIsThereIsLeftAsItIs) {
  const std::string mine = "[Settings]\nMusic volume=2\n";
  WriteBytes(Config(), mine);
  Start(Config(), kShippedDefaults);
  EXPECT_EQ(ReadBytes(Config()), mine);
  EXPECT_EQ(program_.Config.MusicVolume, 2);
  EXPECT_EQ(program_.Config.SoundVolume, 0) << "nothing of the defaults is mixed in";
  EXPECT_FALSE(program_.Config.RotationClockwise);
}

TEST_F(FirstStart, WithoutDefaultsTheRulesDefaultsHoldAndNothingIsWritten) {
  Start(Config(), folder_.File("default-config.ini"));
  ExpectTheRulesDefaults();
  EXPECT_EQ(program_.ConfigFile.Source(), Config());
  EXPECT_EQ(FolderNames(), std::set<std::string>{"debug.txt"});
  EXPECT_EQ(Log().find("FirstStart - "), std::string::npos) << Log();
}

TEST_F(FirstStart, UnreadableDefaultsChangeNothing) {
  const std::string defaults = folder_.File("default-config.ini");
  std::filesystem::create_directory(defaults);  // a folder of the name reads as nothing, not as empty
  Start(Config(), defaults);
  ExpectTheRulesDefaults();
  EXPECT_FALSE(std::filesystem::exists(Config()));
  EXPECT_EQ(CopyDefaultConfig(defaults, Config()), FirstStartOutcome::DefaultsUnreadable);

  WriteBytes(Config(), "[Settings]\r\nSound volume=3\r\n");
  EXPECT_EQ(CopyDefaultConfig(defaults, Config()), FirstStartOutcome::ConfigPresent);
  EXPECT_EQ(ReadBytes(Config()), "[Settings]\r\nSound volume=3\r\n");
}

TEST_F(FirstStart, DefaultsWithoutReadPermissionChangeNothing) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
  const std::string defaults = folder_.File("default-config.ini");
  WriteBytes(defaults, ReadBytes(kShippedDefaults));
  std::filesystem::permissions(defaults, std::filesystem::perms::none);
  Start(Config(), defaults);
  ExpectTheRulesDefaults();
  EXPECT_FALSE(std::filesystem::exists(Config()));
}

// config.ini's folder cannot hold it: the game plays with the defaults' values, reads them
// from default-config.ini itself, and says so in debug.txt; a save still aims at config.ini.
TEST_F(FirstStart, WhereConfigCannotBeMadeTheDefaultsArePlayedAndLogged) {
  WriteBytes(folder_.File("not-a-folder"), "");
  const std::string config = folder_.File("not-a-folder/config.ini");
  Start(config, kShippedDefaults);
  ExpectTheShippedDefaults();
  EXPECT_EQ(program_.ConfigFile.Path, config);
  EXPECT_EQ(program_.ConfigFile.Source(), kShippedDefaults);
  const std::string expected = "FirstStart - failed: " + config +
                               " could not be created, playing with the settings of " + kShippedDefaults + "\r\n";
  EXPECT_EQ(Log().substr(0, expected.size()), expected) << "the first line of the fresh log";
  EXPECT_EQ(Log().find("FirstStart - ", 1), std::string::npos) << "one line only";

  const std::string shipped = ReadBytes(kShippedDefaults);
  program_.Config.MusicVolume = 2;
  EXPECT_FALSE(SaveSettings(program_.ConfigFile, program_.Config, 0, program_.Log));
  EXPECT_EQ(ReadBytes(kShippedDefaults), shipped) << "the game's own file is never saved over";
}

TEST_F(FirstStart, AReadOnlyConfigFolderPlaysTheDefaults) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
  const std::filesystem::path locked = folder_.Path() / "locked";
  std::filesystem::create_directory(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  Start((locked / "config.ini").string(), kShippedDefaults);
  ExpectTheShippedDefaults();
  EXPECT_NE(Log().find("FirstStart - failed: "), std::string::npos) << Log();
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  EXPECT_TRUE(std::filesystem::is_empty(locked));
}

}  // namespace
}  // namespace zt
