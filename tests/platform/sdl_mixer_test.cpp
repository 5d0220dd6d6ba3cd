#include "platform/sdl_mixer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "audio/sounds.h"
#include "core/load_error.h"

namespace zt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kShortTrack = std::string(ZT_SOURCE_DIR) + "/tests/platform/data/short.ogg";  // 0.5 s
const std::string kLongTrack = std::string(ZT_GAME_DIR) + "/music/menu.ogg";

// Waits until the music reports its end, at most `limit`.
bool WaitForEnd(const Sounds& sounds, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < until) {
    if (Music_Finished(sounds)) return true;
    std::this_thread::sleep_for(5ms);
  }
  return Music_Finished(sounds);
}

class SdlMixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    folder = fs::temp_directory_path() /
             ("zt_sdl_mixer_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    log.Path = (folder / "debug.txt").string();
  }
  void TearDown() override {
    ReleaseAudio(sounds);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fs::remove_all(folder);
  }

  // Track 0 the long menu tune (looped in the game), tracks 1 and 2 the short chime.
  void OpenTestTracks() {
    ASSERT_TRUE(SoundInit(sounds, &mixer));
    sounds.MusicStreams = {mixer.StreamOpenFile(kLongTrack), mixer.StreamOpenFile(kShortTrack),
                           mixer.StreamOpenFile(kShortTrack), mixer.StreamOpenFile(kLongTrack)};
    for (int stream : sounds.MusicStreams) ASSERT_GE(stream, 0);
  }

  fs::path folder;
  DebugLog log;
  SdlMixer mixer;
  Sounds sounds;
};

TEST(SdlMixerVolume, PercentMapsOntoTheMixerScale) {
  EXPECT_EQ(SdlMixer::MixVolume(0), 0);
  EXPECT_EQ(SdlMixer::MixVolume(100), MIX_MAX_VOLUME);
  EXPECT_EQ(SdlMixer::MixVolume(56), 72);
  EXPECT_EQ(SdlMixer::MixVolume(11), 14);
  EXPECT_EQ(SdlMixer::MixVolume(-3), 0);
  EXPECT_EQ(SdlMixer::MixVolume(250), MIX_MAX_VOLUME);
}

TEST_F(SdlMixerTest, TheEndOfAShortTrackClearsMusicPlaying) {
  OpenTestTracks();
  Music_Play(sounds, 1, false);
  EXPECT_TRUE(sounds.MusicPlaying);
  EXPECT_TRUE(WaitForEnd(sounds, 5000ms)) << "the half-second track never reported its end";

  // Started again, it ends again.
  Music_Play(sounds, 1, false);
  EXPECT_TRUE(WaitForEnd(sounds, 5000ms));
}

TEST_F(SdlMixerTest, RestartingOrSwitchingTracksNeverLeavesMusicPlayingFalse) {
  OpenTestTracks();
  Music_Play(sounds, 0, true);
  for (int i = 0; i < 40; ++i) {
    Music_Play(sounds, 0, true);  // the same track: stopped and started again
    EXPECT_FALSE(Music_Finished(sounds)) << "restart " << i;
    Music_Play(sounds, i % 2 ? 3 : 0, false);  // another track, or the same one played once
    EXPECT_FALSE(Music_Finished(sounds)) << "switch " << i;
    std::this_thread::sleep_for(2ms);
  }

  // The short chime stopped for the long tune: its end must not count against the tune.
  Music_Play(sounds, 1, false);
  std::this_thread::sleep_for(100ms);
  Music_Play(sounds, 3, false);
  std::this_thread::sleep_for(900ms);  // well past the end the chime would have had
  EXPECT_FALSE(Music_Finished(sounds));
}

TEST_F(SdlMixerTest, ADriverThatCannotOpenLeavesTheGameSilent) {
  setenv("SDL_AUDIODRIVER", "no_such_audio_driver", 1);
  EXPECT_FALSE(SoundInit(sounds, &mixer));
  EXPECT_TRUE(sounds.Silent);

  // The loading goes on without files and without sound.
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  EXPECT_NO_THROW(LoadAudio(sounds, &mixer, Settings{}, log));
  fs::current_path(previous);
  Sound_Play(sounds, SoundId::kYouAreGood, 9);
  Music_Play(sounds, 1, false);
  EXPECT_FALSE(Music_Finished(sounds));

  // Nothing was left half open: a working driver starts afterwards.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlMixer working;
  EXPECT_TRUE(working.Init(kMixFrequency));
  working.Shutdown();
}

TEST_F(SdlMixerTest, OnlyOneMixerHoldsTheAudioAtATime) {
  ASSERT_TRUE(mixer.Init(kMixFrequency));
  SdlMixer second;
  EXPECT_FALSE(second.Init(kMixFrequency));
  mixer.Shutdown();
  EXPECT_TRUE(second.Init(kMixFrequency));
}

TEST_F(SdlMixerTest, TheGameFilesAllLoadAndSamplesOverlap) {
  const fs::path previous = fs::current_path();
  fs::current_path(ZT_GAME_DIR);
  Settings settings;
  settings.MusicVolume = 7;
  EXPECT_NO_THROW(LoadAudio(sounds, &mixer, settings, log));
  fs::current_path(previous);
  ASSERT_FALSE(sounds.Silent);
  for (int stream : sounds.MusicStreams) EXPECT_GE(stream, 0);
  for (int sample : sounds.SoundSamples) EXPECT_GE(sample, 0);
  EXPECT_NE(sounds.SoundSamples[18], sounds.SoundSamples[19]);
  EXPECT_FALSE(Music_Finished(sounds));  // the menu tune loops

  // A busy moment: more sounds at once than there are voices, the same one repeated.
  for (int i = 0; i < SdlMixer::kChannels + 8; ++i)
    Sound_Play(sounds, i % 3 == 0 ? SoundId::kExplosion : SoundId::kFigureFall, 9);
  EXPECT_EQ(Mix_Playing(-1), SdlMixer::kChannels);
}

TEST_F(SdlMixerTest, AMissingFileFailsTheLoadingWithItsName) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  fs::create_directories("music");
  fs::copy_file(kShortTrack, "music/menu.ogg");
  fs::copy_file(kShortTrack, "music/theme1.ogg");
  std::string failed;
  try {
    LoadAudio(sounds, &mixer, Settings{}, log);
  } catch (const LoadError& error) {
    failed = error.File();
  }
  fs::current_path(previous);
  EXPECT_EQ(failed, "music/theme2.ogg");
}

}  // namespace
}  // namespace zt
