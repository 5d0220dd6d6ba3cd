#include "audio/sounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/load_error.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

using testing::ReadLines;

class SoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("zt_sounds_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    log.Path = (folder / "debug.txt").string();
    settings.MusicVolume = 5;
    settings.SoundVolume = 9;
  }
  void TearDown() override { fs::remove_all(folder); }

  void Load() {
    LoadAudio(sounds, &mixer, settings, log);
    mixer.calls.clear();
  }

  fs::path folder;
  DebugLog log;
  Settings settings;
  RecordingMixer mixer;
  Sounds sounds;
};

TEST_F(SoundsTest, LoadingOpensEveryFileLogsEachStepAndStartsTheMenuTuneLooped) {
  LoadAudio(sounds, &mixer, settings, log);

  EXPECT_EQ(mixer.calls.front(), "Init 44100");
  EXPECT_EQ(mixer.streamPaths,
            (std::vector<std::string>{"music/menu.ogg", "music/theme1.ogg", "music/theme2.ogg", "music/theme3.ogg"}));
  ASSERT_EQ(mixer.samplePaths.size(), 23u);
  EXPECT_EQ(mixer.samplePaths[0], "sounds/youaregood.ogg");
  EXPECT_EQ(mixer.samplePaths[22], "sounds/superfigure.ogg");
  EXPECT_EQ(ReadLines(log.Path), (std::vector<std::string>{"Music_Load - done", "Sound_Load - done",
                                                           "Music_SetVolume - done", "Music_Play - done"}));
  // The volume is set before the menu tune starts, and the tune loops.
  const auto& calls = mixer.calls;
  const auto volume = std::find(calls.begin(), calls.end(), "ChannelSetVolume 0 56");
  const auto play = std::find(calls.begin(), calls.end(), "StreamPlay 0 looped");
  ASSERT_NE(volume, calls.end());
  ASSERT_NE(play, calls.end());
  EXPECT_LT(volume, play);
  EXPECT_EQ(sounds.CurrentMusicTrack, 0);
  EXPECT_FALSE(Music_Finished(sounds));
  EXPECT_FALSE(sounds.Silent);
}

TEST_F(SoundsTest, VolumeLevelsMapToPercentAndReachAllFourStreams) {
  const int expected[] = {0, 11, 22, 33, 44, 56, 67, 78, 89, 100};
  for (int level = 0; level <= 9; ++level) EXPECT_EQ(VolumePercent(level), expected[level]) << "level " << level;

  Load();
  for (int level : {0, 5, 9}) {
    Music_SetVolume(sounds, level);
    for (int track = 0; track < kMusicTracks; ++track)
      EXPECT_EQ(mixer.streamVolumes[sounds.MusicStreams[track]], VolumePercent(level)) << "track " << track;
  }

  // The sound volume is read at each play, so a changed setting applies at once.
  Sound_Play(sounds, SoundId::kFigureFall, 9);
  Sound_Play(sounds, SoundId::kFigureFall, 0);
  Sound_Play(sounds, SoundId::kFigureFall, 5);
  const int figureFall = sounds.SoundSamples[16];
  EXPECT_EQ(std::count(mixer.calls.begin(), mixer.calls.end(), "SamplePlay " + std::to_string(figureFall) + " 100"), 1);
  EXPECT_EQ(std::count(mixer.calls.begin(), mixer.calls.end(), "SamplePlay " + std::to_string(figureFall) + " 0"), 1);
  EXPECT_EQ(std::count(mixer.calls.begin(), mixer.calls.end(), "SamplePlay " + std::to_string(figureFall) + " 56"), 1);
}

TEST_F(SoundsTest, PlayingTheTrackAlreadyPlayingStopsAndRestartsIt) {
  Load();
  Music_Play(sounds, 0, true);
  EXPECT_EQ(mixer.calls, (std::vector<std::string>{"ChannelStop 0", "StreamPlay 0 looped", "ChannelSetEndFlag 0"}));
  EXPECT_FALSE(Music_Finished(sounds));
}

TEST_F(SoundsTest, EndOfATrackIsReportedUntilTheNextTrackStarts) {
  Load();
  Music_Play(sounds, 3, false);
  EXPECT_FALSE(Music_Finished(sounds));
  EXPECT_EQ(mixer.calls[0], "ChannelStop 0");  // the menu tune gives way
  EXPECT_EQ(mixer.calls[1], "StreamPlay 3 once");

  mixer.EndStream(3);
  EXPECT_TRUE(Music_Finished(sounds));
  EXPECT_EQ(sounds.CurrentMusicTrack, 3);

  Music_Play(sounds, 1, false);
  EXPECT_FALSE(Music_Finished(sounds));
  EXPECT_EQ(sounds.CurrentMusicTrack, 1);
  // The end of a track that is no longer current must not end the new one.
  mixer.EndStream(3);
  EXPECT_FALSE(Music_Finished(sounds));
}

TEST_F(SoundsTest, TheTwoLineSoundsAreSeparateSamplesOfOneFile) {
  Load();
  EXPECT_EQ(mixer.samplePaths[sounds.SoundSamples[18]], "sounds/linedel.ogg");
  EXPECT_EQ(mixer.samplePaths[sounds.SoundSamples[19]], "sounds/linedel.ogg");
  EXPECT_NE(sounds.SoundSamples[18], sounds.SoundSamples[19]);

  Sound_Play(sounds, SoundId::kLineDel, 9);
  Sound_Play(sounds, SoundId::kLineDelOverFanfare, 9);
  EXPECT_EQ(mixer.calls, (std::vector<std::string>{"SamplePlay " + std::to_string(sounds.SoundSamples[18]) + " 100",
                                                   "SamplePlay " + std::to_string(sounds.SoundSamples[19]) + " 100"}));
}

TEST_F(SoundsTest, TracksOutsideTheTablePlayNothing) {
  Load();
  Music_Play(sounds, -1, true);
  Music_Play(sounds, kMusicTracks, true);
  EXPECT_TRUE(mixer.calls.empty());
  EXPECT_EQ(sounds.CurrentMusicTrack, 0);
}

TEST_F(SoundsTest, WithoutAWorkingMixerTheGamePlaysSilently) {
  mixer.initSucceeds = false;
  EXPECT_NO_THROW(LoadAudio(sounds, &mixer, settings, log));
  EXPECT_TRUE(sounds.Silent);
  EXPECT_EQ(mixer.calls, (std::vector<std::string>{"Init 44100"}));
  EXPECT_EQ(ReadLines(log.Path), (std::vector<std::string>{kNoSoundLogLine, "Music_Load - done", "Sound_Load - done",
                                                           "Music_SetVolume - done", "Music_Play - done"}));

  Sound_Play(sounds, SoundId::kGreat, 9);
  Music_SetVolume(sounds, 9);
  Music_Play(sounds, 2, false);
  mixer.EndStream(0);
  EXPECT_FALSE(Music_Finished(sounds));    // a silent track never ends
  EXPECT_EQ(sounds.CurrentMusicTrack, 2);  // but the track order goes on as with sound
  ReleaseAudio(sounds);
  EXPECT_EQ(mixer.calls, (std::vector<std::string>{"Init 44100"}));

  // No mixer at all behaves the same.
  Sounds none;
  EXPECT_NO_THROW(LoadAudio(none, nullptr, settings, log));
  EXPECT_TRUE(none.Silent);
  Music_Play(none, 1, false);
  EXPECT_FALSE(Music_Finished(none));
}

TEST_F(SoundsTest, AMissingFileStopsTheLoadingWithItsName) {
  mixer.missingPaths = {"sounds/explosion.ogg"};
  try {
    LoadAudio(sounds, &mixer, settings, log);
    FAIL() << "loading went on without sounds/explosion.ogg";
  } catch (const LoadError& error) {
    EXPECT_EQ(error.File(), "sounds/explosion.ogg");
    EXPECT_NE(std::string(error.what()).find("sounds/explosion.ogg"), std::string::npos);
  }
  // The log holds every step up to the failing one.
  EXPECT_EQ(ReadLines(log.Path), (std::vector<std::string>{"Music_Load - done"}));

  RecordingMixer noMusic;
  noMusic.missingPaths = {"music/theme2.ogg"};
  Sounds other;
  try {
    LoadAudio(other, &noMusic, settings, log);
    FAIL() << "loading went on without music/theme2.ogg";
  } catch (const LoadError& error) {
    EXPECT_EQ(error.File(), "music/theme2.ogg");
  }
}

TEST_F(SoundsTest, ReleaseClosesEverythingThenShutsDownAndLaterCallsDoNothing) {
  Load();
  ReleaseAudio(sounds);
  ASSERT_EQ(mixer.calls.size(), 4u + 23u + 1u);
  EXPECT_EQ(mixer.calls[0], "StreamClose 0");
  EXPECT_EQ(mixer.calls[4], "SampleUnload 0");
  EXPECT_EQ(mixer.calls.back(), "Shutdown");

  mixer.calls.clear();
  Sound_Play(sounds, SoundId::kPerfect, 9);
  Music_Play(sounds, 1, false);
  Music_SetVolume(sounds, 4);
  ReleaseAudio(sounds);
  EXPECT_TRUE(mixer.calls.empty());
  EXPECT_FALSE(Music_Finished(sounds));
}

}  // namespace
}  // namespace zt
