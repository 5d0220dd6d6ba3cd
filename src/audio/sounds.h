// Music and sound effects over the Mixer: four music tracks (one plays at a time)
// and 23 numbered sound effects, at the volume levels of the settings.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>

#include "device/mixer.h"

namespace zt {

constexpr int kMusicTracks = 4;
constexpr int kSoundCount = 23;

// File names in music/ by track: 0 the menu tune, 1..3 the game themes.
extern const std::array<const char*, kMusicTracks> kMusicFiles;
// File names in sounds/ by sound number; 18 and 19 are the same file, loaded twice.
extern const std::array<const char*, kSoundCount> kSoundFiles;

struct Sounds {
  Mixer* Device = nullptr;
  bool Silent = false;  // no audio device: every call does nothing
  std::array<int, kMusicTracks> MusicStreams{};
  std::array<int, kSoundCount> SoundSamples{};
  uint8_t CurrentMusicTrack = 0;          // the track last started
  std::atomic<bool> MusicPlaying{false};  // cleared by the end-of-stream notification
};

int VolumePercent(int level);  // level 0..9 -> 0..100, rounded

// Sound number for a file name ("linedel.ogg" gives 18); -1 for an unknown name.
int SoundNumber(std::string_view fileName);

void Sound_Play(Sounds& sounds, int number, int soundVolume);
void Sound_Play(Sounds& sounds, std::string_view fileName, int soundVolume);
void Music_Play(Sounds& sounds, int track, bool loop);
void Music_SetVolume(Sounds& sounds, int musicVolume);
bool Music_Finished(const Sounds& sounds);

}  // namespace zt
