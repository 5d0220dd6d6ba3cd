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

}  // namespace

int VolumePercent(int level) { return static_cast<int>(std::lround(level * 100.0 / 9.0)); }

bool SoundInit(Sounds& sounds, Mixer* mixer) {
  sounds.Device = mixer;
  sounds.Silent = mixer == nullptr || !mixer->Init(kMixFrequency);
  return !sounds.Silent;
}

void Music_Load(Sounds& sounds) {
  if (!Audible(sounds)) return;
  for (int track = 0; track < kMusicTracks; ++track) {
    const std::string path = std::string("music/") + kMusicFiles[track];
    sounds.MusicStreams[track] = sounds.Device->StreamOpenFile(path);
    if (sounds.MusicStreams[track] < 0) throw LoadError(path, "cannot open the music track");
  }
}

void Sound_Load(Sounds& sounds) {
  if (!Audible(sounds)) return;
  for (int number = 0; number < kSoundCount; ++number) {
    const std::string path = std::string("sounds/") + kSoundFiles[number];
    sounds.SoundSamples[number] = sounds.Device->SampleLoad(path);
    if (sounds.SoundSamples[number] < 0) throw LoadError(path, "cannot load the sound");
  }
}

void Music_Close(Sounds& sounds) {
  if (!Audible(sounds)) return;
  for (int& stream : sounds.MusicStreams) {
    if (stream >= 0) sounds.Device->StreamClose(stream);
    stream = -1;
  }
}

void Sound_Unload(Sounds& sounds) {
  if (!Audible(sounds)) return;
  for (int& sample : sounds.SoundSamples) {
    if (sample >= 0) sounds.Device->SampleUnload(sample);
    sample = -1;
  }
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
