#include "audio/sounds.h"

#include <algorithm>
#include <cmath>

#include "core/load_error.h"

namespace zt {

const std::array<const char*, kMusicTracks> kMusicFiles = {"menu.ogg", "theme1.ogg", "theme2.ogg", "theme3.ogg"};

constexpr std::array<const char*, kSoundCount> kSoundFiles = {
    "youaregood.ogg", "spectacular.ogg", "smashing.ogg",  "perfect.ogg",     "great.ogg",      "fantastic.ogg",
    "excellent.ogg",  "warning.ogg",     "lineadd.ogg",   "leveldone.ogg",   "welldone.ogg",   "goodjob.ogg",
    "menuchange.ogg", "menuenter.ogg",   "menumove.ogg",  "gameover.ogg",    "figurefall.ogg", "newgame.ogg",
    "linedel.ogg",    "linedel.ogg",     "explosion.ogg", "bombwarning.ogg", "superfigure.ogg"};

static_assert(std::ranges::none_of(kSoundFiles, [](const char* name) { return name == nullptr; }),
              "every sound has its file");

namespace {

bool Audible(const Sounds& sounds) { return !sounds.Silent && sounds.Device != nullptr; }

// Opens every file of `names` in `folder` with `open`, into `handles`; the first one the mixer
// refuses throws LoadError naming it.
template <size_t N, typename Open>
void OpenEach(std::array<int, N>& handles, const std::array<const char*, N>& names, const char* folder,
              const char* refusal, Open open) {
  for (size_t n = 0; n < N; ++n) {
    const std::string path = std::string(folder) + names[n];
    handles[n] = open(path);
    if (handles[n] < 0) throw LoadError(path, refusal);
  }
}

// Gives every handle that was opened to `close` and marks them all closed.
template <size_t N, typename Close>
void CloseEach(std::array<int, N>& handles, Close close) {
  for (int& handle : handles) {
    if (handle >= 0) close(handle);
    handle = -1;
  }
}

}  // namespace

int VolumePercent(int level) { return static_cast<int>(std::lround(level * 100.0 / 9.0)); }

bool SoundInit(Sounds& sounds, Mixer* mixer) {
  sounds.Device = mixer;
  sounds.Silent = mixer == nullptr || !mixer->Init(kMixFrequency);
  return !sounds.Silent;
}

void Music_Load(Sounds& sounds) {
  if (!Audible(sounds)) return;
  OpenEach(sounds.MusicStreams, kMusicFiles, "music/", "cannot open the music track",
           [&](const std::string& path) { return sounds.Device->StreamOpenFile(path); });
}

void Sound_Load(Sounds& sounds) {
  if (!Audible(sounds)) return;
  OpenEach(sounds.SoundSamples, kSoundFiles, "sounds/", "cannot load the sound",
           [&](const std::string& path) { return sounds.Device->SampleLoad(path); });
}

void Music_Close(Sounds& sounds) {
  if (Audible(sounds)) CloseEach(sounds.MusicStreams, [&](int stream) { sounds.Device->StreamClose(stream); });
}

void Sound_Unload(Sounds& sounds) {
  if (Audible(sounds)) CloseEach(sounds.SoundSamples, [&](int sample) { sounds.Device->SampleUnload(sample); });
}

void SoundDone(Sounds& sounds) {
  if (Audible(sounds)) sounds.Device->Shutdown();
  sounds.Device = nullptr;
  sounds.MusicPlaying = false;
}

void LoadAudio(Sounds& sounds, Mixer* mixer, const Settings& settings, const DebugLog& log) {
  if (!SoundInit(sounds, mixer)) WriteLog(log, kNoSoundLogLine);
  Music_Load(sounds);
  WriteLog(log, "Music_Load - done");
  Sound_Load(sounds);
  WriteLog(log, "Sound_Load - done");
  Music_SetVolume(sounds, settings.MusicVolume);
  WriteLog(log, "Music_SetVolume - done");
  Music_Play(sounds, 0, true);
  WriteLog(log, "Music_Play - done");
}

void ReleaseAudio(Sounds& sounds) {
  Music_Close(sounds);
  Sound_Unload(sounds);
  SoundDone(sounds);
}

void Sound_Play(Sounds& sounds, SoundId sound, int soundVolume) {
  if (!Audible(sounds)) return;
  sounds.Device->SamplePlay(sounds.SoundSamples[static_cast<size_t>(sound)], VolumePercent(soundVolume));
}

void Music_Play(Sounds& sounds, int track, bool loop) {
  if (track < 0 || track >= kMusicTracks) return;
  if (!Audible(sounds)) {
    sounds.CurrentMusicTrack = static_cast<uint8_t>(track);
    return;
  }
  sounds.Device->ChannelStop(sounds.MusicStreams[sounds.CurrentMusicTrack]);
  sounds.Device->StreamPlay(sounds.MusicStreams[track], loop);
  sounds.CurrentMusicTrack = static_cast<uint8_t>(track);
  // Set after the stop: stopping the old track reports its end, which must not count
  // against the new one. The mixer clears the flag at once if the new track is already
  // over by the time the flag is handed to it.
  sounds.MusicPlaying = true;
  sounds.Device->ChannelSetEndFlag(sounds.MusicStreams[track], &sounds.MusicPlaying);
}

void Music_SetVolume(Sounds& sounds, int musicVolume) {
  if (!Audible(sounds)) return;
  for (int stream : sounds.MusicStreams) sounds.Device->ChannelSetVolume(stream, VolumePercent(musicVolume));
}

bool Music_Finished(const Sounds& sounds) { return Audible(sounds) && !sounds.MusicPlaying; }

}  // namespace zt
