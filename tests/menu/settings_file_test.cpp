#include "menu/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "support/settings_checks.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

struct ConfigFixture : ::testing::Test {
  TempFolder folder;
  std::string path = folder.File("config.ini");
  DebugLog log{folder.File("debug.txt")};

  Settings Display(const std::string& options) {
    WriteBytes(path, "[Options]\r\n" + options);
    Settings settings;
    LoadDisplayOptions(path, settings);
    return settings;
  }
  Settings Loaded(const std::string& section) {
    WriteBytes(path, "[Settings]\r\n" + section);
    Settings settings;
    SettingsFile file{path};
    LoadSettings(file, settings);
    return settings;
  }
};

TEST_F(ConfigFixture, NoFileRunsWindowedWithDefaultsAndSavesTheSettingsSectionAlone) {
  EXPECT_FALSE(FullScreenRequested(path));
  Settings settings;
  LoadDisplayOptions(path, settings);
  SettingsFile file{path};
  LoadSettings(file, settings);
  EXPECT_FALSE(settings.FullScreenMode);
  EXPECT_EQ(settings.ScreenWidth, 0);
  EXPECT_EQ(settings.ScreenHeight, 0);
  testing::ExpectPlaySettings(settings, testing::kSettingsOfAnEmptyFile);

  EXPECT_TRUE(SaveSettings(file, settings, 0, log));
  EXPECT_EQ(ReadBytes(path),
            "[Settings]\r\nMusic volume=0\r\nSound volume=0\r\nRotation=0\r\nBrick Quality=2\r\nMusic Number=0\r\n");
}

TEST_F(ConfigFixture, DisplayModeFromTheOptionsSection) {
  struct Case {
    const char* options;
    bool fullScreen;
    int width, height;
  } cases[] = {
      {"FullScreen=1\r\n", true, 1600, 1200},
      {"FullScreen=1\r\nResolution=4\r\n", true, 800, 600},
      {"FullScreen=1\r\nResolution=8\r\n", true, 320, 240},
      {"FullScreen=1\r\nUse desktop settings=1\r\nResolution=5\r\n", true, 0, 0},
      {"FullScreen=1\r\nUse desktop settings=2\r\nResolution=5\r\n", true, 640, 480},
      {"FullScreen=1\r\nResolution=9\r\n", true, 0, 0},
      {"FullScreen=1\r\nResolution=-1\r\n", true, 0, 0},
      {"FullScreen=0\r\nResolution=5\r\n", false, 0, 0},
      {"FullScreen=2\r\nResolution=5\r\n", false, 0, 0},
      {"FullScreen=yes\r\n", false, 0, 0},
  };
  for (const Case& c : cases) {
    const Settings s = Display(c.options);
    EXPECT_EQ(s.FullScreenMode, c.fullScreen) << c.options;
    EXPECT_EQ(FullScreenRequested(path), c.fullScreen) << c.options;
    EXPECT_EQ(s.ScreenWidth, c.width) << c.options;
    EXPECT_EQ(s.ScreenHeight, c.height) << c.options;
  }
}

TEST_F(ConfigFixture, TurnRateAndSidewaysDelayCodes) {
  // Unknown codes keep the slowest rate rather than freezing every turn.
  const std::pair<const char*, float> turnRates[] = {{"Rotation Speed=1\r\n", 1.15f},
                                                     {"Rotation Speed=2\r\n", 1.55f},
                                                     {"Rotation Speed=3\r\n", 0.75f},
                                                     {"Rotation Speed=-1\r\n", 0.75f},
                                                     {"Rotation Speed=fast\r\n", 0.75f}};
  for (const auto& [options, factor] : turnRates)
    EXPECT_FLOAT_EQ(Display(options).RotationSpeedFactor, factor) << options;

  // Only the key's own spelling counts; an unknown code leaves the delay unset.
  const std::pair<const char*, int32_t> delays[] = {{"Keys Sensetive=1\r\n", 250},
                                                    {"keys sensetive=2\r\n", 170},
                                                    {"Keys Sensetive=5\r\n", 0},
                                                    {"Keys Sensitive=1\r\n", 340}};
  for (const auto& [options, delay] : delays) EXPECT_EQ(Display(options).SidewaysKeyDelay, delay) << options;
}

TEST_F(ConfigFixture, SettingsSectionCodesAndTheirWrittenValues) {
  const std::pair<const char*, int32_t> qualities[] = {{"Brick Quality=1\r\n", 0},
                                                       {"Brick Quality=2\r\n", 1},
                                                       {"Brick Quality=3\r\n", 2},
                                                       {"Brick Quality=0\r\n", 1},
                                                       {"Brick Quality=7\r\n", 1}};
  for (const auto& [section, quality] : qualities) EXPECT_EQ(Loaded(section).BrickQuality, quality) << section;
  EXPECT_TRUE(Loaded("Rotation=1\r\n").RotationClockwise);
  EXPECT_FALSE(Loaded("Rotation=2\r\n").RotationClockwise);
  // Volumes outside 0..9 would index past the volume bars and overdrive the mixer.
  EXPECT_EQ(Loaded("Music volume=12\r\nSound volume=-3\r\n").MusicVolume, 9);
  EXPECT_EQ(Loaded("Music volume=12\r\nSound volume=-3\r\n").SoundVolume, 0);
  EXPECT_EQ(Loaded("Music volume=4\r\nSound volume=9\r\n").MusicVolume, 4);
  EXPECT_EQ(Loaded("Music volume=4\r\nSound volume=9\r\n").SoundVolume, 9);

  // Brick Quality 7 and Rotation 2 come back as medium (2) and counter-clockwise (0); the
  // stored music number is replaced by the track playing now.
  const Settings read = Loaded("Brick Quality=7\r\nRotation=2\r\nMusic Number=3\r\nMusic volume=12\r\n");
  SettingsFile file{path, true};
  ASSERT_TRUE(SaveSettings(file, read, 2, log));
  EXPECT_EQ(ReadBytes(path),
            "[Settings]\r\nBrick Quality=2\r\nRotation=0\r\nMusic Number=2\r\nMusic volume=9\r\nSound volume=0\r\n");
}

TEST_F(ConfigFixture, SavingKeepsTheRestOfTheFileAndNeedsLoadSettings) {
  const std::string options = "; set-up tool\n[Options]\nFullScreen=1\nResolution=3\n\n";
  WriteBytes(path, options + "[Settings]\nMusic volume=5\n");
  Settings settings;
  SettingsFile file{path};
  EXPECT_TRUE(SaveSettings(file, settings, 0, log));
  EXPECT_EQ(ReadBytes(path), options + "[Settings]\nMusic volume=5\n") << "nothing is written before LoadSettings";

  LoadSettings(file, settings);
  EXPECT_TRUE(file.Open);
  settings.SoundVolume = 6;
  settings.RotationClockwise = true;
  settings.BrickQuality = 2;
  ASSERT_TRUE(WriteSettingsSection(file, settings, 1, log));  // leaving the Options screen
  const std::string expected =
      options + "[Settings]\nMusic volume=5\nSound volume=6\nRotation=1\nBrick Quality=3\nMusic Number=1\n";
  EXPECT_EQ(ReadBytes(path), expected);

  settings.BrickQuality = 0;
  ASSERT_TRUE(SaveSettings(file, settings, 0, log));
  EXPECT_FALSE(file.Open);
  settings.MusicVolume = 1;
  EXPECT_TRUE(SaveSettings(file, settings, 0, log));
  EXPECT_EQ(ReadBytes(path),
            options + "[Settings]\nMusic volume=5\nSound volume=6\nRotation=1\nBrick Quality=1\nMusic Number=0\n")
      << "a closed settings file is not written again";
}

TEST_F(ConfigFixture, FailedSaveIsLoggedAndKeepsTheOldFile) {
  WriteBytes(path, "[Settings]\r\nMusic volume=5\r\n");
  Settings settings;
  SettingsFile file{path};
  LoadSettings(file, settings);
  settings.MusicVolume = 1;
  std::filesystem::create_directory(path + ".lock");  // no lock can be had
  EXPECT_FALSE(SaveSettings(file, settings, 0, log));
  EXPECT_EQ(ReadBytes(path), "[Settings]\r\nMusic volume=5\r\n");
  EXPECT_NE(ReadBytes(log.Path).find("SaveSettings - failed"), std::string::npos);
}

TEST(DisplayOptions, PaletteIsReadFromOptionsOnlyAsOneAndAnythingElseIsTheGamesOwn) {
  auto paletteOf = [](const std::string& text) {
    Settings settings;
    ReadDisplayOptions(IniFile::Parse(text), settings);
    return settings.Palette;
  };
  EXPECT_EQ(paletteOf("[Options]\r\nPalette=1\r\n"), kColourBlindPalette);
  EXPECT_EQ(paletteOf("[options]\r\npalette = 1\r\n"), kColourBlindPalette);
  for (const char* odd : {"Palette=2", "Palette=-1", "Palette=yes", "Palette=", "Palette=0"})
    EXPECT_EQ(paletteOf(std::string("[Options]\r\n") + odd + "\r\n"), kGamePalette) << odd;
  EXPECT_EQ(paletteOf("[Settings]\r\nPalette=1\r\n"), kGamePalette) << "only the Options section holds it";
}

TEST(DisplayOptions, AntialiasingIsAChoiceOnlyAsZeroOrOneAndOtherwiseTheRenderersAndIsWrittenOnceChosen) {
  auto choiceOf = [](const std::string& text) {
    Settings settings;
    settings.Antialiasing = kAntialiasingOn;  // whatever it held: the file decides
    ReadDisplayOptions(IniFile::Parse(text), settings);
    return settings.Antialiasing;
  };
  EXPECT_EQ(choiceOf("[Options]\r\nAntialiasing=1\r\n"), kAntialiasingOn);
  EXPECT_EQ(choiceOf("[options]\r\nantialiasing = 0\r\n"), kAntialiasingOff);
  EXPECT_EQ(choiceOf(""), kAntialiasingByRenderer);
  for (const char* odd : {"Antialiasing=2", "Antialiasing=-1", "Antialiasing=yes", "Antialiasing=", "Antialiasing=1.0"})
    EXPECT_EQ(choiceOf(std::string("[Options]\r\n") + odd + "\r\n"), kAntialiasingByRenderer) << odd;
  EXPECT_EQ(choiceOf("[Settings]\r\nAntialiasing=1\r\n"), kAntialiasingByRenderer) << "only Options holds it";

  // Left to the renderer, nothing is written, so an odd value stays as the player typed it.
  IniFile ini = IniFile::Parse("[Options]\r\nAntialiasing=yes\r\n");
  Settings settings;
  ReadDisplayOptions(ini, settings);
  settings.AntialiasingInUse = true;
  WriteAntialiasingChoice(ini, settings);
  EXPECT_EQ(ini.Text(), "[Options]\r\nAntialiasing=yes\r\n");
  settings.Antialiasing = kAntialiasingOff;
  WriteAntialiasingChoice(ini, settings);
  EXPECT_EQ(ini.Text(), "[Options]\r\nAntialiasing=0\r\n");
}

TEST(DisplayOptions, TheNextStartDrawsAsChosenOrLeftToTheRendererAsThisRunDoes) {
  Settings settings;
  for (const bool inUse : {false, true}) {
    settings.AntialiasingInUse = inUse;
    settings.Antialiasing = kAntialiasingByRenderer;
    EXPECT_EQ(AntialiasingNextStart(settings), inUse);
    settings.Antialiasing = kAntialiasingOn;
    EXPECT_TRUE(AntialiasingNextStart(settings));
    settings.Antialiasing = kAntialiasingOff;
    EXPECT_FALSE(AntialiasingNextStart(settings));
  }
}

// config.ini as a link, so that its reading can be made to fail (a link to the process's own
// memory, whose reading fails with EIO) and succeed again while the file itself stays put.
struct UnreadableConfig : ConfigFixture {
  const std::string file = folder.File("settings.ini");
  const std::string original = "[Options]\r\nFullScreen=1\r\n[Settings]\r\nMusic volume=7\r\nRotation=1\r\n";
  UnreadableConfig() { WriteBytes(file, original); }
  void PointTo(const std::string& target) {
    std::filesystem::remove(path);
    std::filesystem::create_symlink(target, path);
  }
  bool Logged(const std::string& words) { return ReadBytes(log.Path).find(words) != std::string::npos; }
};

TEST_F(UnreadableConfig, ReadErrorAtLoadingMeansNoWriteAllRun) {
  PointTo("/proc/self/mem");
  Settings settings;
  SettingsFile config{path};
  LoadSettings(config, settings);
  EXPECT_NE(config.ReadError.find("Input/output error"), std::string::npos) << config.ReadError;
  EXPECT_EQ(settings.MusicVolume, 0);  // as without a file

  // Readable again: the zeros in memory must still not replace the player's settings.
  PointTo(file);
  EXPECT_FALSE(WriteSettingsSection(config, settings, 0, log));
  EXPECT_FALSE(SaveSettings(config, settings, 0, log));
  EXPECT_EQ(ReadBytes(file), original);
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_TRUE(Logged("SaveSettings - skipped"));

  LoadSettings(config, settings);  // a reading that succeeds clears the mark
  EXPECT_TRUE(config.ReadError.empty());
  EXPECT_EQ(settings.MusicVolume, 7);
}

TEST_F(UnreadableConfig, ReadErrorAtTheShutdownsReReadKeepsTheOptions) {
  PointTo(file);
  Settings settings;
  SettingsFile config{path};
  LoadSettings(config, settings);
  ASSERT_TRUE(config.ReadError.empty());
  settings.MusicVolume = 2;
  PointTo("/proc/self/mem");
  EXPECT_FALSE(SaveSettings(config, settings, 0, log));
  EXPECT_TRUE(Logged("SaveSettings - failed"));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadBytes(file), original);
}

TEST_F(ConfigFixture, TwoGamesWritingInTurnKeepWhatTheOtherWroteAndTheLastSetsTheSection) {
  const std::string options = "[Options]\nFullScreen=1\n";
  WriteBytes(path, options + "[Settings]\nMusic volume=5\n");
  Settings first, second;
  SettingsFile firstFile{path}, secondFile{path};
  LoadSettings(firstFile, first);
  LoadSettings(secondFile, second);

  second.SoundVolume = 3;
  ASSERT_TRUE(WriteSettingsSection(secondFile, second, 0, log));
  // Another writer (the set-up tool, a newer game) adds keys of its own meanwhile.
  IniFile edited = IniFile::Read(path).value();
  edited.WriteInteger("Settings", "Camera", 2);
  edited.WriteInteger("Tool", "Run", 1);
  ASSERT_TRUE(edited.Save(path));

  first.MusicVolume = 8;
  ASSERT_TRUE(SaveSettings(firstFile, first, 1, log));
  EXPECT_EQ(ReadBytes(path), options +
                                 "[Settings]\nMusic volume=8\nSound volume=0\nRotation=0\nBrick Quality=2\n"
                                 "Music Number=1\nCamera=2\n[Tool]\nRun=1\n");
}

TEST_F(ConfigFixture, APlayersLinkedConfigStaysALinkAndItsFileGetsTheSettings) {
  std::filesystem::create_directory(folder.File("dots"));
  const std::string target = folder.File("dots/config.ini");
  WriteBytes(target, "[Options]\r\nFullScreen=1\r\n");
  std::filesystem::create_symlink(target, path);
  Settings settings;
  LoadDisplayOptions(path, settings);
  EXPECT_TRUE(settings.FullScreenMode) << "the file the link leads to is read";
  SettingsFile file{path};
  LoadSettings(file, settings);
  settings.SoundVolume = 4;
  ASSERT_TRUE(SaveSettings(file, settings, 0, log));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadBytes(target),
            "[Options]\r\nFullScreen=1\r\n[Settings]\r\nMusic volume=0\r\nSound volume=4\r\nRotation=0\r\n"
            "Brick Quality=2\r\nMusic Number=0\r\n");
}

}  // namespace
}  // namespace zt
