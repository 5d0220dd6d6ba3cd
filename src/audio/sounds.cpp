#include "audio/sounds.h"

#include <cmath>

namespace zt {

const std::array<const char*, kMusicTracks> kMusicFiles = {"menu.ogg", "theme1.ogg", "theme2.ogg", "theme3.ogg"};

const std::array<const char*, kSoundCount> kSoundFiles = {
    "youaregood.ogg", "spectacular.ogg", "smashing.ogg",  "perfect.ogg",    "great.ogg",      "fantastic.ogg",
    "excellent.ogg",  "warning.ogg",     "lineadd.ogg",   "leveldone.ogg",  "welldone.ogg",   "goodjob.ogg",
    "menuchange.ogg", "menuenter.ogg",   "menumove.ogg",  "gameover.ogg",   "figurefall.ogg", "newgame.ogg",
    "linedel.ogg",    "linedel.ogg",     "explosion.ogg", "bombwarning.ogg", "superfigure.ogg"};

int VolumePercent(int level) { return static_cast<int>(std::lround(level * 100.0 / 9.0)); }

int SoundNumber(std::string_view fileName) {
  for (int n = 0; n < kSoundCount; ++n)
    if (fileName == kSoundFiles[n]) return n;
  return -1;
}

void Sound_Play(Sounds& sounds, int number, int soundVolume) {
  if (sounds.Silent || sounds.Device == nullptr || number < 0 || number >= kSoundCount) return;
  sounds.Device->SamplePlay(sounds.SoundSamples[number], VolumePercent(soundVolume));
}

void Sound_Play(Sounds& sounds, std::string_view fileName, int soundVolume) {
  Sound_Play(sounds, SoundNumber(fileName), soundVolume);
}

void Music_Play(Sounds& sounds, int track, bool loop) {
  if (sounds.Silent || sounds.Device == nullptr || track < 0 || track >= kMusicTracks) return;
  sounds.Device->ChannelStop(sounds.MusicStreams[sounds.CurrentMusicTrack]);
  sounds.Device->StreamPlay(sounds.MusicStreams[track], loop);
  sounds.CurrentMusicTrack = static_cast<uint8_t>(track);
  // Set after the stop: stopping the old track notifies its end, which must not
  // count against the new one.
  sounds.MusicPlaying = true;
  sounds.Device->ChannelSetEndFlag(sounds.MusicStreams[track], &sounds.MusicPlaying);
}

void Music_SetVolume(Sounds& sounds, int musicVolume) {
  if (sounds.Silent || sounds.Device == nullptr) return;
  for (int stream : sounds.MusicStreams) sounds.Device->ChannelSetVolume(stream, VolumePercent(musicVolume));
}

bool Music_Finished(const Sounds& sounds) { return !sounds.Silent && !sounds.MusicPlaying; }

}  // namespace zt
