// Music and sound effects over the Mixer: four music tracks (one plays at a time)
// and 23 numbered sound effects, at the volume levels of the settings. Without an
// audio device the game plays silently: every call then leaves the mixer alone.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "core/debug_log.h"
#include "core/settings.h"
#include "device/mixer.h"

namespace zt {

constexpr int kMusicTracks = 4;
constexpr int kMixFrequency = 44100;  // Hz

// The sound effects, in the order they are loaded and numbered; kLineDel (one or two rows) and
// kLineDelOverFanfare (three or four, over the fanfare) are the same file, loaded twice.
enum class SoundId : uint8_t {
  kYouAreGood,
  kSpectacular,
  kSmashing,
  kPerfect,
  kGreat,
  kFantastic,
  kExcellent,
  kWarning,
  kLineAdd,
  kLevelDone,
  kWellDone,
  kGoodJob,
  kMenuChange,
  kMenuEnter,
  kMenuMove,
  kGameOver,
  kFigureFall,
  kNewGame,
  kLineDel,
  kLineDelOverFanfare,
  kExplosion,
  kBombWarning,
  kSuperfigure,
};
constexpr int kSoundCount = static_cast<int>(SoundId::kSuperfigure) + 1;
// File names in music/ by track: 0 the menu tune, 1..3 the game themes.
extern const std::array<const char*, kMusicTracks> kMusicFiles;
// File names in sounds/ by sound number (a SoundId's value).
extern const std::array<const char*, kSoundCount> kSoundFiles;

// The line debug.txt gets when the game goes on without sound.
inline constexpr const char* kNoSoundLogLine = "Sound device not available - playing silently";

struct Sounds {
  Mixer* Device = nullptr;
  bool Silent = false;                                         // no audio device: every call does nothing
  std::array<int, kMusicTracks> MusicStreams{-1, -1, -1, -1};  // mixer handles, >= 0 once loaded
  std::array<int, kSoundCount> SoundSamples{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                            -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  uint8_t CurrentMusicTrack = 0;          // 0..3, the track last started
  std::atomic<bool> MusicPlaying{false};  // cleared by the end-of-stream notification
};

int VolumePercent(int level);  // level 0..9 -> 0..100, rounded

// Starts the mixer at 44100 Hz. A missing mixer or one that cannot start leaves the
// game silent (Silent set) and returns false.
bool SoundInit(Sounds& sounds, Mixer* mixer);
// Open the four tracks from music/ and the 23 samples from sounds/ (paths relative
// to the game folder). A file the mixer cannot open throws LoadError naming it.
void Music_Load(Sounds& sounds);
void Sound_Load(Sounds& sounds);
void Music_Close(Sounds& sounds);
void Sound_Unload(Sounds& sounds);
void SoundDone(Sounds& sounds);  // shuts the mixer down; later calls do nothing

// The audio steps of the loading sequence, each logged: start the mixer, load the
// music and the sounds, set the music volume and start the menu tune, looped.
void LoadAudio(Sounds& sounds, Mixer* mixer, const Settings& settings, const DebugLog& log);
// The audio steps of shutdown: close the music, unload the sounds, stop the mixer.
void ReleaseAudio(Sounds& sounds);

void Sound_Play(Sounds& sounds, SoundId sound, int soundVolume);  // soundVolume: level 0..9
// Stops the current track and starts `track` (0..3), looped or once. Silent, only the
// track number is kept, so the game's choice of the next theme runs as with sound.
void Music_Play(Sounds& sounds, int track, bool loop);
void Music_SetVolume(Sounds& sounds, int musicVolume);  // level 0..9, to all four streams
bool Music_Finished(const Sounds& sounds);              // the last started track has ended; never when silent

}  // namespace zt
